// Loading an image stack through the loader thread, against reading the same files' bytes in
// the same run; and what a loaded stack costs in memory against its sample bytes.

#include "input/loadtiff.h"
#include "input/tiffdata.h"
#include "output/tiffwriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

// 100 different 1024 x 1024 files for the speed test.
const QStringList &speedStack()
{
    static QTemporaryDir dir;
    static QStringList files;
    if (files.isEmpty()) {
        const int size = 1024;
        QVector<quint16> values(size * size);
        for (int n = 0; n < 100; ++n) {
            for (int i = 0; i < values.size(); ++i)
                values[i] = quint16((i * 7 + n * 13) & 0x3fff);
            const QString file
                = dir.filePath(QStringLiteral("img_%1.tif").arg(n, 3, 10, QChar('0')));
            writeTiff16(file, size, size, values.constData());
            files << file;
        }
    }
    return files;
}

// Reads every file's bytes; with `keep`, holds them all until the end, as a stack must.
qint64 plainRead(const QStringList &files, bool keep)
{
    qint64 bytes = 0;
    QList<QByteArray> kept;
    for (const QString &name : files) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray data = file.readAll();
        bytes += data.size();
        if (keep)
            kept << data;
    }
    return bytes;
}

// Loads the files through a loader on its own thread and gathers the images here, as the main
// window does.
QList<TiffData *> loadThroughLoader(const QStringList &files)
{
    QThread thread;
    LoadTiff loader;
    loader.moveToThread(&thread);
    thread.start();
    QList<TiffData *> images;
    QEventLoop loop;
    QObject receiver;
    QObject::connect(
        &loader, &LoadTiff::loaded, &receiver, [&](TiffData *data, int) { images << data; });
    QObject::connect(&loader, &LoadTiff::finishLoadFiles, &loop, &QEventLoop::quit);
    QMetaObject::invokeMethod(&loader, [&] { loader.loadTiffs(files, 1, 0, 0); });
    loop.exec();
    thread.quit();
    thread.wait();
    return images;
}

void BM_LoadStackAgainstPlainRead(benchmark::State &state)
{
    const QStringList &files = speedStack();
    double plainSeconds = 0.0;
    double keptSeconds = 0.0;
    double loaderSeconds = 0.0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        benchmark::DoNotOptimize(plainRead(files, false));
        const qint64 plainNs = timer.nsecsElapsed();
        timer.restart();
        benchmark::DoNotOptimize(plainRead(files, true));
        const qint64 keptNs = timer.nsecsElapsed();
        timer.restart();
        QList<TiffData *> images = loadThroughLoader(files);
        const qint64 loaderNs = timer.nsecsElapsed();
        if (images.size() != files.size())
            state.SkipWithError("images missing");
        qDeleteAll(images);
        plainSeconds += plainNs * 1e-9;
        keptSeconds += keptNs * 1e-9;
        loaderSeconds += loaderNs * 1e-9;
        state.SetIterationTime(loaderNs * 1e-9);
    }
    const double n = double(state.iterations());
    state.counters["plain_read_ms"] = plainSeconds / n * 1e3;
    state.counters["plain_read_kept_ms"] = keptSeconds / n * 1e3;
    state.counters["loader_ms"] = loaderSeconds / n * 1e3;
    state.counters["ratio"] = loaderSeconds / plainSeconds;
    state.counters["ratio_to_kept"] = loaderSeconds / keptSeconds;
}
BENCHMARK(BM_LoadStackAgainstPlainRead)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same reads without the loader thread, for comparison.
void BM_ReadStackOnCallingThread(benchmark::State &state)
{
    const QStringList &files = speedStack();
    for (auto _ : state) {
        QList<TiffData *> images;
        for (const QString &file : files) {
            auto *data = new TiffData;
            data->read(file);
            images << data;
        }
        qDeleteAll(images);
    }
}
BENCHMARK(BM_ReadStackOnCallingThread)->Unit(benchmark::kMillisecond);

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

// 200 images of 2048 x 2048 (the same file 200 times): resident memory gained per sample byte.
void BM_StackMemory(benchmark::State &state)
{
    QTemporaryDir dir;
    const int size = 2048;
    QVector<quint16> values(size * size);
    for (int i = 0; i < values.size(); ++i)
        values[i] = quint16(i & 0xffff);
    const QString file = dir.filePath(QStringLiteral("big.tif"));
    writeTiff16(file, size, size, values.constData());
    QStringList files;
    for (int n = 0; n < 200; ++n)
        files << file;
    values = QVector<quint16>();
    double ratio = 0.0;
    for (auto _ : state) {
        const qint64 before = residentBytes();
        QList<TiffData *> images = loadThroughLoader(files);
        const qint64 after = residentBytes();
        const double sampleBytes = double(images.size()) * size * size * 2;
        ratio = double(after - before) / sampleBytes;
        qDeleteAll(images);
    }
    state.counters["memory_per_sample_byte"] = ratio;
}
BENCHMARK(BM_StackMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qRegisterMetaType<TiffData *>("TiffData*");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
