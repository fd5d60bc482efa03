#pragma once

#include "analysis/arearun.h"
#include "analysis/areawalk.h"
#include "analysis/elemanalysis.h"
#include "analysis/elemspanel.h"
#include "analysis/lcffit.h"
#include "analysis/lcffitoptions.h"
#include "analysis/lcfreferencedata.h"
#include "spectra/xafsspectrum.h"

#include <QVector>
#include <QWidget>

#include <functional>

class AnalyzeProc;
class Analyzed2DRes;
class ElemCtrl;
class LCFFitOptionsBox;
class LCFReference;
class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QThread;
class XafsView;

namespace Ui {
class Analyzer;
}

// The analysis tool window: the reference spectra, the LCF / MLCF, residual-absorption and
// element-analysis controls, the worker that analyses every spectrum it is given (on its own
// thread), the view of the analysed spectrum with its fit, and the choice of the result map
// that the main window shows.
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
    // How the target spectra are normalised: a reference row added later starts so.
    void setNewRefBackgroundProvider(std::function<Background()> provider)
    {
        mNewRefBackground = std::move(provider);
    }
    int refMapKinds() const { return 3; }
    // The analyser's fit options and their controls.
    LCFFitOptionsBox *fitOptionsBox() const { return mFitOptions; }
    LCFFitOptions fitOptions() const;
    // The maps of every LCF / MLCF block beside the references' ones: 0 the R-factor, 1 the
    // reduced chi-square, 2 the subset of references a best-subset fit chose.
    Analyzed2DRes *qualityMap(int k) const { return mQualityMaps.value(k); }
    XafsView *view() const { return mView; }
    // Opens the window of the principal components and clusters.
    QPushButton *componentsButton() const;
    // The residual-absorption maps: 0 "a2d DMut", 1 "a2d Rest", 2 "a2d Rati".
    Analyzed2DRes *raMap(int k) const { return mRaMaps.value(k); }
    // The last fit received from the worker, and its fitted spectrum.
    const LCFFit &lastFit() const { return mLastFit; }
    const XafsSpectrum &fitResult() const { return mFitResult; }
    const XafsSpectrum &shownSpectrum() const { return mShownSpectrum; }
    bool contAccess() const { return mContAccess; }

    // 0 LCF / MLCF, 1 residual absorption, 2 element analysis.
    void setAnalysisMode(int m);
    // 0 dmut, 1 fraction, 2 the standard error of the selected reference's coefficient,
    // 3 R-factor, 4 reduced chi-square, 5 the subset a best-subset fit chose.
    void setImageType(int k);
    int imageKind() const;
    // The result map the main window shows; none when the selection stands for no map.
    Analyzed2DRes *selectedMap() const;
    // A map chosen outside this window (a component's scores, the clusters): the selected map,
    // with this title, until a choice of this window replaces it. Null drops it.
    void showOtherMap(Analyzed2DRes *map, const QString &title);
    // What a map of this window holds, in words, such as "fraction of Ref1"; the map's own
    // name for others.
    QString mapTitle(const Analyzed2DRes *map) const;
    // An area run has started: the Analyze button of its box reads "Stop" until runEnded().
    void runStarted(AreaRun::Kind kind);
    // The run has ended. Unless a map was chosen while it went on, a completed run shows its
    // own maps: its box is ticked, and the map of that box chosen before stays; without one,
    // its first map (LCF: the first reference in use, of the image type chosen).
    void runEnded(AreaRun::Kind kind, bool completed);
    // The maps of an LCF / MLCF run: kinds 0 .. refMapKinds() - 1 of every reference, kind by
    // kind, then the three quality maps.
    QVector<Analyzed2DRes *> lcfMaps() const;
    bool mlcf() const;
    bool dispOnTime() const;
    // The residual-absorption energy and factor as typed.
    double raEnergy() const;
    double raFactor() const;
    // What the fits need of every reference, copied for the worker.
    QVector<LCFReferenceData> referenceData() const;
    // The element analysis, kept by its panel; the element commands name rows by their Name
    // text, or where allowed by their index.
    ElemsPanel *elemsPanel() const { return mElemsPanel; }
    const QVector<ElemCtrl *> &elems() const { return mElemsPanel->elems(); }
    QVector<ElemParams> elemsParams() const { return mElemsPanel->elemsParams(); }
    ElemBackgrounds elemsBackgrounds() const { return mElemsPanel->elemsBackgrounds(); }
    int mainTargetId() const { return mElemsPanel->mainTargetId(); }
    QVector<Analyzed2DRes *> elemsMaps() const { return mElemsPanel->elemsMaps(); }
    Analyzed2DRes *corMap(int k) const { return mElemsPanel->corMap(k); }
    double correlation() const { return mElemsPanel->correlation(); }
    double corTh() const { return mElemsPanel->corTh(); }
    bool elemsDispOnTime() const { return mElemsPanel->elemsDispOnTime(); }
    void setElemsWalk(const AreaWalk &walk) { mElemsPanel->setElemsWalk(walk); }
    void selectElemsTarget(const QString &name) { mElemsPanel->selectElemsTarget(name); }
    void selectElemsShow(const QString &name) { mElemsPanel->selectElemsShow(name); }
    void setElemsDE(double dE) { mElemsPanel->setElemsDE(dE); }
    void setElemsCorTh(double th) { mElemsPanel->setElemsCorTh(th); }
    void selectElemsDispMode(int mode) { mElemsPanel->selectElemsDispMode(mode); }
    void setElemsUse(const QString &name, bool f) { mElemsPanel->setElemsUse(name, f); }
    void setElemsSortByAN(bool f) { mElemsPanel->setElemsSortByAN(f); }
    void setElemsROI(const QString &name, double start, double end)
    {
        mElemsPanel->setElemsROI(name, start, end);
    }
    void setElemsThDMut(const QString &name, double th) { mElemsPanel->setElemsThDMut(name, th); }
    void setElemsNoNeg(const QString &name, bool f) { mElemsPanel->setElemsNoNeg(name, f); }
    void setElemsBG(int which, double v) { mElemsPanel->setElemsBG(which, v); }
    // The maximum (minimum) of both the dmut and the fraction scales.
    void setScaleMax(double max);
    void setScaleMin(double min);
    // Why a run of this kind on data of energies lowEnergy .. highEnergy would have nothing
    // to do, for the message line: a reference in use whose file could not be read, no
    // reference in use, a residual-absorption energy outside the data, no target element.
    // Empty when the run can go.
    QString missingForRun(AreaRun::Kind kind, double lowEnergy, double highEnergy) const;

signals:
    void askAnalyze();
    void analyzeSpectrum0(XafsSpectrum s,
                          QVector<LCFReferenceData> references,
                          bool isMLCF,
                          LCFFitOptions options);
    void finished();
    void askRAAnalyze();
    void changedSelection();
    void askAnalyzeElems();
    void
    analyzeSpectrumElems0(XafsSpectrum s, QVector<ElemParams> elems, int mainT, ElemBackgrounds bg);
    void analyzeElemsFinished();
    void setNewCorrelation(double cor);
    // The element rows are about to be replaced; their maps go with them.
    void elemsRebuilding();
    // Something the message line should say: a reference file that could not be read or was
    // sorted, element names merged or unknown, a request refused.
    void messageIssued(const QString &message);

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
    void setTargetElements(const QString &elements) { mElemsPanel->setTargetElements(elements); }
    void setCorrelation(double cor) { mElemsPanel->setCorrelation(cor); }
    void setElemsProgress(double perCent) { mElemsPanel->setElemsProgress(perCent); }

private:
    // Takes a fit from the worker and, outside area runs, shows it in the reference rows.
    void takeFit(const LCFFit &fit);
    // Gives every map its fixed scale from the edits (kind 0 and the dmut and rest maps the
    // dmut edits, kind 1 and the ratio map the ratio edits), and the fixed-scale flag too
    // when setPolicy is set.
    void applyScales(bool setPolicy, bool fixed);
    void setEditValue(QLineEdit *edit, double value);
    QPushButton *analyzeButton(AreaRun::Kind kind) const;
    // Ticks the box of a run of that kind and, when the box has no map chosen, its first map.
    void showRunMap(AreaRun::Kind kind);
    // The image-type radio buttons, in the order of setImageType.
    QVector<QRadioButton *> imageTypeButtons() const;
    // The legend of the subset map: the value each reference in use adds.
    void updateSubsetLegend();

    Ui::Analyzer *mUi;
    QVector<Analyzed2DRes *> mRaMaps;
    QButtonGroup *mModeGroup = nullptr;
    QButtonGroup *mImageGroup = nullptr;
    XafsView *mView = nullptr;
    QVector<LCFReference *> mRefs;
    XafsSpectrum mShownSpectrum;
    XafsSpectrum mFitResult;
    Spectrum mFitResidual;
    LCFFitOptionsBox *mFitOptions = nullptr;
    QVector<Analyzed2DRes *> mQualityMaps;
    LCFFit mLastFit;
    bool mContAccess = false;
    // Choices of the map shown so far, and their number when the running area run started.
    int mMapChoices = 0;
    int mMapChoicesAtRunStart = 0;
    ElemsPanel *mElemsPanel = nullptr;
    std::function<Background()> mNewRefBackground;
    QThread *mWorkerThread = nullptr;
    AnalyzeProc *mWorker = nullptr;
    Analyzed2DRes *mOtherMap = nullptr;
    QString mOtherMapTitle;
};
