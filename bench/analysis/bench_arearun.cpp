// The area runs of the analyser over a large stack at bin 0: the LCF fit against two
// references without an energy shift, on one thread and on two, the residual absorption and
// the element analysis of two elements, against an integer sum over every sample the walk
// reads. Wall time: only it shows threads.
// MARVOLENTI_BENCH_SIZE in the environment makes the images smaller for a quick look.

#include "analysis/analyzed2dres.h"
#include "analysis/arearun.h"
#include "analysis/blockengine.h"
#include "input/tiffdata.h"

#include "bench/benchimages.h"
#include "bench/benchreferences.h"
#include "bench/ratioreporter.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>

#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int I1Count = 100;
constexpr int I0Count = 12;

int size()
{
    static const int s = qEnvironmentVariableIsSet("MARVOLENTI_BENCH_SIZE")
                             ? qEnvironmentVariableIntValue("MARVOLENTI_BENCH_SIZE")
                             : 2048;
    return s;
}

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
        // I0 every 18 eV over the I1 energies, so that the walk reads every I0 image; an edge
        // half way up the I1 stack.
        for (int k = 0; k < I0Count; ++k) {
            s.owned.emplace_back(makeBenchImage(random, size(), size(), 7000.0 + 18.0 * k, 30000));
            s.i0.append(s.owned.back().get());
        }
        for (int k = 0; k < I1Count; ++k) {
            const int level = k < I1Count / 2 ? 20000 : 8000;
            s.owned.emplace_back(makeBenchImage(random, size(), size(), 7000.0 + 2.0 * k, level));
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
    const Stacks &s = stacks();
    BlockRequest request;
    request.walk = AreaWalk(size(), size(), 0, 0, 0, 0, size(), size());
    request.spectra = StackSpectra(s.i1, s.i0, size(), size(), false);
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
            run.startLCF(request, refs, false, 0, maps, false);
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

BENCHMARK(plainRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(lcfOneThread)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(lcfTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(raTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(elemsTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    stacks();
    benchmark::Initialize(&argc, argv);
    // The area runs log their start and end lines.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    RatioReporter reporter({QStringLiteral("plainRead"), QStringLiteral("lcfOneThread")}, {}, true);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
