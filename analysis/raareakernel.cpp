#include "raareakernel.h"

#include "spectra/edgenormalization.h"
#include "spectra/straightlinegrid.h"

RAAreaKernel::RAAreaKernel(const Background &background,
                           double energy,
                           double factor,
                           const std::vector<double> &energies)
    : mLines(BlockRequest::Block::straightLineGrid(energies, background.ranges))
    , mNormFailures(std::make_shared<NormFailureTally>())
    , mBackground(background)
    , mEnergy(energy)
    , mFactor(factor)
{}

void RAAreaKernel::compute(const BlockRequest::Block &block, double *values) const
{
    values[0] = values[1] = values[2] = 0.0;
    if (block.raw.isEmpty())
        return;
    thread_local EdgeNormalization levels;
    block.normalize(mBackground, levels, mLines.get(), mNormFailures.get());
    // The block spectrum's own shift is never on: its base lines are read at the energy itself.
    const int n = block.raw.size();
    const auto xAt = [&block](int i) { return block.raw.xAt(i); };
    const double pre = EdgeNormalization::baseValueAt(n, xAt, levels.preValues, mEnergy);
    const double dmut = EdgeNormalization::baseValueAt(n, xAt, levels.postValues, mEnergy) - pre;
    values[0] = 1.0;
    values[1] = dmut;
    values[2] = pre - mFactor * dmut;
}

void RAAreaKernel::setUp(BlockRequest &request) const
{
    request.kernel = [kernel = *this](const BlockRequest::Block &block, double *values) {
        kernel.compute(block, values);
    };
    request.valueCount = valueCount;
}
