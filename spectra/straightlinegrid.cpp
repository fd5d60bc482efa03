#include "straightlinegrid.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstring>

StraightLineGrid::StraightLineGrid(const double *energies, int n, double width)
    : mEnergies(energies, energies + n)
{
    mRising = n > 0;
    for (int i = 0; i < n && mRising; ++i)
        mRising = std::isfinite(energies[i]) && (i == 0 || energies[i - 1] <= energies[i]);
    if (!mRising)
        return;
    // Long energy lists hold only the shorter windows, within a few megabytes; fits over
    // longer ones walk their points.
    constexpr size_t maxBytes = size_t(16) << 20;
    const int maxCount = int(qMax(size_t(2), maxBytes / sizeof(LinearFactors) / size_t(n)));
    mOffsets.reserve(size_t(n) + 1);
    for (int first = 0; first < n; ++first) {
        mOffsets.push_back(int(mFactors.size()));
        // The sums of a fit's walk from this point, one point more for each window.
        double sumE = 0.0;
        double sumE2 = 0.0;
        const int end = qMin(n, first + maxCount);
        for (int i = first; i < end && energies[i] - energies[first] <= width; ++i) {
            sumE += energies[i];
            sumE2 += energies[i] * energies[i];
            const int count = i - first + 1;
            if (count < 2)
                continue;
            const double normal[] = {sumE2, sumE, sumE, double(count)};
            mFactors.emplace_back(normal, 2);
        }
    }
    mOffsets.push_back(int(mFactors.size()));
}

bool StraightLineGrid::matches(const double *energies, int n) const
{
    return n == int(mEnergies.size())
           && (n == 0 || std::memcmp(energies, mEnergies.data(), sizeof(double) * size_t(n)) == 0);
}

const LinearFactors *
StraightLineGrid::window(double start, double end, int &first, int &count) const
{
    first = 0;
    count = -1;
    if (!mRising || std::isnan(start) || std::isnan(end))
        return nullptr;
    // On rising energies the points a walk takes are those between the two bounds.
    const auto begin = mEnergies.cbegin();
    first = int(std::lower_bound(begin, mEnergies.cend(), start) - begin);
    const int last = int(std::lower_bound(begin, mEnergies.cend(), end) - begin);
    count = std::max(last - first, 0);
    if (count < 2)
        return nullptr;
    const int at = mOffsets[size_t(first)] + count - 2;
    return at < mOffsets[size_t(first) + 1] ? &mFactors[size_t(at)] : nullptr;
}
