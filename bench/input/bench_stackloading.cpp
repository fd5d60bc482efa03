// Loading a stack of 100 TIFF images of 1024 x 1024 through the loader thread, against
// reading the same files' bytes in the same run (dropping each file's bytes, and keeping every
// file's bytes as a loaded stack must); and the memory a loaded stack of 200 images of
// 2048 x 2048 costs against its sample bytes.

#include "input/loadtiff.h"
#include "input/tiffdata.h"
#include "output/tiffwriter.h"

#include "bench/ratioreporter.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

#include <malloc.h>
#include <unistd.h>

namespace {

constexpr int StackImages = 100;
constexpr int StackSize = 1024;

const QStringList &speedStack()
{
    static QTemporaryDir dir;
    static QStringList files;
    if (files.isEmpty()) {
        QVector<quint16> values(StackSize * StackSize);
        for (int n = 0; n < StackImages; ++n) {
            for (int i = 0; i < values.size(); ++i)
                values[i] = quint16((i * 7 + n * 13) & 0x3fff);
            const QString file
                = dir.filePath(QStringLiteral("img_%1.tif").arg(n, 3, 10, QChar('0')));
            writeTiff16(file, StackSize, StackSize, values.constData());
            files << file;
        }
    }
    return files;
}

// Reads every file's bytes; with `keep`, holds them all until the end.
qint64 readFileBytes(const QStringList &files, bool keep)
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

// Loads the files through a loader on its own thread and gathers the images on this thread,
// as the main window does.
QVector<TiffData *> loadThroughLoader(const QStringList &files)
{
    QThread thread;
    LoadTiff loader;
    loader.moveToThread(&thread);
    thread.start();
    QVector<TiffData *> images;
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

void plainRead(benchmark::State &state)
{
    const QStringList &files = speedStack();
    for (auto _ : state)
        benchmark::DoNotOptimize(readFileBytes(files, false));
}

void plainReadKept(benchmark::State &state)
{
    const QStringList &files = speedStack();
    for (auto _ : state)
        benchmark::DoNotOptimize(readFileBytes(files, true));
}

void loaderThread(benchmark::State &state)
{
    const QStringList &files = speedStack();
    for (auto _ : state) {
        QVector<TiffData *> images = loadThroughLoader(files);
        if (images.size() != files.size())
            state.SkipWithError("images missing");
        state.PauseTiming();
        qDeleteAll(images);
        state.ResumeTiming();
    }
}

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

// 200 images of 2048 x 2048 (one file read 200 times): resident memory gained per sample byte.
void stackMemory(benchmark::State &state)
{
    QTemporaryDir dir;
    const int size = 2048;
    QVector<quint16> values(size * size);
    for (int i = 0; i < values.size(); ++i)
        values[i] = quint16(i & 0xffff);
    const QString file = dir.filePath(QStringLiteral("big.tif"));
    writeTiff16(file, size, size, values.constData());
    values = QVector<quint16>();
    QStringList files;
    for (int n = 0; n < 200; ++n)
        files << file;
    double ratio = 0.0;
    for (auto _ : state) {
        const qint64 before = residentBytes();
        QVector<TiffData *> images = loadThroughLoader(files);
        const qint64 after = residentBytes();
        ratio = double(after - before) / (double(images.size()) * size * size * 2);
        qDeleteAll(images);
    }
    state.counters["bytes_per_sample_byte"] = ratio;
}

} // namespace

BENCHMARK(plainRead)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(plainReadKept)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(loaderThread)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(stackMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    // Every buffer of a megabyte or more comes fresh from the system and goes back when freed,
    // in every thread: so the plain reads and the loader each pay for touching new memory,
    // as a first load does, instead of whichever happens to reuse the allocator's pools.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    QCoreApplication app(argc, argv);
    qRegisterMetaType<TiffData *>("TiffData*");
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter({QStringLiteral("plainRead"), QStringLiteral("plainReadKept")},
                           {QStringLiteral("stackMemory")});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
