#include "vlabel.h"

#include "display/turnedtext.h"

#include <QPainter>

VLabel::VLabel(QWidget *parent)
    : QLabel(parent)
{}

QSize VLabel::sizeHint() const
{
    return QLabel::sizeHint().transposed();
}

QSize VLabel::minimumSizeHint() const
{
    return QLabel::minimumSizeHint().transposed();
}

void VLabel::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    drawTurnedText(painter, size(), text());
}
