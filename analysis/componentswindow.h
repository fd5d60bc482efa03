#pragma once

#include <QWidget>

class ComponentRun;
class CurvesPlot;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

// The window of the principal components and clusters: how many of each, the buttons that
// start them, the share of the variance of every component (logarithmic), the eigenspectra,
// the clusters with their colours and mean spectra, the map shown, and a cluster's spectrum
// made a reference row. It only reads its controls and shows what the run holds; the
// controller acts.
class ComponentsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ComponentsWindow(QWidget *parent = nullptr);

    int components() const;
    int clusters() const;
    // The map chosen: component k from 0, -1 the clusters.
    int chosenMap() const;
    // The cluster chosen in the legend (from 1), 0 when none is.
    int chosenCluster() const;
    int referenceRow() const;
    QString filePrefix() const;

    QPushButton *analyseButton() const { return mAnalyse; }
    QPushButton *clusterButton() const { return mCluster; }
    QPushButton *toReferenceButton() const { return mToReference; }
    CurvesPlot *screePlot() const { return mScree; }
    CurvesPlot *eigenspectraPlot() const { return mEigenspectra; }
    CurvesPlot *clusterPlot() const { return mClusterSpectra; }
    QListWidget *legend() const { return mLegend; }

public slots:
    // Shows the components of the run, and the maps that can be chosen.
    void showComponents(const ComponentRun &run);
    // Shows the clusters of the run.
    void showClusters(const ComponentRun &run);

signals:
    void analyseAsked(int components);
    void clustersAsked(int clusters);
    void mapChosen(int k);
    void referenceAsked(int cluster, int row, const QString &prefix);

private:
    QSpinBox *mComponents;
    QSpinBox *mClusters;
    QPushButton *mAnalyse;
    QPushButton *mCluster;
    QComboBox *mMap;
    CurvesPlot *mScree;
    CurvesPlot *mEigenspectra;
    CurvesPlot *mClusterSpectra;
    QListWidget *mLegend;
    QSpinBox *mRow;
    QLineEdit *mPrefix;
    QPushButton *mToReference;
};
