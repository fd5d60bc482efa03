#pragma once

#include "interpolation.h"
#include "rowspectra.h"
#include "spectrum.h"
#include "xafsspectrum.h"

#include <QStringList>
#include <QVector>

#include <vector>

class TiffData;

// Spectra taken from the I1 and I0 image stacks: the absorption spectrum of a binned block,
// the I0 intensity interpolated to an energy, and the cross-section profiles through a pixel.
// Absorption is ln(I0 / I1), or the ratio I1 / I0 in fluorescence mode. The stacks may come
// in any energy order: both are taken in rising energy, so spectra always have rising
// energies. Takes the energies and alignment shifts of the images when it is made and holds
// the images by pointer; they stay owned by the caller and must outlive it. Pixels where any
// image of either stack held a non-finite sample (NaN borders of registered stacks) are left
// out of both the I1 and the I0 sums of a block; a block left with no pixel in the image has
// no spectrum. Stacks without such samples take the plain sums.
class StackSpectra
{
public:
    StackSpectra() = default;
    StackSpectra(const QVector<TiffData *> &i1Images,
                 const QVector<TiffData *> &i0Images,
                 int imageWidth,
                 int imageHeight,
                 bool fluorescence);

    int imageWidth() const { return mImageWidth; }
    int imageHeight() const { return mImageHeight; }
    int i1Count() const { return mI1Images.size(); }
    // The I1 energies in stack order: the energies of every block spectrum.
    const std::vector<double> &i1Energies() const { return mI1Energies; }
    // The names of the images of a stack as the file list shows them, in stack order.
    QStringList sourceFiles(bool i1) const;
    // Whether (x, y) lies in the image, where blocks have a spectrum.
    bool inImage(qint64 x, qint64 y) const;

    // I0 bin sum around (x, y) interpolated (or extrapolated) at an energy; 1 without I0
    // images.
    double i0At(double energy, int x, int y, int halfWidth, int halfHeight) const;
    // Raw spectrum of the block around (x, y), one point (energy, absorption) per I1 image in
    // rising energy; empty outside the image and for a block of non-finite pixels only.
    Spectrum spectrumAt(int x, int y, int halfWidth, int halfHeight) const;
    // The raw spectrum wrapped as a normalised spectrum with the pixel's energy shift as origin.
    XafsSpectrum xafsSpectrumAt(
        int x, int y, int halfWidth, int halfHeight, int isVictoreen, double energyShift) const;
    XafsSpectrum xafsSpectrumAt(int x,
                                int y,
                                int halfWidth,
                                int halfHeight,
                                const Background &background,
                                double energyShift) const;

    // Absorption spectra of count blocks centred on (firstX + i * stepX, y) into row.
    // spectrumAt takes its values from here, so a block has the same spectrum alone or in a row.
    void rowAbsorption(qint64 firstX,
                       qint64 stepX,
                       int count,
                       qint64 y,
                       qint64 halfWidth,
                       qint64 halfHeight,
                       RowSpectra &row) const;

    // Profile along row y of image: (column, bin sum of 3 columns x (2|halfHeight|+1) rows);
    // with absorption set, ln(I0 / sum) instead. Empty without an image or outside the rows.
    Spectrum horizontalProfile(const TiffData *image, int y, int halfHeight, bool absorption) const;
    // Profile along column x: (row, bin sum of (2|halfWidth|+1) columns x 3 rows), likewise.
    Spectrum verticalProfile(const TiffData *image, int x, int halfWidth, bool absorption) const;

private:
    // An image with the energy and alignment shift it had when the stacks were taken.
    struct StackImage
    {
        const TiffData *data;
        double energy;
        int shiftX;
        int shiftY;
    };
    // How the I0 intensity at an energy comes from the sums of the I0 images: none (intensity
    // 1), one (its sum) or the pair whose straight line is read at the energy, lower +
    // (upper - lower) * weight, or the mean of the two when they have the same energy.
    struct I0Line
    {
        int lower = -1;
        int upper = -1;
        bool sameEnergy = false;
        double weight = 0.0;
    };
    I0Line i0LineAt(double energy) const;
    // The I0 intensity on a line from the sums of its images.
    static double i0Value(const I0Line &line, double lowerSum, double upperSum)
    {
        if (line.lower < 0)
            return 1.0;
        if (line.upper < 0)
            return lowerSum;
        if (line.sameEnergy)
            return meanValue(lowerSum, upperSum);
        return weightedValue(lowerSum, upperSum, line.weight);
    }
    // The interpolation of i0At over bin sums given by sumOf(k) for I0 image k.
    template<typename SumOf>
    double interpolateI0(double energy, SumOf sumOf) const;
    // Absorption from n I1 sums and the I0 intensities at their energies, into out; each value
    // widens the range (minY[i], maxY[i]) unless minY is null.
    static void absorptionOf(const double *s1,
                             const double *s0,
                             int n,
                             bool fluorescence,
                             double *out,
                             double *minY = nullptr,
                             double *maxY = nullptr);
    // Bin sums of 3 lines x (2|half|+1) across centred on every position of row (alongRow) or
    // column fixed: binSum(p, fixed, 1, half) or binSum(fixed, p, half, 1).
    // For stacks with non-finite samples: marks the pixels to leave out in the band of the
    // run's blocks and sorts the blocks into those to sum without them and those with no
    // spectrum.
    void markNonFinite(qint64 firstX,
                       qint64 stepX,
                       int count,
                       qint64 y,
                       qint64 halfWidth,
                       qint64 halfHeight,
                       RowSpectra &row) const;
    // The sums of the blocks that markNonFinite found with pixels to leave out, without them.
    void sumWithoutMarked(const StackImage &image,
                          qint64 firstX,
                          qint64 stepX,
                          qint64 y,
                          qint64 halfWidth,
                          qint64 halfHeight,
                          const RowSpectra &row,
                          double *sums) const;
    std::vector<double> windowSums(const TiffData *image, bool alongRow, int fixed, int half) const;
    Spectrum
    profile(const TiffData *image, bool alongRow, int fixed, int half, bool absorption) const;

    QVector<StackImage> mI1Images;
    // The I1 energies in rising order, the abscissae of every spectrum.
    std::vector<double> mI1Energies;
    // The I0 line of every I1 image, which depends on its energy alone.
    std::vector<I0Line> mI1Lines;
    QVector<StackImage> mI0Images;
    // The images of either stack with non-finite samples; usually none.
    QVector<StackImage> mNonFiniteImages;
    int mImageWidth = -1;
    int mImageHeight = 0;
    bool mFluorescence = false;
};
