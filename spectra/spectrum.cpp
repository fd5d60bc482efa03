#include "spectrum.h"

#include "interpolation.h"

Spectrum::Spectrum(const Spectrum &other)
{
    *this = other;
}

Spectrum &Spectrum::operator=(const Spectrum &other)
{
    if (this == &other)
        return *this;
    valid = other.valid;
    points = other.points;
    minX = other.minX;
    minY = other.minY;
    maxX = other.maxX;
    maxY = other.maxY;
    minYIndex = other.minYIndex;
    maxYIndex = other.maxYIndex;
    shiftOn = false;
    dE = 0.0;
    if (other.shiftOn) {
        minX -= other.dE;
        maxX -= other.dE;
        dE = other.dE;
    }
    return *this;
}

void Spectrum::setRange(const Range &r)
{
    minX = r.minX;
    minY = r.minY;
    maxX = r.maxX;
    maxY = r.maxY;
    minYIndex = r.minYIndex;
    maxYIndex = r.maxYIndex;
}

void Spectrum::append(double x, double y)
{
    Range r = range();
    points.append(QPointF(x, y));
    r.widen(points.constLast(), points.size() - 1);
    setRange(r);
}

void Spectrum::assign(const double *x, const double *y, int n, int yStride)
{
    clear();
    points.resize(n);
    QPointF *p = points.data();
    // The range in a local, which the compiler keeps in registers.
    Range r = range();
    for (int k = 0; k < n; ++k) {
        p[k] = QPointF(x[k], y[qsizetype(k) * yStride]);
        r.widen(p[k], k);
    }
    setRange(r);
}

void Spectrum::clear()
{
    points.clear();
    minX = minY = 1e300;
    maxX = maxY = -1e300;
    // Indices of points that are gone would be read past the end.
    minYIndex = maxYIndex = 0;
}

double Spectrum::valueAt(double x) const
{
    return polylineValue(
        points.size(), x, [this](int i) { return xAt(i); }, [this](int i) { return yAt(i); });
}

double Spectrum::crossingEnergy(double fraction, int kind) const
{
    return crossingOf(
        points.size(),
        minY,
        maxY,
        fraction,
        kind,
        [this](int i) { return xAt(i); },
        [this](int i) { return yAt(i); });
}
