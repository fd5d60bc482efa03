// An area analysis over a large stack at bin 0 with the edge-position kernel, on one thread
// and on all, against an integer sum over every sample the walk reads; and the image of a
// large result map against a plain pass over its values. Wall time: only it shows threads.

#include "analysis/analyzed2dres.h"
#include "analysis/blockengine.h"
#include "analysis/edgepositionkernel.h"
#include "display/colorscale.h"
#include "input/tiffdata.h"

#include "bench/benchimages.h"
#include "bench/ratioreporter.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <memory>

#ifndef MARVOLENTI_BENCH_SIZE
#define MARVOLENTI_BENCH_SIZE 2048
#endif
#include <random>
#include <vector>

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
        // I0 every 18 eV over the I1 energies, so that the walk reads every I0 image.
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

void samplesRead(benchmark::State &state)
{
    std::vector<SampleBlock> blocks;
    for (const auto &image : stacks().owned)
        blocks.push_back(wholeImage(image.get()));
    sumSamplesRead(state, blocks);
}

void timeEngine(benchmark::State &state, int threads)
{
    const Stacks &s = stacks();
    BlockRequest request;
    request.walk = AreaWalk(Size, Size, 0, 0, 0, 0, Size, Size);
    request.spectra = StackSpectra(s.i1, s.i0, Size, Size, false);
    EdgePositionKernel::setUp(request);
    Analyzed2DRes map(QStringLiteral("edge"));
    BlockEngine engine;
    engine.setMaxThreads(threads);
    for (auto _ : state) {
        map.reset(request.walk);
        QEventLoop loop;
        QObject::connect(&engine, &BlockEngine::finished, &loop, &QEventLoop::quit);
        engine.start(request, [&map](const AreaWalk &walk, const double *values) {
            map.record(walk, values[0]);
        });
        loop.exec();
    }
}

void engineOneThread(benchmark::State &state)
{
    timeEngine(state, 1);
}

void engineTwoThreads(benchmark::State &state)
{
    timeEngine(state, 2);
}

Analyzed2DRes &bigMap()
{
    static Analyzed2DRes *map = [] {
        auto *m = new Analyzed2DRes(QStringLiteral("big"));
        m->reset(Size, Size);
        std::mt19937 random(9);
        std::uniform_real_distribution<double> values(-5.0, 5.0);
        for (int y = 0; y < Size; ++y) {
            for (int x = 0; x < Size; ++x)
                m->setData(x, y, 0, 0, values(random));
        }
        return m;
    }();
    return *map;
}

void mapDoublePass(benchmark::State &state)
{
    const Analyzed2DRes &map = bigMap();
    for (auto _ : state) {
        double sum = 0.0;
        for (int y = 0; y < Size; ++y) {
            for (int x = 0; x < Size; ++x)
                sum += map.value(x, y);
        }
        benchmark::DoNotOptimize(sum);
    }
}

void genImg(benchmark::State &state)
{
    Analyzed2DRes &map = bigMap();
    ColorScale scale;
    ColorScale::setCurrent(&scale);
    for (auto _ : state) {
        map.genImg();
        benchmark::DoNotOptimize(map.img());
    }
    ColorScale::setCurrent(nullptr);
}

} // namespace

BENCHMARK(samplesRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(engineOneThread)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(engineTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(mapDoublePass)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(genImg)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    stacks();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter({QStringLiteral("samplesRead"),
                            QStringLiteral("engineOneThread"),
                            QStringLiteral("mapDoublePass")},
                           {},
                           true);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
