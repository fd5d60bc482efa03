// One LCF fit of the spectrum under the cursor (121 energies, two references) as the analysis
// worker does it, against the extraction of that spectrum from the image stacks (21 x 21
// bin), and against summing every sample the extraction reads.

#include "analysis/lcffit.h"
#include "spectra/stackspectra.h"

#include "bench/benchimages.h"
#include "bench/benchreferences.h"
#include "bench/benchrounds.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int ImageCount = 121;
constexpr int ImageSize = 512;
constexpr int HalfBin = 10;

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
            const double energy = 6950.0 + 3.5 * k;
            for (bool isI0 : {false, true}) {
                TiffData *image = makeBenchImage(
                    random, ImageSize, ImageSize, energy, isI0 ? 30000 : 8000 + 20 * k);
                s.owned.emplace_back(image);
                (isI0 ? s.i0 : s.i1).append(image);
            }
        }
        return s;
    }();
    return built;
}

StackSpectra stackSpectra()
{
    return StackSpectra(stacks().i1, stacks().i0, ImageSize, ImageSize, false);
}

void samplesRead(benchmark::State &state)
{
    sumSamplesRead(state,
                   spectrumBlocks(stacks().i1, stacks().i0, ImageSize / 2, ImageSize / 2, HalfBin));
}

// The spectrum at two neighbouring pixels in turn, normalised, as a mouse move builds it.
void spectrumExtraction(benchmark::State &state)
{
    const StackSpectra spectra = stackSpectra();
    int x = ImageSize / 2;
    for (auto _ : state) {
        x ^= 1;
        benchmark::DoNotOptimize(spectra.xafsSpectrumAt(x, ImageSize / 2, HalfBin, HalfBin, 0, 0));
    }
}

void lcfFit(benchmark::State &state)
{
    const XafsSpectrum sample
        = stackSpectra().xafsSpectrumAt(ImageSize / 2, ImageSize / 2, HalfBin, HalfBin, 0, 0);
    QVector<LCFReferenceData> references(2);
    for (int k = 0; k < 2; ++k) {
        references[k].spectrum = XafsSpectrum(benchReference(k), 1, 0.0);
        references[k].used = true;
    }
    if (sample.size() != ImageCount) {
        state.SkipWithError("no spectrum to fit");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(fitLCF(sample, references, false, false));
}

} // namespace

int main(int argc, char **argv)
{
    stacks();
    BenchRounds rounds;
    rounds.add("samplesRead", samplesRead);
    rounds.add("spectrumExtraction", spectrumExtraction);
    rounds.add("lcfFit", lcfFit);
    rounds.ratio("normalised spectrum of 121 energies, against its samples' read",
                 "spectrumExtraction",
                 "samplesRead");
    rounds.ratio("one LCF fit of it, against the spectrum", "lcfFit", "spectrumExtraction");
    return rounds.run(argc, argv);
}
