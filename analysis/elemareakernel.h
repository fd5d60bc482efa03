#pragma once

#include "analysis/blockrequest.h"
#include "analysis/elemanalysis.h"

#include <memory>

// The element analysis of every block of an area run, on the blocks' raw spectra as they come
// from the stacks (their shift is never on). Per block it gives the values of
// ElemAnalysis::evaluate: seven kinds per element, the measured jumps and the correlation.
class ElemAreaKernel
{
public:
    // energies: the energies of the block spectra, on which the readings are found once.
    ElemAreaKernel(const QVector<ElemParams> &elems,
                   int mainTarget,
                   const ElemBackgrounds &bg,
                   const std::vector<double> &energies);

    int valueCount() const { return mFull->valueCount(); }
    void compute(const BlockRequest::Block &block, double *values) const;
    // Makes this the request's kernel.
    void setUp(BlockRequest &request) const;

private:
    // For blocks with their spectrum, and for blocks outside the image, which have no points.
    std::shared_ptr<const ElemAnalysis> mFull;
    std::shared_ptr<const ElemAnalysis> mEmpty;
};
