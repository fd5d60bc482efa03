// The spectrum under the cursor is rebuilt at every mouse move: time it, and the numbers of
// one whole mouse-move update (spectrum, normalisation and both profiles), over 100 I1 and
// 100 I0 images of 2048 x 2048, against summing every sample each of them reads.

#include "input/tiffdata.h"
#include "spectra/stackspectra.h"

#include "bench/benchimages.h"
#include "bench/benchrounds.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int ImageCount = 100;
constexpr int ImageSize = 2048;
constexpr int HalfBin = 10; // 21 x 21 bin
constexpr int CursorX = 1000;
constexpr int CursorY = 1200;

struct Stacks
{
    std::vector<std::unique_ptr<TiffData>> owned;
    QVector<TiffData *> i1;
    QVector<TiffData *> i0;
};

const Stacks &stacks()
{
    static const Stacks built = [] {
        Stacks s;
        std::mt19937 random(5);
        for (int k = 0; k < ImageCount; ++k) {
            const double energy = 7000.0 + 2.0 * k;
            for (bool isI0 : {false, true}) {
                TiffData *image
                    = makeBenchImage(random, ImageSize, ImageSize, energy, isI0 ? 30000 : 8000);
                s.owned.emplace_back(image);
                (isI0 ? s.i0 : s.i1).append(image);
            }
        }
        return s;
    }();
    return built;
}

// The mouse-move update reads the profiles in the last I1 image and in the two I0 images
// its energy falls between (the last two).
const TiffData *currentImage()
{
    return stacks().i1.last();
}

void samplesReadBySpectrum(benchmark::State &state)
{
    sumSamplesRead(state, spectrumBlocks(stacks().i1, stacks().i0, CursorX, CursorY, HalfBin));
}

void samplesReadByUpdate(benchmark::State &state)
{
    std::vector<SampleBlock> blocks
        = spectrumBlocks(stacks().i1, stacks().i0, CursorX, CursorY, HalfBin);
    for (const TiffData *image : {currentImage(),
                                  static_cast<const TiffData *>(stacks().i0.at(ImageCount - 2)),
                                  static_cast<const TiffData *>(stacks().i0.at(ImageCount - 1))})
        addProfileBlocks(blocks, image, CursorX, CursorY, HalfBin);
    sumSamplesRead(state, blocks);
}

// Spectra at two neighbouring pixels in turn, as a slowly moving cursor asks for them.
void spectrumAt(benchmark::State &state)
{
    const StackSpectra source(stacks().i1, stacks().i0, ImageSize, ImageSize, false);
    int x = CursorX;
    for (auto _ : state) {
        Spectrum spectrum = source.spectrumAt(x, CursorY, HalfBin, HalfBin);
        benchmark::DoNotOptimize(spectrum.points.data());
        x = x == CursorX ? CursorX + 1 : CursorX;
    }
}

void mouseMoveUpdate(benchmark::State &state)
{
    const StackSpectra source(stacks().i1, stacks().i0, ImageSize, ImageSize, false);
    int x = CursorX;
    for (auto _ : state) {
        XafsSpectrum spectrum = source.xafsSpectrumAt(x, CursorY, HalfBin, HalfBin, 1, 0.0);
        Spectrum horizontal = source.horizontalProfile(currentImage(), CursorY, HalfBin, true);
        Spectrum vertical = source.verticalProfile(currentImage(), x, HalfBin, true);
        benchmark::DoNotOptimize(spectrum.e0);
        benchmark::DoNotOptimize(horizontal.points.data());
        benchmark::DoNotOptimize(vertical.points.data());
        x = x == CursorX ? CursorX + 1 : CursorX;
    }
}

} // namespace

int main(int argc, char **argv)
{
    stacks();
    BenchRounds rounds;
    rounds.add("samplesReadBySpectrum", samplesReadBySpectrum);
    rounds.add("spectrumAt", spectrumAt);
    rounds.add("samplesReadByUpdate", samplesReadByUpdate);
    rounds.add("mouseMoveUpdate", mouseMoveUpdate);
    rounds.ratio("spectrum under the cursor, 21 x 21 bin, against its samples' read",
                 "spectrumAt",
                 "samplesReadBySpectrum");
    rounds.ratio("spectrum, profiles and value under the cursor, against their samples' read",
                 "mouseMoveUpdate",
                 "samplesReadByUpdate");
    return rounds.run(argc, argv);
}
