#include "edgepositionkernel.h"

void EdgePositionKernel::compute(const BlockRequest::Block &block, double *values)
{
    values[0] = block.raw.crossingEnergy(0.5, 0);
}

void EdgePositionKernel::setUp(BlockRequest &request)
{
    request.kernel = &EdgePositionKernel::compute;
    request.valueCount = valueCount;
}
