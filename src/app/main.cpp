#include "app/SKTWindowController.h"
#include "canvas/SKTDocument.h"
#include "common/Prompt.h"
#include "common/ResourceSetup.h"
#include "common/ui/GuiPrompt.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("NAVU Photo Frame"));
    QApplication::setOrganizationName(QStringLiteral("NAVU"));

    SKTDocument document;
    SKTWindowController window(&document);
    installGuiPrompt(&window);
    if (!setupResources()) {
        Show_MessageBox(QStringLiteral("Cannot access the data file of NAVU Photo Frame."));
        return 1;
    }
    window.show();
    return app.exec();
}
