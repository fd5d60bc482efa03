#pragma once

#include "spectrum.h"
#include "xafsspectrum.h"

#include <QVector>

#include <vector>

class TiffData;

// Spectra taken from the I1 and I0 image stacks: the absorption spectrum of a binned block,
// the I0 intensity interpolated to an energy, and the cross-section profiles through a pixel.
// Absorption is ln(I0 / I1), or the ratio I1 / I0 in fluorescence mode. The stacks may come
// in any energy order: both are taken in rising energy, so spectra always have rising
// energies. Holds the stacks by pointer; the images stay owned by the caller.
class StackSpectra
{
public:
    StackSpectra(const QVector<TiffData *> &i1Images,
                 const QVector<TiffData *> &i0Images,
                 int imageWidth,
                 int imageHeight,
                 bool fluorescence);

    // I0 bin sum around (x, y) interpolated (or extrapolated) at an energy; 1 without I0
    // images.
    double i0At(double energy, int x, int y, int halfWidth, int halfHeight) const;
    // Raw spectrum of the block around (x, y), one point (energy, absorption) per I1 image in
    // rising energy; empty outside the image.
    Spectrum spectrumAt(int x, int y, int halfWidth, int halfHeight) const;
    // The raw spectrum wrapped as a normalised spectrum with the pixel's energy shift as origin.
    XafsSpectrum xafsSpectrumAt(
        int x, int y, int halfWidth, int halfHeight, int isVictoreen, double energyShift) const;

    // Profile along row y of image: (column, bin sum of 3 columns x (2|halfHeight|+1) rows);
    // with absorption set, ln(I0 / sum) instead. Empty without an image or outside the rows.
    Spectrum horizontalProfile(const TiffData *image, int y, int halfHeight, bool absorption) const;
    // Profile along column x: (row, bin sum of (2|halfWidth|+1) columns x 3 rows), likewise.
    Spectrum verticalProfile(const TiffData *image, int x, int halfWidth, bool absorption) const;

private:
    // The interpolation of i0At over bin sums given by sumOf(k) for I0 image k.
    template<typename SumOf>
    double interpolateI0(double energy, SumOf sumOf) const;
    // Bin sums of 3 lines x (2|half|+1) across centred on every position of row (alongRow) or
    // column fixed: binSum(p, fixed, 1, half) or binSum(fixed, p, half, 1).
    std::vector<double> windowSums(const TiffData *image, bool alongRow, int fixed, int half) const;
    Spectrum
    profile(const TiffData *image, bool alongRow, int fixed, int half, bool absorption) const;

    QVector<TiffData *> mI1Images;
    QVector<TiffData *> mI0Images;
    int mImageWidth;
    int mImageHeight;
    bool mFluorescence;
};
