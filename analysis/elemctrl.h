#pragma once

#include "analysis/elemanalysis.h"

#include <QFrame>
#include <QVector>

class Analyzed2DRes;
class QCheckBox;
class QLineEdit;
class QRadioButton;

// One target element row of the analyser's element analysis: the element and its edge, the
// parameters of its jump, edge position and ROI, the results of the last spectrum, its entry in
// the standard pattern, and its seven result maps (dmut, ratio, mu+, mu-, edge position, ROI,
// normalised ROI).
class ElemCtrl : public QFrame
{
    Q_OBJECT

public:
    static constexpr int MapKinds = ElemResults::Kinds;

    explicit ElemCtrl(QWidget *parent = nullptr);

    // Makes this the row of edge edgeName (index edge) of element symbol (atomic number z).
    void setElement(const QString &symbol, const QString &edgeName, int z, int edge);
    QString name() const;
    int z() const { return mZ; }
    double stdRatio() const { return mStdRatio; }
    double ratio() const { return mRatio; }
    QRadioButton *mainTarget() const { return mMainTarget; }
    QRadioButton *showButton() const { return mShow; }
    Analyzed2DRes *map(int kind) const { return mMaps.value(kind); }
    // The parameters as typed, for the analysis.
    ElemParams params() const;
    // Shows the results of row i.
    void setResults(const ElemResults &results, int i);
    // Whether the last spectrum analysed showed this element: its jump passed the threshold,
    // so that the ratio is measured and not made of the background value.
    bool hasElement() const { return mHasElement; }

    void setPrePostDE(double dE);
    void setROI(double start, double end);
    void setThDMut(double th);
    void setNoNeg(bool f);
    void setUse(bool f);
    void setStdRatio(double ratio);

public slots:
    void newStdRatio();

private:
    QLineEdit *addEdit(const char *objectName, const QString &text, const QString &toolTip);

    int mZ = 1;
    int mEdge = 0;
    double mDMut = 0.0;
    double mRatio = 0.0;
    double mMuPlus = 0.0;
    double mMuMinus = 0.0;
    double mStdRatio = 1.0;
    bool mHasElement = false;
    QVector<Analyzed2DRes *> mMaps;
    QRadioButton *mMainTarget;
    QLineEdit *mName;
    QLineEdit *mNo;
    QLineEdit *mEng;
    QLineEdit *mPrePostDE;
    QLineEdit *mDMutEdit;
    QLineEdit *mRatioEdit;
    QLineEdit *mDE;
    QLineEdit *mROIs;
    QLineEdit *mROIe;
    QLineEdit *mThDMut;
    QCheckBox *mNoNeg;
    QLineEdit *mROI;
    QLineEdit *mNROI;
    QLineEdit *mStdRatioEdit;
    QCheckBox *mUse;
    QRadioButton *mShow;
};
