#pragma once

#include "analysis/blockrequest.h"

// The edge position of a block: the energy where its raw absorption first rises through half
// of its own range, as the energy calibration measures the edge of every block. 0 for a
// block without a spectrum.
class EdgePositionKernel
{
public:
    static constexpr int valueCount = 1;
    static void compute(const BlockRequest::Block &block, double *values);
    // Makes this the request's kernel.
    static void setUp(BlockRequest &request);
};
