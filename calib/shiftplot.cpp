#include "shiftplot.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

ShiftPlot::ShiftPlot(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(240, 120);
}

void ShiftPlot::setTable(const ShiftTable &table)
{
    mTable = table;
    update();
}

void ShiftPlot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QRectF frame = QRectF(rect()).adjusted(48, 8, -8, -22);
    painter.setPen(Qt::gray);
    painter.drawRect(frame);
    QVector<const ShiftTable::Row *> rows;
    for (const ShiftTable::Row &row : mTable.rows) {
        if (row.ok)
            rows.append(&row);
    }
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end(), [](const ShiftTable::Row *a, const ShiftTable::Row *b) {
        return a->energy < b->energy;
    });
    double low = 0.0, high = 0.0;
    for (const ShiftTable::Row *row : rows) {
        low = std::min({low, row->dx, row->dy});
        high = std::max({high, row->dx, row->dy});
    }
    if (high - low < 1.0) {
        low -= 0.5;
        high += 0.5;
    }
    const double first = rows.first()->energy, last = rows.last()->energy;
    const double span = last > first ? last - first : 1.0;
    const auto point = [&](double energy, double value) {
        return QPointF(frame.left() + (energy - first) / span * frame.width(),
                       frame.bottom() - (value - low) / (high - low) * frame.height());
    };
    painter.setPen(Qt::black);
    // The limits beside the frame's top and bottom edges, whole within the widget.
    const int text = painter.fontMetrics().height();
    painter.drawText(QRectF(0, frame.top(), 44, text),
                     Qt::AlignRight | Qt::AlignTop,
                     QString::number(high, 'f', 1));
    painter.drawText(QRectF(0, frame.bottom() - text, 44, text),
                     Qt::AlignRight | Qt::AlignBottom,
                     QString::number(low, 'f', 1));
    painter.drawText(QRectF(frame.left(), frame.bottom() + 4, frame.width(), 16),
                     Qt::AlignCenter,
                     tr("%1 to %2 eV").arg(first, 0, 'f', 1).arg(last, 0, 'f', 1));
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colours[2] = {QColor(200, 30, 30), QColor(30, 60, 200)};
    for (int axis = 0; axis < 2; ++axis) {
        QPainterPath path;
        for (int i = 0; i < rows.size(); ++i) {
            const QPointF p
                = point(rows.at(i)->energy, axis == 0 ? rows.at(i)->dx : rows.at(i)->dy);
            if (i == 0)
                path.moveTo(p);
            else
                path.lineTo(p);
        }
        painter.setPen(QPen(colours[axis], 1.5));
        painter.drawPath(path);
        painter.drawText(QPointF(frame.right() - 52 + axis * 26, frame.top() + 14),
                         axis == 0 ? QStringLiteral("dx") : QStringLiteral("dy"));
    }
}
