#include "stackspectra.h"

#include "interpolation.h"
#include "vectorlog.h"
#include "input/tiffdata.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Rising energy; energies that are not a number go last.
bool lowerEnergy(double a, double b)
{
    if (std::isnan(a))
        return false;
    return std::isnan(b) || a < b;
}

} // namespace

StackSpectra::StackSpectra(const QVector<TiffData *> &i1Images,
                           const QVector<TiffData *> &i0Images,
                           int imageWidth,
                           int imageHeight,
                           bool fluorescence)
    : mImageWidth(imageWidth)
    , mImageHeight(imageHeight)
    , mFluorescence(fluorescence)
{
    const auto take = [](const QVector<TiffData *> &images, QVector<StackImage> &stack) {
        stack.reserve(images.size());
        for (const TiffData *image : images)
            stack.append({image, image->energy, image->shiftX, image->shiftY});
        // Scans may run either way, but the I0 search and every step after a spectrum
        // (normalisation, interpolation, edge searches) expect rising energies. Images of equal
        // energy keep their load order, so a stack loaded rising stays as it is.
        const auto lower = [](const StackImage &a, const StackImage &b) {
            return lowerEnergy(a.energy, b.energy);
        };
        if (!std::is_sorted(stack.cbegin(), stack.cend(), lower))
            std::stable_sort(stack.begin(), stack.end(), lower);
    };
    take(i1Images, mI1Images);
    take(i0Images, mI0Images);
    for (const StackImage &image : qAsConst(mI1Images))
        mI1Energies.push_back(image.energy);
}

bool StackSpectra::inImage(qint64 x, qint64 y) const
{
    return x >= 0 && y >= 0 && x < mImageWidth && y < mImageHeight;
}

StackSpectra::I0Pair StackSpectra::i0PairAt(double energy) const
{
    const int n = mI0Images.size();
    I0Pair pair;
    if (n == 0)
        return pair;
    pair.lower = 0;
    if (n == 1)
        return pair;
    const auto energyOf = [this](int k) { return mI0Images.at(k).energy; };
    if (energy < energyOf(0))
        pair.upper = 1;
    else if (energy >= energyOf(n - 1))
        pair.upper = n - 1;
    else
        pair.upper = upperNeighbourIndex(n, energy, energyOf);
    pair.lower = pair.upper - 1;
    return pair;
}

template<typename SumOf>
double StackSpectra::interpolateI0(double energy, SumOf sumOf) const
{
    const I0Pair pair = i0PairAt(energy);
    return i0Value(pair,
                   energy,
                   pair.lower >= 0 ? sumOf(pair.lower) : 0.0,
                   pair.upper >= 0 ? sumOf(pair.upper) : 0.0);
}

double StackSpectra::i0At(double energy, int x, int y, int halfWidth, int halfHeight) const
{
    return interpolateI0(energy, [&](int k) {
        const StackImage &image = mI0Images.at(k);
        return image.data->binSum(x, y, halfWidth, halfHeight, image.shiftX, image.shiftY);
    });
}

void StackSpectra::absorptionOf(
    const double *s1, const double *s0, int n, bool fluorescence, double *out)
{
    if (fluorescence) {
        for (int i = 0; i < n; ++i)
            out[i] = s1[i] / s0[i];
        return;
    }
    // Ratios that are not positive get a logarithm too, which is then replaced by 1.
    for (int i = 0; i < n; ++i)
        out[i] = s0[i] / s1[i];
    vectorLog(out, out, n);
    for (int i = 0; i < n; ++i)
        out[i] = s1[i] * s0[i] > 0 ? out[i] : 1.0;
}

void StackSpectra::rowAbsorption(qint64 firstX,
                                 qint64 stepX,
                                 int count,
                                 qint64 y,
                                 qint64 halfWidth,
                                 qint64 halfHeight,
                                 std::vector<double> &absorption) const
{
    absorption.resize(size_t(mI1Images.size()) * size_t(qMax(count, 0)));
    if (count <= 0)
        return;
    const auto sumsOf = [&](const StackImage &image, double *out) {
        image.data->blockSums(
            firstX, stepX, count, y, halfWidth, halfHeight, image.shiftX, image.shiftY, out);
    };
    // Neighbouring I1 energies share their I0 pair: each I0 image is summed once at most.
    std::vector<std::vector<double>> i0Sums(mI0Images.size());
    const auto i0SumsOf = [&](int k) -> const double * {
        if (k < 0)
            return nullptr;
        if (i0Sums[k].empty()) {
            i0Sums[k].resize(count);
            sumsOf(mI0Images.at(k), i0Sums[k].data());
        }
        return i0Sums[k].data();
    };

    std::vector<double> s1(count);
    std::vector<double> s0(count);
    for (int k = 0; k < mI1Images.size(); ++k) {
        const StackImage &image = mI1Images.at(k);
        sumsOf(image, s1.data());
        const I0Pair pair = i0PairAt(image.energy);
        const double *lower = i0SumsOf(pair.lower);
        const double *upper = i0SumsOf(pair.upper);
        for (int i = 0; i < count; ++i)
            s0[i] = i0Value(pair, image.energy, lower ? lower[i] : 0.0, upper ? upper[i] : 0.0);
        absorptionOf(s1.data(), s0.data(), count, mFluorescence, absorption.data() + k * count);
    }
}

void StackSpectra::blockSpectrum(const std::vector<double> &absorption,
                                 int count,
                                 int i,
                                 Spectrum &spectrum) const
{
    spectrum.assign(mI1Energies.data(), absorption.data() + i, int(mI1Energies.size()), count);
}

Spectrum StackSpectra::spectrumAt(int x, int y, int halfWidth, int halfHeight) const
{
    Spectrum spectrum;
    if (!inImage(x, y))
        return spectrum;
    std::vector<double> absorption;
    rowAbsorption(x, 1, 1, y, halfWidth, halfHeight, absorption);
    blockSpectrum(absorption, 1, 0, spectrum);
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
    if (alongRow)
        image->blockSums(
            -1, 1, length + 2, fixed, 0, half, image->shiftX, image->shiftY, lineSums.data());
    else
        image->rowBlockSums(fixed, -1, length + 2, half, lineSums.data());
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

    std::vector<double> values = windowSums(image, alongRow, fixed, half);
    if (absorption) {
        // Every position reads I0 at the image's energy, so from the same one or two images.
        std::vector<std::vector<double>> i0Windows(mI0Images.size());
        std::vector<double> s0(length);
        for (int p = 0; p < length; ++p) {
            s0[p] = interpolateI0(image->energy, [&](int k) {
                if (i0Windows[k].empty())
                    i0Windows[k] = windowSums(mI0Images.at(k).data, alongRow, fixed, half);
                return i0Windows[k][p];
            });
        }
        std::vector<double> sums = values;
        absorptionOf(sums.data(), s0.data(), length, false, values.data());
    }
    profile.points.reserve(length);
    for (int p = 0; p < length; ++p)
        profile.append(p, values[p]);
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
