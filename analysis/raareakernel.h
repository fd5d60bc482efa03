#pragma once

#include "analysis/blockrequest.h"

// The residual absorption of every block of an area run: the block's spectrum is normalised
// with the run's base-line form and its energy origin, and its base lines are read at one
// energy. Per block it gives a flag (1 for a block with a spectrum, else 0), the edge jump
// dmut = post - pre and the residual pre - factor * dmut.
class RAAreaKernel
{
public:
    static constexpr int valueCount = 3;

    RAAreaKernel(int background, double energy, double factor);

    void compute(const BlockRequest::Block &block, double *values) const;
    // Makes this the request's kernel.
    void setUp(BlockRequest &request) const;

private:
    int mBackground;
    double mEnergy;
    double mFactor;
};
