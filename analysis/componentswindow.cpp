#include "componentswindow.h"

#include "analysis/componentrun.h"
#include "analysis/componentscontroller.h"
#include "display/curvesplot.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

ComponentsWindow::ComponentsWindow(QWidget *parent)
    : QWidget(parent)
    , mComponents(new QSpinBox)
    , mClusters(new QSpinBox)
    , mAnalyse(new QPushButton(tr("Analyse")))
    , mCluster(new QPushButton(tr("Cluster")))
    , mMap(new QComboBox)
    , mScree(new CurvesPlot(tr("Explained variance")))
    , mEigenspectra(new CurvesPlot(tr("Eigenspectra")))
    , mClusterSpectra(new CurvesPlot(tr("Cluster spectra")))
    , mLegend(new QListWidget)
    , mRow(new QSpinBox)
    , mPrefix(new QLineEdit(QDir::current().filePath(QStringLiteral("cluster"))))
    , mToReference(new QPushButton(tr("To Reference Row")))
{
    setWindowTitle(tr("Components"));
    mComponents->setRange(1, ComponentsController::maxComponents);
    mComponents->setValue(3);
    mClusters->setRange(1, 50);
    mClusters->setValue(6);
    mRow->setRange(0, 99);
    mScree->setLogarithmic(true);

    auto *controls = new QHBoxLayout;
    controls->addWidget(new QLabel(tr("Components")));
    controls->addWidget(mComponents);
    controls->addWidget(mAnalyse);
    controls->addSpacing(12);
    controls->addWidget(new QLabel(tr("Clusters")));
    controls->addWidget(mClusters);
    controls->addWidget(mCluster);
    controls->addSpacing(12);
    controls->addWidget(new QLabel(tr("Map")));
    controls->addWidget(mMap, 1);

    auto *reference = new QHBoxLayout;
    reference->addWidget(new QLabel(tr("Row")));
    reference->addWidget(mRow);
    reference->addWidget(new QLabel(tr("File prefix")));
    reference->addWidget(mPrefix, 1);
    reference->addWidget(mToReference);

    auto *plots = new QGridLayout;
    plots->addWidget(mScree, 0, 0);
    plots->addWidget(mEigenspectra, 0, 1);
    plots->addWidget(mLegend, 1, 0);
    plots->addWidget(mClusterSpectra, 1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addLayout(plots, 1);
    layout->addLayout(reference);

    connect(mAnalyse, &QPushButton::clicked, this, [this] { emit analyseAsked(components()); });
    connect(mCluster, &QPushButton::clicked, this, [this] { emit clustersAsked(clusters()); });
    connect(mMap, QOverload<int>::of(&QComboBox::activated), this, [this] {
        emit mapChosen(chosenMap());
    });
    connect(mToReference, &QPushButton::clicked, this, [this] {
        if (chosenCluster() > 0)
            emit referenceAsked(chosenCluster(), referenceRow(), filePrefix());
    });
}

int ComponentsWindow::components() const
{
    return mComponents->value();
}

int ComponentsWindow::clusters() const
{
    return mClusters->value();
}

int ComponentsWindow::chosenMap() const
{
    return mMap->currentIndex() < 0 ? -2 : mMap->currentData().toInt();
}

int ComponentsWindow::chosenCluster() const
{
    // The last row of the legend stands for the blocks left out.
    const int row = mLegend->currentRow();
    return row >= 0 && row + 1 < mLegend->count() ? row + 1 : 0;
}

int ComponentsWindow::referenceRow() const
{
    return mRow->value();
}

QString ComponentsWindow::filePrefix() const
{
    return mPrefix->text();
}

void ComponentsWindow::showComponents(const ComponentRun &run)
{
    const PrincipalComponents &pca = run.components();
    CurvesPlot::Curve scree{QString(), Qt::black, {}};
    QVector<CurvesPlot::Curve> eigenspectra;
    mMap->clear();
    for (int k = 0; k < run.componentCount() && pca.isValid(); ++k) {
        scree.points << QPointF(k + 1, pca.explainedVariance(k));
        CurvesPlot::Curve curve{
            tr("Component %1").arg(k + 1), ComponentRun::clusterColour(k + 1), {}};
        for (int i = 0; i < pca.points(); ++i)
            curve.points << QPointF(pca.energies()[size_t(i)], pca.eigenvectors()(i, k));
        eigenspectra << curve;
        mMap->addItem(tr("Scores of component %1").arg(k + 1), k);
    }
    // The remaining components too, where the variance falls to the noise.
    for (int k = run.componentCount(); k < pca.eigenvalues().size(); ++k)
        scree.points << QPointF(k + 1, pca.explainedVariance(k));
    mScree->setCurves({scree});
    mEigenspectra->setCurves(eigenspectra);
    showClusters(run);
}

void ComponentsWindow::showClusters(const ComponentRun &run)
{
    mLegend->clear();
    QVector<CurvesPlot::Curve> spectra;
    const std::vector<double> &energies = run.components().energies();
    for (int c = 1; c <= run.clusterCount(); ++c) {
        QPixmap swatch(12, 12);
        swatch.fill(ComponentRun::clusterColour(c));
        mLegend->addItem(new QListWidgetItem(
            QIcon(swatch),
            tr("Cluster %1: %2 blocks").arg(c).arg(run.clusters().sizes[size_t(c - 1)])));
        const std::vector<double> &mean = run.clusterSpectra()[size_t(c - 1)];
        CurvesPlot::Curve curve{tr("Cluster %1").arg(c), ComponentRun::clusterColour(c), {}};
        for (size_t i = 0; i < mean.size() && i < energies.size(); ++i)
            curve.points << QPointF(energies[i], mean[i]);
        spectra << curve;
    }
    if (run.clusterCount() > 0) {
        QPixmap swatch(12, 12);
        swatch.fill(ComponentRun::clusterColour(0));
        mLegend->addItem(new QListWidgetItem(QIcon(swatch), tr("0: left out (no edge)")));
        if (mMap->findData(-1) < 0)
            mMap->addItem(tr("Clusters"), -1);
    }
    mClusterSpectra->setCurves(spectra);
}
