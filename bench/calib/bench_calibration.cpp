// The energy calibration of a large stack at bin 0, against an integer sum over every sample
// the walk reads; and one automatic alignment search of a large image moved by (5, -3)
// pixels, against one pass of the score. Wall time: the calibration runs on all cores.

#include "analysis/blockengine.h"
#include "calib/alignimage.h"
#include "calib/calibration.h"
#include "calib/energyshiftmap.h"
#include "input/tiffdata.h"

#include "bench/benchimages.h"
#include "bench/ratioreporter.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#ifndef MARVOLENTI_BENCH_SIZE
#define MARVOLENTI_BENCH_SIZE 2048
#endif

namespace {

constexpr int Size = MARVOLENTI_BENCH_SIZE;
constexpr int I1Count = 100;
constexpr int I0Count = 12;

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
        std::mt19937 random(3);
        for (int k = 0; k < I0Count; ++k) {
            s.owned.emplace_back(makeBenchImage(random, Size, Size, 7000.0 + 18.0 * k, 30000));
            s.i0.append(s.owned.back().get());
        }
        for (int k = 0; k < I1Count; ++k) {
            const int level = k < I1Count / 2 ? 20000 : 8000;
            s.owned.emplace_back(makeBenchImage(random, Size, Size, 7000.0 + 2.0 * k, level));
            s.i1.append(s.owned.back().get());
        }
        return s;
    }();
    return built;
}

void plainRead(benchmark::State &state)
{
    const Stacks &s = stacks();
    for (auto _ : state) {
        quint64 sum = 0;
        for (const auto &image : s.owned) {
            for (quint16 sample : image->samples16)
                sum += sample;
        }
        benchmark::DoNotOptimize(sum);
    }
}

void calibration(benchmark::State &state)
{
    const Stacks &s = stacks();
    BlockRequest request;
    request.walk = AreaWalk(Size, Size, 0, 0, 0, 0, Size, Size);
    request.spectra = StackSpectra(s.i1, s.i0, Size, Size, false);
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

BENCHMARK(plainRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(calibration)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(scorePass)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(alignmentSearch)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    stacks();
    alignPair();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter({QStringLiteral("plainRead"), QStringLiteral("scorePass")}, {}, true);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
