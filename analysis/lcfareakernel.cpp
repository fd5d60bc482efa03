#include "lcfareakernel.h"

#include "analysis/lcffit.h"
#include "spectra/edgenormalization.h"

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
    if (!lcfFittable(block.raw, mPlan->referenceCount()))
        return;
    // Buffers each thread keeps from block to block.
    thread_local EdgeNormalization levels;
    thread_local std::vector<double> energies;
    thread_local std::vector<double> targets;
    block.normalize(mBackground, levels);
    const int size = block.raw.size();
    energies.resize(size_t(size));
    targets.resize(size_t(size));
    for (int i = 0; i < size; ++i) {
        energies[size_t(i)] = block.raw.xAt(i);
        const double mu = block.raw.yAt(i);
        const double pre = levels.preValues[size_t(i)];
        const double post = levels.postValues[size_t(i)];
        // MLCF fits the raw absorption, LCF the double-normalised spectrum.
        targets[size_t(i)] = mPlan->mlcf() ? mu : (mu - pre) / (post - pre);
    }
    values[0] = 1.0;
    mPlan->fit(energies.data(),
               targets.data(),
               size,
               size,
               block.energyShift,
               levels.jump,
               values + 1 + n,
               values + 1);
}

void LCFAreaKernel::setUp(BlockRequest &request) const
{
    request.kernel = [kernel = *this](const BlockRequest::Block &block, double *values) {
        kernel.compute(block, values);
    };
    request.valueCount = valueCount();
}
