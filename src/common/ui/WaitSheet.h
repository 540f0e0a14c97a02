#pragma once

// The please-wait sheet: a small window-modal panel over a window while a long task runs. It does not block
// the event loop; the task keeps running and ends the sheet itself.

#include <QDialog>

#include <atomic>
#include <functional>

class QLabel;

class WaitSheet : public QDialog {
    Q_OBJECT
public:
    explicit WaitSheet(QWidget* window);
    QString text() const;

private:
    QLabel* label;
};

// Shows the wait sheet ("It may take a while, Please wait..") on window (the main window when null);
// a second call for the same window keeps the one sheet. Safe from any thread (runs on the GUI thread).
void Show_Create_Modeless(QWidget* window = nullptr);
// Ends the sheet of window (the main window when null) and destroys it. Safe from any thread.
void Hide_Destroy_Modeless(QWidget* window = nullptr);
// The sheet shown on window, or null.
WaitSheet* waitSheetOf(QWidget* window = nullptr);

// Runs work on a worker thread under a wait sheet with a Stop button on window; Stop sets the flag that
// work is given. The window keeps painting and the GUI thread is never blocked. Without an application
// object, or off the GUI thread, work runs directly. With progress, the sheet's bar shows the percentage
// work stores there (from 0 to 100) instead of only moving.
void runStoppable(QWidget* window, const std::function<void(const std::atomic<bool>& stop)>& work,
                  const std::atomic<int>* progress = nullptr);
