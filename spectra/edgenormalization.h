#pragma once

#include "baseline.h"
#include "interpolation.h"
#include "normranges.h"

#include <vector>

// The normalisation of an absorption spectrum given as n points (xAt(i), yAt(i)) with rising
// energies: the edge estimate where it first rises through half its range, the pre- and
// post-edge base lines fitted in windows around it and their values at every point, the edge
// energy e0 (the mean of the crossings of the mid line between them near the edge) and the
// jump between the lines at e0. XafsSpectrum normalises itself with it; the area runs use it
// on block spectra without storing a spectrum. Its buffers are kept from one use to the next.
class EdgeNormalization
{
public:
    // What went wrong, as flags: no crossing of the mid line gave e0, or a base-line range
    // held fewer points than its form needs (two for a straight line, three for Victoreen).
    enum Failure { NoE0 = 1, ShortPreEdge = 2, ShortPostEdge = 4 };

    // pre and post hold the coefficients that a failed fit keeps. Straight lines take their
    // normal matrices from grid when given (it must hold these energies).
    template<typename XAt, typename YAt>
    void run(int n,
             XAt xAt,
             YAt yAt,
             double minY,
             double maxY,
             int isVictoreen,
             const NormRanges &w,
             BaseLine &pre,
             BaseLine &post,
             const StraightLineGrid *grid = nullptr)
    {
        edgeEstimate = crossingOf(n, minY, maxY, 0.5, 0, xAt, yAt);
        pre.fitCoefficients(
            n, xAt, yAt, edgeEstimate + w.preStart, edgeEstimate + w.preEnd, isVictoreen, grid);
        post.fitCoefficients(
            n, xAt, yAt, edgeEstimate + w.postStart, edgeEstimate + w.postEnd, isVictoreen, grid);
        preValues.resize(size_t(n));
        postValues.resize(size_t(n));
        pre.fillValues(n, xAt, preValues.data());
        post.fillValues(n, xAt, postValues.data());

        double crossingSum = 0.0;
        int crossings = 0;
        const double low = edgeEstimate + w.preEnd;
        const double high = edgeEstimate + w.postStart;
        // On the rising energies of a grid the points between the two bounds are found by
        // bisection; other energy lists are walked whole.
        const bool bisected = grid && grid->isRising();
        for (int i = bisected ? firstAbove(n, xAt, low) : 0; i + 1 < n; ++i) {
            const double energy = xAt(i);
            if (bisected && energy >= high)
                break;
            if (!(energy > low && energy < high))
                continue;
            const double p = preValues[size_t(i)];
            const double mid = p + (postValues[size_t(i)] - p) * 0.5;
            const double mu = yAt(i);
            const double nextMu = yAt(i + 1);
            if ((nextMu - mid) * (mu - mid) <= 0) {
                // A flat pair lying on mid counts at its middle instead of giving 0 / 0.
                const double g = nextMu == mu ? 0.5 : (mid - mu) / (nextMu - mu);
                crossingSum += energy + g * (xAt(i + 1) - energy);
                ++crossings;
            }
        }
        e0 = crossings > 0 ? crossingSum / crossings : 0.0;
        jump = baseValueAt(n, xAt, postValues, e0) - baseValueAt(n, xAt, preValues, e0);

        const int needed = isVictoreen ? 3 : 2;
        failures = crossings > 0 ? 0 : NoE0;
        if (pointsIn(n, xAt, edgeEstimate + w.preStart, edgeEstimate + w.preEnd) < needed)
            failures |= ShortPreEdge;
        if (pointsIn(n, xAt, edgeEstimate + w.postStart, edgeEstimate + w.postEnd) < needed)
            failures |= ShortPostEdge;
    }

    // The first i in [from, n) where past(i) holds, by bisection; past must hold from some
    // point on (as a bound on rising energies does). n when it never holds.
    template<typename Past>
    static int firstWhere(int from, int n, Past past)
    {
        int low = from;
        int high = n;
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (past(middle))
                high = middle;
            else
                low = middle + 1;
        }
        return low;
    }

    // The first of the n rising energies above bound; n when none is.
    template<typename XAt>
    static int firstAbove(int n, XAt xAt, double bound)
    {
        return firstWhere(0, n, [&xAt, bound](int i) { return xAt(i) > bound; });
    }

    // How many of the n rising energies lie in [start, end), as a base-line fit takes them.
    template<typename XAt>
    static int pointsIn(int n, XAt xAt, double start, double end)
    {
        const auto atOrAbove = [&xAt](double energy) {
            return [&xAt, energy](int i) { return !(xAt(i) < energy); };
        };
        const int first = firstWhere(0, n, atOrAbove(start));
        return firstWhere(first, n, atOrAbove(end)) - first;
    }

    // A base line's values read between the points at an energy, as the stored line would be.
    template<typename XAt>
    static double baseValueAt(int n, XAt xAt, const std::vector<double> &values, double energy)
    {
        return polylineValue(n, energy, xAt, [&values](int i) { return values[size_t(i)]; });
    }

    double edgeEstimate = 0.0;
    double e0 = 0.0;
    double jump = 0.0;
    // Failure flags of the last run; 0 when it went well.
    int failures = 0;
    std::vector<double> preValues;
    std::vector<double> postValues;
};
