#include "baseline.h"

#include "linearsolver.h"
#include "xafsconstants.h"

#include <cmath>

namespace {

bool allFinite(const QVector<double> &values)
{
    for (double v : values) {
        if (!std::isfinite(v))
            return false;
    }
    return !values.isEmpty();
}

// Calls take(E, y) for the points with start <= E < end, E read with the shift; energies
// rise, so the walk stops at the first point at or past end. Returns how many were taken.
template<typename Take>
int forEachPointInRange(const Spectrum &spectrum, double start, double end, Take take)
{
    int n = 0;
    for (int i = 0; i < spectrum.size(); ++i) {
        const double energy = spectrum.xAt(i);
        if (energy >= end)
            break;
        if (energy < start)
            continue;
        take(energy, spectrum.yAt(i));
        ++n;
    }
    return n;
}

} // namespace

void BaseLine::fit(const Spectrum &spectrum, double start, double end, int victoreen)
{
    // A spectrum too short for the form, or a singular fit, keeps the old curve; it is still
    // evaluated at this spectrum's energies so that every point has its base value.
    if (victoreen)
        fitVictoreen(spectrum, start, end);
    else
        fitStraight(spectrum, start, end);
    clear();
    points.reserve(spectrum.size());
    for (int i = 0; i < spectrum.size(); ++i) {
        const double energy = spectrum.xAt(i);
        append(energy, fittedValue(energy));
    }
}

double BaseLine::fittedValue(double energy) const
{
    if (!isVictoreen)
        return a + slope * energy;
    const double lambda = HcEVAngstrom / energy;
    const double lambda3 = lambda * lambda * lambda;
    return a + b * lambda3 + c * lambda3 * lambda;
}

bool BaseLine::fitStraight(const Spectrum &spectrum, double start, double end)
{
    if (spectrum.size() <= 2)
        return false;
    double sumE = 0, sumE2 = 0, sumY = 0, sumEY = 0;
    const int n = forEachPointInRange(spectrum, start, end, [&](double energy, double y) {
        sumE += energy;
        sumE2 += energy * energy;
        sumY += y;
        sumEY += energy * y;
    });
    double newSlope = 0.0;
    double newA = n == 1 ? sumY : 0.0;
    if (n >= 2) {
        const QVector<double> solution
            = solveLinear({{sumE2, sumE}, {sumE, double(n)}}, {sumEY, sumY});
        // Points that all share one energy make the system singular: keep the old line.
        if (!allFinite(solution))
            return false;
        newSlope = solution.at(0);
        newA = solution.at(1);
    }
    isVictoreen = 0;
    slope = newSlope;
    a = newA;
    b = c = 0.0;
    return true;
}

bool BaseLine::fitVictoreen(const Spectrum &spectrum, double start, double end)
{
    if (spectrum.size() <= 3)
        return false;
    double sL3 = 0, sL4 = 0, sL6 = 0, sL7 = 0, sL8 = 0, sY = 0, sL3Y = 0, sL4Y = 0;
    const int n = forEachPointInRange(spectrum, start, end, [&](double energy, double y) {
        const double lambda = HcEVAngstrom / energy;
        const double l3 = lambda * lambda * lambda;
        const double l4 = l3 * lambda;
        sL3 += l3;
        sL4 += l4;
        sL6 += l3 * l3;
        sL7 += l3 * l4;
        sL8 += l4 * l4;
        sY += y;
        sL3Y += l3 * y;
        sL4Y += l4 * y;
    });
    // Three coefficients need three points; fewer would give a singular system.
    if (n < 3)
        return false;
    const QVector<double> solution
        = solveLinear({{double(n), sL3, sL4}, {sL3, sL6, sL7}, {sL4, sL7, sL8}}, {sY, sL3Y, sL4Y});
    if (!allFinite(solution))
        return false;
    isVictoreen = 1;
    a = solution.at(0);
    b = solution.at(1);
    c = solution.at(2);
    slope = 0.0;
    return true;
}
