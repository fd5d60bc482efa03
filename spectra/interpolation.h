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
