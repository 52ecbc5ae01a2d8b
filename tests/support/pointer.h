#pragma once
// Real pointer events for window tests: QMouseEvents sent through the
// application to a widget, with positions in pixels or in grid twips.

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace pointer {

inline void send(QWidget *w, QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons,
                 Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, mods);
    QApplication::sendEvent(w, &e);
}

inline void press(QWidget *w, QPointF pos, Qt::MouseButton b = Qt::LeftButton, Qt::MouseButtons held = {},
                  Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    send(w, QEvent::MouseButtonPress, pos, b, held | b, mods);
}

inline void move(QWidget *w, QPointF pos, Qt::MouseButtons held = {}, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    send(w, QEvent::MouseMove, pos, Qt::NoButton, held, mods);
}

inline void release(QWidget *w, QPointF pos, Qt::MouseButton b = Qt::LeftButton, Qt::MouseButtons stillHeld = {},
                    Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    send(w, QEvent::MouseButtonRelease, pos, b, stillHeld, mods);
}

// Pixel position of a twip position on a twips-scaled control.
inline QPointF twips(double x, double y) { return QPointF(x / 15.0, y / 15.0); }
// Centre of grid cell (c, r): cells are 10 pixels square.
inline QPointF cell(int c, int r) { return QPointF(c * 10 + 5, r * 10 + 5); }

// A press-move-release gesture from one cell to another.
inline void drag(QWidget *w, QPointF from, QPointF to, Qt::MouseButton b = Qt::LeftButton)
{
    press(w, from, b);
    move(w, (from + to) / 2, b);
    move(w, to, b);
    release(w, to, b);
}

} // namespace pointer
