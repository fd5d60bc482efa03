#include "rowspectra.h"

SpectrumSpan RowSpectra::block(int i) const
{
    if (!mNoSpectrum.empty() && mNoSpectrum[size_t(i)])
        return SpectrumSpan();
    return SpectrumSpan(mEnergies, mValues.data() + i, mImages, mCount, mMinY[i], mMaxY[i]);
}
