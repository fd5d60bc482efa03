#pragma once

#include "analysis/areawalk.h"
#include "analysis/blockrequest.h"
#include "analysis/elemanalysis.h"
#include "analysis/lcffitoptions.h"
#include "analysis/lcfreferencedata.h"
#include "analysis/normfailuretally.h"

#include <QElapsedTimer>
#include <QObject>
#include <QVector>

#include <memory>

class Analyzed2DRes;
class BlockEngine;

// Drives the two-dimensional runs of the analyser on the block engine: the LCF / MLCF fit, the
// residual absorption and the element analysis of every block of an area. It resets and numbers the
// maps of a run, writes every block's values into them in walk order, reports each new row and the
// end, and writes the run's log lines to the debug output. Only one run goes at a time.
class AreaRun : public QObject
{
    Q_OBJECT

public:
    enum Kind { NoRun, LCFRun, RARun, ElemRun };
    // Time between two redraws of the maps while a run goes: recolouring a large map at every
    // row would hold the window still.
    static constexpr int redrawIntervalMs = 250;

    explicit AreaRun(BlockEngine *engine, QObject *parent = nullptr);

    bool isRunning() const { return mKind != NoRun; }
    Kind kind() const { return mKind; }
    // Whether the run going was started by a batch command, which waits for its end.
    bool startedByBatch() const { return mByBatch; }

    // Starts an LCF / MLCF run over the request's walk. maps holds 2 x n maps, n the number
    // of references: kind 0 (dmut) of references 0 .. n - 1, then kind 1 (fraction); map
    // (kind i, reference j) is reset and numbered j + i * n. With 3n + 3 maps, kind 2 holds
    // the standard error of each reference's coefficient, and the last three the R-factor,
    // the reduced chi-square and, in a best-subset run, the subset chosen. False,
    // with the maps untouched, when the engine refuses.
    bool startLCF(BlockRequest request,
                  const QVector<LCFReferenceData> &references,
                  bool mlcf,
                  const Background &background,
                  const LCFFitOptions &options,
                  const QVector<Analyzed2DRes *> &maps,
                  bool byBatch);
    // Starts a residual-absorption run: maps are "a2d DMut", "a2d Rest" and "a2d Rati", reset
    // and numbered -1; the first two are filled block by block, the ratio by ratioMap().
    bool startRA(BlockRequest request,
                 const Background &background,
                 double energy,
                 double factor,
                 const QVector<Analyzed2DRes *> &maps,
                 bool byBatch);
    // Starts an element run over the request's walk, whose blocks are centred on every pixel
    // and recorded in that pixel alone. maps holds 7n + 2 maps, n the number of elements: kind
    // k (dmut, ratio, mu+, mu-, edge position, ROI, normalised ROI) of element j at j + k * n,
    // then the correlation and the thresholded correlation; each is reset and numbered by its
    // position. A point without a correlation keeps the one before it, from correlation on;
    // a point outside the image records nothing.
    bool startElems(BlockRequest request,
                    const QVector<ElemParams> &elems,
                    int mainTarget,
                    const ElemBackgrounds &bg,
                    double correlation,
                    double corTh,
                    const QVector<Analyzed2DRes *> &maps,
                    bool byBatch);
    // The maps of the running or last run, in the order they were given.
    const QVector<Analyzed2DRes *> &maps() const { return mMaps; }
    // Blocks of the running or last run: recorded so far, and in its walk.
    qint64 recordedBlocks() const { return mRecorded; }
    qint64 blocks() const { return mWalk.count(); }
    // Blocks of the running or last LCF / RA run whose spectrum was normalised, and those of
    // them whose normalisation failed; 0 for element runs.
    qint64 normalisedBlocks() const { return mNormFailures ? mNormFailures->blocks() : 0; }
    qint64 normFailedBlocks() const { return mNormFailures ? mNormFailures->failed() : 0; }
    // Blocks of the running or last LCF run whose fit was not defined (recorded as NaN).
    qint64 undefinedBlocks() const { return mUndefined; }
    // The correlation of the last point an element run recorded.
    double correlation() const { return mCorrelation; }
    // Ends a run at once: nothing more is recorded, the maps keep what they hold.
    void stop();

    // Fills the ratio map of a residual-absorption run, (Res - minRes) / (dmut + Res - minRes)
    // cell by cell, minRes the smallest residual of the map.
    static void
    ratioMap(const Analyzed2DRes &dmut, const Analyzed2DRes &rest, Analyzed2DRes &ratio);
    // Writes a log line: the tag and the time.
    static void log(const char *tag);

signals:
    // A row of the walk starts at row cy; percent done as the analyser shows it.
    void newRow(qint64 cy, double percent);
    // A row has been recorded and the maps on show may be redrawn: at the first row, then at
    // most once every redrawIntervalMs.
    void redrawDue();
    // The run has ended: completed, or stopped. byBatch tells who started it.
    void ended(AreaRun::Kind kind, bool completed, bool byBatch);

private:
    // Starts the engine on the request; on success resets the maps to its walk, numbered by
    // their position, and clears those the run does not fill (filled false), so that they hold
    // no memory. An empty filled: every map is filled.
    bool start(Kind kind,
               BlockRequest &request,
               const QVector<Analyzed2DRes *> &maps,
               bool byBatch,
               const QVector<bool> &filled = {});
    void record(const AreaWalk &walk, const double *values);
    void recordElems(const AreaWalk &walk, const double *values);
    void rowRecorded(qint64 rowsDone, qint64 rows);
    void engineFinished(bool completed);
    // Back to idle; returns who started the run.
    bool finish();

    BlockEngine *mEngine;
    Kind mKind = NoRun;
    bool mByBatch = false;
    AreaWalk mWalk;
    QVector<Analyzed2DRes *> mMaps;
    qint64 mRecorded = 0;
    QElapsedTimer mRedrawClock;
    // LCF: the list index of every used reference, and the number of references.
    QVector<int> mUsed;
    // LCF and RA: the kernel's count of failed normalisations.
    std::shared_ptr<const NormFailureTally> mNormFailures;
    int mReferences = 0;
    bool mQualityMaps = false;
    // The subset map is filled by best-subset runs only; the others use every reference.
    bool mSubsetMap = false;
    qint64 mUndefined = 0;
    // Element runs: the number of elements, the running correlation and its threshold.
    int mElements = 0;
    double mCorrelation = 0.0;
    double mCorTh = 0.0;
};
