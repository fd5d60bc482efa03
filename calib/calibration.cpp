#include "calibration.h"

#include "analysis/blockengine.h"
#include "analysis/edgepositionkernel.h"
#include "calib/energyshiftmap.h"

#include <QDebug>

#include <cmath>

Calibration::Calibration(BlockEngine *engine, EnergyShiftMap *map, QObject *parent)
    : QObject(parent)
    , mEngine(engine)
    , mMap(map)
{}

bool Calibration::start(BlockRequest request, double stdEdge)
{
    if (mRunning || mEngine->isRunning())
        return false;
    EdgePositionKernel::setUp(request);
    // A refused run leaves the map and its walk as they were; blocks come back through the
    // event loop, after the map has been reset.
    if (!mEngine->start(
            request, [this](const AreaWalk &at, const double *values) { record(at, values[0]); }))
        return false;
    mMap->map().reset(request.walk);
    mStdEdge = stdEdge;
    mShifts.clear();
    mStats = Stats();
    mRunning = true;
    mFinished = connect(mEngine, &BlockEngine::finished, this, &Calibration::runEnded);
    return true;
}

void Calibration::stop()
{
    if (mRunning)
        mEngine->cancel();
}

void Calibration::record(const AreaWalk &walk, double edge)
{
    if (walk.cx == walk.x0 + walk.xw) {
        const double span = double(walk.y1 - walk.y0);
        qDebug().noquote() << "progress" << (walk.cy - walk.y0) / span * 100.0;
    }
    if (!walk.centreInside(walk.width, walk.height))
        return;
    const double shift = edge - mStdEdge;
    mMap->map().record(walk, shift);
    mShifts.push_back(shift);
    mStats.min = std::min(mStats.min, shift);
    mStats.max = std::max(mStats.max, shift);
}

void Calibration::runEnded(bool completed)
{
    disconnect(mFinished);
    mRunning = false;
    // The shifts in walk order: the sums are those of a walk of one block at a time.
    mStats.count = qint64(mShifts.size());
    if (mStats.count > 0) {
        double sum = 0.0;
        for (const double shift : mShifts)
            sum += shift;
        mStats.average = sum / double(mStats.count);
        double squares = 0.0;
        for (const double shift : mShifts)
            squares += (shift - mStats.average) * (shift - mStats.average);
        mStats.sigma = std::sqrt(squares / double(mStats.count));
    }
    mShifts = std::vector<double>();
    emit finished(completed);
}
