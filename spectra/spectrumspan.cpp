#include "spectrumspan.h"

#include "interpolation.h"
#include "spectrum.h"

double SpectrumSpan::crossingEnergy(double fraction, int kind) const
{
    return crossingOf(
        mSize,
        mMinY,
        mMaxY,
        fraction,
        kind,
        [this](int i) { return xAt(i); },
        [this](int i) { return yAt(i); });
}

void SpectrumSpan::copyTo(Spectrum &spectrum) const
{
    spectrum.assign(mEnergies, mValues, mSize, int(mStride));
}
