#include "stackspectra.h"

#include "interpolation.h"
#include "input/tiffdata.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Rising energy; images without a number for an energy go last, in load order.
bool lowerEnergy(const TiffData *a, const TiffData *b)
{
    if (std::isnan(a->energy))
        return false;
    return std::isnan(b->energy) || a->energy < b->energy;
}

// The stack in rising energy order. Scans may run either way, but the I0 search and every
// step after a spectrum (normalisation, interpolation, edge searches) expect rising energies.
// Images of equal energy keep their load order, so a stack loaded rising stays as it is.
QVector<TiffData *> inRisingEnergy(const QVector<TiffData *> &stack)
{
    if (std::is_sorted(stack.cbegin(), stack.cend(), lowerEnergy))
        return stack;
    QVector<TiffData *> sorted = stack;
    std::stable_sort(sorted.begin(), sorted.end(), lowerEnergy);
    return sorted;
}

} // namespace

StackSpectra::StackSpectra(const QVector<TiffData *> &i1Images,
                           const QVector<TiffData *> &i0Images,
                           int imageWidth,
                           int imageHeight,
                           bool fluorescence)
    : mI1Images(inRisingEnergy(i1Images))
    , mI0Images(inRisingEnergy(i0Images))
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

std::vector<double>
StackSpectra::windowSums(const TiffData *image, bool alongRow, int fixed, int half) const
{
    // Each line's bin sum is taken once and shared by the three windows that contain it; the
    // lines just outside the image sum to 0.
    const int length = alongRow ? mImageWidth : mImageHeight;
    std::vector<double> lineSums(length + 2);
    for (int p = -1; p <= length; ++p) {
        lineSums[p + 1]
            = alongRow ? image->binSum(p, fixed, 0, half) : image->binSum(fixed, p, half, 0);
    }
    std::vector<double> windows(length);
    for (int p = 0; p < length; ++p)
        windows[p] = lineSums[p] + lineSums[p + 1] + lineSums[p + 2];
    return windows;
}

Spectrum StackSpectra::profile(
    const TiffData *image, bool alongRow, int fixed, int half, bool absorption) const
{
    Spectrum profile;
    const int length = alongRow ? mImageWidth : mImageHeight;
    const int across = alongRow ? mImageHeight : mImageWidth;
    // A size not yet known (-1 before the first image) gives no profile.
    if (!image || length <= 0 || fixed < 0 || fixed >= across)
        return profile;

    const std::vector<double> sums = windowSums(image, alongRow, fixed, half);
    // Every position reads I0 at the image's energy, so from the same one or two I0 images.
    std::vector<std::vector<double>> i0Windows(mI0Images.size());
    profile.points.reserve(length);
    for (int p = 0; p < length; ++p) {
        double value = sums[p];
        if (absorption) {
            const double s0 = interpolateI0(image->energy, [&](int k) {
                if (i0Windows[k].empty())
                    i0Windows[k] = windowSums(mI0Images.at(k), alongRow, fixed, half);
                return i0Windows[k][p];
            });
            value = value * s0 > 0 ? std::log(s0 / value) : 1.0;
        }
        profile.append(p, value);
    }
    return profile;
}

Spectrum
StackSpectra::horizontalProfile(const TiffData *image, int y, int halfHeight, bool absorption) const
{
    return profile(image, true, y, halfHeight, absorption);
}

Spectrum
StackSpectra::verticalProfile(const TiffData *image, int x, int halfWidth, bool absorption) const
{
    return profile(image, false, x, halfWidth, absorption);
}
