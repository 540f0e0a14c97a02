#include "common/ui/WheelFocusGuard.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace {

class WheelFocusFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel)
            return false;
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || w->hasFocus() || !w->parentWidget())
            return false;
        // Handed to the parent, from where it travels up to the scroll area as an unhandled wheel does.
        QCoreApplication::sendEvent(w->parentWidget(), event);
        return true;
    }
};

} // namespace

void guardWheelByFocus(QWidget* root) {
    if (!root)
        return;
    auto* filter = new WheelFocusFilter(root);
    const QList<QWidget*> controls = root->findChildren<QWidget*>();
    for (QWidget* w : controls) {
        if (!qobject_cast<QAbstractSpinBox*>(w) && !qobject_cast<QAbstractSlider*>(w) && !qobject_cast<QComboBox*>(w))
            continue;
        // Scroll bars belong to the scrolling itself.
        if (w->inherits("QScrollBar"))
            continue;
        if (w->focusPolicy() == Qt::WheelFocus)
            w->setFocusPolicy(Qt::StrongFocus);
        w->installEventFilter(filter);
    }
}
