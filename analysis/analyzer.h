#pragma once

#include "analysis/lcffit.h"
#include "analysis/lcfreferencedata.h"
#include "spectra/xafsspectrum.h"

#include <QVector>
#include <QWidget>

class AnalyzeProc;
class Analyzed2DRes;
class LCFReference;
class QButtonGroup;
class QLineEdit;
class QThread;
class XafsView;

namespace Ui {
class Analyzer;
}

// The analysis tool window: the reference spectra, the LCF / MLCF and residual-absorption
// controls, the worker that fits every spectrum it is given (on its own thread), the view of
// the analysed spectrum with its fit, and the choice of the result map that the main window
// shows.
class Analyzer : public QWidget
{
    Q_OBJECT

public:
    // Image-group ids: the first references take 0 .. 3, the residual-absorption Show buttons
    // 4 .. 6, and references added later 7 on.
    static constexpr int InitialRefs = 4;
    static constexpr int RaShowButtons = 3;
    static int imageIdOfRef(int index);
    // The reference that an image id stands for; -1 for the residual-absorption ids and ids
    // below 0.
    static int refOfImageId(int id);

    explicit Analyzer(QWidget *parent = nullptr);
    ~Analyzer() override;

    const QVector<LCFReference *> &refs() const { return mRefs; }
    int refMapKinds() const { return 2; }
    XafsView *view() const { return mView; }
    // The residual-absorption maps: 0 "a2d DMut", 1 "a2d Rest", 2 "a2d Rati".
    Analyzed2DRes *raMap(int k) const { return mRaMaps.value(k); }
    // The last fit received from the worker, and its fitted spectrum.
    const LCFFit &lastFit() const { return mLastFit; }
    const XafsSpectrum &fitResult() const { return mFitResult; }
    const XafsSpectrum &shownSpectrum() const { return mShownSpectrum; }
    bool contAccess() const { return mContAccess; }

    // 0 LCF / MLCF, 1 residual absorption, 2 element analysis.
    void setAnalysisMode(int m);
    // 0 dmut, 1 fraction.
    void setImageType(int k);
    int imageKind() const;
    // The result map the main window shows; none when the selection stands for no map.
    Analyzed2DRes *selectedMap() const;
    // The maps of an LCF / MLCF run: kinds 0 .. refMapKinds() - 1 of every reference, kind by
    // kind.
    QVector<Analyzed2DRes *> lcfMaps() const;
    bool mlcf() const;
    bool dispOnTime() const;
    // The residual-absorption energy and factor as typed.
    double raEnergy() const;
    double raFactor() const;
    // What the fits need of every reference, copied for the worker.
    QVector<LCFReferenceData> referenceData() const;
    // The maximum (minimum) of both the dmut and the fraction scales.
    void setScaleMax(double max);
    void setScaleMin(double min);

signals:
    void askAnalyze();
    void analyzeSpectrum0(XafsSpectrum s, QVector<LCFReferenceData> references, bool isMLCF);
    void finished();
    void askRAAnalyze();
    void changedSelection();

public slots:
    void addNewRef();
    void analyzeSpectrumFinished();
    void selectedNewRef(int i);
    void scalePolicyChanged(bool f);
    void scaleChanged();
    void selectedImgChanged(bool f);
    // Shows the window and its spectrum view.
    void show();
    void setContAccess(bool f);
    void setLCFMode(int f);
    void analyzeAndShowSpectrum(XafsSpectrum s);
    void analyzeSpectrum(XafsSpectrum s);
    void reAnalyzeSpectrum();
    void setProgress(double perCent);
    void setLCFStd(int no, bool use, double dE, QString fname, QString isVic);
    void selectImage(int id);
    void setRaEnergy(double eng);
    void setRaFactor(double factor);
    void setFixedScale(bool f);
    void setDMutScaleMax(double max);
    void setDMutScaleMin(double min);
    void setRatioScaleMax(double max);
    void setRatioScaleMin(double min);
    void setNormalize(bool f);
    void setEnergyCorrection(bool f);

private:
    // Takes a fit from the worker and, outside area runs, shows it in the reference rows.
    void takeFit(const LCFFit &fit);
    // Gives every map its fixed scale from the edits (kind 0 and the dmut and rest maps the
    // dmut edits, kind 1 and the ratio map the ratio edits), and the fixed-scale flag too
    // when setPolicy is set.
    void applyScales(bool setPolicy, bool fixed);
    void setEditValue(QLineEdit *edit, double value);

    Ui::Analyzer *mUi;
    QVector<Analyzed2DRes *> mRaMaps;
    QButtonGroup *mModeGroup = nullptr;
    QButtonGroup *mImageGroup = nullptr;
    XafsView *mView = nullptr;
    QVector<LCFReference *> mRefs;
    XafsSpectrum mShownSpectrum;
    XafsSpectrum mFitResult;
    LCFFit mLastFit;
    bool mContAccess = false;
    QThread *mWorkerThread = nullptr;
    AnalyzeProc *mWorker = nullptr;
};
