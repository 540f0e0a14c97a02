#include "common/ui/UiHelpers.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPalette>
#include <QPointer>
#include <QThread>
#include <QWidget>

namespace {
QPointer<QWidget> theMainWindow;
}

void setMainWindow(QWidget* window) { theMainWindow = window; }

QWidget* mainWindow() { return theMainWindow.data(); }

QColor dialogBackgroundColor() { return QColor::fromRgbF(0.9451f, 0.9569f, 0.9804f, 1.0f); }

void applyDialogBackground(QWidget* window)
{
    if (!window)
        return;
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, dialogBackgroundColor());
    window->setPalette(pal);
    window->setAutoFillBackground(true);
}

void landTypedEdit()
{
    QWidget* field = QApplication::focusWidget();
    if (!field)
        return;
    field->clearFocus();
    if (field->isVisible() && !QApplication::focusWidget())
        field->setFocus(Qt::OtherFocusReason);
}

void SetObjEnabled(QWidget* control, bool flag)
{
    if (!control)
        return;
    control->setEnabled(flag);
    // Children disabled on their own stay disabled when only the box is enabled; set each of them.
    const auto children = control->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (!child->isWindow())
            child->setEnabled(flag);
    }
}

bool isGuiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void runOnGuiThreadAndWait(const std::function<void()>& f)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        f();
        return;
    }
    QMetaObject::invokeMethod(app, f, Qt::BlockingQueuedConnection);
}

namespace {
QString& lastDialogFolder() {
    static QString folder;
    return folder;
}
} // namespace

QString dialogStartPath(const QString& name) {
    const QString& last = lastDialogFolder();
    const QString folder = !last.isEmpty() && QFileInfo(last).isDir() ? last : QDir::homePath();
    if (name.isEmpty())
        return folder;
    return QFileInfo(name).isAbsolute() ? name : QDir(folder).filePath(name);
}

QString rememberDialogPath(const QString& path, bool isFolder) {
    if (!path.isEmpty())
        lastDialogFolder() = isFolder ? QFileInfo(path).absoluteFilePath() : QFileInfo(path).absolutePath();
    return path;
}
