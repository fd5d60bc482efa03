#pragma once

class QAbstractButton;
class QWidget;

// Shows a tool window, raises it above the other windows and makes it the active one, so that
// its button also brings back a window that went behind the main window.
void showInFront(QWidget *window);
// Connects a button's clicks to showInFront(window).
void showInFrontOnClick(QAbstractButton *button, QWidget *window);
