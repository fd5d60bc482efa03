#pragma once

// Straight-line interpolation shared by the spectra and the I0 stack.

// The mean of ya and yb.
inline double meanValue(double ya, double yb)
{
    return (ya + yb) * 0.5;
}

// Value at x of the line through (xa, ya) and (xb, yb); the mean of ya and yb when xa == xb.
inline double lineValue(double xa, double ya, double xb, double yb, double x)
{
    if (xa == xb)
        return meanValue(ya, yb);
    return ya + (yb - ya) / (xb - xa) * (x - xa);
}

// Value at weight w of the line from ya (w = 0) to yb (w = 1): for many lines over the same
// two abscissae, whose weight (x - xa) / (xb - xa) is found once.
inline double weightedValue(double ya, double yb, double w)
{
    return ya + (yb - ya) * w;
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

// For n >= 2 abscissae in rising order: the index j in 1 .. n-1 of the segment from point j-1
// to point j that a polyline through them uses at x, its first and last segments extended
// beyond its ends.
template<typename XAt>
int polylineSegment(int n, double x, XAt xAt)
{
    if (x <= xAt(0))
        return 1;
    if (x >= xAt(n - 1))
        return n - 1;
    return upperNeighbourIndex(n, x, xAt);
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
    const int upper = polylineSegment(n, x, xAt);
    return lineValue(xAt(upper - 1), yAt(upper - 1), xAt(upper), yAt(upper), x);
}

// Where the polyline through n points first crosses minY + fraction * (maxY - minY): rising
// (kind 0), falling (1) or either way (2); 0 without points, xAt(0) without a crossing. Every
// spectrum, stored or seen in place, finds its edge through this one function.
template<typename XAt, typename YAt>
double crossingOf(int n, double minY, double maxY, double fraction, int kind, XAt xAt, YAt yAt)
{
    if (n == 0)
        return 0.0;
    const double level = minY + fraction * (maxY - minY);
    // One loop for each kind: the edge of every block of an area is found here.
    const auto scan = [&](auto crosses) {
        double ya = yAt(0);
        for (int i = 0; i + 1 < n; ++i) {
            const double yb = yAt(i + 1);
            if (crosses(ya, yb))
                return lineValue(ya, xAt(i), yb, xAt(i + 1), level);
            ya = yb;
        }
        return xAt(0);
    };
    if (kind == 0)
        return scan([level](double ya, double yb) { return ya < level && level <= yb; });
    if (kind == 1)
        return scan([level](double ya, double yb) { return ya > level && level >= yb; });
    return scan([level](double ya, double yb) { return (yb - level) * (ya - level) <= 0; });
}
