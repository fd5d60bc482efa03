#include "showinfront.h"

#include <QAbstractButton>
#include <QWidget>

void showInFront(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void showInFrontOnClick(QAbstractButton *button, QWidget *window)
{
    QObject::connect(button, &QAbstractButton::clicked, window, [window] { showInFront(window); });
}
