#pragma once

#include "analysis/blockrequest.h"

#include <QObject>

#include <vector>

class BlockEngine;
class EnergyShiftMap;

// The energy calibration of an area: the edge position of every block, less the standard's,
// written into the energy-shift map through the block engine, with the statistics of the
// shifts. Blocks centred outside the image have no spectrum and are left out.
class Calibration : public QObject
{
    Q_OBJECT

public:
    struct Stats
    {
        qint64 count = 0;
        double average = 0.0;
        double min = 1e300;
        double max = -1e300;
        double sigma = 0.0;
    };

    Calibration(BlockEngine *engine, EnergyShiftMap *map, QObject *parent = nullptr);

    bool isRunning() const { return mRunning; }
    // Starts a run over the request's walk against the standard's edge stdEdge; false, with
    // nothing started and the map untouched, when the engine is busy or refuses the walk.
    bool start(BlockRequest request, double stdEdge);
    // Stops a run; finished() follows.
    void stop();
    const Stats &stats() const { return mStats; }

signals:
    // The run is over; completed is false for a stopped one, whose statistics cover the
    // blocks measured until then.
    void finished(bool completed);

private:
    void record(const AreaWalk &walk, double edge);
    void runEnded(bool completed);

    BlockEngine *mEngine;
    EnergyShiftMap *mMap;
    bool mRunning = false;
    double mStdEdge = 0.0;
    // The shift of every block measured, in walk order.
    std::vector<double> mShifts;
    Stats mStats;
    QMetaObject::Connection mFinished;
};
