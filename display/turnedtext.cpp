#include "turnedtext.h"

#include <QPainter>
#include <QSize>
#include <QString>

void drawTurnedText(QPainter &painter, const QSize &size, const QString &text)
{
    painter.save();
    painter.setPen(Qt::black);
    painter.rotate(90);
    painter.drawText(QRect(0, -size.width(), size.height(), size.width()), Qt::AlignCenter, text);
    painter.restore();
}
