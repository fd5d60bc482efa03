#pragma once

#include <QVector>

// Grid of an axis: lines at lo, lo + step, ... up to hi. A range that allows no grid gives
// lo > hi.
struct NiceRange
{
    double step = 1.0;
    double lo = 1.0;
    double hi = 0.0;
};

// A round step for the span from a to b (1, 2 or 5 times a power of ten, chosen from the
// leading digit of the span) and the first and last multiples of it inside [a, b]. The ends
// may come in either order.
NiceRange niceRange(double a, double b);

// The grid values of niceRange(a, b): lo, lo + step, ... up to hi; at most a thousand.
QVector<double> niceGridValues(double a, double b);
