// The area runs of the analyser over a large stack at bin 0: the LCF fit against two
// references without an energy shift, on one thread and on two, the residual absorption and
// the element analysis of two elements, against an integer sum over every sample the walk
// reads, and the options of the fit: the fit-quality values, non-negative and sum-to-one fits,
// and the best subset of two among four references. CPU time of the whole process, and wall
// time, which alone shows what the threads gain.

#include "analysis/analyzed2dres.h"
#include "analysis/arearun.h"
#include "analysis/blockengine.h"
#include "input/tiffdata.h"

#include "bench/benchstacks.h"
#include "bench/benchreferences.h"
#include "bench/benchmemory.h"
#include "bench/benchrounds.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>

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
    // LCF: fraction and dmut of each reference, their errors, R-factor, chi2 and subset.
    const int mapCount = kind == AreaRun::ElemRun ? 7 * 2 + 2 : ra ? 3 : 3 * 2 + 3;
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

// One LCF run on two threads with the given references and fit options, its maps as the
// analyser gives them (without the quality values, no quality maps either).
void timeFit(benchmark::State &state, int referenceCount, const LCFFitOptions &options)
{
    const BenchStacks &s = benchStacks();
    BlockRequest request;
    request.walk = AreaWalk(s.size, s.size, 0, 0, 0, 0, s.size, s.size);
    request.spectra = StackSpectra(s.i1, s.i0, s.size, s.size, false);
    const QVector<LCFReferenceData> refs = references(referenceCount);
    std::vector<std::unique_ptr<Analyzed2DRes>> owned;
    QVector<Analyzed2DRes *> maps;
    for (int k = 0; k < (options.quality ? 3 * referenceCount + 3 : 2 * referenceCount); ++k) {
        owned.emplace_back(new Analyzed2DRes(QStringLiteral("map")));
        maps << owned.back().get();
    }
    BlockEngine engine;
    engine.setMaxThreads(2);
    AreaRun run(&engine);
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(&run, &AreaRun::ended, &loop, &QEventLoop::quit);
        run.startLCF(request, refs, false, 0, options, maps, false);
        loop.exec();
    }
}

// The peak memory an area run adds to the loaded stack, per pixel, against 8 bytes for each
// map it fills: an LCF run with four reference rows of which two are in use, with the maps of
// all four rows and the quality maps handed over as the analyser hands them, and an element
// run of two elements.
void runMemory()
{
    const BenchStacks &s = benchStacks();
    BlockRequest request;
    request.walk = AreaWalk(s.size, s.size, 0, 0, 0, 0, s.size, s.size);
    request.spectra = StackSpectra(s.i1, s.i0, s.size, s.size, false);
    QVector<LCFReferenceData> refs = references(4);
    refs[2].used = refs[3].used = false;
    BlockEngine engine;
    engine.setMaxThreads(2);
    AreaRun run(&engine);
    for (const bool lcf : {true, false}) {
        std::vector<std::unique_ptr<Analyzed2DRes>> owned;
        QVector<Analyzed2DRes *> maps;
        for (int k = 0; k < (lcf ? 3 * 4 + 3 : 7 * 2 + 2); ++k) {
            owned.emplace_back(new Analyzed2DRes(QStringLiteral("map")));
            maps << owned.back().get();
        }
        resetPeakMemory();
        const qint64 before = statusBytes("VmRSS");
        QEventLoop loop;
        QObject::connect(&run, &AreaRun::ended, &loop, &QEventLoop::quit);
        if (lcf)
            run.startLCF(request, refs, false, 0, LCFFitOptions(), maps, false);
        else
            run.startElems(request, elements(), 0, ElemBackgrounds(), 0.0, 0.999, maps, false);
        loop.exec();
        const double perPixel = double(statusBytes("VmHWM") - before) / double(s.size) / s.size;
        // Fraction, dmut and error of the two references in use, R-factor and chi2; or the
        // seven maps of each element and the two correlation maps.
        const int filled = lcf ? 3 * 2 + 2 : 7 * 2 + 2;
        printFigure(lcf ? "memory an LCF run adds, two of four reference rows in use, against 8 "
                          "bytes a pixel for each map it fills"
                        : "memory an element run of two elements adds, against 8 bytes a pixel "
                          "for each map it fills",
                    {perPixel / (8.0 * filled)},
                    "x");
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchStacks();
    // The area runs log their start and end lines.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    runMemory();
    LCFFitOptions noQuality;
    noQuality.quality = false;
    LCFFitOptions nonNegative;
    nonNegative.constraint = 1;
    LCFFitOptions sumToOne;
    sumToOne.constraint = 2;
    LCFFitOptions subset;
    subset.bestSubset = 2;
    const auto fit = [](int references, const LCFFitOptions &options) {
        return
            [references, options](benchmark::State &state) { timeFit(state, references, options); };
    };

    BenchRounds rounds;
    rounds.add("stackSamplesRead", stackSamplesRead, BenchRounds::once);
    rounds.add("lcfOneThread", lcfOneThread, BenchRounds::once);
    rounds.add("lcfTwoThreads", lcfTwoThreads, BenchRounds::once);
    rounds.add("raTwoThreads", raTwoThreads, BenchRounds::once);
    rounds.add("elemsTwoThreads", elemsTwoThreads, BenchRounds::once);
    rounds.add("lcf2NoQuality", fit(2, noQuality), BenchRounds::once);
    rounds.add("lcf2NonNegative", fit(2, nonNegative), BenchRounds::once);
    rounds.add("lcf2SumToOne", fit(2, sumToOne), BenchRounds::once);
    rounds.add("lcf4", fit(4, LCFFitOptions()), BenchRounds::once);
    rounds.add("lcf4Best2", fit(4, subset), BenchRounds::once);

    const QString size
        = QStringLiteral("%1 x %1 x %2").arg(benchStacks().size).arg(BenchStacks::I1Count);
    rounds.ratio("LCF area run, two references and quality maps, bin 0, " + size
                     + ", CPU, against the samples' read",
                 "lcfTwoThreads",
                 "stackSamplesRead");
    rounds.ratio("LCF area run, two threads, wall time, against one thread",
                 "lcfTwoThreads",
                 "lcfOneThread",
                 BenchRounds::Wall);
    rounds.ratio("residual-absorption run, bin 0, CPU, against the samples' read",
                 "raTwoThreads",
                 "stackSamplesRead");
    rounds.ratio("element run of two elements, bin 0, CPU, against the samples' read",
                 "elemsTwoThreads",
                 "stackSamplesRead");
    rounds.ratio("LCF with the quality maps, wall time, against without",
                 "lcfTwoThreads",
                 "lcf2NoQuality",
                 BenchRounds::Wall);
    rounds.ratio("LCF non-negative, wall time, against unconstrained",
                 "lcf2NonNegative",
                 "lcfTwoThreads",
                 BenchRounds::Wall);
    rounds.ratio("LCF sum to one, wall time, against unconstrained",
                 "lcf2SumToOne",
                 "lcfTwoThreads",
                 BenchRounds::Wall);
    rounds.ratio("LCF best subset of 2 from 4 references, wall time, against 4 unconstrained",
                 "lcf4Best2",
                 "lcf4",
                 BenchRounds::Wall);
    return rounds.run(argc, argv);
}
