#include "app/SKTWindowController.h"
#include "app/startroad/DesignCommands.h"
#include "app/startroad/StartRoadController.h"
#include "canvas/SKTDocument.h"
#include "common/Prompt.h"
#include "common/ResourceSetup.h"
#include "common/ui/GuiPrompt.h"
#include "wizards/StartRoad.h"
#include "output/ui/Review_Form.h"
#include "output/mail/MailSettings.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("NAVU Photo Frame"));
    QApplication::setOrganizationName(QStringLiteral("NAVU"));
    QApplication::setDesktopFileName(QStringLiteral("navu-photo-frame"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/navu-photo-frame.png")));

    SKTDocument document;
    SKTWindowController window(&document);
    installGuiPrompt(&window);
    if (!setupResources()) {
        Show_MessageBox(QStringLiteral("Cannot access the data file of NAVU Photo Frame."));
        return 1;
    }
    Get_Email_Details();
    // The frame gallery is filled from the resources, so the start road comes after them.
    StartRoadController startRoad(window);
    // Quitting shows the review window once (when the maker has a review page).
    startRoad.designCommands().runReviewWindow = [] { Review_Form::Run_At_Quit(); };
    window.show();
    // A design named on the command line (a file manager's "open with") opens at once; otherwise, or when
    // it is refused, a new design and the start wizard. Anything but building or opening a design ends
    // the program.
    if (runStartRoad(startRoad, designPathArgument(app.arguments())) == StartOutcome::Quit)
        return 0;
    return app.exec();
}
