// One mouse move over the main window's image, through the main window itself: the spectrum
// of a 21 x 21 bin over 100 I1 and 100 I0 images of 2048 x 2048 with its normalisation, both
// cross-section profiles and the value under the cursor; once without and once with the
// repaint that follows, whose time per move is what a user sees. Each runs without and with
// the analyser, which then fits every spectrum against two references on its worker thread;
// the main window's thread takes in the answers that have come. The baselines are the sum of
// every sample the update reads, and the same move without the analyser.

#include "analysis/analyzer.h"
#include "analysis/arearuncontroller.h"
#include "app/body.h"
#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "display/imgdispa.h"
#include "display/xafsview.h"
#include "input/stackloader.h"
#include "input/tiffdata.h"
#include "resources/resourceinit.h"

#include "bench/benchimages.h"
#include "bench/benchreferences.h"
#include "bench/benchrounds.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <random>
#include <vector>

namespace {

constexpr int ImageCount = 100;
constexpr int ImageSize = 2048;
constexpr int HalfBin = 10; // 21 x 21 bin

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
        main.stackLoader()->loadedI0(
            makeBenchImage(random, ImageSize, ImageSize, energy, 30000, benchName(k)), k);
        main.stackLoader()->loadedI1(
            makeBenchImage(random, ImageSize, ImageSize, energy, 8000 + 10 * k, benchName(k)), k);
    }
    // Energies as an energy setup would give them.
    for (int k = 0; k < ImageCount; ++k) {
        main.stacks()->i1Images().at(k)->energy = 7000.0 + 2.0 * k;
        main.stacks()->i0Images().at(k)->energy = 7000.0 + 2.0 * k;
    }
    main.execCmdSlot(CmdLine(QStringLiteral("set_band_w %1").arg(HalfBin)), false);
    main.execCmdSlot(CmdLine(QStringLiteral("set_band_h %1").arg(HalfBin)), false);
    QApplication::processEvents();
}

ImgDispA *displayArea()
{
    return mainWindow->findChild<ImgDispA *>(QStringLiteral("dispA"));
}

// Where the benchmark moves the mouse: two pixels of the widget near its middle.
QPoint movePosition(bool first)
{
    ImgDispA *disp = displayArea();
    const QPoint a(disp->width() / 2, disp->height() / 2);
    return first ? a : a + QPoint(int(disp->coord().realToScreenDX(1)) + 1, 0);
}

void sendMove(const QPoint &pos)
{
    ImgDispA *disp = displayArea();
    QMouseEvent move(
        QEvent::MouseMove, pos, disp->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(disp, &move);
}

// The bins in every image, and the profiles in the image shown and in the two I0 images its
// energy falls between (the last two: it is the last I1 image).
void samplesRead(benchmark::State &state)
{
    Body &main = *mainWindow;
    sendMove(movePosition(true));
    std::vector<SampleBlock> blocks = spectrumBlocks(main.stacks()->i1Images(),
                                                     main.stacks()->i0Images(),
                                                     main.cursorX(),
                                                     main.cursorY(),
                                                     HalfBin);
    for (const TiffData *image : {main.stacks()->i1Images().last(),
                                  main.stacks()->i0Images().at(ImageCount - 2),
                                  main.stacks()->i0Images().at(ImageCount - 1)})
        addProfileBlocks(blocks, image, main.cursorX(), main.cursorY(), HalfBin);
    sumSamplesRead(state, blocks);
}

// Sends mouse moves that alternate between two image pixels near the middle.
void moveMouse(benchmark::State &state, bool repaint, bool analyze)
{
    Body &main = *mainWindow;
    Analyzer *analyzer = main.analyzer();
    main.areaRunController()->setAnalysisRunning(!analyze);
    int answers = 0;
    const QMetaObject::Connection counting
        = QObject::connect(analyzer, &Analyzer::finished, [&answers] { ++answers; });
    bool first = false;
    for (auto _ : state) {
        first = !first;
        sendMove(movePosition(first));
        if (repaint)
            QApplication::processEvents();
        else if (analyze)
            QCoreApplication::sendPostedEvents(analyzer, QEvent::MetaCall);
    }
    // Every answer is taken in before the next benchmark starts.
    while (analyze && answers < int(state.iterations()))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    QObject::disconnect(counting);
    if (main.cursorX() <= HalfBin || main.cursorX() >= ImageSize - HalfBin)
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
    BenchRounds rounds;
    rounds.add("samplesRead", samplesRead, BenchRounds::milliseconds);
    rounds.add("mouseMoveUpdate", mouseMoveUpdate, BenchRounds::milliseconds);
    rounds.add("mouseMoveUpdateAnalyzed", mouseMoveUpdateAnalyzed, BenchRounds::milliseconds);
    rounds.add("mouseMoveUpdateAndRepaint", mouseMoveUpdateAndRepaint, BenchRounds::milliseconds);
    rounds.add("mouseMoveUpdateAndRepaintAnalyzed",
               mouseMoveUpdateAndRepaintAnalyzed,
               BenchRounds::milliseconds);
    rounds.time("mouse move with repaint, 2048 x 2048, 100 + 100 images, CPU ms",
                "mouseMoveUpdateAndRepaint");
    rounds.time("mouse move, the update alone, CPU ms", "mouseMoveUpdate");
    rounds.time("mouse move with repaint and the analyser fitting, CPU ms",
                "mouseMoveUpdateAndRepaintAnalyzed");
    rounds.ratio("mouse move, the update alone, against its samples' read",
                 "mouseMoveUpdate",
                 "samplesRead");
    return rounds.run(argc, argv);
}
