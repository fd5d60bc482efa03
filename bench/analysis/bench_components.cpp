// The principal component analysis and the k-means clusters of a large stack at bin 0, in
// interleaved rounds with an LCF run against two references over the same blocks: the two
// passes of the analysis, and one k-means iteration on its scores, each as a multiple of the
// LCF run of its round (wall time, two threads). Before the rounds, the memory the analysis
// takes beyond the loaded stack, against the maps that keep its scores.
#include "analysis/analyzed2dres.h"
#include "analysis/arearun.h"
#include "analysis/blockengine.h"
#include "analysis/componentrun.h"
#include "analysis/kmeans.h"
#include "bench/benchreferences.h"
#include "bench/benchstacks.h"
#include "bench/benchmemory.h"
#include "bench/benchrounds.h"
#include "input/tiffdata.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int components = 3;
constexpr int clusters = 6;
constexpr int rounds = 5;

BlockRequest wholeImage()
{
    const BenchStacks &s = benchStacks();
    BlockRequest request;
    request.walk = AreaWalk(s.size, s.size, 0, 0, 0, 0, s.size, s.size);
    request.spectra = StackSpectra(s.i1, s.i0, s.size, s.size, false);
    return request;
}

QVector<Analyzed2DRes *> makeMaps(std::vector<std::unique_ptr<Analyzed2DRes>> &owned, int count)
{
    QVector<Analyzed2DRes *> maps;
    for (int k = 0; k < count; ++k) {
        owned.emplace_back(new Analyzed2DRes(QStringLiteral("map")));
        maps << owned.back().get();
    }
    return maps;
}

double secondsOf(const std::function<void()> &start, QObject *sender, const char *signal)
{
    QEventLoop loop;
    QObject::connect(sender, signal, &loop, SLOT(quit()));
    QElapsedTimer clock;
    clock.start();
    start();
    loop.exec();
    return clock.nsecsElapsed() * 1e-9;
}

void printRatios(const char *what, std::vector<double> ratios)
{
    std::sort(ratios.begin(), ratios.end());
    std::printf("  %-34s median %6.3f x the LCF run (lowest %6.3f, highest %6.3f)\n",
                what,
                ratios[ratios.size() / 2],
                ratios.front(),
                ratios.back());
}

void componentsAgainstLCF(benchmark::State &state)
{
    const BenchStacks &s = benchStacks();
    const BlockRequest request = wholeImage();
    QVector<LCFReferenceData> refs(2);
    for (int k = 0; k < 2; ++k) {
        refs[k].spectrum = XafsSpectrum(benchReference(k), 0, 0.0);
        refs[k].used = true;
    }
    std::vector<std::unique_ptr<Analyzed2DRes>> owned;
    const QVector<Analyzed2DRes *> lcfMaps = makeMaps(owned, 4 * 3 + 3);
    BlockEngine engine;
    engine.setMaxThreads(2);
    AreaRun lcf(&engine);
    ComponentRun pca(&engine);

    // Memory first, with nothing else allocated yet: the peak of the analysis beyond what was
    // resident before it, against the values of the maps it fills, which keep the scores.
    std::vector<std::unique_ptr<Analyzed2DRes>> scoreOwned;
    const QVector<Analyzed2DRes *> scoreMaps = makeMaps(scoreOwned, components);
    const qint64 before = statusBytes("VmRSS");
    resetPeakMemory();
    secondsOf([&] { pca.startAnalysis(request, Background(), scoreMaps); },
              &pca,
              SIGNAL(analysisEnded(bool)));
    const double peak = double(statusBytes("VmHWM") - before);
    const double pixels = double(s.size) * double(s.size);
    const double mapBytes = components * 8 * pixels;
    std::printf("\nMemory of the analysis, %d components, %d x %d pixels: peak %.1f MB beyond the "
                "stack = %.2f bytes a pixel; the values of its %d maps %.1f MB; beyond those "
                "%.1f MB\n",
                components,
                s.size,
                s.size,
                peak / 1e6,
                peak / pixels,
                components,
                mapBytes / 1e6,
                (peak - mapBytes) / 1e6);

    std::vector<double> pcaRatios;
    std::vector<double> iterationRatios;
    std::vector<double> lcfSeconds;
    for (auto _ : state) {
        for (int round = 0; round < rounds; ++round) {
            const double lcfTime = secondsOf(
                [&] { lcf.startLCF(request, refs, false, 0, LCFFitOptions(), lcfMaps, false); },
                &lcf,
                SIGNAL(ended(AreaRun::Kind, bool, bool)));
            const double pcaTime
                = secondsOf([&] { pca.startAnalysis(request, Background(), scoreMaps); },
                            &pca,
                            SIGNAL(analysisEnded(bool)));
            // One Lloyd iteration from the first points that take part.
            const std::vector<double> scores = pca.scores();
            const KMeans kmeans(scores.data(), request.walk.count(), components);
            std::vector<double> centres;
            for (qint64 i = 0;
                 i < request.walk.count() && int(centres.size()) < clusters * components;
                 i += 9973) {
                if (!std::isnan(scores[size_t(i) * components]))
                    centres.insert(centres.end(),
                                   scores.begin() + i * components,
                                   scores.begin() + (i + 1) * components);
            }
            std::vector<int> labels;
            QElapsedTimer clock;
            clock.start();
            kmeans.iterate(int(centres.size()) / components, centres, labels);
            const double iterationTime = clock.nsecsElapsed() * 1e-9;
            lcfSeconds.push_back(lcfTime);
            pcaRatios.push_back(pcaTime / lcfTime);
            iterationRatios.push_back(iterationTime / lcfTime);
        }
    }
    std::sort(lcfSeconds.begin(), lcfSeconds.end());
    std::printf(
        "\nComponents against LCF, %d interleaved rounds, %d x %d x %d, bin 0, two threads, "
        "%lld blocks kept of %lld; LCF run median %.2f s (%.2f .. %.2f):\n",
        rounds,
        s.size,
        s.size,
        BenchStacks::I1Count,
        pca.components().blocks(),
        request.walk.count(),
        lcfSeconds[lcfSeconds.size() / 2],
        lcfSeconds.front(),
        lcfSeconds.back());
    printRatios("analysis, both passes", pcaRatios);
    printRatios("one k-means iteration, 6 clusters", iterationRatios);
    printFigure("principal components, both passes, wall time, against an LCF run", pcaRatios, "x");
    printFigure(
        "one k-means iteration, 6 clusters, wall time, against an LCF run", iterationRatios, "x");
    printFigure(
        "memory the components add beyond their score maps, MB", {(peak - mapBytes) / 1e6}, "MB");
}

} // namespace

BENCHMARK(componentsAgainstLCF)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchStacks();
    benchmark::Initialize(&argc, argv);
    // The area runs log their start and end lines.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
