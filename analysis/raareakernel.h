#pragma once

#include "analysis/blockrequest.h"
#include "analysis/normfailuretally.h"

#include <memory>
#include <vector>

// The residual absorption of every block of an area run: the block's spectrum is normalised
// with the run's background and its energy origin, and its base lines are read at one
// energy. Per block it gives a flag (1 for a block with a spectrum, else 0), the edge jump
// dmut = post - pre and the residual pre - factor * dmut.
class RAAreaKernel
{
public:
    static constexpr int valueCount = 3;

    // energies: those of the block spectra.
    RAAreaKernel(const Background &background,
                 double energy,
                 double factor,
                 const std::vector<double> &energies);

    void compute(const BlockRequest::Block &block, double *values) const;
    // The blocks normalised so far by every copy of this kernel, and those that failed.
    std::shared_ptr<const NormFailureTally> normFailures() const { return mNormFailures; }
    // Makes this the request's kernel.
    void setUp(BlockRequest &request) const;

private:
    // Shared by the copies that the threads of a run hold; read only.
    std::shared_ptr<const StraightLineGrid> mLines;
    std::shared_ptr<NormFailureTally> mNormFailures;
    Background mBackground;
    double mEnergy;
    double mFactor;
};
