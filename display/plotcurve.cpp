#include "plotcurve.h"

#include <cmath>

AxisRange finiteAxisRange(double lo, double hi)
{
    AxisRange range;
    if (std::isfinite(lo) && std::isfinite(hi) && lo <= hi) {
        range.min = lo;
        range.max = hi;
        range.valid = true;
    }
    return range;
}

AxisRange finiteAxisRange(double lo, double hi, const QVector<QPointF> &points, bool xAxis)
{
    AxisRange range = finiteAxisRange(lo, hi);
    if (range.valid)
        return range;
    for (const QPointF &point : points) {
        const double v = xAxis ? point.x() : point.y();
        if (!std::isfinite(v))
            continue;
        if (!range.valid) {
            range.min = range.max = v;
            range.valid = true;
        } else {
            range.min = qMin(range.min, v);
            range.max = qMax(range.max, v);
        }
    }
    return range;
}

QVector<QPolygonF> curvePieces(const QVector<QPointF> &points, double maxGap)
{
    QVector<QPolygonF> pieces;
    QPolygonF piece;
    for (const QPointF &point : points) {
        const bool finite = std::isfinite(point.x()) && std::isfinite(point.y());
        const bool gap = !piece.isEmpty() && std::abs(point.x() - piece.last().x()) > maxGap;
        if ((!finite || gap) && !piece.isEmpty()) {
            pieces.append(piece);
            piece.clear();
        }
        if (finite)
            piece.append(point);
    }
    if (!piece.isEmpty())
        pieces.append(piece);
    return pieces;
}
