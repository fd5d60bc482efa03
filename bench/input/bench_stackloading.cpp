// Loading an I1 and an I0 stack of 100 TIFF images of 2048 x 2048 each through the main window,
// as a batch script does (both loaders at once), with "Show Latest" on and off, against a plain
// C++ read of the same files that keeps every file's bytes, on one thread and on two, all
// alternating; and the memory the loaded stacks cost against their sample bytes: the peak
// during the load and what stays resident after it.

#include "app/body.h"
#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "input/stackloader.h"
#include "input/tiffdata.h"
#include "output/tiffwriter.h"
#include "resources/resourceinit.h"

#include "bench/benchmemory.h"
#include "bench/benchrounds.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

#include <malloc.h>
#include <unistd.h>

namespace {

constexpr int StackImages = 100;
constexpr int ImageSize = 2048;
constexpr qint64 SampleBytes = qint64(2) * StackImages * ImageSize * ImageSize * 2;

Body *mainWindow = nullptr;

// The files of one stack, written once (and so in the page cache: a warm-cache load).
const QStringList &stackFiles(bool i1)
{
    static QTemporaryDir dir;
    static QStringList files[2];
    QStringList &stack = files[i1 ? 0 : 1];
    if (stack.isEmpty()) {
        QVector<quint16> values(ImageSize * ImageSize);
        for (int n = 0; n < StackImages; ++n) {
            const int level = i1 ? 8000 + 10 * n : 30000;
            for (int i = 0; i < values.size(); ++i)
                values[i] = quint16(level + ((i * 7 + n * 13) & 0xff));
            const QString file = dir.filePath(
                QStringLiteral("%1_%2.tif").arg(i1 ? "i1" : "i0").arg(n, 3, 10, QChar('0')));
            writeTiff16(file, ImageSize, ImageSize, values.constData());
            stack << file;
        }
    }
    return stack;
}

// Reads every file whole into a buffer of its own, with the C library, and keeps them all.
qint64 readAndKeep(const QStringList &files, std::vector<std::unique_ptr<char[]>> &kept)
{
    qint64 bytes = 0;
    for (const QString &name : files) {
        std::FILE *file = std::fopen(QFile::encodeName(name).constData(), "rb");
        if (!file)
            continue;
        std::fseek(file, 0, SEEK_END);
        const long size = std::ftell(file);
        std::fseek(file, 0, SEEK_SET);
        std::unique_ptr<char[]> data(new char[size_t(size)]);
        bytes += qint64(std::fread(data.get(), 1, size_t(size), file));
        std::fclose(file);
        kept.push_back(std::move(data));
    }
    return bytes;
}

// Both stacks through the main window's batch commands; returns when both loads have ended.
void loadBothStacks(bool showLatest)
{
    Body &main = *mainWindow;
    const QString flag = showLatest ? QStringLiteral("1") : QStringLiteral("0");
    main.execCmdSlot(CmdLine(QStringLiteral("show_latest_i1 ") + flag), false);
    main.execCmdSlot(CmdLine(QStringLiteral("show_latest_i0 ") + flag), false);
    QEventLoop loop;
    int finished = 0;
    const QMetaObject::Connection done
        = QObject::connect(&main, &Body::finishBatchExec, &loop, [&] {
              if (++finished == 2)
                  loop.quit();
          });
    main.execCmdSlot(CmdLine(QStringLiteral("load_I1_files new ") + stackFiles(true).join(' ')),
                     false);
    main.execCmdSlot(CmdLine(QStringLiteral("load_I0_files new ") + stackFiles(false).join(' ')),
                     false);
    loop.exec();
    QObject::disconnect(done);
}

void clearStacks()
{
    mainWindow->stackLoader()->clear(StackModel::I1);
    mainWindow->stackLoader()->clear(StackModel::I0);
    QApplication::processEvents();
}

// The process CPU time and the wall time that `work` takes, in seconds.
struct Cost
{
    double cpu = 0.0;
    double wall = 0.0;
};

template<typename Work>
Cost costOf(Work work)
{
    const auto seconds = [](clockid_t clock) {
        timespec t{};
        clock_gettime(clock, &t);
        return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
    };
    const double cpu = seconds(CLOCK_PROCESS_CPUTIME_ID);
    const double wall = seconds(CLOCK_MONOTONIC);
    work();
    return {seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu, seconds(CLOCK_MONOTONIC) - wall};
}

// Reads both stacks plainly and keeps them: one after the other on this thread, or each on a
// thread of its own as the two loaders do.
void plainRead(bool twoThreads)
{
    std::vector<std::unique_ptr<char[]>> keptI1, keptI0;
    std::thread i0Reader;
    if (twoThreads)
        i0Reader = std::thread([&keptI0] { readAndKeep(stackFiles(false), keptI0); });
    else
        readAndKeep(stackFiles(false), keptI0);
    readAndKeep(stackFiles(true), keptI1);
    if (i0Reader.joinable())
        i0Reader.join();
    benchmark::DoNotOptimize(keptI1.data());
    benchmark::DoNotOptimize(keptI0.data());
}

// Each round reads both stacks plainly on one thread and on two, then loads them with "Show
// Latest" on and with it off, so that every load is set against the plain reads next to it: a
// machine that gets busier during the run moves them all. Prints, for each load, the median
// over the rounds of its process CPU time and of its wall time as multiples of each plain
// read's, with the lowest and highest.
void loadAgainstPlainRead(benchmark::State &state)
{
    std::vector<double> ratios[2][4]; // [show latest][CPU or wall, against 1 or 2 threads]
    for (auto _ : state) {
        const Cost plain[2] = {costOf([] { plainRead(false); }), costOf([] { plainRead(true); })};
        for (const bool showLatest : {true, false}) {
            const Cost load = costOf([showLatest] { loadBothStacks(showLatest); });
            if (mainWindow->stacks()->i1Images().size() != StackImages
                || mainWindow->stacks()->i0Images().size() != StackImages)
                state.SkipWithError("images missing");
            clearStacks();
            for (int threads = 0; threads < 2; ++threads) {
                ratios[showLatest][threads].push_back(load.cpu / plain[threads].cpu);
                ratios[showLatest][2 + threads].push_back(load.wall / plain[threads].wall);
            }
        }
    }
    std::printf("\nLoad as a multiple of the plain read, median [lowest, highest] over %d rounds:\n"
                "%-18s %-22s %-22s %-22s %-22s\n",
                int(state.iterations()),
                "",
                "CPU, 1-thread read",
                "CPU, 2-thread read",
                "wall, 1-thread read",
                "wall, 2-thread read");
    for (const bool showLatest : {true, false}) {
        std::printf("%-18s", showLatest ? "Show Latest on" : "Show Latest off");
        for (std::vector<double> &r : ratios[showLatest]) {
            std::sort(r.begin(), r.end());
            std::printf(" %5.2f [%4.2f, %4.2f]      ", r[r.size() / 2], r.front(), r.back());
        }
        std::printf("\n");
    }
    printFigure("loading both stacks, 100 + 100 TIFF of 2048 x 2048, Show Latest on, CPU, "
                "against a plain read on one thread",
                ratios[true][0],
                "x");
    printFigure("loading both stacks, Show Latest off, CPU, against a plain read on one thread",
                ratios[false][0],
                "x");
    printFigure("loading both stacks, wall time, against a plain read on two threads",
                ratios[true][3],
                "x");
}

// Memory the two loaded stacks cost per sample byte, with "Show Latest" on: the peak while they
// load and what stays resident once they have.
void stackMemory(benchmark::State &state)
{
    double peak = 0.0;
    double resident = 0.0;
    for (auto _ : state) {
        clearStacks();
        const qint64 before = statusBytes("VmRSS");
        resetPeakMemory();
        loadBothStacks(true);
        QApplication::processEvents();
        peak = double(statusBytes("VmHWM") - before) / double(SampleBytes);
        resident = double(statusBytes("VmRSS") - before) / double(SampleBytes);
    }
    state.counters["peak_per_sample_byte"] = peak;
    state.counters["resident_per_sample_byte"] = resident;
    printFigure("memory of the loaded stacks, peak, against the sample bytes", {peak}, "x");
}

} // namespace

BENCHMARK(loadAgainstPlainRead)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(stackMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    // Every buffer of a megabyte or more comes fresh from the system and goes back when freed,
    // in every thread: so the plain read and the loaders each pay for touching new memory, as
    // a first load does, and memory given back shows in the resident size.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initMarvolentiResources();
    buildBatchTables();
    stackFiles(true);
    stackFiles(false);
    Body main;
    main.resize(1200, 900);
    main.show();
    mainWindow = &main;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
