#pragma once

#include "analysis/blockrequest.h"
#include "analysis/componentrun.h"
#include "spectra/background.h"

#include <QObject>
#include <QVector>

#include <functional>

class Analyzed2DRes;
class Analyzer;
class BlockEngine;
class CommandRegistry;
class ComponentsWindow;

// Runs the principal component analysis and the clustering of an area's spectra, holds their
// maps (the scores of each component kept, and the clusters), saves the components and the
// clusters' spectra, makes a cluster's spectrum a reference row of the analyser, and shows a
// map of its own as the analyser's selected map, which the display, save_data and save_image
// then use. Its batch commands are registered here.
class ComponentsController : public QObject
{
    Q_OBJECT

public:
    // Components kept at most.
    static constexpr int maxComponents = 20;

    ComponentsController(Analyzer *analyzer, BlockEngine *engine, QObject *parent = nullptr);
    ~ComponentsController() override;

    ComponentRun *run() const { return mRun; }
    // The window, opened by the analyser's "Components" button.
    ComponentsWindow *window() const { return mWindow; }
    // What a run reads, as the main window is set up now (kernel unset); how the spectra are
    // normalised (the target background); and whether another area run goes on, which
    // refuses a run.
    void setProviders(std::function<BlockRequest()> blockRequest,
                      std::function<Background()> background,
                      std::function<bool()> busy);

    // The score map of component k (from 0), and the cluster map; null before a run made them.
    Analyzed2DRes *scoreMap(int k) const { return mScoreMaps.value(k); }
    Analyzed2DRes *clusterMap() const { return mClusterMap; }
    QString mapTitle(const Analyzed2DRes *map) const;

    void registerCommands(CommandRegistry &commands);

public slots:
    // Starts the analysis keeping m components; false when nothing was started (said why).
    bool startAnalysis(int components);
    // Clusters the scores of the last analysis into k; false when nothing was started.
    bool startClusters(int clusters);
    // Writes the mean, eigenvalues and eigenspectra of the last analysis.
    bool saveComponents(const QString &path);
    // Writes the spectrum of every cluster to PREFIX-1.dat, PREFIX-2.dat, ...
    bool saveClusterSpectra(const QString &prefix);
    // Writes cluster c's spectrum to PREFIX-c.dat and puts it into reference row `row`, in use.
    bool clusterToReference(int cluster, int row, const QString &prefix);
    // Shows the score map of component k (from 0), or with k < 0 the cluster map, as the
    // analyser's selected map.
    bool selectMap(int k);

signals:
    // A refusal, a failure or a result for the message line; forBatch when a batch command
    // waits for it.
    void message(const QString &message, bool forBatch);
    // The map shown as the analyser's selected map has been chosen or redrawn.
    void mapSelected();
    // The analysis or the clustering has ended.
    void analysisEnded(bool completed);
    void clustersEnded(bool completed);
    // A batch command that waited for a run may go on.
    void batchWorkEnded();

private:
    static QString numberedFile(const QString &prefix, int number);
    bool refused(const QString &why);
    void runEnded(bool completed, bool clusters);

    Analyzer *mAnalyzer;
    BlockEngine *mEngine;
    ComponentRun *mRun;
    ComponentsWindow *mWindow;
    std::function<BlockRequest()> mBlockRequest;
    std::function<Background()> mBackground;
    std::function<bool()> mBusy;
    QVector<Analyzed2DRes *> mScoreMaps;
    Analyzed2DRes *mClusterMap;
    // The map on show: component k, -1 the clusters, -2 none.
    int mShown = -2;
    bool mByBatch = false;
};
