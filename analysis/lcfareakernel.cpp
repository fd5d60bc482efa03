#include "lcfareakernel.h"

#include "analysis/lcffit.h"
#include "spectra/xafsspectrum.h"

#include <algorithm>

LCFAreaKernel::LCFAreaKernel(const QVector<LCFReferenceData> &references,
                             bool mlcf,
                             int background,
                             const std::vector<double> &energies)
    : mBackground(background)
{
    auto plan = std::make_shared<LCFFitPlan>(references, mlcf);
    plan->prepareGrid(energies.data(), int(energies.size()));
    mPlan = plan;
}

void LCFAreaKernel::compute(const BlockRequest::Block &block, double *values) const
{
    const int n = usedCount();
    std::fill(values, values + valueCount(), 0.0);
    const XafsSpectrum sample(block.raw, mBackground, block.energyShift);
    if (!lcfFittable(sample, mPlan->referenceCount()))
        return;
    values[0] = 1.0;
    mPlan->fitSpectrum(sample, values + 1 + n, values + 1);
}

void LCFAreaKernel::setUp(BlockRequest &request) const
{
    request.kernel = [kernel = *this](const BlockRequest::Block &block, double *values) {
        kernel.compute(block, values);
    };
    request.valueCount = valueCount();
}
