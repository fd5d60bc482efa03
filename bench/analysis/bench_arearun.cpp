// The area runs of the analyser over a large stack at bin 0: the LCF fit against two
// references without an energy shift, on one thread and on two, the residual absorption and
// the element analysis of two elements, against an integer sum over every sample the walk
// reads. Wall time: only it shows threads.

#include "analysis/analyzed2dres.h"
#include "analysis/arearun.h"
#include "analysis/blockengine.h"
#include "input/tiffdata.h"

#include "bench/benchstacks.h"
#include "bench/benchreferences.h"
#include "bench/ratioreporter.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>

#include <memory>
#include <random>
#include <vector>

namespace {

QVector<LCFReferenceData> references()
{
    QVector<LCFReferenceData> data(2);
    for (int k = 0; k < 2; ++k) {
        data[k].spectrum = XafsSpectrum(benchReference(k), 0, 0.0);
        data[k].used = true;
    }
    return data;
}

QVector<ElemParams> elements()
{
    QVector<ElemParams> elems(2);
    elems[0].z = 26;
    elems[1].z = 29;
    elems[0].use = elems[1].use = true;
    return elems;
}

void timeRun(benchmark::State &state, AreaRun::Kind kind, int threads)
{
    const bool ra = kind == AreaRun::RARun;
    const BenchStacks &s = benchStacks();
    BlockRequest request;
    request.walk = AreaWalk(s.size, s.size, 0, 0, 0, 0, s.size, s.size);
    request.spectra = StackSpectra(s.i1, s.i0, s.size, s.size, false);
    const QVector<LCFReferenceData> refs = references();
    std::vector<std::unique_ptr<Analyzed2DRes>> owned;
    QVector<Analyzed2DRes *> maps;
    const int mapCount = kind == AreaRun::ElemRun ? 7 * 2 + 2 : ra ? 3 : 4;
    for (int k = 0; k < mapCount; ++k) {
        owned.emplace_back(new Analyzed2DRes(QStringLiteral("map")));
        maps << owned.back().get();
    }
    BlockEngine engine;
    engine.setMaxThreads(threads);
    AreaRun run(&engine);
    qint64 blocks = 0;
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(&run, &AreaRun::ended, &loop, &QEventLoop::quit);
        if (kind == AreaRun::ElemRun)
            run.startElems(request, elements(), 0, ElemBackgrounds(), 0.0, 0.999, maps, false);
        else if (ra)
            run.startRA(request, 0, 7150.0, 1.0, maps, false);
        else
            run.startLCF(request, refs, false, 0, LCFFitOptions(), maps, false);
        loop.exec();
        blocks += request.walk.count();
    }
    state.counters["blocks/s"] = benchmark::Counter(double(blocks), benchmark::Counter::kIsRate);
}

void lcfOneThread(benchmark::State &state)
{
    timeRun(state, AreaRun::LCFRun, 1);
}

void lcfTwoThreads(benchmark::State &state)
{
    timeRun(state, AreaRun::LCFRun, 2);
}

void raTwoThreads(benchmark::State &state)
{
    timeRun(state, AreaRun::RARun, 2);
}

void elemsTwoThreads(benchmark::State &state)
{
    timeRun(state, AreaRun::ElemRun, 2);
}

} // namespace

BENCHMARK(stackSamplesRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(lcfOneThread)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(lcfTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(raTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(elemsTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchStacks();
    benchmark::Initialize(&argc, argv);
    // The area runs log their start and end lines.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    RatioReporter reporter(
        {QStringLiteral("stackSamplesRead"), QStringLiteral("lcfOneThread")}, {}, true);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
