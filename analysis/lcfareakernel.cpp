#include "lcfareakernel.h"

#include "analysis/lcffit.h"
#include "spectra/edgenormalization.h"
#include "spectra/straightlinegrid.h"

#include <QDebug>

#include <algorithm>

LCFAreaKernel::LCFAreaKernel(const QVector<LCFReferenceData> &references,
                             bool mlcf,
                             const Background &background,
                             const std::vector<double> &energies)
    : mLines(BlockRequest::Block::straightLineGrid(energies, background.ranges))
    , mNotFinite(std::make_shared<NotFiniteCount>())
    , mNormFailures(std::make_shared<NormFailureTally>())
    , mBackground(background)
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
    thread_local std::vector<double> targets;
    block.normalize(mBackground, levels, mLines.get(), mNormFailures.get());
    const int size = block.raw.size();
    targets.resize(size_t(size));
    double *target = targets.data();
    // MLCF fits the raw absorption, LCF the double-normalised spectrum.
    if (mPlan->mlcf()) {
        for (int i = 0; i < size; ++i)
            target[i] = block.raw.yAt(i);
    } else {
        const double *pre = levels.preValues.data();
        const double *post = levels.postValues.data();
        for (int i = 0; i < size; ++i)
            target[i] = (block.raw.yAt(i) - pre[i]) / (post[i] - pre[i]);
    }
    values[0] = 1.0;
    const int notFinite = mPlan->fit(block.raw.energies(),
                                     target,
                                     size,
                                     size,
                                     block.energyShift,
                                     levels.jump,
                                     values + 1 + n,
                                     values + 1);
    if (notFinite >= 0)
        ++mNotFinite->blocks;
}

LCFAreaKernel::NotFiniteCount::~NotFiniteCount()
{
    if (blocks > 0)
        qDebug() << blocks.load() << "blocks gave a fit that is not a finite number, taken as 0";
}

void LCFAreaKernel::setUp(BlockRequest &request) const
{
    request.kernel = [kernel = *this](const BlockRequest::Block &block, double *values) {
        kernel.compute(block, values);
    };
    request.valueCount = valueCount();
}
