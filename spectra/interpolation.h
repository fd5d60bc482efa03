#pragma once

// Straight-line interpolation shared by the spectra and the I0 stack.

// Value at x of the line through (xa, ya) and (xb, yb); the mean of ya and yb when xa == xb.
inline double lineValue(double xa, double ya, double xb, double yb, double x)
{
    if (xa == xb)
        return (ya + yb) * 0.5;
    return ya + (yb - ya) / (xb - xa) * (x - xa);
}

// For n >= 3 abscissae in rising order and x[0] < x < x[n-1]: the index j in 1 .. n-1 with
// x[j-1] <= x < x[j], found by halving. xAt(i) gives abscissa i.
template<typename XAt>
int upperNeighbourIndex(int n, double x, XAt xAt)
{
    int lo = 1;
    int hi = n - 1;
    while (lo < hi) {
        const int mid = (lo + hi - 1) / 2;
        if (x >= xAt(mid))
            lo = mid + 1;
        else
            hi = mid;
    }
    return hi;
}

// Value at x of the polyline through n points (xAt(i), yAt(i)) with rising abscissae, extended
// beyond its ends by its first and last segments; 0 without points, the value of a single one.
template<typename XAt, typename YAt>
double polylineValue(int n, double x, XAt xAt, YAt yAt)
{
    if (n == 0)
        return 0.0;
    if (n == 1)
        return yAt(0);
    int upper;
    if (x <= xAt(0))
        upper = 1;
    else if (x >= xAt(n - 1))
        upper = n - 1;
    else
        upper = upperNeighbourIndex(n, x, xAt);
    return lineValue(xAt(upper - 1), yAt(upper - 1), xAt(upper), yAt(upper), x);
}

// Where the polyline through n points first crosses minY + fraction * (maxY - minY): rising
// (kind 0), falling (1) or either way (2); 0 without points, xAt(0) without a crossing.
template<typename XAt, typename YAt>
double crossingOf(int n, double minY, double maxY, double fraction, int kind, XAt xAt, YAt yAt)
{
    if (n == 0)
        return 0.0;
    const double level = minY + fraction * (maxY - minY);
    for (int i = 0; i + 1 < n; ++i) {
        const double ya = yAt(i);
        const double yb = yAt(i + 1);
        bool crosses;
        if (kind == 0)
            crosses = ya < level && level <= yb;
        else if (kind == 1)
            crosses = ya > level && level >= yb;
        else
            crosses = (yb - level) * (ya - level) <= 0;
        if (crosses)
            return lineValue(ya, xAt(i), yb, xAt(i + 1), level);
    }
    return xAt(0);
}
