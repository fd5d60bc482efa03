#pragma once

#include "linearsolver.h"
#include "spectrum.h"
#include "straightlinegrid.h"
#include "xafsconstants.h"

#include <cmath>

// A pre- or post-edge base line: a straight line a + slope * E or a Victoreen curve
// a + b * lambda^3 + c * lambda^4 (lambda in Angstrom) fitted to part of a spectrum, and held
// as its value at every point of that spectrum.
class BaseLine : public Spectrum
{
public:
    // Fits the line to the points with start <= E < end (E as read, shifted; the walk stops at
    // the first point at or past end) and refills the points at every energy of spectrum.
    // Spectra too short for the form, and fits that come out singular, keep the old
    // coefficients (the points are refilled from them).
    void fit(const Spectrum &spectrum, double start, double end, int victoreen);
    // The fit alone, of n points (xAt(i), yAt(i)) with rising energies; the points are left.
    // A straight line over the energies of grid, when given, takes its normal matrix from it.
    template<typename XAt, typename YAt>
    void fitCoefficients(int n,
                         XAt xAt,
                         YAt yAt,
                         double start,
                         double end,
                         int victoreen,
                         const StraightLineGrid *grid = nullptr)
    {
        if (victoreen)
            fitVictoreen(n, xAt, yAt, start, end);
        else if (grid)
            fitStraightOnGrid(*grid, n, xAt, yAt, start, end);
        else
            fitStraight(n, xAt, yAt, start, end);
    }
    // Value of the fitted curve at an energy in eV.
    double fittedValue(double energy) const
    {
        if (!isVictoreen)
            return a + slope * energy;
        const double lambda = HcEVAngstrom / energy;
        const double lambda3 = lambda * lambda * lambda;
        return a + b * lambda3 + c * lambda3 * lambda;
    }

    // fittedValue at each of the n energies xAt(i), into values.
    template<typename XAt>
    void fillValues(int n, XAt xAt, double *values) const
    {
        // The form is chosen once, not at every point.
        if (isVictoreen) {
            for (int i = 0; i < n; ++i)
                values[i] = fittedValue(xAt(i));
        } else {
            for (int i = 0; i < n; ++i)
                values[i] = a + slope * xAt(i);
        }
    }

    int isVictoreen = 1;
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    double slope = 0.0;

private:
    static bool allFinite(const double *values, int n)
    {
        for (int i = 0; i < n; ++i) {
            if (!std::isfinite(values[i]))
                return false;
        }
        return true;
    }
    // Calls take(E, y) for the points with start <= E < end; energies rise, so the walk stops
    // at the first point at or past end. Returns how many were taken.
    template<typename XAt, typename YAt, typename Take>
    static int forEachPointInRange(int n, XAt xAt, YAt yAt, double start, double end, Take take)
    {
        int taken = 0;
        // The points below the range first, in a loop of their own.
        int i = 0;
        while (i < n && xAt(i) < start)
            ++i;
        for (; i < n; ++i) {
            const double energy = xAt(i);
            if (energy >= end)
                break;
            if (energy < start)
                continue;
            take(energy, yAt(i));
            ++taken;
        }
        return taken;
    }

    template<typename XAt, typename YAt>
    bool fitStraight(int size, XAt xAt, YAt yAt, double start, double end)
    {
        if (size <= 2)
            return false;
        double sumE = 0, sumE2 = 0, sumY = 0, sumEY = 0;
        const int n = forEachPointInRange(size, xAt, yAt, start, end, [&](double energy, double y) {
            sumE += energy;
            sumE2 += energy * energy;
            sumY += y;
            sumEY += energy * y;
        });
        if (n < 2)
            return takeStraight(n, nullptr, sumY, sumEY);
        const double normal[] = {sumE2, sumE, sumE, double(n)};
        const LinearFactors factors(normal, 2);
        return takeStraight(n, &factors, sumY, sumEY);
    }

    // fitStraight on the energies of grid: only the absorption is summed.
    template<typename XAt, typename YAt>
    bool fitStraightOnGrid(
        const StraightLineGrid &grid, int size, XAt xAt, YAt yAt, double start, double end)
    {
        if (size <= 2)
            return false;
        int first = 0;
        int n = 0;
        const LinearFactors *factors = grid.window(start, end, first, n);
        // Windows the grid does not hold are fitted by the walk.
        if (n < 0 || (n >= 2 && !factors))
            return fitStraight(size, xAt, yAt, start, end);
        double sumY = 0, sumEY = 0;
        for (int i = first; i < first + n; ++i) {
            const double y = yAt(i);
            sumY += y;
            sumEY += xAt(i) * y;
        }
        return takeStraight(n, factors, sumY, sumEY);
    }

    // Takes the line through n points from their sums and, for two or more, the factored
    // normal matrix (which every caller gives them).
    bool takeStraight(int n, const LinearFactors *factors, double sumY, double sumEY)
    {
        double newSlope = 0.0;
        double newA = n == 1 ? sumY : 0.0;
        if (n >= 2 && factors) {
            const double rhs[] = {sumEY, sumY};
            double solution[2];
            factors->solve(rhs, solution);
            // Points that all share one energy make the system singular: keep the old line.
            if (!allFinite(solution, 2))
                return false;
            newSlope = solution[0];
            newA = solution[1];
        }
        isVictoreen = 0;
        slope = newSlope;
        a = newA;
        b = c = 0.0;
        return true;
    }

    template<typename XAt, typename YAt>
    bool fitVictoreen(int size, XAt xAt, YAt yAt, double start, double end)
    {
        if (size <= 3)
            return false;
        double sL3 = 0, sL4 = 0, sL6 = 0, sL7 = 0, sL8 = 0, sY = 0, sL3Y = 0, sL4Y = 0;
        const int n = forEachPointInRange(size, xAt, yAt, start, end, [&](double energy, double y) {
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
        const double normal[] = {double(n), sL3, sL4, sL3, sL6, sL7, sL4, sL7, sL8};
        const double rhs[] = {sY, sL3Y, sL4Y};
        double solution[3];
        LinearFactors(normal, 3).solve(rhs, solution);
        if (!allFinite(solution, 3))
            return false;
        isVictoreen = 1;
        a = solution[0];
        b = solution[1];
        c = solution[2];
        slope = 0.0;
        return true;
    }
};
