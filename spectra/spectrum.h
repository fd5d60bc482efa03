#pragma once

#include <QPointF>
#include <QVector>

// An ordered list of (x, y) points with its value range and an optional energy shift: every
// x is read as x - dE while the shift is on.
class Spectrum
{
public:
    Spectrum() = default;
    // Copies the points and the range; a source with its shift on hands its dE over (off)
    // and its range is read shifted.
    Spectrum(const Spectrum &other);
    Spectrum &operator=(const Spectrum &other);
    virtual ~Spectrum() = default;

    void append(double x, double y);
    // Replaces the points by the n points (x[k], y[k * yStride]).
    void assign(const double *x, const double *y, int n, int yStride);
    void clear();
    int size() const { return points.size(); }
    bool isEmpty() const { return points.isEmpty(); }

    // x of point i as read, with the shift applied when it is on.
    double xAt(int i) const { return shiftOn ? points.at(i).x() - dE : points.at(i).x(); }
    double yAt(int i) const { return points.at(i).y(); }

    // y linearly interpolated at x (extrapolated beyond the ends).
    double valueAt(double x) const;
    // Energy at which the curve first crosses minY + fraction * (maxY - minY);
    // kind 0 rising, 1 falling, 2 either.
    double crossingEnergy(double fraction, int kind) const;

    int valid = 1;
    QVector<QPointF> points;
    double minX = 1e300;
    double minY = 1e300;
    double maxX = -1e300;
    double maxY = -1e300;
    int minYIndex = 0;
    int maxYIndex = 0;
    bool shiftOn = false;
    double dE = 0.0;

private:
    // The ranges of a spectrum, widened point by point.
    struct Range
    {
        double minX, minY, maxX, maxY;
        int minYIndex, maxYIndex;

        void widen(const QPointF &p, int index)
        {
            if (p.x() < minX)
                minX = p.x();
            if (p.x() > maxX)
                maxX = p.x();
            if (p.y() < minY) {
                minY = p.y();
                minYIndex = index;
            }
            if (p.y() > maxY) {
                maxY = p.y();
                maxYIndex = index;
            }
        }
    };
    Range range() const { return {minX, minY, maxX, maxY, minYIndex, maxYIndex}; }
    void setRange(const Range &r);
};
