#include "stackspectra.h"

#include "interpolation.h"
#include "input/tiffdata.h"

#include <cmath>
#include <vector>

StackSpectra::StackSpectra(const QVector<TiffData *> &i1Images,
                           const QVector<TiffData *> &i0Images,
                           int imageWidth,
                           int imageHeight,
                           bool fluorescence)
    : mI1Images(i1Images)
    , mI0Images(i0Images)
    , mImageWidth(imageWidth)
    , mImageHeight(imageHeight)
    , mFluorescence(fluorescence)
{}

template<typename SumOf>
double StackSpectra::interpolateI0(double energy, SumOf sumOf) const
{
    const int n = mI0Images.size();
    if (n == 0)
        return 1.0;
    if (n == 1)
        return sumOf(0);
    const auto energyOf = [this](int k) { return mI0Images.at(k)->energy; };
    int upper;
    if (energy < energyOf(0))
        upper = 1;
    else if (energy >= energyOf(n - 1))
        upper = n - 1;
    else
        upper = upperNeighbourIndex(n, energy, energyOf);
    return lineValue(energyOf(upper - 1), sumOf(upper - 1), energyOf(upper), sumOf(upper), energy);
}

double StackSpectra::i0At(double energy, int x, int y, int halfWidth, int halfHeight) const
{
    return interpolateI0(
        energy, [&](int k) { return mI0Images.at(k)->binSum(x, y, halfWidth, halfHeight); });
}

Spectrum StackSpectra::spectrumAt(int x, int y, int halfWidth, int halfHeight) const
{
    Spectrum spectrum;
    if (x < 0 || y < 0 || x >= mImageWidth || y >= mImageHeight)
        return spectrum;

    // Neighbouring I1 energies share their I0 pair: sum each I0 image once at most.
    std::vector<double> i0Sums(mI0Images.size(), 0.0);
    std::vector<bool> i0Summed(mI0Images.size(), false);
    const auto i0SumOf = [&](int k) {
        if (!i0Summed[k]) {
            i0Sums[k] = mI0Images.at(k)->binSum(x, y, halfWidth, halfHeight);
            i0Summed[k] = true;
        }
        return i0Sums[k];
    };

    spectrum.points.reserve(mI1Images.size());
    for (const TiffData *image : mI1Images) {
        const double s1 = image->binSum(x, y, halfWidth, halfHeight);
        const double s0 = interpolateI0(image->energy, i0SumOf);
        double value;
        if (mFluorescence)
            value = s1 / s0;
        else if (s1 * s0 > 0)
            value = std::log(s0 / s1);
        else
            value = 1.0;
        spectrum.append(image->energy, value);
    }
    return spectrum;
}

XafsSpectrum StackSpectra::xafsSpectrumAt(
    int x, int y, int halfWidth, int halfHeight, int isVictoreen, double energyShift) const
{
    return XafsSpectrum(spectrumAt(x, y, halfWidth, halfHeight), isVictoreen, energyShift);
}

double StackSpectra::profileValue(
    const TiffData *image, int x, int y, int hw, int hh, bool absorption) const
{
    const double sum = image->binSum(x, y, hw, hh);
    if (!absorption)
        return sum;
    const double s0 = i0At(image->energy, x, y, hw, hh);
    return sum * s0 > 0 ? std::log(s0 / sum) : 1.0;
}

Spectrum
StackSpectra::horizontalProfile(const TiffData *image, int y, int halfHeight, bool absorption) const
{
    Spectrum profile;
    if (!image || y < 0 || y >= mImageHeight)
        return profile;
    profile.points.reserve(qMax(mImageWidth, 0));
    for (int column = 0; column < mImageWidth; ++column)
        profile.append(column, profileValue(image, column, y, 1, halfHeight, absorption));
    return profile;
}

Spectrum
StackSpectra::verticalProfile(const TiffData *image, int x, int halfWidth, bool absorption) const
{
    Spectrum profile;
    if (!image || x < 0 || x >= mImageWidth)
        return profile;
    profile.points.reserve(qMax(mImageHeight, 0));
    for (int row = 0; row < mImageHeight; ++row)
        profile.append(row, profileValue(image, x, row, halfWidth, 1, absorption));
    return profile;
}
