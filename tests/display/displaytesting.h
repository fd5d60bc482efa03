#pragma once

#include "display/colortables.h"

#include <QApplication>
#include <QColor>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

// Helpers shared by the display tests. QTest moves the real cursor instead of sending a move,
// so moves (with the buttons held) and wheel turns are sent as events here.
namespace DisplayTesting {

inline void moveMouse(QWidget *widget,
                      const QPoint &pos,
                      Qt::MouseButtons buttons = Qt::NoButton,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(
        QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, buttons, modifiers);
    QApplication::sendEvent(widget, &event);
}

inline void turnWheel(QWidget *widget,
                      const QPoint &pos,
                      int delta,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWheelEvent event(QPointF(pos),
                      QPointF(widget->mapToGlobal(pos)),
                      QPoint(),
                      QPoint(0, delta),
                      Qt::NoButton,
                      modifiers,
                      Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(widget, &event);
}

// Hot-table colour of entry i, written out from the table's definition: black to red, red to
// yellow, yellow to white.
inline QColor hotColour(int i)
{
    if (i <= 255)
        return QColor(i, 0, 0);
    if (i <= 510)
        return QColor(255, i - 255, 0);
    if (i <= 765)
        return QColor(255, 255, i - 510);
    return QColor(255, 255, 255);
}

inline QColor greyColour(int i)
{
    return QColor(i, i, i);
}

inline QString describe(const QColor &c)
{
    return QStringLiteral("(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

} // namespace DisplayTesting
