#pragma once

// Small helpers for windows: the main window that sheets and alerts attach to, the dialog colour,
// enabling boxes, and running code on the GUI thread from a worker.

#include <QColor>
#include <QString>
#include <functional>

class QWidget;

// The main window; alerts and sheets without an explicit window attach to it. Not owned.
void setMainWindow(QWidget* window);
QWidget* mainWindow();

// The background colour of every dialog window.
QColor dialogBackgroundColor();
void applyDialogBackground(QWidget* window);

// Where the program's file dialogs start: the folder of the last file or folder chosen in one of them during
// this run, else the user's home folder. A name without a folder is put in that folder.
QString dialogStartPath(const QString& name = {});
// Remembers the folder of a path a file dialog gave (a folder itself when isFolder); returns path.
QString rememberDialogPath(const QString& path, bool isFolder = false);

// What is typed in the field being edited (a name, a number not yet entered) lands before a command reads the
// design: the field is left, which takes its text in, and entered again.
void landTypedEdit();

// Enables or disables control and every control inside it (when it is a box).
void SetObjEnabled(QWidget* control, bool flag);

// True on the thread of the application object (the GUI thread).
bool isGuiThread();

// Runs f on the GUI thread: directly when called there, else queued while the caller waits.
// Without an application object f runs on the calling thread.
void runOnGuiThreadAndWait(const std::function<void()>& f);
