#pragma once

#include "analysis/areawalk.h"
#include "analysis/blockrequest.h"
#include "analysis/kmeans.h"
#include "analysis/normfailuretally.h"
#include "analysis/perthread.h"
#include "analysis/principalcomponents.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QVector>

#include <memory>
#include <vector>

class Analyzed2DRes;
class BlockEngine;
class GridSpectrumKernel;

// The principal component analysis of the double-normalised spectra of every block of an
// area, and the clusters of their scores, on the block engine. The analysis takes two passes:
// the first sums the spectra and their outer products (each thread apart) for the mean and the
// covariance, whose eigenvectors are the components; the second writes each block's scores on
// the first components into score maps, which keep them: nothing else is kept of a block.
// Clustering groups the scores by k-means, writes the cluster map (0 for blocks left out, clusters
// from 1) and takes a third pass for the mean spectrum of every cluster. Blocks whose
// normalisation failed or that show no edge are left out and counted.
class ComponentRun : public QObject
{
    Q_OBJECT

public:
    enum Stage { Idle, SummingSpectra, Scoring, SummingClusters };

    explicit ComponentRun(BlockEngine *engine, QObject *parent = nullptr);
    ~ComponentRun() override;

    // The colour of a cluster on its map and in its legend: grey for 0 (blocks left out), then
    // colours far apart.
    static QColor clusterColour(int cluster);

    Stage stage() const { return mStage; }
    bool isRunning() const { return mStage != Idle; }

    // Starts the analysis of the request's blocks normalised with background, keeping the
    // scores of `components` components in as many maps (reset to the walk). False, with
    // nothing started, when the engine refuses or no map is given.
    bool startAnalysis(BlockRequest request,
                       const Background &background,
                       const QVector<Analyzed2DRes *> &scoreMaps);
    // Clusters the kept scores into k clusters, fills clusterMap and starts the pass for the
    // mean spectra of the clusters over the request, which must walk the blocks of the
    // analysis. False, with nothing started, without an analysis of that walk.
    bool startClusters(BlockRequest request,
                       int k,
                       Analyzed2DRes *clusterMap,
                       quint64 seed = KMeans::defaultSeed);
    // Ends a pass at once; what it had not finished is dropped.
    void stop();

    // The last analysis: its components, walk, and whether it scored every block.
    const PrincipalComponents &components() const { return mComponents; }
    int componentCount() const { return mScoreCount; }
    const AreaWalk &walk() const { return mWalk; }
    bool hasScores() const { return mScored; }
    // The scores of every block (blocks x components, NaN for blocks left out), read from the
    // score maps, which keep them; empty without scores.
    std::vector<double> scores() const;
    qint64 blocks() const { return mWalk.count(); }
    // Blocks of the last analysis left out (normalisation failed, no edge).
    qint64 leftOutBlocks() const { return mTally ? mTally->failed() : 0; }
    // The last clusters: 0-based cluster of every block (-1 left out), their sizes, and the
    // mean double-normalised spectrum of each on components().energies().
    const KMeans::Result &clusters() const { return mClusters; }
    int clusterCount() const { return int(mClusters.sizes.size()); }
    const std::vector<std::vector<double>> &clusterSpectra() const { return mClusterSpectra; }
    // Writes cluster c's (from 1) mean spectrum as two columns, energy and value; false when
    // there is no such spectrum or the file cannot be written.
    bool saveClusterSpectrum(int cluster, const QString &path) const;

signals:
    // The analysis has ended: completed, or stopped.
    void analysisEnded(bool completed);
    // The clusters' spectra have been summed, or the pass was stopped.
    void clustersEnded(bool completed);

private:
    // The spectra of every cluster summed by one thread: k x points sums and k counts.
    struct ClusterSums
    {
        std::vector<double> sums;
        std::vector<qint64> counts;
    };
    void engineFinished(bool completed);
    bool startScores();
    void finishClusters();
    void end(bool completed);

    // Gone before this object when both belong to the main window.
    QPointer<BlockEngine> mEngine;
    Stage mStage = Idle;
    QMetaObject::Connection mFinished;
    BlockRequest mRequest;
    Background mBackground;
    std::shared_ptr<GridSpectrumKernel> mKernel;
    std::shared_ptr<const NormFailureTally> mTally;
    std::shared_ptr<PerThread<PrincipalComponents::Sums>> mSpectrumSums;
    std::shared_ptr<PerThread<ClusterSums>> mClusterSums;
    QVector<Analyzed2DRes *> mScoreMaps;
    PrincipalComponents mComponents;
    AreaWalk mWalk;
    int mScoreCount = 0;
    bool mScored = false;
    qint64 mRecorded = 0;
    KMeans::Result mClusters;
    std::vector<std::vector<double>> mClusterSpectra;
};
