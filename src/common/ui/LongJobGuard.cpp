#include "common/ui/LongJobGuard.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
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

// The widget a mouse button went down on while it is held (Qt sends that widget the button's release), and
// where the pointer was last seen then.
class PressWatcher : public QObject {
public:
    using QObject::QObject;
    QPointer<QWidget> pressed;
    Qt::MouseButton button = Qt::NoButton;
    QPointF global;

    bool eventFilter(QObject* receiver, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* w = qobject_cast<QWidget*>(receiver);
            const auto* e = static_cast<QMouseEvent*>(event);
            // A press a widget ignored goes on to its parents: the widget it went down on keeps it.
            if (!w || (pressed && e->timestamp() == m_time && w->isAncestorOf(pressed)))
                break;
            pressed = w;
            button = e->button();
            global = e->globalPosition();
            m_time = e->timestamp();
            break;
        }
        case QEvent::MouseMove:
            if (receiver == pressed)
                global = static_cast<QMouseEvent*>(event)->globalPosition();
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton)
                pressed = nullptr;
            break;
        case QEvent::DragEnter: // the press became a drag, which ends without a release
        case QEvent::DragMove:
        case QEvent::DragLeave:
        case QEvent::Drop:
            pressed = nullptr;
            break;
        default:
            break;
        }
        return false;
    }

private:
    quint64 m_time = 0;
};

QPointer<PressWatcher> watcher;

void watchPresses() {
    if (!watcher)
        watcher = new PressWatcher(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(watcher);
}
Q_COREAPP_STARTUP_FUNCTION(watchPresses)

class InputFilter : public QObject {
public:
    // A button held when the first guard began: its release, let go of during the job, never reaches the
    // widget (it is refused, or goes to the sheet). Sent once the job has ended, so that a drag ends there
    // instead of going on with no button held.
    QPointer<QWidget> pressedBefore;
    Qt::MouseButton pressedButton = Qt::NoButton;
    QPointF pressedAt;

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
        if (watcher && watcher->pressed) {
            filter->pressedBefore = watcher->pressed;
            filter->pressedButton = watcher->button;
            filter->pressedAt = watcher->global;
            watcher->pressed = nullptr;
        }
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
    const QPointer<QWidget> pressed = filter->pressedBefore;
    const Qt::MouseButton button = filter->pressedButton;
    const QPointF at = filter->pressedAt;
    delete filter; // which takes it off the application
    filter = nullptr;
    if (pressed && !(QGuiApplication::mouseButtons() & button))
        QCoreApplication::postEvent(pressed, new QMouseEvent(QEvent::MouseButtonRelease, pressed->mapFromGlobal(at),
                                                             at, button, Qt::NoButton,
                                                             QGuiApplication::keyboardModifiers()));
    else if (pressed && watcher) { // still held: its release comes as usual
        watcher->pressed = pressed;
        watcher->button = button;
        watcher->global = at;
    }
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
