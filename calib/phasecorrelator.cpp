#include "phasecorrelator.h"

#include "spectra/vectorclones.h"

#include <QCoreApplication>

#include <fftw3.h>

#include <cmath>
#include <limits>
#include <map>
#include <mutex>

namespace {

constexpr double twoPi = 6.283185307179586;
// The window falls to zero over this fraction of each side.
constexpr double taperFraction = 0.25;
// The first refinement: quarter-pixel steps over a pixel and a half.
constexpr int coarseFactor = 4;
// Frequencies of the cross power below this fraction of the strongest are damped.
constexpr double weakFraction = 1e-3;

QString failure(const char *text)
{
    return QCoreApplication::translate("PhaseCorrelator", text);
}

// A Tukey window: flat in the middle, a cosine taper to zero at both ends.
std::vector<double> tukeyWindow(int size)
{
    std::vector<double> window(size_t(size), 1.0);
    const double taper = taperFraction * (size - 1) / 2.0;
    for (int i = 0; i < size && taper > 0.0; ++i) {
        const double edge = std::min(i, size - 1 - i);
        if (edge < taper)
            window[size_t(i)] = 0.5 * (1.0 - std::cos(twoPi / 2.0 * edge / taper));
    }
    return window;
}

// Sum, count and range of the samples of an image, gathered in one pass.
struct Statistics
{
    void add(double value)
    {
        sum += value;
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
        ++count;
    }
    double mean() const { return sum / double(count); }

    double sum = 0.0;
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -std::numeric_limits<double>::infinity();
    size_t count = 0;
};

// Writes a times the conjugate of b, count complex values, into cross (the peak of its
// transform lies at the shift that registers b onto a); returns the largest squared magnitude.
MARVOLENTI_VECTOR_CLONES
double crossProducts(const double *a, const double *b, double *cross, size_t count)
{
    double strongest = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double re = a[2 * i] * b[2 * i] + a[2 * i + 1] * b[2 * i + 1];
        const double im = a[2 * i + 1] * b[2 * i] - a[2 * i] * b[2 * i + 1];
        cross[2 * i] = re;
        cross[2 * i + 1] = im;
        strongest = std::max(strongest, re * re + im * im);
    }
    return strongest;
}

// Divides each of count complex values by its magnitude plus floor.
MARVOLENTI_VECTOR_CLONES
void normaliseCrossPower(double *cross, size_t count, double floor)
{
    for (size_t i = 0; i < count; ++i) {
        const double re = cross[2 * i], im = cross[2 * i + 1];
        const double scale = 1.0 / (std::sqrt(re * re + im * im) + floor);
        cross[2 * i] = re * scale;
        cross[2 * i + 1] = im * scale;
    }
}

// The sums over the columns of one spectrum row times each of the count rows of the column
// kernel, columns values each.
MARVOLENTI_VECTOR_CLONES
void rowTimesKernel(const double *rowRe,
                    const double *rowIm,
                    const double *kernelRe,
                    const double *kernelIm,
                    size_t columns,
                    int count,
                    double *sumsRe,
                    double *sumsIm)
{
    for (int j = 0; j < count; ++j) {
        const double *cRe = kernelRe + j * columns;
        const double *cIm = kernelIm + j * columns;
        double sumRe = 0.0, sumIm = 0.0;
#pragma omp simd reduction(+ : sumRe, sumIm)
        for (size_t l = 0; l < columns; ++l) {
            sumRe += rowRe[l] * cRe[l] - rowIm[l] * cIm[l];
            sumIm += rowRe[l] * cIm[l] + rowIm[l] * cRe[l];
        }
        sumsRe[j] = sumRe;
        sumsIm[j] = sumIm;
    }
}

} // namespace

struct PhaseCorrelator::Plans
{
    Plans() = default;
    Plans(const Plans &) = delete;
    Plans &operator=(const Plans &) = delete;
    // At exit, with the program's other statics: no registration runs then.
    ~Plans()
    {
        if (forward)
            fftw_destroy_plan(forward);
        if (inverse)
            fftw_destroy_plan(inverse);
    }

    fftw_plan forward = nullptr;
    fftw_plan inverse = nullptr;
};

void PhaseCorrelator::Free::operator()(void *data) const
{
    fftw_free(data);
}

PhaseCorrelator::PhaseCorrelator(int width, int height, const Options &options)
    : mWidth(qMax(width, 1))
    , mHeight(qMax(height, 1))
    , mHalfWidth(mWidth / 2 + 1)
    , mOptions(options)
    , mWindowX(tukeyWindow(mWidth))
    , mWindowY(tukeyWindow(mHeight))
{
    // The planner is not thread-safe: plans are made under one lock, once per size, and kept.
    static std::mutex planLock;
    static std::map<std::pair<int, int>, Plans> plans;
    const std::lock_guard<std::mutex> lock(planLock);
    Plans &sized = plans[{mWidth, mHeight}];
    if (!sized.forward) {
        double *real = fftw_alloc_real(size_t(mWidth) * mHeight);
        fftw_complex *spectrum = fftw_alloc_complex(size_t(mHalfWidth) * mHeight);
        sized.forward = fftw_plan_dft_r2c_2d(mHeight, mWidth, real, spectrum, FFTW_ESTIMATE);
        sized.inverse = fftw_plan_dft_c2r_2d(mHeight, mWidth, spectrum, real, FFTW_ESTIMATE);
        fftw_free(spectrum);
        fftw_free(real);
    }
    mPlans = &sized;
}

void PhaseCorrelator::forwardTransform(double *real, double *spectrum) const
{
    fftw_execute_dft_r2c(mPlans->forward, real, reinterpret_cast<fftw_complex *>(spectrum));
}

void PhaseCorrelator::inverseTransform(double *spectrum, double *real) const
{
    fftw_execute_dft_c2r(mPlans->inverse, reinterpret_cast<fftw_complex *>(spectrum), real);
}

void PhaseCorrelator::ready(Workspace &workspace) const
{
    const size_t count = size_t(mWidth) * mHeight;
    if (workspace.mCount == count)
        return;
    const size_t complexCount = size_t(mHalfWidth) * mHeight;
    const auto spectrum = [complexCount] {
        return Buffer(reinterpret_cast<double *>(fftw_alloc_complex(complexCount)));
    };
    workspace.mReal.reset(fftw_alloc_real(count));
    workspace.mCross = spectrum();
    workspace.mScratch = spectrum();
    workspace.mMoved = spectrum();
    workspace.mFixed = spectrum();
    workspace.mCount = count;
}

PhaseCorrelator::Prepared PhaseCorrelator::prepare(const double *samples, QString *error) const
{
    Workspace workspace;
    Prepared prepared;
    prepare(samples, error, prepared, workspace);
    return prepared;
}

void PhaseCorrelator::prepare(const double *samples,
                              QString *error,
                              Prepared &into,
                              Workspace &workspace) const
{
    into.mValid = false;
    const size_t count = size_t(mWidth) * mHeight;
    std::vector<double> &image = into.mImage;
    image.resize(count);
    Statistics statistics;
    for (size_t i = 0; i < count; ++i) {
        const double sample = samples[i];
        if (std::isfinite(sample))
            statistics.add(sample);
        image[i] = sample;
    }
    if (statistics.count == 0) {
        *error = failure(QT_TRANSLATE_NOOP("PhaseCorrelator", "The image holds no finite sample."));
        return;
    }
    // Filled with their mean, the samples keep their mean and range.
    if (statistics.count < count) {
        const double mean = statistics.mean();
        for (double &sample : image) {
            if (!std::isfinite(sample))
                sample = mean;
        }
    }

    if (mOptions.gradient) {
        std::vector<double> &gradient = workspace.mGradient;
        gradient.resize(count);
        statistics = Statistics();
        for (int y = 0; y < mHeight; ++y) {
            const size_t row = size_t(y) * mWidth;
            const size_t up = size_t(qMax(y - 1, 0)) * mWidth;
            const size_t down = size_t(qMin(y + 1, mHeight - 1)) * mWidth;
            for (int x = 0; x < mWidth; ++x) {
                const int left = qMax(x - 1, 0), right = qMin(x + 1, mWidth - 1);
                const double gx = image[row + right] - image[row + left];
                const double gy = image[down + x] - image[up + x];
                gradient[row + x] = std::sqrt(gx * gx + gy * gy);
                statistics.add(gradient[row + x]);
            }
        }
        image.swap(gradient);
    }
    const double mean = statistics.mean();
    const double largest = std::max(statistics.highest - mean, mean - statistics.lowest);
    if (!(largest > 1e-12 * (1.0 + std::abs(mean)))) {
        *error = failure(QT_TRANSLATE_NOOP("PhaseCorrelator",
                                           "The image is constant: it has no peak to register."));
        return;
    }
    const size_t complexCount = size_t(mHalfWidth) * mHeight;
    if (into.mSpectrumCount != complexCount) {
        into.mSpectrum.reset(reinterpret_cast<double *>(fftw_alloc_complex(complexCount)));
        into.mSpectrumCount = complexCount;
    }
    ready(workspace);
    into.mMean = mean;
    transform(image.data(), mean, into.mSpectrum.get(), workspace);
    into.mValid = true;
}

void PhaseCorrelator::transform(const double *image,
                                double mean,
                                double *spectrum,
                                Workspace &workspace,
                                int windowX,
                                int windowY,
                                bool timesOwnWindow) const
{
    // The window at (x + windowX, y + windowY), zero beyond its ends.
    std::vector<double> across(size_t(mWidth), 0.0);
    for (int x = qMax(0, -windowX); x < qMin(mWidth, mWidth - windowX); ++x) {
        across[size_t(x)]
            = mWindowX[size_t(x + windowX)] * (timesOwnWindow ? mWindowX[size_t(x)] : 1.0);
    }
    double *windowed = workspace.mReal.get();
    for (int y = 0; y < mHeight; ++y) {
        const double *in = image + size_t(y) * mWidth;
        double *out = windowed + size_t(y) * mWidth;
        const int windowRow = y + windowY;
        double down = windowRow >= 0 && windowRow < mHeight ? mWindowY[size_t(windowRow)] : 0.0;
        if (timesOwnWindow)
            down *= mWindowY[size_t(y)];
        for (int x = 0; x < mWidth; ++x)
            out[x] = (in[x] - mean) * down * across[size_t(x)];
    }
    fftw_execute_dft_r2c(mPlans->forward, windowed, reinterpret_cast<fftw_complex *>(spectrum));
}

void PhaseCorrelator::crossPower(const double *a, const double *b, double *cross) const
{
    const size_t count = size_t(mHalfWidth) * mHeight;
    const double strongest = crossProducts(a, b, cross, count);
    // Frequencies far weaker than the strongest carry mostly noise: they are damped rather
    // than raised to unit weight.
    normaliseCrossPower(cross, count, weakFraction * std::sqrt(strongest) + 1e-300);
}

void PhaseCorrelator::refine(const double *cross, double &x, double &y) const
{
    // From coarse to fine, each grid a few points wide around the peak of the one before:
    // the cost grows with the number of points, not with the factor.
    const int finest = mOptions.upsample;
    double reach = 0.75;
    for (int factor = qMin(finest, coarseFactor);; factor = qMin(finest, factor * 5)) {
        refinePeak(cross, factor, 2 * int(std::ceil(reach * factor)) + 1, x, y);
        if (factor == finest)
            break;
        reach = 0.6 / factor;
    }
}

PhaseCorrelator::Result PhaseCorrelator::correlate(const Prepared &reference,
                                                   const Prepared &moving) const
{
    Workspace workspace;
    return correlate(reference, moving, workspace);
}

PhaseCorrelator::Result PhaseCorrelator::correlate(const Prepared &reference,
                                                   const Prepared &moving,
                                                   Workspace &workspace) const
{
    Result result;
    if (reference.isNull() || moving.isNull()) {
        result.error
            = failure(QT_TRANSLATE_NOOP("PhaseCorrelator", "The image has no peak to register."));
        return result;
    }
    ready(workspace);
    const size_t count = size_t(mWidth) * mHeight;
    // The inverse transform overwrites its input: the cross power for the refinement is
    // computed again where it is needed.
    double *scratch = workspace.mScratch.get();
    crossPower(reference.mSpectrum.get(), moving.mSpectrum.get(), scratch);
    double *correlation = workspace.mReal.get();
    fftw_execute_dft_c2r(mPlans->inverse, reinterpret_cast<fftw_complex *>(scratch), correlation);
    size_t peakIndex = 0;
    double absoluteSum = 0.0;
    for (size_t i = 0; i < count; ++i) {
        absoluteSum += std::abs(correlation[i]);
        if (correlation[i] > correlation[peakIndex])
            peakIndex = i;
    }
    const double peak = correlation[peakIndex];
    if (!std::isfinite(peak) || !(peak > 0.0) || !(absoluteSum > 0.0)) {
        result.error
            = failure(QT_TRANSLATE_NOOP("PhaseCorrelator", "The correlation has no usable peak."));
        return result;
    }
    int peakX = int(peakIndex % size_t(mWidth));
    int peakY = int(peakIndex / size_t(mWidth));
    if (peakX > mWidth / 2)
        peakX -= mWidth;
    if (peakY > mHeight / 2)
        peakY -= mHeight;
    result.ok = true;
    result.dx = peakX;
    result.dy = peakY;
    result.quality = peak / (absoluteSum / count);
    if (mOptions.upsample <= 1)
        return result;
    double *cross = workspace.mCross.get();
    if (peakX == 0 && peakY == 0) {
        crossPower(reference.mSpectrum.get(), moving.mSpectrum.get(), cross);
        refine(cross, result.dx, result.dy);
        return result;
    }
    // A window that stays where it is while the content moves pulls the peak towards no
    // shift; so the moving image is windowed again with the window moved by the whole shift,
    // where its content and the reference's then meet under the same weights. A shift longer
    // than the taper would leave the moved window open at the border: both images then take
    // the product of their own window and the other's, moved.
    const bool beyondTaper = std::abs(peakX) > taperFraction * (mWidth - 1) / 2.0
                             || std::abs(peakY) > taperFraction * (mHeight - 1) / 2.0;
    const double *against = reference.mSpectrum.get();
    if (beyondTaper) {
        against = workspace.mFixed.get();
        transform(reference.mImage.data(),
                  reference.mMean,
                  workspace.mFixed.get(),
                  workspace,
                  -peakX,
                  -peakY,
                  true);
    }
    transform(moving.mImage.data(),
              moving.mMean,
              workspace.mMoved.get(),
              workspace,
              peakX,
              peakY,
              beyondTaper);
    crossPower(against, workspace.mMoved.get(), cross);
    refine(cross, result.dx, result.dy);
    return result;
}

void PhaseCorrelator::refinePeak(
    const double *spectrum, int factor, int count, double &centreX, double &centreY) const
{
    const double half = (count - 1) / 2.0;
    // Column kernel: the half spectrum's columns l stand for l and -l, hence weight 2. One
    // row of it for each point, so that the sums run over contiguous memory.
    const size_t columns = size_t(mHalfWidth);
    std::vector<double> kernelRe(columns * count), kernelIm(kernelRe.size());
    for (int j = 0; j < count; ++j) {
        const double x = centreX + (j - half) / factor;
        for (int l = 0; l < mHalfWidth; ++l) {
            const bool single = l == 0 || (mWidth % 2 == 0 && l == mWidth / 2);
            const double phase = twoPi * l * x / mWidth;
            kernelRe[j * columns + l] = (single ? 1.0 : 2.0) * std::cos(phase);
            kernelIm[j * columns + l] = (single ? 1.0 : 2.0) * std::sin(phase);
        }
    }
    // Rows of the spectrum times the column kernel: count values a row.
    std::vector<double> rowsRe(size_t(mHeight) * count), rowsIm(rowsRe.size());
    std::vector<double> rowRe(columns), rowIm(columns);
    for (int k = 0; k < mHeight; ++k) {
        const double *row = spectrum + 2 * size_t(k) * columns;
        for (size_t l = 0; l < columns; ++l) {
            rowRe[l] = row[2 * l];
            rowIm[l] = row[2 * l + 1];
        }
        rowTimesKernel(rowRe.data(),
                       rowIm.data(),
                       kernelRe.data(),
                       kernelIm.data(),
                       columns,
                       count,
                       rowsRe.data() + size_t(k) * count,
                       rowsIm.data() + size_t(k) * count);
    }
    // Row kernel over the signed row frequencies; the real part is the correlation.
    double best = -1e300;
    int bestI = 0, bestJ = 0;
    std::vector<double> phaseRe(static_cast<size_t>(mHeight)), phaseIm(phaseRe.size());
    for (int i = 0; i < count; ++i) {
        const double y = centreY + (i - half) / factor;
        for (int k = 0; k < mHeight; ++k) {
            const int frequency = k > mHeight / 2 ? k - mHeight : k;
            const double phase = twoPi * frequency * y / mHeight;
            phaseRe[size_t(k)] = std::cos(phase);
            phaseIm[size_t(k)] = std::sin(phase);
        }
        for (int j = 0; j < count; ++j) {
            double value = 0.0;
            for (int k = 0; k < mHeight; ++k) {
                value += phaseRe[size_t(k)] * rowsRe[size_t(k) * count + j]
                         - phaseIm[size_t(k)] * rowsIm[size_t(k) * count + j];
            }
            if (value > best) {
                best = value;
                bestI = i;
                bestJ = j;
            }
        }
    }
    centreX += (bestJ - half) / factor;
    centreY += (bestI - half) / factor;
}

PhaseCorrelator::Result PhaseCorrelator::registerImages(const std::vector<double> &reference,
                                                        QSize referenceSize,
                                                        const std::vector<double> &moving,
                                                        QSize movingSize,
                                                        const Options &options)
{
    Result result;
    const int width = referenceSize.width(), height = referenceSize.height();
    const size_t count = size_t(qMax(width, 0)) * size_t(qMax(height, 0));
    if (referenceSize != movingSize || count == 0 || reference.size() != count
        || moving.size() != count) {
        result.error = failure(QT_TRANSLATE_NOOP("PhaseCorrelator", "The images differ in size."));
        return result;
    }
    const PhaseCorrelator correlator(width, height, options);
    QString error;
    const Prepared ref = correlator.prepare(reference.data(), &error);
    const Prepared mov = ref.isNull() ? Prepared() : correlator.prepare(moving.data(), &error);
    if (mov.isNull()) {
        result.error = error;
        return result;
    }
    return correlator.correlate(ref, mov);
}
