// Colouring a 2048 x 2048 16-bit image through the colour scale, as every move of the colour
// bar's limits does for the image on display, against summing every sample of the image.

#include "display/colorscale.h"
#include "display/colortables.h"
#include "input/tiffdata.h"

#include "bench/benchimages.h"
#include "bench/ratioreporter.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <random>

namespace {

constexpr int ImageSize = 2048;

TiffData &benchImage()
{
    static TiffData *image = [] {
        std::mt19937 random(3);
        return makeBenchImage(random, ImageSize, ImageSize, 7100.0, 20000);
    }();
    return *image;
}

void samplesRead(benchmark::State &state)
{
    sumSamplesRead(state, {wholeImage(&benchImage())});
}

void displayImage(benchmark::State &state, QImage::Format format, int shift)
{
    ColorScale scale;
    scale.setFormat(format);
    scale.setLimits(0.1, 0.9);
    ColorScale::setCurrent(&scale);
    TiffData &image = benchImage();
    image.shiftX = shift;
    image.shiftY = -shift;
    for (auto _ : state) {
        image.makeDisplayImage();
        benchmark::DoNotOptimize(image.displayImage.constBits());
    }
    ColorScale::setCurrent(nullptr);
}

void displayImageGrey(benchmark::State &state)
{
    displayImage(state, QImage::Format_Grayscale8, 0);
}

void displayImageGreyShifted(benchmark::State &state)
{
    displayImage(state, QImage::Format_Grayscale8, 3);
}

void displayImageHot(benchmark::State &state)
{
    displayImage(state, QImage::Format_RGB888, 0);
}

} // namespace

BENCHMARK(samplesRead)->Unit(benchmark::kMillisecond);
BENCHMARK(displayImageGrey)->Unit(benchmark::kMillisecond);
BENCHMARK(displayImageGreyShifted)->Unit(benchmark::kMillisecond);
BENCHMARK(displayImageHot)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    ColorTables::build();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter({QStringLiteral("samplesRead")});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
