#include "lcfareakernel.h"

#include "analysis/lcffit.h"
#include "spectra/edgenormalization.h"
#include "spectra/straightlinegrid.h"

#include <algorithm>

LCFAreaKernel::LCFAreaKernel(const QVector<LCFReferenceData> &references,
                             bool mlcf,
                             const Background &background,
                             const std::vector<double> &energies,
                             const LCFFitOptions &options)
    : mLines(BlockRequest::Block::straightLineGrid(energies, background.ranges))
    , mNormFailures(std::make_shared<NormFailureTally>())
    , mBackground(background)
{
    auto plan = std::make_shared<LCFFitPlan>(references, mlcf, options);
    plan->prepareGrid(energies.data(), int(energies.size()));
    mPlan = plan;
}

void LCFAreaKernel::compute(const BlockRequest::Block &inPlace, double *values) const
{
    std::fill(values, values + valueCount(), 0.0);
    if (!lcfFittable(inPlace.raw, mPlan->referenceCount()))
        return;
    // Buffers each thread keeps from block to block.
    thread_local EdgeNormalization levels;
    thread_local std::vector<double> targets;
    thread_local std::vector<double> points;
    const BlockRequest::Block block = inPlace.packed(points);
    block.normalize(mBackground, levels, mLines.get(), mNormFailures.get());
    const int size = block.raw.size();
    targets.resize(size_t(size));
    double *target = targets.data();
    // MLCF fits the raw absorption, LCF the double-normalised spectrum.
    if (mPlan->mlcf()) {
        for (int i = 0; i < size; ++i)
            target[i] = block.raw.yAt(i);
    } else {
        block.doubleNormalized(levels, target);
    }
    values[0] = 1.0;
    LCFFitPlan::Output out;
    out.dmuts = values + dmutAt(0);
    out.ratios = values + ratioAt(0);
    out.errors = values + errorAt(0);
    mPlan->fit(
        block.raw.energies(), target, size, size, block.energyShift, levels.jump, levels.e0, out);
    values[rFactorAt()] = out.rFactor;
    values[redChi2At()] = out.redChi2;
    values[subsetAt()] = double(out.subset);
}

void LCFAreaKernel::setUp(BlockRequest &request) const
{
    request.kernel = [kernel = *this](const BlockRequest::Block &block, double *values) {
        kernel.compute(block, values);
    };
    request.valueCount = valueCount();
}
