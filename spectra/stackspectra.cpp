#include "stackspectra.h"

#include "interpolation.h"
#include "vectorclones.h"
#include "vectorlog.h"
#include "input/tiffdata.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

MARVOLENTI_VECTOR_CLONES
void quotients(const double *numerators, const double *denominators, int n, double *out)
{
    for (int i = 0; i < n; ++i)
        out[i] = numerators[i] / denominators[i];
}

// out[i] stays where s1[i] * s0[i] > 0 and becomes 1 elsewhere; with minY and maxY, each
// value then widens its block's range, as a spectrum widens its range point by point.
MARVOLENTI_VECTOR_CLONES
void keepWherePositive(
    const double *s1, const double *s0, int n, double *out, double *minY, double *maxY)
{
    const auto kept = [&](int i) { return s1[i] * s0[i] > 0 ? out[i] : 1.0; };
    if (!minY) {
        for (int i = 0; i < n; ++i)
            out[i] = kept(i);
        return;
    }
    for (int i = 0; i < n; ++i) {
        const double value = kept(i);
        out[i] = value;
        minY[i] = value < minY[i] ? value : minY[i];
        maxY[i] = value > maxY[i] ? value : maxY[i];
    }
}

// I0 intensities on a line of two I0 images from their sums, as StackSpectra::i0Value.
MARVOLENTI_VECTOR_CLONES
void linePoints(const double *lower, const double *upper, double weight, int n, double *out)
{
    for (int i = 0; i < n; ++i)
        out[i] = weightedValue(lower[i], upper[i], weight);
}

MARVOLENTI_VECTOR_CLONES
void pairMeans(const double *lower, const double *upper, int n, double *out)
{
    for (int i = 0; i < n; ++i)
        out[i] = meanValue(lower[i], upper[i]);
}

// Widens each block's range by its value.
MARVOLENTI_VECTOR_CLONES
void widenRanges(const double *values, int n, double *minY, double *maxY)
{
    for (int i = 0; i < n; ++i) {
        minY[i] = values[i] < minY[i] ? values[i] : minY[i];
        maxY[i] = values[i] > maxY[i] ? values[i] : maxY[i];
    }
}

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
    for (const StackImage &image : qAsConst(mI1Images)) {
        mI1Energies.push_back(image.energy);
        mI1Lines.push_back(i0LineAt(image.energy));
    }
    for (const QVector<StackImage> *stack : {&mI1Images, &mI0Images}) {
        for (const StackImage &image : *stack) {
            if (image.data->hasNonFinite())
                mNonFiniteImages.append(image);
        }
    }
}

bool StackSpectra::inImage(qint64 x, qint64 y) const
{
    return x >= 0 && y >= 0 && x < mImageWidth && y < mImageHeight;
}

StackSpectra::I0Line StackSpectra::i0LineAt(double energy) const
{
    const int n = mI0Images.size();
    I0Line line;
    if (n == 0)
        return line;
    line.lower = 0;
    if (n == 1)
        return line;
    const auto energyOf = [this](int k) { return mI0Images.at(k).energy; };
    if (energy < energyOf(0))
        line.upper = 1;
    else if (energy >= energyOf(n - 1))
        line.upper = n - 1;
    else
        line.upper = upperNeighbourIndex(n, energy, energyOf);
    line.lower = line.upper - 1;
    const double lower = energyOf(line.lower);
    const double upper = energyOf(line.upper);
    line.sameEnergy = lower == upper;
    line.weight = line.sameEnergy ? 0.0 : (energy - lower) / (upper - lower);
    return line;
}

template<typename SumOf>
double StackSpectra::interpolateI0(double energy, SumOf sumOf) const
{
    const I0Line line = i0LineAt(energy);
    return i0Value(
        line, line.lower >= 0 ? sumOf(line.lower) : 0.0, line.upper >= 0 ? sumOf(line.upper) : 0.0);
}

double StackSpectra::i0At(double energy, int x, int y, int halfWidth, int halfHeight) const
{
    return interpolateI0(energy, [&](int k) {
        const StackImage &image = mI0Images.at(k);
        return image.data->binSum(x, y, halfWidth, halfHeight, image.shiftX, image.shiftY);
    });
}

void StackSpectra::absorptionOf(const double *s1,
                                const double *s0,
                                int n,
                                bool fluorescence,
                                double *out,
                                double *minY,
                                double *maxY)
{
    if (fluorescence) {
        quotients(s1, s0, n, out);
        if (minY)
            widenRanges(out, n, minY, maxY);
        return;
    }
    // Ratios that are not positive get a logarithm too, which is then replaced by 1.
    quotients(s0, s1, n, out);
    vectorLog(out, out, n);
    keepWherePositive(s1, s0, n, out, minY, maxY);
}

void StackSpectra::rowAbsorption(qint64 firstX,
                                 qint64 stepX,
                                 int count,
                                 qint64 y,
                                 qint64 halfWidth,
                                 qint64 halfHeight,
                                 RowSpectra &row) const
{
    count = qMax(count, 0);
    const int images = mI1Images.size();
    row.mEnergies = mI1Energies.data();
    row.mImages = images;
    row.mCount = count;
    // Sized up only: a thread computing row after row allocates once.
    row.mValues.resize(qMax(row.mValues.size(), size_t(images) * size_t(count)));
    row.mMinY.assign(count, 1e300);
    row.mMaxY.assign(count, -1e300);
    row.mS1.resize(count);
    row.mS0.resize(count);
    row.mI0Sums.resize(qMax(row.mI0Sums.size(), size_t(mI0Images.size()) * size_t(count)));
    row.mI0Summed.assign(mI0Images.size(), false);
    row.mMaskedBlocks.clear();
    row.mNoSpectrum.clear();
    if (count == 0)
        return;
    if (!mNonFiniteImages.isEmpty())
        markNonFinite(firstX, stepX, count, y, halfWidth, halfHeight, row);
    const bool leaveOut = !row.mMaskedBlocks.empty();

    const auto sumsOf = [&](const StackImage &image, double *out) {
        image.data->blockSums(
            firstX, stepX, count, y, halfWidth, halfHeight, image.shiftX, image.shiftY, out);
        if (leaveOut)
            sumWithoutMarked(image, firstX, stepX, y, halfWidth, halfHeight, row, out);
    };
    // Neighbouring I1 energies share their I0 pair: each I0 image is summed once at most.
    const auto i0SumsOf = [&](int k) -> const double * {
        if (k < 0)
            return nullptr;
        double *sums = row.mI0Sums.data() + size_t(k) * count;
        if (!row.mI0Summed[k]) {
            sumsOf(mI0Images.at(k), sums);
            row.mI0Summed[k] = true;
        }
        return sums;
    };

    double *s1 = row.mS1.data();
    double *s0 = row.mS0.data();
    for (int k = 0; k < images; ++k) {
        sumsOf(mI1Images.at(k), s1);
        const I0Line &line = mI1Lines[k];
        const double *lower = i0SumsOf(line.lower);
        const double *upper = i0SumsOf(line.upper);
        if (!lower)
            std::fill(s0, s0 + count, 1.0);
        else if (!upper)
            std::copy(lower, lower + count, s0);
        else if (line.sameEnergy)
            pairMeans(lower, upper, count, s0);
        else
            linePoints(lower, upper, line.weight, count, s0);
        double *values = row.mValues.data() + size_t(k) * count;
        absorptionOf(s1, s0, count, mFluorescence, values, row.mMinY.data(), row.mMaxY.data());
    }
}

void StackSpectra::markNonFinite(qint64 firstX,
                                 qint64 stepX,
                                 int count,
                                 qint64 y,
                                 qint64 halfWidth,
                                 qint64 halfHeight,
                                 RowSpectra &row) const
{
    const qint64 hw = qAbs(halfWidth);
    const qint64 hh = qAbs(halfHeight);
    const qint64 lastX = firstX + (count - 1) * stepX;
    // The run's pixels, as far as an image with non-finite samples covers them.
    qint64 left = qMin(firstX, lastX) - hw;
    qint64 right = qMax(firstX, lastX) + hw;
    qint64 top = y - hh;
    qint64 bottom = y + hh;
    qint64 coveredLeft = std::numeric_limits<qint64>::max();
    qint64 coveredRight = std::numeric_limits<qint64>::min();
    qint64 coveredTop = coveredLeft;
    qint64 coveredBottom = coveredRight;
    for (const StackImage &image : mNonFiniteImages) {
        coveredLeft = qMin<qint64>(coveredLeft, image.shiftX);
        coveredRight = qMax<qint64>(coveredRight, qint64(image.shiftX) + image.data->width - 1);
        coveredTop = qMin<qint64>(coveredTop, image.shiftY);
        coveredBottom = qMax<qint64>(coveredBottom, qint64(image.shiftY) + image.data->height - 1);
    }
    left = qMax(left, coveredLeft);
    right = qMin(right, coveredRight);
    top = qMax(top, coveredTop);
    bottom = qMin(bottom, coveredBottom);
    if (left > right || top > bottom)
        return;
    const qint64 width = right - left + 1;
    const qint64 height = bottom - top + 1;
    row.mBandLeft = left;
    row.mBandTop = top;
    row.mBandWidth = width;
    row.mBandHeight = height;
    row.mBandMask.assign(size_t(width * height), 0);
    bool any = false;
    for (const StackImage &image : mNonFiniteImages) {
        for (qint64 r = top; r <= bottom; ++r) {
            unsigned char *line = row.mBandMask.data() + (r - top) * width;
            image.data->forEachNonFinite(
                r - image.shiftY, left - image.shiftX, right - image.shiftX, [&](qint64 column) {
                    line[column + image.shiftX - left] = 1;
                    any = true;
                });
        }
    }
    if (!any)
        return;

    // Marked pixels per band column, all of them and those in the image, summed along the
    // band: every block's count is a difference.
    std::vector<qint64> marked(size_t(width) + 1, 0);
    std::vector<qint64> markedInImage(size_t(width) + 1, 0);
    for (qint64 r = top; r <= bottom; ++r) {
        const unsigned char *line = row.mBandMask.data() + (r - top) * width;
        const bool rowInImage = r >= 0 && r < mImageHeight;
        for (qint64 j = 0; j < width; ++j) {
            if (!line[j])
                continue;
            ++marked[size_t(j) + 1];
            if (rowInImage && left + j >= 0 && left + j < mImageWidth)
                ++markedInImage[size_t(j) + 1];
        }
    }
    for (qint64 j = 0; j < width; ++j) {
        marked[size_t(j) + 1] += marked[size_t(j)];
        markedInImage[size_t(j) + 1] += markedInImage[size_t(j)];
    }
    const qint64 rowsInImage = qMin<qint64>(y + hh, mImageHeight - 1) - qMax<qint64>(y - hh, 0) + 1;
    row.mNoSpectrum.assign(size_t(count), 0);
    for (int i = 0; i < count; ++i) {
        const qint64 cx = firstX + i * stepX;
        const qint64 c0 = qMax(cx - hw, left);
        const qint64 c1 = qMin(cx + hw, right);
        if (c0 > c1 || marked[size_t(c1 - left) + 1] == marked[size_t(c0 - left)])
            continue;
        const qint64 columnsInImage
            = qMin<qint64>(cx + hw, mImageWidth - 1) - qMax<qint64>(cx - hw, 0) + 1;
        const qint64 pixelsInImage = qMax<qint64>(columnsInImage, 0) * qMax<qint64>(rowsInImage, 0);
        const qint64 i0 = qMax<qint64>(c0, 0);
        const qint64 i1 = qMin<qint64>(c1, mImageWidth - 1);
        const qint64 markedPixels
            = i0 > i1 ? 0 : markedInImage[size_t(i1 - left) + 1] - markedInImage[size_t(i0 - left)];
        if (markedPixels >= pixelsInImage)
            row.mNoSpectrum[size_t(i)] = 1;
        else
            row.mMaskedBlocks.push_back(i);
    }
}

void StackSpectra::sumWithoutMarked(const StackImage &image,
                                    qint64 firstX,
                                    qint64 stepX,
                                    qint64 y,
                                    qint64 halfWidth,
                                    qint64 halfHeight,
                                    const RowSpectra &row,
                                    double *sums) const
{
    const TiffData &data = *image.data;
    const bool isFloat = data.sampleKind == TiffData::FloatRows;
    const qsizetype stored = isFloat ? data.samplesFloat.size() : data.samples16.size();
    const bool complete = stored >= qsizetype(data.width) * data.height;
    const qint64 hw = qAbs(halfWidth);
    const qint64 hh = qAbs(halfHeight);
    const auto markedAt = [&row](qint64 c, qint64 r) {
        const qint64 j = c - row.mBandLeft;
        const qint64 k = r - row.mBandTop;
        return j >= 0 && j < row.mBandWidth && k >= 0 && k < row.mBandHeight
               && row.mBandMask[size_t(k * row.mBandWidth + j)];
    };
    // The block in image coordinates, clipped to where this image holds samples.
    const qint64 r0 = qMax<qint64>(y - hh, image.shiftY);
    const qint64 r1 = qMin<qint64>(y + hh, qint64(image.shiftY) + data.height - 1);
    for (const int i : row.mMaskedBlocks) {
        const qint64 cx = firstX + i * stepX;
        const qint64 c0 = qMax<qint64>(cx - hw, image.shiftX);
        const qint64 c1 = qMin<qint64>(cx + hw, qint64(image.shiftX) + data.width - 1);
        double sum = 0.0;
        for (qint64 r = r0; complete && r <= r1; ++r) {
            const qsizetype offset = qsizetype(r - image.shiftY) * data.width - image.shiftX;
            for (qint64 c = c0; c <= c1; ++c) {
                if (markedAt(c, r))
                    continue;
                sum += isFloat ? double(data.samplesFloat.at(offset + c))
                               : double(data.samples16.at(offset + c));
            }
        }
        sums[i] = sum;
    }
}

Spectrum StackSpectra::spectrumAt(int x, int y, int halfWidth, int halfHeight) const
{
    Spectrum spectrum;
    if (!inImage(x, y))
        return spectrum;
    RowSpectra row;
    rowAbsorption(x, 1, 1, y, halfWidth, halfHeight, row);
    row.block(0).copyTo(spectrum);
    return spectrum;
}

XafsSpectrum StackSpectra::xafsSpectrumAt(
    int x, int y, int halfWidth, int halfHeight, int isVictoreen, double energyShift) const
{
    return XafsSpectrum(spectrumAt(x, y, halfWidth, halfHeight), isVictoreen, energyShift);
}

XafsSpectrum StackSpectra::xafsSpectrumAt(int x,
                                          int y,
                                          int halfWidth,
                                          int halfHeight,
                                          const Background &background,
                                          double energyShift) const
{
    return XafsSpectrum(spectrumAt(x, y, halfWidth, halfHeight), background, energyShift);
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

QStringList StackSpectra::sourceFiles(bool i1) const
{
    QStringList names;
    for (const StackImage &image : i1 ? mI1Images : mI0Images)
        names << image.data->listedName();
    return names;
}
