#include "raareakernel.h"

#include "spectra/xafsspectrum.h"

RAAreaKernel::RAAreaKernel(int background, double energy, double factor)
    : mBackground(background)
    , mEnergy(energy)
    , mFactor(factor)
{}

void RAAreaKernel::compute(const BlockRequest::Block &block, double *values) const
{
    values[0] = values[1] = values[2] = 0.0;
    if (block.raw.isEmpty())
        return;
    const XafsSpectrum spectrum(block.raw, mBackground, block.energyShift);
    // The block spectrum's own shift is never on: its base lines are read at the energy itself.
    const double pre = spectrum.preEdge.valueAt(mEnergy);
    const double dmut = spectrum.postEdge.valueAt(mEnergy) - pre;
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
