#include "arearun.h"

#include "analysis/analyzed2dres.h"
#include "analysis/blockengine.h"
#include "analysis/elemareakernel.h"
#include "analysis/lcfareakernel.h"
#include "analysis/raareakernel.h"

#include <QDateTime>
#include <QDebug>

#include <algorithm>
#include <cmath>

AreaRun::AreaRun(BlockEngine *engine, QObject *parent)
    : QObject(parent)
    , mEngine(engine)
{
    connect(mEngine, &BlockEngine::rowRecorded, this, &AreaRun::rowRecorded);
    connect(mEngine, &BlockEngine::finished, this, &AreaRun::engineFinished);
}

void AreaRun::log(const char *tag)
{
    qDebug().noquote() << tag
                       << QDateTime::currentDateTime().toString(
                              QStringLiteral("yyMMdd hh:mm:ss.zzz"));
}

bool AreaRun::startLCF(BlockRequest request,
                       const QVector<LCFReferenceData> &references,
                       bool mlcf,
                       const Background &background,
                       const LCFFitOptions &options,
                       const QVector<Analyzed2DRes *> &maps,
                       bool byBatch)
{
    if (isRunning())
        return false;
    log("2da 1:");
    const LCFAreaKernel kernel(references, mlcf, background, request.spectra.i1Energies(), options);
    kernel.setUp(request);
    // Maps of the references in use only: fraction, dmut and error of each, then the R-factor,
    // chi2 and, for a best-subset fit, the subset.
    const int referenceCount = references.size();
    const bool qualityMaps = maps.size() >= 3 * referenceCount + 3;
    QVector<bool> filled(maps.size(), false);
    for (const int used : kernel.usedIndices()) {
        for (int kind = 0; kind < (qualityMaps ? 3 : 2); ++kind) {
            if (used + kind * referenceCount < filled.size())
                filled[used + kind * referenceCount] = true;
        }
    }
    if (qualityMaps) {
        filled[3 * referenceCount] = filled[3 * referenceCount + 1] = true;
        filled[3 * referenceCount + 2] = options.bestSubset > 0;
    }
    if (!start(LCFRun, request, maps, byBatch, filled))
        return false;
    mReferences = referenceCount;
    mUsed = kernel.usedIndices();
    mNormFailures = kernel.normFailures();
    mQualityMaps = qualityMaps;
    mSubsetMap = mQualityMaps && options.bestSubset > 0;
    mUndefined = 0;
    log("2da 2:");
    return true;
}

bool AreaRun::startRA(BlockRequest request,
                      const Background &background,
                      double energy,
                      double factor,
                      const QVector<Analyzed2DRes *> &maps,
                      bool byBatch)
{
    if (isRunning())
        return false;
    const RAAreaKernel kernel(background, energy, factor, request.spectra.i1Energies());
    kernel.setUp(request);
    if (!start(RARun, request, maps, byBatch))
        return false;
    mNormFailures = kernel.normFailures();
    for (Analyzed2DRes *map : maps)
        map->setNo(-1);
    return true;
}

bool AreaRun::startElems(BlockRequest request,
                         const QVector<ElemParams> &elems,
                         int mainTarget,
                         const ElemBackgrounds &bg,
                         double correlation,
                         double corTh,
                         const QVector<Analyzed2DRes *> &maps,
                         bool byBatch)
{
    if (isRunning())
        return false;
    ElemAreaKernel(elems, mainTarget, bg, request.spectra.i1Energies()).setUp(request);
    if (!start(ElemRun, request, maps, byBatch))
        return false;
    mElements = elems.size();
    mNormFailures.reset();
    mCorrelation = correlation;
    mCorTh = corTh;
    return true;
}

bool AreaRun::start(Kind kind,
                    BlockRequest &request,
                    const QVector<Analyzed2DRes *> &maps,
                    bool byBatch,
                    const QVector<bool> &filled)
{
    // A refused run leaves the maps of the last one as they are. The engine records on this
    // thread only, so the maps can be reset once it has taken the run.
    if (!mEngine->start(
            request, [this](const AreaWalk &walk, const double *values) { record(walk, values); }))
        return false;
    mWalk = request.walk;
    mMaps = maps;
    for (int k = 0; k < mMaps.size(); ++k) {
        if (filled.value(k, filled.isEmpty()))
            mMaps.at(k)->reset(request.walk);
        else
            mMaps.at(k)->clear();
        mMaps.at(k)->setNo(k);
    }
    mRecorded = 0;
    mRedrawClock.invalidate();
    mKind = kind;
    mByBatch = byBatch;
    return true;
}

void AreaRun::record(const AreaWalk &walk, const double *values)
{
    ++mRecorded;
    if (mKind == ElemRun)
        return recordElems(walk, values);
    // A block without anything fitted keeps its cells as they are.
    if (values[0] == 0.0)
        return;
    if (mKind == RARun) {
        mMaps.at(0)->record(walk, values[1]);
        mMaps.at(1)->record(walk, values[2]);
        return;
    }
    const int n = mUsed.size();
    bool undefined = false;
    for (int d = 0; d < n; ++d) {
        const int j = mUsed.at(d);
        mMaps.at(j)->record(walk, values[1 + d]);
        mMaps.at(j + mReferences)->record(walk, values[1 + n + d]);
        undefined = undefined || std::isnan(values[1 + d]) || std::isnan(values[1 + n + d]);
    }
    if (undefined)
        ++mUndefined;
    if (!mQualityMaps)
        return;
    const int r = mReferences;
    for (int d = 0; d < n; ++d)
        mMaps.at(mUsed.at(d) + 2 * r)->record(walk, values[1 + 2 * n + d]);
    mMaps.at(3 * r)->record(walk, values[1 + 3 * n]);
    mMaps.at(3 * r + 1)->record(walk, values[2 + 3 * n]);
    if (mSubsetMap)
        mMaps.at(3 * r + 2)->record(walk, values[3 + 3 * n]);
}

void AreaRun::recordElems(const AreaWalk &walk, const double *values)
{
    // Blocks centred outside the image have no spectrum: they record nothing, as in the other
    // runs, and leave the ranges and the running correlation alone.
    if (!walk.centreInside(walk.width, walk.height))
        return;
    const int n = mElements;
    Analyzed2DRes *const *maps = mMaps.constData();
    for (int k = 0; k < 7 * n; ++k)
        maps[k]->recordCell(walk.cx, walk.cy, values[k]);
    if (values[8 * n] != 0.0)
        mCorrelation = values[8 * n + 1];
    maps[7 * n]->recordCell(walk.cx, walk.cy, mCorrelation);
    maps[7 * n + 1]->recordCell(walk.cx, walk.cy, ElemAnalysis::thresholded(mCorrelation, mCorTh));
}

void AreaRun::rowRecorded(qint64 rowsDone, qint64 rows)
{
    if (!isRunning() || rowsDone >= rows)
        return;
    const qint64 cy = mWalk.centreY(rowsDone);
    emit newRow(cy, double(cy - mWalk.y0) / double(mWalk.y1 - mWalk.y0) * 100.0);
    if (mRedrawClock.isValid() && mRedrawClock.elapsed() < redrawIntervalMs)
        return;
    mRedrawClock.start();
    emit redrawDue();
}

void AreaRun::engineFinished(bool completed)
{
    // A stopped run has ended already.
    if (!isRunning())
        return;
    const Kind kind = mKind;
    const bool byBatch = finish();
    if (kind == RARun && completed) {
        qDebug().noquote() << QStringLiteral("residual absorption: %1 blocks in %2 rows")
                                  .arg(mRecorded)
                                  .arg(mWalk.rows());
    }
    emit ended(kind, completed, byBatch);
}

void AreaRun::stop()
{
    if (!isRunning())
        return;
    const Kind kind = mKind;
    const bool byBatch = finish();
    // The engine's threads leave the images before anything else may touch them.
    mEngine->stopAndWait();
    emit ended(kind, false, byBatch);
}

bool AreaRun::finish()
{
    const bool byBatch = mByBatch;
    mKind = NoRun;
    mByBatch = false;
    return byBatch;
}

void AreaRun::ratioMap(const Analyzed2DRes &dmut, const Analyzed2DRes &rest, Analyzed2DRes &ratio)
{
    double minRes = 1e300;
    for (int y = 0; y < rest.height(); ++y) {
        for (int x = 0; x < rest.width(); ++x)
            minRes = std::min(minRes, rest.value(x, y));
    }
    for (int y = 0; y < rest.height(); ++y) {
        for (int x = 0; x < rest.width(); ++x) {
            const double c = dmut.value(x, y);
            const double d = rest.value(x, y) - minRes;
            ratio.setData(x, y, 0, 0, d / (c + d));
        }
    }
}
