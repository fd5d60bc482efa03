#pragma once

#include "spectrumspan.h"

#include <vector>

// The absorption spectra of a run of blocks along an image row as StackSpectra::rowAbsorption
// computes them: image by image (the values of every block at image k, then at image k + 1),
// with the value range of every block, and the scratch space of the computation. Kept from
// run to run, so that a thread computing row after row allocates for its first run only.
class RowSpectra
{
public:
    // Blocks of the last run.
    int count() const { return mCount; }
    // The spectrum of block i of the last run; empty for a block whose pixels in the image
    // all held a non-finite sample in some image.
    SpectrumSpan block(int i) const;

private:
    friend class StackSpectra;

    const double *mEnergies = nullptr;
    int mImages = 0;
    int mCount = 0;
    // mValues[k * mCount + i]: absorption of block i at I1 image k.
    std::vector<double> mValues;
    std::vector<double> mMinY;
    std::vector<double> mMaxY;
    // I1 and I0 sums of the image in hand.
    std::vector<double> mS1;
    std::vector<double> mS0;
    // Bin sums of every I0 image that the run has needed so far, mCount apiece.
    std::vector<double> mI0Sums;
    std::vector<bool> mI0Summed;

    // Only for stacks with non-finite samples: the band of the run's rows and columns, set
    // where some image of either stack has a non-finite sample (left out of every sum), the
    // blocks that contain such pixels and those with no other pixel in the image.
    qint64 mBandLeft = 0;
    qint64 mBandTop = 0;
    qint64 mBandWidth = 0;
    qint64 mBandHeight = 0;
    std::vector<unsigned char> mBandMask;
    std::vector<int> mMaskedBlocks;
    std::vector<unsigned char> mNoSpectrum;
};
