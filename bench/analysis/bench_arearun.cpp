// The area runs of the analyser over a large stack at bin 0: the LCF fit against two
// references without an energy shift, on one thread and on two, the residual absorption and
// the element analysis of two elements, against an integer sum over every sample the walk
// reads. Wall time: only it shows threads. A last benchmark times the options of the fit in
// interleaved rounds: the fit-quality values, non-negative and sum-to-one fits, and the best
// subset of two among four references.

#include "analysis/analyzed2dres.h"
#include "analysis/arearun.h"
#include "analysis/blockengine.h"
#include "input/tiffdata.h"

#include "bench/benchstacks.h"
#include "bench/benchreferences.h"
#include "bench/ratioreporter.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <algorithm>
#include <cstdio>

#include <memory>
#include <random>
#include <vector>

namespace {

QVector<LCFReferenceData> references(int count = 2)
{
    QVector<LCFReferenceData> data(count);
    for (int k = 0; k < count; ++k) {
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

// One fit variant of the rounds below: references, options, and the wall times of its runs.
struct FitVariant
{
    const char *name;
    int references;
    LCFFitOptions options;
    std::vector<double> seconds;
};

// Every round times each variant once, in turn, so that a slow spell of the shared machine
// falls on all of them; each variant's median over the rounds is then compared with its
// baseline's, lowest and highest round ratios beside it.
void lcfFitOptions(benchmark::State &state)
{
    const int rounds = 5;
    const BenchStacks &s = benchStacks();
    BlockRequest request;
    request.walk = AreaWalk(s.size, s.size, 0, 0, 0, 0, s.size, s.size);
    request.spectra = StackSpectra(s.i1, s.i0, s.size, s.size, false);
    LCFFitOptions noQuality;
    noQuality.quality = false;
    LCFFitOptions nonNegative;
    nonNegative.constraint = 1;
    LCFFitOptions sumToOne;
    sumToOne.constraint = 2;
    LCFFitOptions subset;
    subset.bestSubset = 2;
    std::vector<FitVariant> variants = {{"2 refs, no quality", 2, noQuality, {}},
                                        {"2 refs", 2, LCFFitOptions(), {}},
                                        {"2 refs, non-negative", 2, nonNegative, {}},
                                        {"2 refs, sum to one", 2, sumToOne, {}},
                                        {"4 refs", 4, LCFFitOptions(), {}},
                                        {"4 refs, best 2", 4, subset, {}}};
    std::vector<std::unique_ptr<Analyzed2DRes>> owned;
    QVector<Analyzed2DRes *> maps;
    for (int k = 0; k < 3 * 4 + 3; ++k) {
        owned.emplace_back(new Analyzed2DRes(QStringLiteral("map")));
        maps << owned.back().get();
    }
    BlockEngine engine;
    engine.setMaxThreads(2);
    AreaRun run(&engine);
    for (auto _ : state) {
        for (int round = 0; round < rounds; ++round) {
            for (FitVariant &variant : variants) {
                const QVector<LCFReferenceData> refs = references(variant.references);
                QEventLoop loop;
                QObject::connect(&run, &AreaRun::ended, &loop, &QEventLoop::quit);
                QElapsedTimer clock;
                clock.start();
                run.startLCF(request,
                             refs,
                             false,
                             0,
                             variant.options,
                             // Without the quality values, no quality maps either.
                             maps.mid(0,
                                      variant.options.quality ? 3 * variant.references + 3
                                                              : 2 * variant.references),
                             false);
                loop.exec();
                variant.seconds.push_back(clock.nsecsElapsed() * 1e-9);
            }
        }
    }
    // Speed of a variant against its baseline: baseline time over variant time, per round.
    const auto report = [&](int variant, int baseline) {
        std::vector<double> ratios;
        for (int round = 0; round < rounds; ++round) {
            ratios.push_back(variants[size_t(baseline)].seconds[size_t(round)]
                             / variants[size_t(variant)].seconds[size_t(round)]);
        }
        std::sort(ratios.begin(), ratios.end());
        std::printf("  %-22s speed vs %-20s median %5.2fx (lowest %5.2f, highest %5.2f)\n",
                    variants[size_t(variant)].name,
                    variants[size_t(baseline)].name,
                    ratios[size_t(rounds / 2)],
                    ratios.front(),
                    ratios.back());
    };
    std::printf(
        "\nLCF fit options, %d interleaved rounds, %d x %d blocks:\n", rounds, s.size, s.size);
    report(1, 0);
    report(2, 1);
    report(3, 1);
    report(5, 4);
}

} // namespace

BENCHMARK(stackSamplesRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(lcfOneThread)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(lcfTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(raTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(elemsTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(lcfFitOptions)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

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
