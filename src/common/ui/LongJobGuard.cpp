#include "common/ui/LongJobGuard.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QHash>
#include <QKeyEvent>
#include <QPointer>
#include <QShortcut>
#include <QTimer>
#include <QWidget>

namespace {

bool isInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::Gesture:
        return true;
    default:
        return false;
    }
}

// The window a widget belongs to; a menu or other popup belongs to the window it opened from.
QWidget* windowOf(QWidget* w) {
    QWidget* top = w->window();
    while (top->windowType() == Qt::Popup && top->parentWidget())
        top = top->parentWidget()->window();
    return top;
}

class InputFilter : public QObject {
public:
    // The windows each standing guard blocks, and the field each one left.
    QHash<const LongJobGuard*, QList<QPointer<QWidget>>> blocked;
    QHash<const LongJobGuard*, QPointer<QWidget>> leftField;
    // Work waiting for the last guard to end.
    QList<std::pair<QPointer<QObject>, std::function<void()>>> waiting;

    bool blocks(QObject* receiver) const {
        if (auto* w = qobject_cast<QWidget*>(receiver))
            return blocksWindow(windowOf(w));
        // A shortcut belongs to the widgets it is shown on or made for.
        QList<QObject*> owners;
        if (auto* a = qobject_cast<QAction*>(receiver)) {
            owners = a->associatedObjects();
            if (owners.isEmpty())
                owners << a->parent();
        } else if (auto* s = qobject_cast<QShortcut*>(receiver)) {
            owners << s->parent();
        }
        for (QObject* o : std::as_const(owners))
            if (auto* w = qobject_cast<QWidget*>(o); w && blocksWindow(windowOf(w)))
                return true;
        return false;
    }

    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (!isInput(event->type()) || !blocks(receiver))
            return false;
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
            static_cast<QDropEvent*>(event)->ignore(); // the cursor says no
            break;
        case QEvent::KeyPress:
            if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
                complain();
            break;
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
            complain();
            break;
        default:
            break;
        }
        return true;
    }

private:
    bool blocksWindow(QWidget* window) const {
        for (const QList<QPointer<QWidget>>& windows : blocked)
            for (const QPointer<QWidget>& w : windows)
                if (w == window)
                    return true;
        return false;
    }

    // The job's sheet comes to the front, so the user sees why nothing happened.
    static void complain() {
        QApplication::beep();
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->raise();
            modal->activateWindow();
        }
    }
};

InputFilter* filter = nullptr;

} // namespace

LongJobGuard::LongJobGuard() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (!filter) {
        filter = new InputFilter;
        qApp->installEventFilter(filter);
    }
    QList<QPointer<QWidget>> shown;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip)
            shown << w;
    filter->blocked.insert(this, shown);
    m_on = true;
    QWidget* field = QApplication::focusWidget();
    if (field && filter->blocks(field)) {
        filter->leftField.insert(this, field);
        field->clearFocus();
    }
}

LongJobGuard::~LongJobGuard() {
    if (!m_on || !filter)
        return;
    filter->blocked.remove(this);
    const QPointer<QWidget> field = filter->leftField.take(this);
    if (!filter->blocked.isEmpty())
        return;
    const auto waiting = std::move(filter->waiting);
    delete filter; // which takes it off the application
    filter = nullptr;
    if (field && field->isVisible() && !QApplication::focusWidget())
        field->setFocus(Qt::OtherFocusReason);
    for (const auto& [context, work] : waiting)
        if (context)
            QTimer::singleShot(0, context, work);
}

bool LongJobGuard::active() { return filter != nullptr; }

void LongJobGuard::whenIdle(QObject* context, std::function<void()> work) {
    if (filter)
        filter->waiting.append({QPointer<QObject>(context), std::move(work)});
    else
        work();
}

QString LongJobGuard::busyMessage() {
    return QStringLiteral("Please wait until the task under way has ended, or stop it.");
}
