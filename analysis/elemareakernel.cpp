#include "elemareakernel.h"

ElemAreaKernel::ElemAreaKernel(const QVector<ElemParams> &elems,
                               int mainTarget,
                               const ElemBackgrounds &bg,
                               const std::vector<double> &energies)
{
    auto full = std::make_shared<ElemAnalysis>(elems, mainTarget, bg);
    full->prepare(int(energies.size()), energies.data(), 0.0);
    mFull = full;
    auto empty = std::make_shared<ElemAnalysis>(elems, mainTarget, bg);
    empty->prepare(0, nullptr, 0.0);
    mEmpty = empty;
}

void ElemAreaKernel::compute(const BlockRequest::Block &block, double *values) const
{
    const ElemAnalysis &analysis = block.raw.isEmpty() ? *mEmpty : *mFull;
    analysis.evaluate([&block](int i) { return block.raw.yAt(i); }, values);
}

void ElemAreaKernel::setUp(BlockRequest &request) const
{
    request.kernel = [kernel = *this](const BlockRequest::Block &block, double *values) {
        kernel.compute(block, values);
    };
    request.valueCount = valueCount();
}
