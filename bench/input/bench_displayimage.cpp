// Colouring a 2048 x 2048 16-bit image through the colour scale, as every move of the colour
// bar's limits does for the image on display, against summing every sample of the image.

#include "display/colorscale.h"
#include "display/colortables.h"
#include "input/tiffdata.h"

#include "bench/benchimages.h"
#include "bench/benchrounds.h"

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

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    ColorTables::build();
    BenchRounds rounds;
    rounds.add("samplesRead", samplesRead, BenchRounds::milliseconds);
    rounds.add("displayImageGrey", displayImageGrey, BenchRounds::milliseconds);
    rounds.add("displayImageGreyShifted", displayImageGreyShifted, BenchRounds::milliseconds);
    rounds.add("displayImageHot", displayImageHot, BenchRounds::milliseconds);
    rounds.ratio("colouring a 2048 x 2048 image, grey, against its samples' read",
                 "displayImageGrey",
                 "samplesRead");
    rounds.ratio("colouring a 2048 x 2048 image, grey, shifted, against its samples' read",
                 "displayImageGreyShifted",
                 "samplesRead");
    rounds.ratio("colouring a 2048 x 2048 image, hot, against its samples' read",
                 "displayImageHot",
                 "samplesRead");
    return rounds.run(argc, argv);
}
