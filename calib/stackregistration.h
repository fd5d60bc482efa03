#pragma once

#include "calib/phasecorrelator.h"
#include "calib/shifttable.h"

#include <QObject>
#include <QRect>
#include <QThreadPool>
#include <QVector>

#include <memory>
#include <vector>

class TiffData;

// Registers every image of a stack by phase correlation, one image per task on all cores:
// each against a reference image, or, chained, each against its neighbour towards the
// reference, the pair shifts then summed outwards from it. Stoppable, with progress. The
// images must stay alive and unchanged until finished() is emitted.
class StackRegistration : public QObject
{
    Q_OBJECT

public:
    struct Settings
    {
        // Index of the reference image; below 0: the image of highest energy.
        int reference = -1;
        bool chain = false;
        PhaseCorrelator::Options options;
        // The part of the images compared; empty: the whole image.
        QRect area;
    };

    explicit StackRegistration(QObject *parent = nullptr);
    // Stops a registration and waits for its threads.
    ~StackRegistration() override;

    void setMaxThreads(int threads);
    bool isRunning() const { return mRun != nullptr; }
    // Starts; false, with the reason, when nothing was started (a registration going on, no
    // image, a reference outside the stack, images of different sizes).
    bool start(const QVector<TiffData *> &images, const Settings &settings, QString *error);
    // The table of the last completed registration.
    const ShiftTable &table() const { return mTable; }

    // The image of highest energy; -1 for none.
    static int highestEnergyIndex(const QVector<TiffData *> &images);
    // The stored samples inside area, row by row, with NaN where the file held no number.
    static std::vector<double> areaSamples(const TiffData &image, const QRect &area);
    static void areaSamples(const TiffData &image, const QRect &area, std::vector<double> &into);

public slots:
    // Nothing more is computed; finished(false) follows once the threads are gone.
    void cancel();
    void stopAndWait();

signals:
    void progress(int done, int total);
    // The registration is over; completed is false for a cancelled one.
    void finished(bool completed);

private:
    struct Run;
    static void work(StackRegistration *owner, std::shared_ptr<Run> run);
    void taskDone();
    void workerEnded();
    // Sums the pair shifts of a chain outwards from the reference.
    void chainUp(Run &run);

    QThreadPool mPool;
    std::shared_ptr<Run> mRun;
    int mWorkers = 0;
    ShiftTable mTable;
};
