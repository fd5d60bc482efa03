// The spectrum under the cursor is rebuilt at every mouse move: time it, and one whole
// mouse-move update, against summing as many 16-bit samples from one contiguous buffer.

#include "input/tiffdata.h"
#include "spectra/stackspectra.h"

#include "bench/benchimages.h"
#include "bench/ratioreporter.h"

#include <benchmark/benchmark.h>

#include <QMap>
#include <QSet>
#include <QString>

#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int ImageCount = 200;
constexpr int ImageWidth = 512;
constexpr int ImageHeight = 512;
constexpr int HalfBin = 10; // 21 x 21 bin
constexpr int BinSamples = (2 * HalfBin + 1) * (2 * HalfBin + 1);

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
                    = makeBenchImage(random, ImageWidth, ImageHeight, energy, isI0 ? 30000 : 8000);
                s.owned.emplace_back(image);
                (isI0 ? s.i0 : s.i1).append(image);
            }
        }
        return s;
    }();
    return built;
}

void contiguousSum(benchmark::State &state)
{
    sumContiguousSamples(state, ImageCount * BinSamples);
}

// Spectra at two neighbouring pixels in turn, as a slowly moving cursor asks for them.
void timeSpectrumAt(benchmark::State &state, const QVector<TiffData *> &i0)
{
    const StackSpectra source(stacks().i1, i0, ImageWidth, ImageHeight, false);
    int x = 100;
    for (auto _ : state) {
        Spectrum spectrum = source.spectrumAt(x, 200, HalfBin, HalfBin);
        benchmark::DoNotOptimize(spectrum.points.data());
        x = x == 100 ? 101 : 100;
    }
}

void spectrumAt(benchmark::State &state)
{
    timeSpectrumAt(state, stacks().i0);
}

// The I1 sums alone: the share of the I0 stack shows against spectrumAt.
void spectrumAtWithoutI0(benchmark::State &state)
{
    timeSpectrumAt(state, {});
}

void mouseMoveUpdate(benchmark::State &state)
{
    const StackSpectra source(stacks().i1, stacks().i0, ImageWidth, ImageHeight, false);
    const TiffData *current = stacks().i1.last();
    int x = 100;
    for (auto _ : state) {
        XafsSpectrum spectrum = source.xafsSpectrumAt(x, 200, HalfBin, HalfBin, 1, 0.0);
        Spectrum horizontal = source.horizontalProfile(current, 200, HalfBin, true);
        Spectrum vertical = source.verticalProfile(current, x, HalfBin, true);
        benchmark::DoNotOptimize(spectrum.e0);
        benchmark::DoNotOptimize(horizontal.points.data());
        benchmark::DoNotOptimize(vertical.points.data());
        x = x == 100 ? 101 : 100;
    }
}

} // namespace

BENCHMARK(contiguousSum);
BENCHMARK(spectrumAt);
BENCHMARK(spectrumAtWithoutI0);
BENCHMARK(mouseMoveUpdate);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter({QStringLiteral("contiguousSum")});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
