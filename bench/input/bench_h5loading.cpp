// Loading a 100-frame uint16 sample stack of 2048 x 2048 and its 100 flats from one HDF5 file
// through the stack loader (load_h5, into the stack model), against a plain read of the same
// two datasets with the HDF5 library into one buffer, rounds alternating; uncompressed, and
// with gzip level 1 in chunks of one frame. And the peak memory of a load against the bytes of
// the images it holds. MARVOLENTI_BENCH_H5_SIZE and MARVOLENTI_BENCH_H5_FRAMES give a smaller
// stack for machines with less memory.

#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "batch/commandregistry.h"
#include "input/h5source.h"
#include "input/selectdatafiles.h"
#include "input/stackloader.h"
#include "resources/resourceinit.h"

#include "bench/benchmemory.h"
#include "bench/benchrounds.h"
#include "stack/stackmodel.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QMutexLocker>
#include <QTemporaryDir>

#include <hdf5.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include <malloc.h>

namespace {

int frames = 100;
int side = 2048;

StackModel *model = nullptr;
StackLoader *loader = nullptr;
CommandRegistry *commands = nullptr;

qint64 imageBytes()
{
    return qint64(2) * frames * side * side * qint64(sizeof(quint16));
}

// The file, written once (and so in the page cache: a warm-cache load).
QString stackFile(bool gzip)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(gzip ? "gzip.h5" : "plain.h5");
    if (QFile::exists(path))
        return path;
    QMutexLocker lock(&H5Source::libraryLock());
    const hid_t file
        = H5Fcreate(QFile::encodeName(path).constData(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT);
    const hsize_t dims[3] = {hsize_t(frames), hsize_t(side), hsize_t(side)};
    const hsize_t frameDims[3] = {1, hsize_t(side), hsize_t(side)};
    const hid_t space = H5Screate_simple(3, dims, nullptr);
    const hid_t creation = H5Pcreate(H5P_DATASET_CREATE);
    if (gzip) {
        H5Pset_chunk(creation, 3, frameDims);
        H5Pset_deflate(creation, 1);
    }
    const hid_t links = H5Pcreate(H5P_LINK_CREATE);
    H5Pset_create_intermediate_group(links, 1);
    std::vector<quint16> values(size_t(side) * side);
    const hid_t memory = H5Screate_simple(3, frameDims, nullptr);
    for (const char *name : {"/exchange/data", "/exchange/data_white"}) {
        const bool sample = name[10] == '\0';
        const hid_t dataset
            = H5Dcreate2(file, name, H5T_STD_U16LE, space, links, creation, H5P_DEFAULT);
        for (int n = 0; n < frames; ++n) {
            const int level = sample ? 8000 + 10 * n : 30000;
            for (size_t i = 0; i < values.size(); ++i)
                values[i] = quint16(level + ((i * 7 + size_t(n) * 13) & 0xff));
            const hsize_t start[3] = {hsize_t(n), 0, 0};
            H5Sselect_hyperslab(space, H5S_SELECT_SET, start, nullptr, frameDims, nullptr);
            H5Dwrite(dataset, H5T_NATIVE_UINT16, memory, space, H5P_DEFAULT, values.data());
        }
        H5Dclose(dataset);
    }
    std::vector<double> energies;
    for (int n = 0; n < frames; ++n)
        energies.push_back(7000.0 + n);
    const hsize_t count = hsize_t(frames);
    const hid_t energySpace = H5Screate_simple(1, &count, nullptr);
    const hid_t energy = H5Dcreate2(
        file, "/exchange/energy", H5T_IEEE_F64LE, energySpace, links, H5P_DEFAULT, H5P_DEFAULT);
    H5Dwrite(energy, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, energies.data());
    H5Dclose(energy);
    H5Sclose(energySpace);
    H5Sclose(memory);
    H5Pclose(links);
    H5Pclose(creation);
    H5Sclose(space);
    H5Fclose(file);
    return path;
}

// Both datasets with the library, each in one call, into one buffer.
void plainRead(const QString &path)
{
    std::unique_ptr<quint16[]> buffer(new quint16[size_t(imageBytes() / 2)]);
    QMutexLocker lock(&H5Source::libraryLock());
    const hid_t file = H5Fopen(QFile::encodeName(path).constData(), H5F_ACC_RDONLY, H5P_DEFAULT);
    quint16 *out = buffer.get();
    for (const char *name : {"/exchange/data", "/exchange/data_white"}) {
        const hid_t dataset = H5Dopen2(file, name, H5P_DEFAULT);
        H5Dread(dataset, H5T_NATIVE_UINT16, H5S_ALL, H5S_ALL, H5P_DEFAULT, out);
        H5Dclose(dataset);
        out += size_t(frames) * side * side;
    }
    H5Fclose(file);
    benchmark::DoNotOptimize(buffer.get());
}

void load(const QString &path)
{
    QEventLoop loop;
    const QMetaObject::Connection done
        = QObject::connect(loader, &StackLoader::batchLoadFinished, &loop, &QEventLoop::quit);
    if (commands->find(LoadH5File)->handler(CmdLine("load_h5 " + path)))
        loop.exec();
    QObject::disconnect(done);
}

void clearStacks()
{
    loader->clear(StackModel::I1);
    loader->clear(StackModel::I0);
    QApplication::processEvents();
}

double wallSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

template<typename Work>
double wallOf(Work work)
{
    const double start = wallSeconds();
    work();
    return wallSeconds() - start;
}

void loadAgainstPlainRead(benchmark::State &state)
{
    std::vector<double> ratios[2];
    for (auto _ : state) {
        for (const bool gzip : {false, true}) {
            const QString path = stackFile(gzip);
            const double plain = wallOf([&] { plainRead(path); });
            const double loaded = wallOf([&] { load(path); });
            if (model->i1Images().size() != frames || model->i0Images().size() != frames)
                state.SkipWithError("images missing");
            clearStacks();
            ratios[gzip].push_back(loaded / plain);
            std::printf("  %s: plain read %.3f s, load %.3f s\n",
                        gzip ? "gzip 1" : "uncompressed",
                        plain,
                        loaded);
        }
    }
    std::printf("\nLoad as a multiple of the plain read (wall clock), median [lowest, highest] "
                "over %d rounds:\n",
                int(state.iterations()));
    for (const bool gzip : {false, true}) {
        std::vector<double> &r = ratios[gzip];
        std::sort(r.begin(), r.end());
        std::printf("  %-34s %5.2f [%4.2f, %4.2f]\n",
                    gzip ? "gzip level 1, one-frame chunks" : "uncompressed",
                    r[r.size() / 2],
                    r.front(),
                    r.back());
    }
    printFigure("HDF5 stack, 100 uint16 frames of 2048 x 2048 and 100 flats, uncompressed, wall "
                "time, against a plain HDF5 read",
                ratios[false],
                "x");
    printFigure("HDF5 stack, gzip level 1 in one-frame chunks, wall time, against a plain HDF5 "
                "read",
                ratios[true],
                "x");
}

void loadMemory(benchmark::State &state)
{
    double peak = 0.0;
    for (auto _ : state) {
        clearStacks();
        const qint64 before = statusBytes("VmRSS");
        resetPeakMemory();
        load(stackFile(false));
        peak = double(statusBytes("VmHWM") - before) / double(imageBytes());
        clearStacks();
    }
    state.counters["peak_per_image_byte"] = peak;
    printFigure("memory of an HDF5 load, peak, against the image bytes", {peak}, "x");
    std::printf(
        "\nPeak memory of a load: %.3f x the %lld bytes of the images held\n", peak, imageBytes());
}

} // namespace

BENCHMARK(loadAgainstPlainRead)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(loadMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    // Buffers of a megabyte or more come fresh from the system and go back when freed, so that
    // both reads pay for touching new memory and freed memory leaves the resident size.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    frames = qEnvironmentVariableIntValue("MARVOLENTI_BENCH_H5_FRAMES") > 0
                 ? qEnvironmentVariableIntValue("MARVOLENTI_BENCH_H5_FRAMES")
                 : frames;
    side = qEnvironmentVariableIntValue("MARVOLENTI_BENCH_H5_SIZE") > 0
               ? qEnvironmentVariableIntValue("MARVOLENTI_BENCH_H5_SIZE")
               : side;
    QApplication app(argc, argv);
    initMarvolentiResources();
    buildBatchTables();
    stackFile(false);
    stackFile(true);
    StackModel stacks;
    SelectDataFiles i1Selector;
    SelectDataFiles i0Selector;
    StackLoader stackLoader(&stacks, &i1Selector, &i0Selector);
    CommandRegistry registry;
    stackLoader.registerCommands(registry);
    model = &stacks;
    loader = &stackLoader;
    commands = &registry;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
