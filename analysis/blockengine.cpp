#include "blockengine.h"

#include <QDebug>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <limits>
#include <mutex>

namespace {

// Values of one row a run may hold; a wider row is refused.
constexpr qint64 maxRowValues = qint64(1) << 26;
// Samples summed between two looks at the cancel flag, roughly.
constexpr qint64 samplesPerChunk = qint64(1) << 24;
// Absorption values of a chunk of blocks, at most: they stay in the second-level cache from
// their computation until the kernel has read them.
constexpr qint64 chunkValues = 16384;

} // namespace

struct BlockEngine::Run
{
    explicit Run(const BlockRequest &request)
        : request(request)
    {}

    const BlockRequest request;
    qint64 rows = 0;
    int columns = 0;
    // Blocks computed together: a part of a row small enough to cancel between.
    int chunk = 1;
    std::atomic<qint64> nextRow{0};
    std::atomic<bool> cancelled{false};
    // Set for a run of runAndWait(): what the threads hand over goes there.
    std::shared_ptr<Waiter> waiter;
};

// The work handed to the thread waiting in runAndWait().
struct BlockEngine::Waiter
{
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<std::function<void()>> work;
};

void BlockEngine::deliver(BlockEngine *engine, const Run &run, std::function<void()> work)
{
    if (!run.waiter) {
        QMetaObject::invokeMethod(engine, std::move(work), Qt::QueuedConnection);
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(run.waiter->mutex);
        run.waiter->work.push_back(std::move(work));
    }
    run.waiter->arrived.notify_one();
}

BlockEngine::BlockEngine(QObject *parent)
    : QObject(parent)
{
    mPool.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
}

BlockEngine::~BlockEngine()
{
    stopAndWait();
}

int BlockEngine::maxThreads() const
{
    return mPool.maxThreadCount();
}

void BlockEngine::setMaxThreads(int threads)
{
    mPool.setMaxThreadCount(qMax(1, threads));
}

bool BlockEngine::start(const BlockRequest &request, Recorder recorder)
{
    if (isRunning()) {
        qDebug() << "An area analysis is running already.";
        return false;
    }
    if (!request.kernel || request.valueCount < 1)
        return false;
    const AreaWalk &walk = request.walk;
    if (walk.columns() * request.valueCount > maxRowValues) {
        qDebug() << "Area too wide for an analysis:" << walk.columns() << "blocks a row";
        return false;
    }

    auto run = std::make_shared<Run>(request);
    if (mWaiting)
        run->waiter = std::make_shared<Waiter>();
    run->rows = walk.rows();
    run->columns = int(walk.columns());
    const qint64 blockWidth = qMin<qint64>(2 * walk.xw + 1, qMax(request.spectra.imageWidth(), 1));
    const qint64 blockHeight
        = qMin<qint64>(2 * walk.yw + 1, qMax(request.spectra.imageHeight(), 1));
    const qint64 samplesPerBlock = blockWidth * blockHeight * qMax(request.spectra.i1Count(), 1);
    // A whole number of vectors of blocks, as the spectra are computed across the blocks.
    const qint64 cachedBlocks
        = qMax<qint64>(8, chunkValues / qMax(request.spectra.i1Count(), 1) / 8 * 8);
    run->chunk = int(qBound<qint64>(1, samplesPerChunk / samplesPerBlock, cachedBlocks));

    mRun = run;
    mRecorder = std::move(recorder);
    mCursor = walk;
    mCursor.rewind();
    mNextRow = 0;
    mPending.clear();
    mWorkers = int(qMin<qint64>(mPool.maxThreadCount(), run->rows));
    for (int i = 0; i < mWorkers; ++i)
        mPool.start([this, run] { computeRows(this, run); });
    return true;
}

void BlockEngine::computeRows(BlockEngine *engine, std::shared_ptr<Run> run)
{
    const BlockRequest &request = run->request;
    const AreaWalk &walk = request.walk;
    const StackSpectra &spectra = request.spectra;
    // The spectra of one chunk after the other, in buffers this thread keeps.
    RowSpectra chunkSpectra;
    for (;;) {
        const qint64 row = run->nextRow++;
        if (row >= run->rows || run->cancelled)
            break;
        const qint64 cy = walk.centreY(row);
        std::vector<double> values(size_t(run->columns) * request.valueCount);
        for (int first = 0; first < run->columns && !run->cancelled; first += run->chunk) {
            const int count = qMin(run->chunk, run->columns - first);
            const qint64 firstX = walk.centreX(first);
            const bool rowInImage = spectra.inImage(qMax<qint64>(firstX, 0), cy);
            if (rowInImage) {
                spectra.rowAbsorption(
                    firstX, walk.stepX, count, cy, walk.xw, walk.yw, chunkSpectra);
            }
            for (int i = 0; i < count; ++i) {
                const qint64 cx = firstX + i * walk.stepX;
                const SpectrumSpan raw = rowInImage && spectra.inImage(cx, cy)
                                             ? chunkSpectra.block(i)
                                             : SpectrumSpan();
                request.kernel({cx, cy, raw, request.energyShiftAt(cx, cy)},
                               values.data() + size_t(first + i) * request.valueCount);
            }
        }
        if (run->cancelled)
            break;
        // std::function needs a copyable callable: the row's values go in a shared holder.
        auto rowValues = std::make_shared<std::vector<double>>(std::move(values));
        deliver(engine, *run, [engine, row, rowValues] {
            engine->takeRow(row, std::move(*rowValues));
        });
    }
    deliver(engine, *run, [engine] { engine->workerEnded(); });
}

void BlockEngine::takeRow(qint64 row, std::vector<double> values)
{
    // Held here: a recorder may cancel the run, which lets it go.
    const std::shared_ptr<Run> run = mRun;
    if (!run || run->cancelled)
        return;
    mPending.emplace(row, std::move(values));
    const int valueCount = run->request.valueCount;
    for (auto next = mPending.find(mNextRow); next != mPending.end();
         next = mPending.find(mNextRow)) {
        const std::vector<double> rowValues = std::move(next->second);
        mPending.erase(next);
        for (int i = 0; i < run->columns; ++i) {
            mRecorder(mCursor, rowValues.data() + size_t(i) * valueCount);
            if (run->cancelled)
                return;
            bool newRow = false;
            mCursor.next(newRow);
        }
        ++mNextRow;
        emit rowRecorded(mNextRow, run->rows);
        if (run->cancelled)
            return;
    }
    finishWhenIdle();
}

void BlockEngine::workerEnded()
{
    --mWorkers;
    finishWhenIdle();
}

void BlockEngine::finishWhenIdle()
{
    if (!mRun || mWorkers > 0)
        return;
    const bool completed = !mRun->cancelled && mNextRow == mRun->rows;
    if (!completed && !mRun->cancelled)
        return;
    mRun.reset();
    mPending.clear();
    mCompleted = completed;
    emit finished(completed);
}

void BlockEngine::cancel()
{
    if (!mRun)
        return;
    mRun->cancelled = true;
    mPending.clear();
    finishWhenIdle();
}

bool BlockEngine::waitForFinished(const std::function<bool()> &interrupted)
{
    const std::shared_ptr<Waiter> waiter = mRun ? mRun->waiter : nullptr;
    if (!waiter)
        return !mRun && mCompleted;
    // The run is over once finished() has let it go, which needs every thread to have ended.
    while (mRun) {
        std::deque<std::function<void()>> work;
        {
            std::unique_lock<std::mutex> lock(waiter->mutex);
            waiter->arrived.wait_for(
                lock, std::chrono::milliseconds(100), [&waiter] { return !waiter->work.empty(); });
            work.swap(waiter->work);
        }
        // An interruption is taken before the rows that arrived meanwhile are recorded.
        if (mRun && interrupted && interrupted())
            cancel();
        for (std::function<void()> &piece : work)
            piece();
    }
    mPool.waitForDone();
    return mCompleted;
}

void BlockEngine::stopAndWait()
{
    cancel();
    mPool.waitForDone();
}
