// The registration of a stack of large images by phase correlation against FFTW's forward and
// inverse transforms of the same images, both on two threads. Rounds alternate between the
// two; each prints its wall time, then the median, lowest and highest of each and their ratio.
// Usage: bench_stackregistration [images] [size] [rounds] (100, 2048, 5).

#include "calib/phasecorrelator.h"
#include "calib/stackregistration.h"
#include "input/tiffdata.h"

#include "bench/benchrounds.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThreadPool>

#include <fftw3.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int threads = 2;

// Particles on a flat background with counting noise; image n shows the scene moved by a
// slow random walk of whole pixels.
std::vector<std::unique_ptr<TiffData>> makeStack(int count, int size)
{
    const int margin = 16, sceneSize = size + 2 * margin;
    std::vector<float> scene(size_t(sceneSize) * sceneSize, 8000.0f);
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> place(0.0, sceneSize), radius(3.0, 25.0);
    for (int i = 0; i < sceneSize * sceneSize / 4000; ++i) {
        const double cx = place(rng), cy = place(rng), r = radius(rng);
        for (int y = int(std::max(0.0, cy - r)); y < std::min<double>(sceneSize, cy + r); ++y)
            for (int x = int(std::max(0.0, cx - r)); x < std::min<double>(sceneSize, cx + r); ++x)
                if (std::hypot(x - cx, y - cy) < r)
                    scene[size_t(y) * sceneSize + x] *= 0.7f;
    }
    std::normal_distribution<double> step(0.0, 1.0), noise(0.0, 1.0);
    std::vector<std::unique_ptr<TiffData>> stack;
    double walkX = 0.0, walkY = 0.0;
    for (int n = 0; n < count; ++n) {
        walkX = std::clamp(walkX + step(rng), -double(margin), double(margin));
        walkY = std::clamp(walkY + step(rng), -double(margin), double(margin));
        const int left = margin + int(std::lround(walkX)), top = margin + int(std::lround(walkY));
        auto image = std::make_unique<TiffData>();
        image->width = image->height = size;
        image->sampleKind = TiffData::TiffRows;
        image->energy = 7000.0 + n;
        image->samples16.resize(qsizetype(size) * size);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const double mean = scene[size_t(top + y) * sceneSize + left + x];
                image->samples16[qsizetype(y) * size + x]
                    = quint16(std::clamp(mean + std::sqrt(mean) * noise(rng), 0.0, 65535.0));
            }
        }
        stack.push_back(std::move(image));
    }
    return stack;
}

// The samples of every image into a real array, FFTW's forward and inverse transform of it.
double transformsSeconds(const QVector<TiffData *> &images, int size)
{
    const PhaseCorrelator plans(size, size, PhaseCorrelator::Options());
    std::atomic<int> next{0};
    QThreadPool pool;
    pool.setMaxThreadCount(threads);
    QElapsedTimer timer;
    timer.start();
    for (int t = 0; t < threads; ++t) {
        pool.start([&] {
            const size_t count = size_t(size) * size;
            double *real = fftw_alloc_real(count);
            double *spectrum
                = reinterpret_cast<double *>(fftw_alloc_complex(size_t(size / 2 + 1) * size));
            for (int i = next++; i < images.size(); i = next++) {
                const quint16 *samples = images.at(i)->samples16.constData();
                std::copy(samples, samples + count, real);
                plans.forwardTransform(real, spectrum);
                plans.inverseTransform(spectrum, real);
            }
            fftw_free(spectrum);
            fftw_free(real);
        });
    }
    pool.waitForDone();
    return timer.nsecsElapsed() * 1e-9;
}

double registrationSeconds(const QVector<TiffData *> &images)
{
    StackRegistration registration;
    registration.setMaxThreads(threads);
    QEventLoop loop;
    QObject::connect(&registration, &StackRegistration::finished, &loop, &QEventLoop::quit);
    QString error;
    QElapsedTimer timer;
    timer.start();
    if (!registration.start(images, StackRegistration::Settings(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 0.0;
    }
    loop.exec();
    return timer.nsecsElapsed() * 1e-9;
}

void summarise(const char *name, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%-28s median %8.3f s  lowest %8.3f s  highest %8.3f s\n",
                name,
                times[times.size() / 2],
                times.front(),
                times.back());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100;
    const int size = argc > 2 ? std::atoi(argv[2]) : 2048;
    const int rounds = std::max(5, argc > 3 ? std::atoi(argv[3]) : 5);
    const std::vector<std::unique_ptr<TiffData>> stack = makeStack(count, size);
    QVector<TiffData *> images;
    for (const auto &image : stack)
        images.append(image.get());
    std::printf(
        "%d images of %d x %d, %d threads, %d rounds\n", count, size, size, threads, rounds);
    std::vector<double> transforms, registrations, ratios;
    for (int round = 0; round < rounds; ++round) {
        transforms.push_back(transformsSeconds(images, size));
        registrations.push_back(registrationSeconds(images));
        ratios.push_back(registrations.back() / transforms.back());
        std::printf("round %d: transforms %.3f s, registration %.3f s, ratio %.2f\n",
                    round + 1,
                    transforms.back(),
                    registrations.back(),
                    ratios.back());
    }
    summarise("FFTW transforms (baseline)", transforms);
    summarise("registration", registrations);
    printFigure(qPrintable(QStringLiteral("stack registration, %1 images of %2 x %2, two threads, "
                                          "wall time, against FFTW's transforms of them")
                               .arg(count)
                               .arg(size)),
                ratios,
                "x");
    return 0;
}
