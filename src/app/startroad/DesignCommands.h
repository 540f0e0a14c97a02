#pragma once

// The editor window's design-file commands: Save, Save As, Open, Exit, saving a user template and opening
// one from the template browser.

#include "app/designfile/DesignFile.h"

#include <QObject>

#include <atomic>
#include <functional>

class MainPhoto;
class SKTWindowController;

class DesignCommands : public QObject {
    Q_OBJECT
public:
    DesignCommands(SKTWindowController& window, MainPhoto& photo, QObject* parent = nullptr);

    // Everything the design file holds, taken from the window.
    DesignData captureDesign() const;
    // Replaces the window's design by a fully read one.
    void applyDesign(DesignData design);

    // Reads and shows a design; a file that cannot be read gives a message and leaves the current design
    // as it was. A template keeps the design untitled.
    bool openDesignFile(const QString& path, bool asTemplate = false);
    // Writes the design to path atomically; a message on failure, and on success when showMsg is set.
    bool Save_project_file(const QString& path, bool showMsg);

    void Open_Design_Clicked();
    bool Save_Design_Clicked();
    bool Save_As_Clicked();
    void Export_As_Template_Clicked();
    void Open_Template_Clicked();
    // Asks whether to save, shows the review window and ends the application.
    void Exit_App();

    // True while the application is being ended: the window's close then goes through unasked.
    bool isQuitting() const { return m_quitting; }
    // True while a design is being saved or read on a worker; the window does not close meanwhile.
    bool isBusy() const { return m_busy; }

    QString designPath() const { return m_path; }
    void setDesignPath(const QString& path);

    // The file dialogs, replaceable by tests (an empty answer means cancelled).
    std::function<QString()> askOpenPath;
    std::function<QString()> askSavePath;
    // Runs the review-request window; replaceable (the output windows provide it).
    std::function<void()> runReviewWindow;
    // Ends the application.
    std::function<void()> quitApplication;

private:
    // Says so and is true while a save, an open or another long job runs: the command waits for it.
    bool refusedWhileBusy() const;
    // Asks whether to save the design on screen and saves it; false when a wanted save did not happen.
    bool offerToSave();
    // Runs work on a worker under the window's wait sheet, with its progress and Stop; busy meanwhile.
    using BusyWork = std::function<void(const std::atomic<bool>& stop, std::atomic<int>* progress)>;
    void runBusy(const BusyWork& work);

    SKTWindowController& m_window;
    MainPhoto& m_photo;
    QString m_path;
    bool m_quitting = false;
    bool m_busy = false;
};
