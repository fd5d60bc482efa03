#pragma once

#include "analysis/areawalk.h"
#include "analysis/elemanalysis.h"
#include "display/edgemarker.h"

#include <QObject>
#include <QVector>

class AElemsConds;
class Analyzed2DRes;
class ElemCtrl;
class QAbstractButton;
class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QWidget;

// The element-analysis side of the analyser: its controls, built into the analyser's element
// frame, the target element rows with their Target and Show choices, the background
// conditions, the correlation against the standard pattern with its threshold and its two maps,
// and the element map that the analyser shows in element mode.
class ElemsPanel : public QObject
{
    Q_OBJECT

public:
    // Builds the controls into frame through its layout; modeButton, the analyser's "Element
    // Analysis" box, heads the line of the Analyze button.
    ElemsPanel(QWidget *frame, QBoxLayout *layout, QAbstractButton *modeButton, QObject *parent);

    // The rows in order, what the analysis reads of them and of the conditions, and the row of
    // the checked Target radio (0 without rows).
    const QVector<ElemCtrl *> &elems() const { return mElems; }
    QVector<ElemParams> elemsParams() const;
    ElemBackgrounds elemsBackgrounds() const;
    int mainTargetId() const;
    // The maps of an element run: kind k of row j at j + k * n, then the two correlation maps.
    QVector<Analyzed2DRes *> elemsMaps() const;
    Analyzed2DRes *corMap(int k) const { return mCorMaps.value(k); }
    double correlation() const { return mCorr; }
    double corTh() const { return mCorTh; }
    bool elemsDispOnTime() const;
    QPushButton *analyzeButton() const { return mAskAnalyzeElems; }
    // The walk of the last element run, which recalcCorMap() walks again.
    void setElemsWalk(const AreaWalk &walk) { mElemsWalk = walk; }
    // The map chosen by the Show radio of a row and the "Show Map of" choice; none without a
    // choice.
    Analyzed2DRes *selectedMap() const;
    // What map holds in words, such as "Fe-K Mut+"; empty when it is none of these maps.
    QString mapTitle(const Analyzed2DRes *map) const;
    // Chooses the first row and the first kind of map, each where none is chosen.
    void showRunMaps();

    // The element commands: rows are named by their Name text, or where allowed by their
    // index when no row has that name.
    void selectElemsTarget(const QString &name);
    void selectElemsShow(const QString &name);
    void setElemsDE(double dE);
    void setElemsCorTh(double th);
    void selectElemsDispMode(int mode);
    void setElemsUse(const QString &name, bool f);
    void setElemsSortByAN(bool f);
    void setElemsROI(const QString &name, double start, double end);
    void setElemsThDMut(const QString &name, double th);
    void setElemsNoNeg(const QString &name, bool f);
    void setElemsBG(int which, double v);

signals:
    void askAnalyzeElems();
    void analyzeElemsFinished();
    void setNewCorrelation(double cor);
    // The rows are about to be replaced; their maps go with them.
    void elemsRebuilding();
    // The rows now mark these edges.
    void edgeMarkersChanged(const QVector<EdgeMarker> &markers);
    void changedSelection();
    // A Show radio or a "Show Map of" choice was checked, by hand or by a command.
    void mapChosen();
    void messageIssued(const QString &message);

public slots:
    void setTargetElements(const QString &elements);
    void newElems();
    void setElemsStd();
    void calcCorrelation();
    void recalcCorMap();
    void newCorTh();
    void setCorrelation(double cor);
    void analyzeSpectrumElemsFinished(const ElemResults &results);
    void setElemsProgress(double perCent);

private:
    // Gives the rows' scroll area the height of its first few rows.
    void fitElemRowsArea();
    // The first row named name; with byIndex, else the row of that index; null when none.
    ElemCtrl *elemRow(const QString &name, bool byIndex) const;
    // Every row named name.
    QVector<ElemCtrl *> elemRows(const QString &name) const;

    QWidget *mFrame;
    QVector<ElemCtrl *> mElems;
    QButtonGroup *mTargetGroup = nullptr;
    QButtonGroup *mShowGroup = nullptr;
    QButtonGroup *mShowMapGroup = nullptr;
    QVector<Analyzed2DRes *> mCorMaps;
    double mCorr = 0.0;
    double mCorTh = 0.999;
    bool mAboveCorTh = false;
    AreaWalk mElemsWalk;
    QLineEdit *mElemNames = nullptr;
    QCheckBox *mSortByANo = nullptr;
    QCheckBox *mElemsDispOnTime = nullptr;
    QPushButton *mAskAnalyzeElems = nullptr;
    QLabel *mElemsProgress = nullptr;
    QLineEdit *mCorThEdit = nullptr;
    QLineEdit *mElemsCorrelation = nullptr;
    AElemsConds *mConds = nullptr;
    QGridLayout *mElemGrid = nullptr;
    QScrollArea *mElemRowsArea = nullptr;
};
