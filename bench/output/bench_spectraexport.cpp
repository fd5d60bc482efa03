// The spectra of every block of an area at bin 0 written as text and as HDF5, through the
// same export and block engine, in interleaved rounds: each round times the text file, then
// the HDF5 file, so that both see the same state of the machine. Prints the wall time of each
// with its median, lowest and highest, and the ratio text / HDF5 per round.
//
// The stacks are those of the area benchmarks at 256 x 256 pixels (a text file of about 100 MB)
// unless MARVOLENTI_BENCH_SIZE says otherwise; MARVOLENTI_BENCH_ROUNDS sets the rounds (5).

#include "analysis/blockengine.h"
#include "output/spectraexport.h"

#include "bench/benchrounds.h"
#include "bench/benchstacks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Wall time in seconds of one export to path; negative when it failed.
double timeExport(BlockEngine &engine, const BlockRequest &request, const QString &path)
{
    SpectraExport exporter(&engine);
    QEventLoop loop;
    bool written = false;
    QObject::connect(&exporter, &SpectraExport::finished, &loop, [&](bool ok, const QString &) {
        written = ok;
        loop.quit();
    });
    QElapsedTimer clock;
    clock.start();
    if (!exporter.start(request, 0, path))
        return -1.0;
    loop.exec();
    const double seconds = clock.nsecsElapsed() * 1e-9;
    QFile::remove(path);
    return written ? seconds : -1.0;
}

void printSeries(const char *name, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::printf("%-16s median %9.3f   lowest %9.3f   highest %9.3f\n",
                name,
                values[values.size() / 2],
                values.front(),
                values.back());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (!qEnvironmentVariableIsSet("MARVOLENTI_BENCH_SIZE"))
        qputenv("MARVOLENTI_BENCH_SIZE", "256");
    const int rounds = qMax(5,
                            qEnvironmentVariableIsSet("MARVOLENTI_BENCH_ROUNDS")
                                ? qEnvironmentVariableIntValue("MARVOLENTI_BENCH_ROUNDS")
                                : 5);
    const BenchStacks &s = benchStacks();
    BlockRequest request;
    request.walk = AreaWalk(s.size, s.size, 0, 0, 0, 0, s.size, s.size);
    request.spectra = StackSpectra(s.i1, s.i0, s.size, s.size, false);
    QTemporaryDir dir;
    BlockEngine engine;
    std::vector<double> text, h5, ratio;
    for (int round = 0; round < rounds; ++round) {
        text.push_back(timeExport(engine, request, dir.filePath("spectra.dat")));
        h5.push_back(timeExport(engine, request, dir.filePath("spectra.h5")));
        if (text.back() < 0 || h5.back() < 0) {
            std::fprintf(stderr, "bench_spectraexport: an export failed\n");
            return 1;
        }
        ratio.push_back(text.back() / h5.back());
        std::printf("round %d: text %.3f s, HDF5 %.3f s, ratio %.2f\n",
                    round + 1,
                    text.back(),
                    h5.back(),
                    ratio.back());
    }
    std::printf("\n%d x %d blocks, %d energies, %d rounds (wall time, s)\n",
                s.size,
                s.size,
                BenchStacks::I1Count,
                rounds);
    printSeries("text", text);
    printSeries("HDF5", h5);
    printSeries("text / HDF5", ratio);
    printFigure("area spectra export, text, wall time, against HDF5", ratio, "x");
    return 0;
}
