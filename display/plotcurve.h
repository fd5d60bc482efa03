#pragma once

#include <QPointF>
#include <QPolygonF>
#include <QVector>

// The span of one plot axis.
struct AxisRange
{
    double min = 0.0;
    double max = 0.0;
    bool valid = false;
};

// The axis range lo..hi when both ends are finite; otherwise (a zero edge jump gives infinite
// normalised values) the range of the finite coordinates of points, x or y. Not valid when no
// coordinate is finite.
AxisRange finiteAxisRange(double lo, double hi, const QVector<QPointF> &points, bool xAxis);
// The axis range lo..hi; not valid unless both ends are finite and in order.
AxisRange finiteAxisRange(double lo, double hi);

// The polylines that draw a curve: a new piece starts where two consecutive energies (x) lie
// more than maxGap apart, and at every point that is not finite, which is left out.
QVector<QPolygonF> curvePieces(const QVector<QPointF> &points, double maxGap);
