#include "gridspectrumkernel.h"

#include "spectra/edgenormalization.h"
#include "spectra/interpolation.h"
#include "spectra/straightlinegrid.h"

#include <cmath>

GridSpectrumKernel::GridSpectrumKernel(const Background &background,
                                       const std::vector<double> &energies)
    : mBackground(background)
    , mEnergies(std::make_shared<const std::vector<double>>(energies))
    , mLines(BlockRequest::Block::straightLineGrid(energies, background.ranges))
    , mTally(std::make_shared<NormFailureTally>())
{}

bool GridSpectrumKernel::compute(const BlockRequest::Block &block, double *out) const
{
    const int n = points();
    if (block.raw.size() != n || n < 2) {
        mTally->add(EdgeNormalization::NoE0);
        return false;
    }
    thread_local EdgeNormalization levels;
    thread_local std::vector<double> values;
    block.normalize(mBackground, levels, mLines.get());
    int failures = levels.failures;
    // The scatter of the spectrum about its base lines over their ranges.
    const NormRanges &ranges = mBackground.ranges;
    const double edge = levels.edgeEstimate;
    double squares = 0.0;
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const double energy = block.raw.xAt(i);
        double d = 0.0;
        if (energy >= edge + ranges.preStart && energy < edge + ranges.preEnd)
            d = block.raw.yAt(i) - levels.preValues[size_t(i)];
        else if (energy >= edge + ranges.postStart && energy < edge + ranges.postEnd)
            d = block.raw.yAt(i) - levels.postValues[size_t(i)];
        else
            continue;
        squares += d * d;
        ++count;
    }
    const double scatter = count > 1 ? std::sqrt(squares / (count - 1)) : 0.0;
    if (!(levels.jump > minEdgeToNoise * scatter) || !(levels.jump > 0.0))
        failures |= EdgeNormalization::NoE0;
    // Base lines through as few points as their form has coefficients leave no scatter to judge
    // the edge by (a step at the start of the scan, at a border of an aligned stack).
    const int needed = mBackground.victoreen ? 4 : 3;
    const auto pointsIn = [&](double from, double to) {
        return EdgeNormalization::pointsIn(
            n, [&block](int i) { return block.raw.xAt(i); }, edge + from, edge + to);
    };
    if (pointsIn(ranges.preStart, ranges.preEnd) < needed)
        failures |= EdgeNormalization::ShortPreEdge;
    if (pointsIn(ranges.postStart, ranges.postEnd) < needed)
        failures |= EdgeNormalization::ShortPostEdge;
    if (failures == 0) {
        values.resize(size_t(n));
        block.doubleNormalized(levels, values.data());
        const double *energies = block.raw.energies();
        const double *normalised = values.data();
        for (int i = 0; i < n; ++i) {
            double v = normalised[i];
            if (block.energyShift != 0.0) {
                const double at
                    = qBound(energies[0], energies[i] + block.energyShift, energies[n - 1]);
                v = polylineValue(
                    n,
                    at,
                    [energies](int j) { return energies[j]; },
                    [normalised](int j) { return normalised[j]; });
            }
            if (!std::isfinite(v)) {
                failures |= EdgeNormalization::NoE0;
                break;
            }
            out[i] = v;
        }
    }
    mTally->add(failures);
    return failures == 0;
}
