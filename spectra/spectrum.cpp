#include "spectrum.h"

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

void Spectrum::append(double x, double y)
{
    const int index = points.size();
    points.append(QPointF(x, y));
    if (x < minX)
        minX = x;
    if (x > maxX)
        maxX = x;
    if (y < minY) {
        minY = y;
        minYIndex = index;
    }
    if (y > maxY) {
        maxY = y;
        maxYIndex = index;
    }
}

void Spectrum::clear()
{
    points.clear();
    minX = minY = 1e300;
    maxX = maxY = -1e300;
}

double Spectrum::valueAt(double x) const
{
    Q_UNUSED(x)
    return 0.0;
}

double Spectrum::crossingEnergy(double fraction, int kind) const
{
    Q_UNUSED(fraction)
    Q_UNUSED(kind)
    return 0.0;
}
