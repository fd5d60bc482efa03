#include "mousec.h"

MouseC::MouseC(QObject *parent)
    : QObject(parent)
{}

void MouseC::takeMove(const QPoint &pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    previousPos = currentPos;
    currentPos = pos;
    lastButton = button;
    lastModifiers = modifiers;
}

void MouseC::takePress(const QPoint &pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    previousPos = currentPos;
    currentPos = pressPos = pos;
    pressed = true;
    lastButton = pressButton = button;
    lastModifiers = pressModifiers = modifiers;
}

void MouseC::takeRelease(const QPoint &pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    previousPos = currentPos;
    currentPos = releasePos = pos;
    pressed = false;
    lastButton = releaseButton = button;
    lastModifiers = releaseModifiers = modifiers;
}

void MouseC::takeDoubleClick(const QPoint &pos,
                             Qt::MouseButton button,
                             Qt::KeyboardModifiers modifiers)
{
    doubleClickPos = pos;
    lastButton = doubleClickButton = button;
    lastModifiers = doubleClickModifiers = modifiers;
}

void MouseC::moveTo(const QPoint &pos)
{
    previousPos = currentPos;
    currentPos = pos;
}

int mouseAction(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool control = modifiers.testFlag(Qt::ControlModifier);
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    int m = 0;
    if (shift && control && alt)
        m = 7;
    else if (control && alt)
        m = 6;
    else if (shift && alt)
        m = 5;
    else if (shift && control)
        m = 4;
    else if (alt)
        m = 3;
    else if (control)
        m = 2;
    else if (shift)
        m = 1;

    switch (button) {
    case Qt::LeftButton:
        return m;
    case Qt::RightButton:
        return 8 + m;
    default:
        return 16;
    }
}
