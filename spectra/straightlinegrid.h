#pragma once

#include "linearsolver.h"

#include <vector>

// The energy side of straight base-line fits over one fixed set of rising energies, worked
// out once: for each window of points (its first point and how many), the factored normal
// matrix of the fit. The blocks of an area run share their energies, so each of their base-line
// fits then only sums its absorption. The sums are taken in the order of a fit walking the
// points, so a fit through here gives the numbers of one without it.
class StraightLineGrid
{
public:
    // n energies; fits ask for windows no wider than width (eV). Energies that do not rise, or
    // are not finite, give a grid that holds nothing; long lists hold only shorter windows.
    StraightLineGrid(const double *energies, int n, double width);

    // Whether the grid's energies rise (never fall, all finite).
    bool isRising() const { return mRising; }
    // Whether these are the grid's energies, bit for bit.
    bool matches(const double *energies, int n) const;
    // The points with start <= E < end: count of them from first. Returns the factors of their
    // normal matrix, or nullptr where the grid holds none (fewer than two points, a window
    // wider than the grid's, bounds that are not numbers); count is -1 when the grid cannot
    // tell the window at all.
    const LinearFactors *window(double start, double end, int &first, int &count) const;

private:
    std::vector<double> mEnergies;
    bool mRising = false;
    // For each first point, the index in mFactors of its window of two points; windows of
    // more points follow, up to the next first point's index.
    std::vector<int> mOffsets;
    std::vector<LinearFactors> mFactors;
};
