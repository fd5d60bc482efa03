// One mouse move over the main window's image, through the main window itself: the spectrum
// of a 21 x 21 bin over a 200-image stack with its normalisation, both cross-section profiles
// and the value under the cursor; once without and once with the repaint that follows. Each
// runs without and with the analyser, which then fits every spectrum against two references
// on its worker thread; the main window's thread takes in the answers that have come. The
// baselines are summing as many 16-bit samples as the update reads, from one contiguous
// buffer, and the same move without the analyser.

#include "analysis/analyzer.h"
#include "app/body.h"
#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "display/imgdispa.h"
#include "display/xafsview.h"
#include "input/tiffdata.h"
#include "resources/resourceinit.h"

#include "bench/benchimages.h"
#include "bench/benchreferences.h"
#include "bench/ratioreporter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <random>
#include <vector>

namespace {

constexpr int ImageCount = 200;
constexpr int ImageSize = 512;
constexpr int HalfBin = 10; // 21 x 21 bin
constexpr int BinSamples = (2 * HalfBin + 1) * (2 * HalfBin + 1);
// Samples one update reads: the bin in every I1 and I0 image, and each profile's lines in the
// current image and the two I0 images that its energy falls between.
constexpr int UpdateSamples = 2 * ImageCount * BinSamples + 3 * 2 * ImageSize * (2 * HalfBin + 1);

QString benchName(int k)
{
    return QStringLiteral("bench_%1.tif").arg(k);
}

Body *mainWindow = nullptr;

// Gives the main window a 200-image I1 and I0 stack, handed over as the loaders hand them.
void fillStacks(Body &main)
{
    main.resize(1200, 900);
    main.show();
    std::mt19937 random(5);
    for (int k = 0; k < ImageCount; ++k) {
        const double energy = 7000.0 + 2.0 * k;
        main.loadedI0(makeBenchImage(random, ImageSize, ImageSize, energy, 30000, benchName(k)), k);
        main.loadedI1(
            makeBenchImage(random, ImageSize, ImageSize, energy, 8000 + 10 * k, benchName(k)), k);
    }
    // Energies as an energy setup would give them.
    for (int k = 0; k < ImageCount; ++k) {
        main.i1Images.at(k)->energy = 7000.0 + 2.0 * k;
        main.i0Images.at(k)->energy = 7000.0 + 2.0 * k;
    }
    main.execCmdSlot(CmdLine(QStringLiteral("set_band_w %1").arg(HalfBin)), false);
    main.execCmdSlot(CmdLine(QStringLiteral("set_band_h %1").arg(HalfBin)), false);
    QApplication::processEvents();
}

void contiguousSum(benchmark::State &state)
{
    sumContiguousSamples(state, UpdateSamples);
}

// Sends mouse moves that alternate between two image pixels near the middle.
void moveMouse(benchmark::State &state, bool repaint, bool analyze)
{
    Body &main = *mainWindow;
    Analyzer *analyzer = main.analyzer();
    main.analysisRunning = !analyze;
    int answers = 0;
    const QMetaObject::Connection counting
        = QObject::connect(analyzer, &Analyzer::finished, [&answers] { ++answers; });
    ImgDispA *disp = main.findChild<ImgDispA *>(QStringLiteral("dispA"));
    const QPoint a(disp->width() / 2, disp->height() / 2);
    const QPoint b = a + QPoint(int(disp->coord().realToScreenDX(1)) + 1, 0);
    bool atA = false;
    for (auto _ : state) {
        atA = !atA;
        const QPoint pos = atA ? a : b;
        QMouseEvent move(QEvent::MouseMove,
                         pos,
                         disp->mapToGlobal(pos),
                         Qt::NoButton,
                         Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(disp, &move);
        if (repaint)
            QApplication::processEvents();
        else if (analyze)
            QCoreApplication::sendPostedEvents(analyzer, QEvent::MetaCall);
    }
    // Every answer is taken in before the next benchmark starts.
    while (analyze && answers < int(state.iterations()))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    QObject::disconnect(counting);
    if (main.cursorX <= HalfBin || main.cursorX >= ImageSize - HalfBin)
        state.SkipWithError("the cursor is not over the middle of the image");
    else if (main.xafsView()->spectrum().size() != ImageCount)
        state.SkipWithError("no spectrum under the cursor");
    else if (analyze && !analyzer->lastFit().done)
        state.SkipWithError("the analyser fitted nothing");
}

void mouseMoveUpdate(benchmark::State &state)
{
    moveMouse(state, false, false);
}

void mouseMoveUpdateAnalyzed(benchmark::State &state)
{
    moveMouse(state, false, true);
}

void mouseMoveUpdateAndRepaint(benchmark::State &state)
{
    moveMouse(state, true, false);
}

void mouseMoveUpdateAndRepaintAnalyzed(benchmark::State &state)
{
    moveMouse(state, true, true);
}

} // namespace

BENCHMARK(contiguousSum);
BENCHMARK(mouseMoveUpdate);
BENCHMARK(mouseMoveUpdateAnalyzed);
BENCHMARK(mouseMoveUpdateAndRepaint);
BENCHMARK(mouseMoveUpdateAndRepaintAnalyzed);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initMarvolentiResources();
    buildBatchTables();
    Body main;
    fillStacks(main);
    // Two references in use, and the analyser and its view open.
    QTemporaryDir references;
    for (int k = 0; k < 2; ++k) {
        const QString file = references.filePath(QStringLiteral("ref%1.dat").arg(k));
        writeBenchReference(file, k);
        main.analyzer()->setLCFStd(k, true, 0.0, file, QStringLiteral("0"));
    }
    main.analyzer()->show();
    mainWindow = &main;
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter({QStringLiteral("contiguousSum"), QStringLiteral("mouseMoveUpdate")});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
