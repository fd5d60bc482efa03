#include "rowspectra.h"

SpectrumSpan RowSpectra::block(int i) const
{
    return SpectrumSpan(mEnergies, mValues.data() + i, mImages, mCount, mMinY[i], mMaxY[i]);
}
