#pragma once

#include "analysis/areawalk.h"
#include "analysis/blockrequest.h"

#include <QObject>
#include <QThreadPool>

#include <functional>
#include <map>
#include <memory>
#include <vector>

// Runs an area analysis on all cores: threads of its own pool take the rows of the walk in
// turn, compute the spectrum of every block of a row and run the request's kernel on it. The
// rows come back to the GUI thread, where the recorder gets every block in walk order, so the
// maps and every logged line are those of a walk of one block at a time, whatever the number
// of threads. The images of the request must stay alive until finished() is emitted.
class BlockEngine : public QObject
{
    Q_OBJECT

public:
    // Called on the GUI thread for every block in walk order, with the walk standing at the
    // block and the kernel's values for it.
    using Recorder = std::function<void(const AreaWalk &walk, const double *values)>;

    explicit BlockEngine(QObject *parent = nullptr);
    // Stops a run and waits for its threads.
    ~BlockEngine() override;

    int maxThreads() const;
    void setMaxThreads(int threads);

    // True from start() until finished(): the run's threads may still read its images.
    bool isRunning() const { return mRun != nullptr; }
    // Starts a run; false, with nothing started, while a run goes on or when the request
    // has no kernel or a row of more blocks than a run can hold.
    bool start(const BlockRequest &request, Recorder recorder);
    // Cancels and waits until the threads have stopped reading; finished() follows from the
    // event loop.
    void stopAndWait();
    // For callers without an event loop: the runs started from now on hand their rows to the
    // thread that calls waitForFinished() instead of the event loop.
    void setWaiting(bool waiting) { mWaiting = waiting; }
    // In waiting mode, waits for the run started last and records its rows on this thread in
    // walk order: the recorder, rowRecorded() and finished() come here, as they would from
    // the event loop. interrupted is asked now and then while waiting; when it returns true
    // the run is cancelled. Returns whether the run completed.
    bool waitForFinished(const std::function<bool()> &interrupted = {});

public slots:
    // Nothing more is recorded from now on; finished(false) follows as soon as the threads
    // have left the blocks they were on.
    void cancel();

signals:
    // After every recorded row: rows recorded so far and rows of the walk.
    void rowRecorded(qint64 rowsDone, qint64 rows);
    // The run is over and its threads are gone; completed is false for a cancelled run.
    void finished(bool completed);

private:
    struct Run;
    struct Waiter;
    // Hands a piece of the run's recording to the thread that records: queued to this
    // object's thread, or to the thread waiting in runAndWait().
    static void deliver(BlockEngine *engine, const Run &run, std::function<void()> work);
    // The loop of one thread: computes rows until none is left or the run is cancelled.
    static void computeRows(BlockEngine *engine, std::shared_ptr<Run> run);
    // GUI thread: a computed row, recorded together with every row before it.
    void takeRow(qint64 row, std::vector<double> values);
    void workerEnded();
    void finishWhenIdle();

    QThreadPool mPool;
    std::shared_ptr<Run> mRun;
    Recorder mRecorder;
    AreaWalk mCursor;
    qint64 mNextRow = 0;
    std::map<qint64, std::vector<double>> mPending;
    int mWorkers = 0;
    bool mWaiting = false;
    bool mCompleted = false;
};
