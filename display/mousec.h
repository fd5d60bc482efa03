#pragma once

#include <QObject>
#include <QPoint>

// The mouse record of one display area: the last positions in whole widget pixels and the
// buttons and modifiers of the last move, press, release and double click.
class MouseC : public QObject
{
public:
    explicit MouseC(QObject *parent = nullptr);

    // A move: the current position becomes the previous one.
    void takeMove(const QPoint &pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void takePress(const QPoint &pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void takeRelease(const QPoint &pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    // A double click leaves the current and previous positions alone.
    void
    takeDoubleClick(const QPoint &pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    // Moves the cursor without an event (another view or a batch command moves it).
    void moveTo(const QPoint &pos);

    QPoint previousPos;
    QPoint currentPos;
    QPoint pressPos;
    QPoint releasePos;
    QPoint doubleClickPos;
    bool pressed = false;
    Qt::MouseButton lastButton = Qt::NoButton;
    Qt::MouseButton pressButton = Qt::NoButton;
    Qt::MouseButton releaseButton = Qt::NoButton;
    Qt::MouseButton doubleClickButton = Qt::NoButton;
    Qt::KeyboardModifiers lastModifiers;
    Qt::KeyboardModifiers pressModifiers;
    Qt::KeyboardModifiers releaseModifiers;
    Qt::KeyboardModifiers doubleClickModifiers;
};

// What a gesture means: left button 0 + m, right button 8 + m, any other button 16, with m
// from the modifiers: none 0, Shift 1, Control 2, Alt 3, Shift+Control 4, Shift+Alt 5,
// Control+Alt 6, Shift+Control+Alt 7.
int mouseAction(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
