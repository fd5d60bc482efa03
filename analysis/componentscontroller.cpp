#include "componentscontroller.h"

#include "analysis/analyzed2dres.h"
#include "analysis/analyzer.h"
#include "analysis/blockengine.h"
#include "analysis/componentswindow.h"
#include "batch/batchcommands.h"
#include "batch/commandregistry.h"

#include <QDir>
#include <QPushButton>
#include <QFileInfo>

ComponentsController::ComponentsController(Analyzer *analyzer, BlockEngine *engine, QObject *parent)
    : QObject(parent)
    , mAnalyzer(analyzer)
    , mEngine(engine)
    , mRun(new ComponentRun(engine, this))
    , mWindow(new ComponentsWindow)
    , mClusterMap(new Analyzed2DRes(QStringLiteral("Clusters"), this))
{
    connect(mRun, &ComponentRun::analysisEnded, this, [this](bool completed) {
        runEnded(completed, false);
    });
    connect(mRun, &ComponentRun::clustersEnded, this, [this](bool completed) {
        runEnded(completed, true);
    });
    connect(mAnalyzer->componentsButton(), &QPushButton::clicked, mWindow, [this] {
        mWindow->show();
        mWindow->raise();
    });
    connect(mWindow, &ComponentsWindow::analyseAsked, this, &ComponentsController::startAnalysis);
    connect(mWindow, &ComponentsWindow::clustersAsked, this, &ComponentsController::startClusters);
    connect(mWindow, &ComponentsWindow::mapChosen, this, &ComponentsController::selectMap);
    connect(mWindow,
            &ComponentsWindow::referenceAsked,
            this,
            &ComponentsController::clusterToReference);
}

ComponentsController::~ComponentsController()
{
    delete mWindow;
}

void ComponentsController::setProviders(std::function<BlockRequest()> blockRequest,
                                        std::function<Background()> background,
                                        std::function<bool()> busy)
{
    mBlockRequest = std::move(blockRequest);
    mBackground = std::move(background);
    mBusy = std::move(busy);
}

QString ComponentsController::mapTitle(const Analyzed2DRes *map) const
{
    if (map && map == mClusterMap)
        return tr("clusters");
    const int k = mScoreMaps.indexOf(const_cast<Analyzed2DRes *>(map));
    return k >= 0 ? tr("scores of component %1").arg(k + 1) : QString();
}

bool ComponentsController::refused(const QString &why)
{
    emit message(why, false);
    return false;
}

bool ComponentsController::startAnalysis(int components)
{
    if (components < 1 || components > maxComponents)
        return refused(tr("Components: give 1 to %1 components").arg(maxComponents));
    if (mRun->isRunning() || mEngine->isRunning() || (mBusy && mBusy()))
        return refused(tr("An area analysis is running: components not analysed"));
    const BlockRequest request = mBlockRequest ? mBlockRequest() : BlockRequest();
    if (request.spectra.i1Count() < 2)
        return refused(tr("No images loaded: components not analysed"));
    // The maps kept from an earlier analysis stay as long as the analyser may show them.
    while (mScoreMaps.size() < components)
        mScoreMaps << new Analyzed2DRes(QStringLiteral("PCA score %1").arg(mScoreMaps.size() + 1),
                                        this);
    mClusterMap->clear();
    if (!mRun->startAnalysis(
            request, mBackground ? mBackground() : Background(), mScoreMaps.mid(0, components)))
        return refused(tr("Components: the analysis could not start"));
    return true;
}

bool ComponentsController::startClusters(int clusters)
{
    if (clusters < 1)
        return refused(tr("Clusters: give at least one cluster"));
    if (mRun->isRunning() || mEngine->isRunning() || (mBusy && mBusy()))
        return refused(tr("An area analysis is running: no clusters"));
    if (!mRun->hasScores())
        return refused(tr("Clusters: analyse the components first"));
    // The blocks left out (no edge: the background) are one of the classes asked for; k-means
    // splits the others into the rest.
    const int edgeClusters = mRun->leftOutBlocks() > 0 ? clusters - 1 : clusters;
    if (edgeClusters < 1)
        return refused(tr("Clusters: give at least two, one of them the blocks left out"));
    if (!mRun->startClusters(mBlockRequest(), edgeClusters, mClusterMap))
        return refused(tr("Clusters: the area or the images changed since the components were "
                          "analysed"));
    return true;
}

void ComponentsController::runEnded(bool completed, bool clusters)
{
    if (!completed) {
        emit message(clusters ? tr("Clusters stopped") : tr("Components stopped"), mByBatch);
    } else if (clusters) {
        QVector<QColor> colours;
        for (int c = 0; c <= mRun->clusterCount(); ++c)
            colours << ComponentRun::clusterColour(c);
        mClusterMap->setClassColours(colours);
        mClusterMap->genImg();
        QStringList sizes;
        for (const qint64 size : mRun->clusters().sizes)
            sizes << QString::number(size);
        emit message(tr("%1 clusters of %2 blocks").arg(mRun->clusterCount()).arg(sizes.join(", ")),
                     mByBatch);
    } else {
        for (int k = 0; k < mRun->componentCount(); ++k)
            mScoreMaps.at(k)->genImg();
        const PrincipalComponents &pca = mRun->components();
        QStringList shares;
        for (int k = 0; k < mRun->componentCount(); ++k)
            shares << QString::number(pca.explainedVariance(k) * 100.0, 'f', 2) + '%';
        QString text = tr("%1 components of %2 blocks explain %3")
                           .arg(mRun->componentCount())
                           .arg(pca.blocks())
                           .arg(shares.join(", "));
        if (mRun->leftOutBlocks() > 0)
            text += tr("; %1 of %2 blocks left out (no edge)")
                        .arg(mRun->leftOutBlocks())
                        .arg(mRun->blocks());
        emit message(text, mByBatch);
    }
    if (clusters)
        mWindow->showClusters(*mRun);
    else
        mWindow->showComponents(*mRun);
    if (completed && mShown != -2 && (mShown >= 0 || mRun->clusterCount() > 0))
        selectMap(mShown);
    if (clusters)
        emit clustersEnded(completed);
    else
        emit analysisEnded(completed);
    if (mByBatch) {
        mByBatch = false;
        emit batchWorkEnded();
    }
}

QString ComponentsController::numberedFile(const QString &prefix, int number)
{
    return QFileInfo(QStringLiteral("%1-%2.dat").arg(prefix).arg(number)).absoluteFilePath();
}

bool ComponentsController::saveComponents(const QString &path)
{
    if (!mRun->components().isValid())
        return refused(tr("No components analysed: %1 not written").arg(path));
    if (!mRun->components().saveText(path, mRun->componentCount()))
        return refused(tr("Cannot write %1").arg(path));
    return true;
}

bool ComponentsController::saveClusterSpectra(const QString &prefix)
{
    if (mRun->clusterSpectra().empty())
        return refused(tr("No clusters: their spectra not written"));
    for (int c = 1; c <= mRun->clusterCount(); ++c) {
        const QString path = numberedFile(prefix, c);
        if (!mRun->saveClusterSpectrum(c, path))
            return refused(tr("Cannot write %1").arg(path));
    }
    return true;
}

bool ComponentsController::clusterToReference(int cluster, int row, const QString &prefix)
{
    if (cluster < 1 || cluster > mRun->clusterCount())
        return refused(tr("No cluster %1").arg(cluster));
    if (row < 0 || row >= mAnalyzer->refs().size())
        return refused(tr("No reference row %1").arg(row));
    const QString path = numberedFile(prefix, cluster);
    if (!mRun->saveClusterSpectrum(cluster, path))
        return refused(tr("Cannot write %1").arg(path));
    const Background background = mBackground ? mBackground() : Background();
    mAnalyzer->setLCFStd(row, true, 0.0, path, background.victoreen ? "1" : "0");
    return true;
}

bool ComponentsController::selectMap(int k)
{
    Analyzed2DRes *map = k < 0 ? mClusterMap : mScoreMaps.value(k);
    if (!map || !map->hasData() || (k >= 0 && k >= mRun->componentCount()))
        return refused(k < 0 ? tr("No cluster map")
                             : tr("No score map of component %1").arg(k + 1));
    mShown = k;
    if (!map->imageValid())
        map->genImg();
    mAnalyzer->showOtherMap(map, mapTitle(map));
    emit mapSelected();
    return true;
}

void ComponentsController::registerCommands(CommandRegistry &commands)
{
    const auto waiting = [this](bool started) {
        mByBatch = started;
        return started;
    };
    commands.add(
        QStringLiteral("pca_exec"),
        PcaExec,
        CommandRegistry::WaitsForWork,
        [this, waiting](const CmdLine &cmd) { return waiting(startAnalysis(cmd.arg(0).toInt())); });
    commands.add(QStringLiteral("pca_save"), PcaSave, [this](const CmdLine &cmd) {
        saveComponents(cmd.arg(0));
    });
    commands.add(
        QStringLiteral("cluster_exec"),
        ClusterExec,
        CommandRegistry::WaitsForWork,
        [this, waiting](const CmdLine &cmd) { return waiting(startClusters(cmd.arg(0).toInt())); });
    commands.add(QStringLiteral("cluster_save_spectra"),
                 ClusterSaveSpectra,
                 [this](const CmdLine &cmd) { saveClusterSpectra(cmd.arg(0)); });
    commands.add(
        QStringLiteral("cluster_to_reference"), ClusterToReference, [this](const CmdLine &cmd) {
            clusterToReference(cmd.arg(0).toInt(), cmd.arg(1).toInt(), cmd.arg(2));
        });
    commands.add(
        QStringLiteral("components_select_map"), ComponentsSelectMap, [this](const CmdLine &cmd) {
            const QString which = cmd.arg(0).toLower();
            if (which == QLatin1String("cluster"))
                selectMap(-1);
            else if (which == QLatin1String("score"))
                selectMap(cmd.arg(1).toInt() - 1);
            else
                refused(tr("components_select_map: score K or cluster"));
        });
}
