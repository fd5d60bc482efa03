#include "vpushbutton.h"

#include "display/turnedtext.h"

#include <QStyleOptionButton>
#include <QStylePainter>

VPushButton::VPushButton(QWidget *parent)
    : QPushButton(parent)
{}

QSize VPushButton::sizeHint() const
{
    return QPushButton::sizeHint().transposed();
}

QSize VPushButton::minimumSizeHint() const
{
    // A push button's minimum is its size hint, which is turned already.
    return sizeHint();
}

void VPushButton::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    // The button without its text, which is then written turned.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    drawTurnedText(painter, size(), text());
}
