#include "app/startroad/Program.h"

#include "app/SKTWindowController.h"
#include "app/ToolIcons.h"
#include "app/inspector/InspectorLogic.h"
#include "app/inspector/InspectorPanel.h"
#include "app/startroad/DesignCommands.h"
#include "app/startroad/StartRoadController.h"
#include "canvas/SKTDocument.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/ResourceSetup.h"
#include "common/ui/AppStyle.h"
#include "common/ui/GuiPrompt.h"
#include "output/mail/MailSettings.h"
#include "output/ui/Review_Form.h"
#include "wizards/StartRoad.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>

#include <fontconfig/fontconfig.h>

#include <functional>
#include <future>
#include <thread>

namespace {

// Runs a step once the window has shown itself painted (or after a second when no paint is reported), so
// the window comes up before anything else is built.
class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(QWidget& window, std::function<void()> step) : QObject(&window), m_step(std::move(step))
    {
        if (QWindow* handle = window.windowHandle())
            handle->installEventFilter(this);
        QTimer::singleShot(1000, this, &AfterFirstPaint::run);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        // The window paints while it handles its first expose; the step comes after that.
        if (event->type() == QEvent::Expose && m_step)
            QMetaObject::invokeMethod(this, &AfterFirstPaint::run, Qt::QueuedConnection);
        return false;
    }

private:
    void run()
    {
        if (!m_step)
            return;
        const std::function<void()> step = std::move(m_step);
        m_step = nullptr;
        step();
    }
    std::function<void()> m_step;
};

std::jthread& fontConfiguration()
{
    static std::jthread reading;
    return reading;
}

} // namespace

void startProgramEarly()
{
    if (!fontConfiguration().joinable())
        fontConfiguration() = std::jthread([] { FcInit(); });
}

int runProgram(QApplication& app)
{
    drawToolIconsAhead();
    QApplication::setApplicationName(QStringLiteral("NAVU Photo Frame"));
    QApplication::setOrganizationName(QStringLiteral("NAVU"));
    QApplication::setDesktopFileName(QStringLiteral("navu-photo-frame"));
    QApplication::setStyle(new AppStyle);
    const std::jthread pictureReading(&AppStyle::readPicturesAhead);

    // The user's data folder is checked, and completed from the shipped resources, on a thread, which
    // then lists the fill patterns the inspector offers.
    if (Resource_Path.isEmpty())
        setResourcePath(defaultResourcePath());
    std::future<bool> resources = std::async(std::launch::async, [] {
        const bool ready = setupResources();
        if (ready)
            inspector::listHatchNamesAhead();
        return ready;
    });

    SKTDocument document;
    // The window's parts that measure no text and read nothing of the user's folder are built while the
    // font configuration is read and the folder checked; the rest waits for both (Qt would read the
    // configuration again if it found it still being read; the inspector lists the folder's patterns).
    bool resourcesReady = false;
    WindowStart start;
    start.beforeText = [&] {
        if (fontConfiguration().joinable())
            fontConfiguration().join();
        resourcesReady = resources.get();
    };
    start.backgroundPageLater = true;
    SKTWindowController window(&document, nullptr, start);
    installGuiPrompt(&window);
    if (!resourcesReady) {
        Show_MessageBox(QStringLiteral("Cannot access the data file of NAVU Photo Frame."));
        return 1;
    }
    Get_Email_Details();
    // The frame gallery is filled from the resources, so the start road comes after them.
    StartRoadController startRoad(window);
    // Quitting shows the review window once (when the maker has a review page).
    startRoad.designCommands().runReviewWindow = [] { Review_Form::Run_At_Quit(); };
    window.show();
    // Once the window shows: the frame gallery fills; a design named on the command line (a file
    // manager's "open with") opens; otherwise, or when it is refused, a new design and the start wizard.
    // Anything but building or opening a design ends the program.
    const QString designPath = designPathArgument(app.arguments());
    new AfterFirstPaint(window, [&] {
        window.inspector()->ensureBackgroundPage();
        startRoad.fillGallery();
        if (runStartRoad(startRoad, designPath) == StartOutcome::Quit)
            QCoreApplication::exit(0);
    });
    return app.exec();
}
