#include "stackregistration.h"

#include "input/tiffdata.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>

struct StackRegistration::Run
{
    QVector<TiffData *> images;
    Settings settings;
    QRect area;
    std::unique_ptr<PhaseCorrelator> correlator;
    // The prepared reference of a registration against one image, made by the first task.
    std::once_flag referenceOnce;
    PhaseCorrelator::Prepared reference;
    QString referenceError;
    // Per image: the shift onto the reference, or onto the neighbour when chained.
    QVector<ShiftTable::Row> rows;
    std::atomic<int> nextImage{0};
    std::atomic<bool> cancelled{false};
    int done = 0;
};

StackRegistration::StackRegistration(QObject *parent)
    : QObject(parent)
{
    mPool.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
}

StackRegistration::~StackRegistration()
{
    stopAndWait();
}

void StackRegistration::setMaxThreads(int threads)
{
    mPool.setMaxThreadCount(qMax(1, threads));
}

int StackRegistration::highestEnergyIndex(const QVector<TiffData *> &images)
{
    int best = -1;
    for (int i = 0; i < images.size(); ++i) {
        if (best < 0 || images.at(i)->energy > images.at(best)->energy)
            best = i;
    }
    return best;
}

std::vector<double> StackRegistration::areaSamples(const TiffData &image, const QRect &area)
{
    std::vector<double> samples;
    areaSamples(image, area, samples);
    return samples;
}

void StackRegistration::areaSamples(const TiffData &image,
                                    const QRect &area,
                                    std::vector<double> &samples)
{
    samples.resize(size_t(area.width()) * size_t(area.height()));
    const bool isFloat = image.sampleKind == TiffData::FloatRows;
    for (int y = 0; y < area.height(); ++y) {
        const qsizetype row = qsizetype(area.y() + y) * image.width + area.x();
        double *out = samples.data() + size_t(y) * area.width();
        for (int x = 0; x < area.width(); ++x) {
            out[x] = isFloat ? double(image.samplesFloat.at(row + x))
                             : double(image.samples16.at(row + x));
        }
        image.forEachNonFinite(area.y() + y, area.x(), area.right(), [out, &area](qint64 column) {
            out[column - area.x()] = std::numeric_limits<double>::quiet_NaN();
        });
    }
}

bool StackRegistration::start(const QVector<TiffData *> &images,
                              const Settings &settings,
                              QString *error)
{
    const auto refuse = [error](const char *text) {
        *error = QCoreApplication::translate("StackRegistration", text);
        return false;
    };
    if (isRunning())
        return refuse(QT_TRANSLATE_NOOP("StackRegistration", "A registration is running already."));
    if (images.isEmpty())
        return refuse(QT_TRANSLATE_NOOP("StackRegistration", "There is no image to register."));
    const int reference = settings.reference < 0 ? highestEnergyIndex(images) : settings.reference;
    if (reference >= images.size())
        return refuse(
            QT_TRANSLATE_NOOP("StackRegistration", "The reference image is not in the stack."));
    const QSize size(images.first()->width, images.first()->height);
    for (const TiffData *image : images) {
        if (QSize(image->width, image->height) != size)
            return refuse(QT_TRANSLATE_NOOP("StackRegistration", "The images differ in size."));
        if (image->sampleKind == TiffData::NoRows)
            return refuse(QT_TRANSLATE_NOOP("StackRegistration", "An image holds no samples."));
    }
    const QRect whole(QPoint(0, 0), size);
    const QRect area = settings.area.isEmpty() ? whole : settings.area.intersected(whole);
    if (area.width() < 2 || area.height() < 2)
        return refuse(QT_TRANSLATE_NOOP("StackRegistration", "The area is too small to register."));

    auto run = std::make_shared<Run>();
    run->images = images;
    run->settings = settings;
    run->settings.reference = reference;
    run->area = area;
    run->correlator
        = std::make_unique<PhaseCorrelator>(area.width(), area.height(), settings.options);
    run->rows.resize(images.size());
    mRun = run;
    mWorkers = qMin(mPool.maxThreadCount(), int(images.size()));
    for (int i = 0; i < mWorkers; ++i)
        mPool.start([this, run] { work(this, run); });
    emit progress(0, images.size());
    return true;
}

void StackRegistration::work(StackRegistration *owner, std::shared_ptr<Run> run)
{
    const PhaseCorrelator &correlator = *run->correlator;
    const int reference = run->settings.reference;
    // Kept from image to image: the samples, the prepared images and the transforms' memory.
    PhaseCorrelator::Workspace workspace;
    std::vector<double> samples;
    PhaseCorrelator::Prepared target, moving;
    const auto prepare = [&](int index, QString *error, PhaseCorrelator::Prepared &into) {
        areaSamples(*run->images.at(index), run->area, samples);
        correlator.prepare(samples.data(), error, into, workspace);
    };
    for (;;) {
        const int index = run->nextImage++;
        if (index >= run->images.size() || run->cancelled)
            break;
        ShiftTable::Row &row = run->rows[index];
        row.image = index;
        row.energy = run->images.at(index)->energy;
        QString error;
        if (run->settings.chain) {
            const int neighbour = index == reference  ? index
                                  : index > reference ? index - 1
                                                      : index + 1;
            prepare(neighbour, &error, target);
        } else {
            std::call_once(run->referenceOnce,
                           [&] { prepare(reference, &run->referenceError, run->reference); });
            error = run->referenceError;
        }
        const PhaseCorrelator::Prepared &against = run->settings.chain ? target : run->reference;
        if (!against.isNull())
            prepare(index, &error, moving);
        if (against.isNull() || moving.isNull()) {
            row.error = error;
        } else {
            const PhaseCorrelator::Result result = correlator.correlate(against, moving, workspace);
            row.ok = result.ok;
            row.dx = result.dx;
            row.dy = result.dy;
            row.quality = result.quality;
            row.error = result.error;
        }
        QMetaObject::invokeMethod(
            owner, [owner] { owner->taskDone(); }, Qt::QueuedConnection);
    }
    QMetaObject::invokeMethod(
        owner, [owner] { owner->workerEnded(); }, Qt::QueuedConnection);
}

void StackRegistration::taskDone()
{
    if (!mRun || mRun->cancelled)
        return;
    ++mRun->done;
    emit progress(mRun->done, mRun->images.size());
}

void StackRegistration::chainUp(Run &run)
{
    const int reference = run.settings.reference;
    run.rows[reference].dx = run.rows[reference].dy = 0.0;
    for (int step : {1, -1}) {
        for (int i = reference + step; i >= 0 && i < run.rows.size(); i += step) {
            ShiftTable::Row &row = run.rows[i];
            const ShiftTable::Row &neighbour = run.rows.at(i - step);
            if (row.ok && !neighbour.ok) {
                row.ok = false;
                row.error = QCoreApplication::translate("StackRegistration",
                                                        "The chain is broken at image %1.")
                                .arg(neighbour.image);
            }
            row.dx += neighbour.dx;
            row.dy += neighbour.dy;
        }
    }
}

void StackRegistration::workerEnded()
{
    if (--mWorkers > 0 || !mRun)
        return;
    const std::shared_ptr<Run> run = std::move(mRun);
    const bool completed = !run->cancelled;
    if (completed) {
        if (run->settings.chain)
            chainUp(*run);
        mTable.rows = run->rows;
    }
    emit finished(completed);
}

void StackRegistration::cancel()
{
    if (mRun)
        mRun->cancelled = true;
}

void StackRegistration::stopAndWait()
{
    cancel();
    mPool.waitForDone();
}
