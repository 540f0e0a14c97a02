#pragma once

// Mouse and key input for canvas tests, sent straight to the widget so that drags carry their buttons.

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace viewdriver {

inline void send(QWidget* w, QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons,
                 Qt::KeyboardModifiers mods) {
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, mods);
    QApplication::sendEvent(w, &e);
}

inline void press(QWidget* w, QPointF p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    send(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, mods);
}

inline void release(QWidget* w, QPointF p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    send(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, mods);
}

inline void click(QWidget* w, QPointF p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    press(w, p, mods);
    release(w, p, mods);
}

inline void doubleClick(QWidget* w, QPointF p) {
    click(w, p);
    send(w, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    release(w, p);
}

// Press, move in steps, release: a drag as a hand makes it.
inline void drag(QWidget* w, QPointF from, QPointF to, Qt::KeyboardModifiers mods = Qt::NoModifier,
                 int steps = 4) {
    press(w, from, mods);
    for (int i = 1; i <= steps; ++i)
        send(w, QEvent::MouseMove, from + (to - from) * (double(i) / steps), Qt::NoButton, Qt::LeftButton,
             mods);
    release(w, to, mods);
}

} // namespace viewdriver
