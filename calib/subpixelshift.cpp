#include "subpixelshift.h"

#include "calib/phasecorrelator.h"
#include "input/tiffdata.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr double twoPi = 6.283185307179586;

struct FftwFree
{
    void operator()(double *data) const { fftw_free(data); }
};
using FftwBuffer = std::unique_ptr<double[], FftwFree>;

std::vector<double>
bilinear(const std::vector<double> &in, int width, int height, double dx, double dy)
{
    std::vector<double> out(in.size());
    const auto at = [&](int x, int y) {
        return in[size_t(std::clamp(y, 0, height - 1)) * width + std::clamp(x, 0, width - 1)];
    };
    const int shiftX = int(std::floor(dx)), shiftY = int(std::floor(dy));
    const double fx = dx - shiftX, fy = dy - shiftY;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // The old image at (x - dx, y - dy), between its four neighbours.
            const int sx = x - shiftX - 1, sy = y - shiftY - 1;
            const double top = fx * at(sx, sy) + (1.0 - fx) * at(sx + 1, sy);
            const double bottom = fx * at(sx, sy + 1) + (1.0 - fx) * at(sx + 1, sy + 1);
            out[size_t(y) * width + x] = fy * top + (1.0 - fy) * bottom;
        }
    }
    return out;
}

std::vector<double>
fourier(const std::vector<double> &in, int width, int height, double dx, double dy)
{
    const PhaseCorrelator plans(width, height, PhaseCorrelator::Options());
    const int halfWidth = width / 2 + 1;
    FftwBuffer real(fftw_alloc_real(in.size()));
    FftwBuffer spectrum(reinterpret_cast<double *>(fftw_alloc_complex(size_t(halfWidth) * height)));
    std::copy(in.begin(), in.end(), real.get());
    plans.forwardTransform(real.get(), spectrum.get());
    const double scale = 1.0 / (double(width) * height);
    for (int k = 0; k < height; ++k) {
        const int rowFrequency = k > height / 2 ? k - height : k;
        for (int l = 0; l < halfWidth; ++l) {
            const double phase
                = -twoPi * (double(rowFrequency) * dy / height + double(l) * dx / width);
            double *value = spectrum.get() + 2 * (size_t(k) * halfWidth + l);
            const double c = std::cos(phase) * scale, s = std::sin(phase) * scale;
            const double re = value[0] * c - value[1] * s;
            value[1] = value[0] * s + value[1] * c;
            value[0] = re;
        }
    }
    plans.inverseTransform(spectrum.get(), real.get());
    return std::vector<double>(real.get(), real.get() + in.size());
}

} // namespace

bool SubpixelShift::methodOf(const QString &name, Method *method)
{
    if (name.compare(QLatin1String("bilinear"), Qt::CaseInsensitive) == 0)
        *method = Bilinear;
    else if (name.compare(QLatin1String("fourier"), Qt::CaseInsensitive) == 0)
        *method = Fourier;
    else
        return false;
    return true;
}

void SubpixelShift::apply(TiffData &image, double dx, double dy, Method method)
{
    const int width = image.width, height = image.height;
    const size_t count = size_t(width) * size_t(height);
    const bool isFloat = image.sampleKind == TiffData::FloatRows;
    if (count == 0 || image.sampleKind == TiffData::NoRows || (dx == 0.0 && dy == 0.0))
        return;
    std::vector<double> samples(count);
    for (size_t i = 0; i < count; ++i)
        samples[i] = isFloat ? image.samplesFloat.at(i) : image.samples16.at(i);
    samples = method == Bilinear ? bilinear(samples, width, height, dx, dy)
                                 : fourier(samples, width, height, dx, dy);
    double low = samples.front(), high = samples.front();
    for (size_t i = 0; i < count; ++i) {
        if (isFloat) {
            image.samplesFloat[i] = float(samples[i]);
        } else {
            image.samples16[i] = quint16(std::clamp(std::lround(samples[i]), 0L, 65535L));
            samples[i] = image.samples16[i];
        }
        low = std::min(low, samples[i]);
        high = std::max(high, samples[i]);
    }
    image.minValue = low;
    image.maxValue = high;
}
