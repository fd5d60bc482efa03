// The energy calibration of a large stack at bin 0, against an integer sum over every sample
// the walk reads; and one automatic alignment search of a large image moved by (5, -3)
// pixels, against one pass of the score. Wall time: the calibration runs on all cores.

#include "analysis/blockengine.h"
#include "calib/alignimage.h"
#include "calib/calibration.h"
#include "calib/energyshiftmap.h"
#include "input/tiffdata.h"

#include "bench/benchstacks.h"
#include "bench/benchrounds.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace {

void calibration(benchmark::State &state)
{
    const BenchStacks &s = benchStacks();
    BlockRequest request;
    request.walk = AreaWalk(s.size, s.size, 0, 0, 0, 0, s.size, s.size);
    request.spectra = StackSpectra(s.i1, s.i0, s.size, s.size, false);
    BlockEngine engine;
    EnergyShiftMap map;
    Calibration run(&engine, &map);
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(&run, &Calibration::finished, &loop, &QEventLoop::quit);
        run.start(request, 7100.0);
        loop.exec();
    }
}

// Soft blobs whose binarised edges are thick rings.
struct AlignPair
{
    AlignImage ref;
    AlignImage bin;
};

const AlignPair &alignPair()
{
    static const AlignPair pair = [] {
        const int Size = benchStacks().size;
        TiffData data;
        data.width = Size;
        data.height = Size;
        data.sampleKind = TiffData::FloatRows;
        data.samplesFloat.resize(Size * Size);
        const double centres[][2] = {{0.3, 0.35}, {0.7, 0.4}, {0.45, 0.75}};
        for (int y = 0; y < Size; ++y) {
            for (int x = 0; x < Size; ++x) {
                double v = 0.0;
                for (const auto &c : centres) {
                    const double dx = x - c[0] * Size, dy = y - c[1] * Size;
                    v += 1000.0 * std::exp(-(dx * dx + dy * dy) / (0.02 * Size * Size));
                }
                data.samplesFloat[y * Size + x] = float(v);
            }
        }
        AlignPair p;
        const AlignImage edge = AlignImage::edgeOf(data);
        p.ref = edge.binarized(0.1 * edge.max);
        data.shiftX = 5;
        data.shiftY = -3;
        p.bin = AlignImage::edgeOf(data).binarized(0.1 * edge.max);
        return p;
    }();
    return pair;
}

void scorePass(benchmark::State &state)
{
    const AlignPair &p = alignPair();
    for (auto _ : state)
        benchmark::DoNotOptimize(AlignImage::score(p.bin, p.ref, 0, 0));
}

void alignmentSearch(benchmark::State &state)
{
    const AlignPair &p = alignPair();
    for (auto _ : state) {
        const QPoint found
            = AlignImage::search(p.bin, p.ref, {0, 0}, AlignImage::score(p.bin, p.ref, 0, 0));
        if (found != QPoint(-5, 3))
            state.SkipWithError("search did not find the shift");
        benchmark::DoNotOptimize(found);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchStacks();
    alignPair();
    BenchRounds rounds;
    rounds.add("stackSamplesRead", stackSamplesRead, BenchRounds::once);
    rounds.add("calibration", calibration, BenchRounds::once);
    rounds.add("scorePass", scorePass, BenchRounds::wallMilliseconds);
    rounds.add("alignmentSearch", alignmentSearch, BenchRounds::wallMilliseconds);
    rounds.ratio("energy calibration at bin 0, two threads, CPU, against the samples' read",
                 "calibration",
                 "stackSamplesRead");
    rounds.ratio("alignment search, against one scoring pass", "alignmentSearch", "scorePass");
    return rounds.run(argc, argv);
}
