// An area analysis over a large stack at bin 0 with the edge-position kernel, on one thread
// and on two, against an integer sum over every sample the walk reads; and the image of a
// large result map against a plain pass over its values. Wall time: only it shows threads.

#include "analysis/analyzed2dres.h"
#include "analysis/blockengine.h"
#include "analysis/edgepositionkernel.h"
#include "display/colorscale.h"
#include "input/tiffdata.h"

#include "bench/benchstacks.h"
#include "bench/benchrounds.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <memory>

#include <random>
#include <vector>

namespace {

void timeEngine(benchmark::State &state, int threads)
{
    const BenchStacks &s = benchStacks();
    BlockRequest request;
    request.walk = AreaWalk(s.size, s.size, 0, 0, 0, 0, s.size, s.size);
    request.spectra = StackSpectra(s.i1, s.i0, s.size, s.size, false);
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
        const int Size = benchStacks().size;
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
    const int Size = map.width();
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

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchStacks();
    BenchRounds rounds;
    rounds.add("stackSamplesRead", stackSamplesRead, BenchRounds::once);
    rounds.add("engineOneThread", engineOneThread, BenchRounds::once);
    rounds.add("engineTwoThreads", engineTwoThreads, BenchRounds::once);
    rounds.add("mapDoublePass", mapDoublePass, BenchRounds::wallMilliseconds);
    rounds.add("genImg", genImg, BenchRounds::wallMilliseconds);
    rounds.ratio("area walk with the edge position, one thread, CPU, against the samples' read",
                 "engineOneThread",
                 "stackSamplesRead");
    rounds.ratio("area walk with the edge position, two threads, CPU, against one thread",
                 "engineTwoThreads",
                 "engineOneThread");
    rounds.ratio("area walk, two threads, wall time, against one thread",
                 "engineTwoThreads",
                 "engineOneThread",
                 BenchRounds::Wall);
    rounds.ratio("image of a 2048 x 2048 result map, against a pass over its values",
                 "genImg",
                 "mapDoublePass");
    return rounds.run(argc, argv);
}
