#include "analyzer.h"
#include "ui_analyzer.h"

#include "analysis/analyzed2dres.h"
#include "analysis/analyzeproc.h"
#include "analysis/elemspanel.h"
#include "analysis/lcffitoptionsbox.h"
#include "analysis/lcfreference.h"
#include "analysis/xafsfileselect.h"
#include "display/showinfront.h"
#include "display/colortables.h"
#include "display/xafsview.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPen>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>

int Analyzer::imageIdOfRef(int index)
{
    return index < InitialRefs ? index : index + RaShowButtons;
}

int Analyzer::refOfImageId(int id)
{
    if (id >= 0 && id < InitialRefs)
        return id;
    return id >= InitialRefs + RaShowButtons ? id - RaShowButtons : -1;
}

Analyzer::Analyzer(QWidget *parent)
    : QWidget(parent)
    , mUi(new Ui::Analyzer)
{
    AnalyzeProc::registerMetaTypes();
    mUi->setupUi(this);
    for (const char *name : {"a2d DMut", "a2d Rest", "a2d Rati"})
        mRaMaps << new Analyzed2DRes(QLatin1String(name), this);
    for (const char *name : {"LCF R-factor", "LCF Chi2", "LCF Subset"})
        mQualityMaps << new Analyzed2DRes(QLatin1String(name), this);
    mFitOptions = new LCFFitOptionsBox(this);
    mUi->LCFLayout->addWidget(mFitOptions);

    mModeGroup = new QButtonGroup(this);
    mModeGroup->setExclusive(true);
    mModeGroup->addButton(mUi->DoMLCFA);
    mModeGroup->addButton(mUi->DoRAA);
    mModeGroup->addButton(mUi->DoElemA);
    mUi->DoMLCFA->setChecked(true);
    mImageGroup = new QButtonGroup(this);

    mView = new XafsView;
    mView->setWindowTitle(tr("Analyzing Spectrum"));
    // The fit is the view's first further spectrum, the references follow it.
    mView->addOtherSpectrum(&mFitResult);
    mView->setOtherPens({QPen(ColorTables::curveColour(0), 2)});
    mView->setResidual(&mFitResidual);

    for (int k = 0; k < InitialRefs; ++k)
        addNewRef();
    mRefs.first()->showButton()->setChecked(true);

    mWorkerThread = new QThread(this);
    mWorker = new AnalyzeProc;
    mWorker->moveToThread(mWorkerThread);
    mWorkerThread->start(QThread::InheritPriority);

    mElemsPanel = new ElemsPanel(mUi->ElemFrame, mUi->ElemLayout, mUi->DoElemA, this);

    mImageGroup->addButton(mUi->ShowDMuT, InitialRefs);
    mImageGroup->addButton(mUi->ShowRest, InitialRefs + 1);
    mImageGroup->addButton(mUi->ShowRatio, InitialRefs + 2);

    connect(mUi->AddRef, &QPushButton::clicked, this, &Analyzer::addNewRef);
    showInFrontOnClick(mUi->ShowView, mView);
    connect(mUi->AskAnalyze, &QPushButton::clicked, this, &Analyzer::askAnalyze);
    connect(mUi->AskRAAnalyze, &QPushButton::clicked, this, &Analyzer::askRAAnalyze);
    connect(this, &Analyzer::analyzeSpectrum0, mWorker, &AnalyzeProc::analyzeSpectrum0);
    connect(mWorker, &AnalyzeProc::finished, this, &Analyzer::takeFit);
    connect(this, &Analyzer::analyzeSpectrumElems0, mWorker, &AnalyzeProc::analyzeSpectrumElems0);
    connect(mWorker,
            &AnalyzeProc::finishedAElems,
            mElemsPanel,
            &ElemsPanel::analyzeSpectrumElemsFinished);
    connect(mElemsPanel, &ElemsPanel::askAnalyzeElems, this, &Analyzer::askAnalyzeElems);
    connect(mElemsPanel, &ElemsPanel::analyzeElemsFinished, this, &Analyzer::analyzeElemsFinished);
    connect(mElemsPanel, &ElemsPanel::setNewCorrelation, this, &Analyzer::setNewCorrelation);
    connect(mElemsPanel, &ElemsPanel::elemsRebuilding, this, &Analyzer::elemsRebuilding);
    connect(mElemsPanel, &ElemsPanel::changedSelection, this, &Analyzer::changedSelection);
    // A choice made here replaces a map chosen elsewhere.
    connect(this, &Analyzer::changedSelection, this, [this] { showOtherMap(nullptr, QString()); });
    connect(mElemsPanel, &ElemsPanel::messageIssued, this, &Analyzer::messageIssued);
    // The analysed spectrum shows the edges of the target elements.
    connect(mElemsPanel,
            &ElemsPanel::edgeMarkersChanged,
            this,
            [this](const QVector<EdgeMarker> &markers) {
                mView->setEdgeMarkers(markers);
                mView->update();
            });
    connect(mImageGroup, &QButtonGroup::idClicked, this, &Analyzer::selectedNewRef);
    for (QRadioButton *type :
         {mUi->SelRatio, mUi->SelError, mUi->SelRFactor, mUi->SelChi2, mUi->SelSubset}) {
        connect(type, &QRadioButton::toggled, this, &Analyzer::selectedImgChanged);
        connect(type, &QRadioButton::toggled, this, [this] { ++mMapChoices; });
    }
    connect(mUi->SelSubset, &QRadioButton::toggled, this, &Analyzer::updateSubsetLegend);
    // The quality maps are always recorded; hiding them only keeps the choice short.
    connect(mUi->ShowQualityMaps, &QCheckBox::toggled, this, [this](bool shown) {
        for (QRadioButton *type : {mUi->SelError, mUi->SelRFactor, mUi->SelChi2, mUi->SelSubset}) {
            if (!shown && type->isChecked())
                mUi->SelRatio->setChecked(true);
            type->setVisible(shown);
        }
        mUi->SubsetLegend->setVisible(shown);
    });
    connect(mFitOptions, &LCFFitOptionsBox::optionsChanged, this, &Analyzer::reAnalyzeSpectrum);
    connect(mUi->FixedScale, &QCheckBox::toggled, this, &Analyzer::scalePolicyChanged);
    // Every change of the map on show, by hand or by a command, counts as a choice.
    for (QButtonGroup *group : {mModeGroup, mImageGroup}) {
        connect(group,
                qOverload<QAbstractButton *, bool>(&QButtonGroup::buttonToggled),
                this,
                [this](QAbstractButton *, bool on) { mMapChoices += on; });
    }
    connect(mElemsPanel, &ElemsPanel::mapChosen, this, [this] { ++mMapChoices; });
    for (QLineEdit *edit :
         {mUi->DMutScaleMax, mUi->DMutScaleMin, mUi->RatioScaleMax, mUi->RatioScaleMin})
        connect(edit, &QLineEdit::editingFinished, this, &Analyzer::scaleChanged);
}

Analyzer::~Analyzer()
{
    mWorkerThread->requestInterruption();
    mWorkerThread->quit();
    mWorkerThread->wait();
    delete mWorker;
    delete mView;
    delete mUi;
}

void Analyzer::addNewRef()
{
    auto *ref = new LCFReference(mUi->RefBase);
    mRefs.append(ref);
    const int k = mRefs.size();
    ref->fileSelect()->setSelectText(tr("Select Ref%1").arg(k));
    // A row starts normalised as the target is (straight lines at start): a fit against
    // references of another form reads fractions far from the truth.
    ref->setBackground(mNewRefBackground ? mNewRefBackground() : Background());
    // The first two references are used from the start.
    const bool use = k < 3;
    ref->fileSelect()->setUse(use);
    ref->changedUse(use);
    mUi->RefGrid->addWidget(ref, k - 1, 0);
    resize(sizeHint());
    mImageGroup->addButton(ref->showButton(), imageIdOfRef(k - 1));

    mView->addOtherSpectrum(ref->spectrum());
    QVector<QPen> pens;
    for (int i = 0; i <= k; ++i)
        pens << QPen(ColorTables::curveColour(i), 2);
    mView->setOtherPens(pens);
    connect(ref, &LCFReference::newFileSelected, mView, &XafsView::update);
    connect(ref, &LCFReference::newDeltaE, this, &Analyzer::reAnalyzeSpectrum);
    connect(ref, &LCFReference::normalizationChanged, this, [this] {
        mView->update();
        reAnalyzeSpectrum();
    });
    connect(ref, &LCFReference::messageIssued, this, &Analyzer::messageIssued);
}

QString Analyzer::missingForRun(AreaRun::Kind kind, double lowEnergy, double highEnergy) const
{
    if (kind == AreaRun::LCFRun) {
        bool used = false;
        for (int k = 0; k < mRefs.size(); ++k) {
            const LCFReference *ref = mRefs.at(k);
            if (ref->fileSelect()->use() && !ref->readFailure().isEmpty())
                return tr("Ref%1 has no spectrum (%2): analysis not started")
                    .arg(k + 1)
                    .arg(ref->readFailure());
            used = used || ref->isUsed();
        }
        if (!used)
            return tr("No reference spectrum in use: analysis not started");
    } else if (kind == AreaRun::RARun) {
        const double energy = raEnergy();
        if (!(energy >= lowEnergy && energy <= highEnergy))
            return tr("The residual-absorption energy %1 eV lies outside the energies of the "
                      "data (%2 to %3 eV): analysis not started")
                .arg(energy, 0, 'g', 6)
                .arg(lowEnergy, 0, 'g', 6)
                .arg(highEnergy, 0, 'g', 6);
    } else if (kind == AreaRun::ElemRun && mElemsPanel->elems().isEmpty()) {
        return tr("No target elements: analysis not started");
    }
    return QString();
}

QVector<LCFReferenceData> Analyzer::referenceData() const
{
    QVector<LCFReferenceData> data;
    data.reserve(mRefs.size());
    for (const LCFReference *ref : mRefs)
        data.append(ref->data());
    return data;
}

QVector<Analyzed2DRes *> Analyzer::lcfMaps() const
{
    QVector<Analyzed2DRes *> maps;
    for (int kind = 0; kind < refMapKinds(); ++kind) {
        for (const LCFReference *ref : mRefs)
            maps.append(ref->map(kind));
    }
    return maps + mQualityMaps;
}

LCFFitOptions Analyzer::fitOptions() const
{
    return mFitOptions->options();
}

void Analyzer::updateSubsetLegend()
{
    QStringList parts;
    unsigned bit = 1;
    for (int k = 0; k < mRefs.size(); ++k) {
        if (!mRefs.at(k)->isUsed())
            continue;
        parts << tr("%1 = Ref%2").arg(bit).arg(k + 1);
        bit <<= 1;
    }
    mUi->SubsetLegend->setText(mUi->SelSubset->isChecked()
                                   ? tr("Subset: the sum of %1").arg(parts.join(", "))
                                   : QString());
}

bool Analyzer::mlcf() const
{
    return mUi->MLCF->isChecked();
}

bool Analyzer::dispOnTime() const
{
    return mUi->DispOnTime->isChecked();
}

double Analyzer::raEnergy() const
{
    return mUi->RAAtEV->text().toDouble();
}

double Analyzer::raFactor() const
{
    return mUi->RAFactor->text().toDouble();
}

void Analyzer::analyzeAndShowSpectrum(XafsSpectrum s)
{
    mShownSpectrum = s;
    // A spectrum that the worker answers for is shown with its fit, in one repaint.
    const bool withFit = !mContAccess && mUi->DoMLCFA->isChecked() && lcfFittable(s, mRefs.size());
    if (!withFit)
        mView->setSpectrum(mShownSpectrum);
    analyzeSpectrum(mShownSpectrum);
}

void Analyzer::analyzeSpectrum(XafsSpectrum s)
{
    if (mUi->DoMLCFA->isChecked())
        emit analyzeSpectrum0(s, referenceData(), mUi->MLCF->isChecked(), fitOptions());
    else if (mUi->DoElemA->isChecked())
        emit analyzeSpectrumElems0(s,
                                   mElemsPanel->elemsParams(),
                                   mElemsPanel->mainTargetId(),
                                   mElemsPanel->elemsBackgrounds());
}

void Analyzer::reAnalyzeSpectrum()
{
    analyzeSpectrum(mShownSpectrum);
}

void Analyzer::takeFit(const LCFFit &fit)
{
    mLastFit = fit;
    mFitResult = fit.fitted;
    mFitResidual = fit.residual;
    if (!mContAccess) {
        mFitOptions->showQuality(fit.rFactor, fit.redChi2);
        mView->setSpectrum(mShownSpectrum);
        for (int k = 0; k < fit.used.size(); ++k) {
            LCFReference *ref = mRefs.value(fit.used.at(k));
            if (!ref)
                continue;
            ref->setRatio(fit.ratios.at(k));
            ref->setDMut(fit.dmuts.at(k));
        }
    }
    analyzeSpectrumFinished();
}

void Analyzer::analyzeSpectrumFinished()
{
    if (!mContAccess)
        mView->update();
    emit finished();
}

void Analyzer::selectedNewRef(int i)
{
    Q_UNUSED(i)
    emit changedSelection();
}

void Analyzer::selectedImgChanged(bool f)
{
    Q_UNUSED(f)
    emit changedSelection();
}

void Analyzer::show()
{
    showInFront(mView);
    showInFront(this);
}

void Analyzer::setContAccess(bool f)
{
    mContAccess = f;
    mWorker->setContAccess(f);
}

void Analyzer::setLCFMode(int f)
{
    mUi->MLCF->setChecked(f == 1);
}

void Analyzer::setProgress(double perCent)
{
    mUi->Progress->setText(QString::asprintf("%5.2f", perCent));
}

void Analyzer::setLCFStd(int no, bool use, double dE, QString fname, QString isVic)
{
    if (no >= 0 && no < mRefs.size())
        mRefs.at(no)->setStd(use, dE, fname, isVic);
}

void Analyzer::selectImage(int id)
{
    if (QAbstractButton *button = mImageGroup->button(id))
        button->setChecked(true);
    emit changedSelection();
}

void Analyzer::setAnalysisMode(int m)
{
    QAbstractButton *modes[] = {mUi->DoMLCFA, mUi->DoRAA, mUi->DoElemA};
    if (m >= 0 && m < 3)
        modes[m]->setChecked(true);
}

QVector<QRadioButton *> Analyzer::imageTypeButtons() const
{
    return {
        mUi->SelDMut, mUi->SelRatio, mUi->SelError, mUi->SelRFactor, mUi->SelChi2, mUi->SelSubset};
}

void Analyzer::setImageType(int k)
{
    if (QRadioButton *type = imageTypeButtons().value(k))
        type->setChecked(true);
}

int Analyzer::imageKind() const
{
    const QVector<QRadioButton *> types = imageTypeButtons();
    for (int k = 0; k < types.size(); ++k) {
        if (types.at(k)->isChecked())
            return k;
    }
    return 0;
}

QPushButton *Analyzer::componentsButton() const
{
    return mUi->ShowComponents;
}

void Analyzer::showOtherMap(Analyzed2DRes *map, const QString &title)
{
    mOtherMap = map;
    mOtherMapTitle = title;
}

Analyzed2DRes *Analyzer::selectedMap() const
{
    if (mOtherMap)
        return mOtherMap;
    const int id = mImageGroup->checkedId();
    if (mUi->DoMLCFA->isChecked()) {
        const int kind = imageKind();
        if (kind >= refMapKinds())
            return mQualityMaps.value(kind - refMapKinds());
        const int ref = refOfImageId(id);
        if (ref >= 0 && ref < mRefs.size())
            return mRefs.at(ref)->map(kind);
    } else if (mUi->DoRAA->isChecked()) {
        Analyzed2DRes *map = raMap(id - InitialRefs);
        if (map && map->imageValid())
            return map;
    } else if (mUi->DoElemA->isChecked()) {
        return mElemsPanel->selectedMap();
    }
    return nullptr;
}

QString Analyzer::mapTitle(const Analyzed2DRes *map) const
{
    if (map && map == mOtherMap)
        return mOtherMapTitle;
    for (int i = 0; i < mRefs.size(); ++i) {
        if (map == mRefs.at(i)->map(0))
            return tr("dmut of Ref%1").arg(i + 1);
        if (map == mRefs.at(i)->map(1))
            return tr("fraction of Ref%1").arg(i + 1);
        if (map == mRefs.at(i)->map(2))
            return tr("fraction error of Ref%1").arg(i + 1);
    }
    const QString qualityTitles[] = {tr("R-factor"), tr("reduced chi-square"), tr("best subset")};
    for (int k = 0; k < mQualityMaps.size(); ++k) {
        if (map == mQualityMaps.at(k))
            return qualityTitles[k];
    }
    const QString raTitles[RaShowButtons] = {
        tr("residual-absorption dmut"), tr("residual absorption"), tr("residual-absorption ratio")};
    for (int k = 0; k < RaShowButtons; ++k) {
        if (map == raMap(k))
            return raTitles[k];
    }
    const QString elemTitle = mElemsPanel->mapTitle(map);
    if (!elemTitle.isEmpty())
        return elemTitle;
    return map ? map->name() : QString();
}

QPushButton *Analyzer::analyzeButton(AreaRun::Kind kind) const
{
    switch (kind) {
    case AreaRun::LCFRun:
        return mUi->AskAnalyze;
    case AreaRun::RARun:
        return mUi->AskRAAnalyze;
    case AreaRun::ElemRun:
        return mElemsPanel->analyzeButton();
    default:
        return nullptr;
    }
}

void Analyzer::runStarted(AreaRun::Kind kind)
{
    mMapChoicesAtRunStart = mMapChoices;
    if (QPushButton *button = analyzeButton(kind))
        button->setText(tr("Stop"));
}

void Analyzer::runEnded(AreaRun::Kind kind, bool completed)
{
    if (QPushButton *button = analyzeButton(kind))
        button->setText(tr("Analyze"));
    if (completed && mMapChoices == mMapChoicesAtRunStart)
        showRunMap(kind);
    updateSubsetLegend();
}

void Analyzer::showRunMap(AreaRun::Kind kind)
{
    const int id = mImageGroup->checkedId();
    if (kind == AreaRun::LCFRun) {
        setAnalysisMode(0);
        const int ref = refOfImageId(id);
        if (ref < 0 || ref >= mRefs.size()) {
            int first = 0;
            while (first < mRefs.size() && !mRefs.at(first)->isUsed())
                ++first;
            mImageGroup->button(imageIdOfRef(first < mRefs.size() ? first : 0))->setChecked(true);
        }
    } else if (kind == AreaRun::RARun) {
        setAnalysisMode(1);
        if (!raMap(id - InitialRefs))
            mUi->ShowDMuT->setChecked(true);
    } else if (kind == AreaRun::ElemRun) {
        setAnalysisMode(2);
        mElemsPanel->showRunMaps();
    }
    emit changedSelection();
}

void Analyzer::setRaEnergy(double eng)
{
    mUi->RAAtEV->setText(QString::number(eng, 'g', 6));
}

void Analyzer::setRaFactor(double factor)
{
    mUi->RAFactor->setText(QString::number(factor, 'g', 6));
}

void Analyzer::setFixedScale(bool f)
{
    mUi->FixedScale->setChecked(f);
}

void Analyzer::setEditValue(QLineEdit *edit, double value)
{
    edit->setText(QString::number(value, 'g', 6));
    scaleChanged();
}

void Analyzer::setDMutScaleMax(double max)
{
    setEditValue(mUi->DMutScaleMax, max);
}

void Analyzer::setDMutScaleMin(double min)
{
    setEditValue(mUi->DMutScaleMin, min);
}

void Analyzer::setRatioScaleMax(double max)
{
    setEditValue(mUi->RatioScaleMax, max);
}

void Analyzer::setRatioScaleMin(double min)
{
    setEditValue(mUi->RatioScaleMin, min);
}

void Analyzer::setScaleMax(double max)
{
    setDMutScaleMax(max);
    setRatioScaleMax(max);
}

void Analyzer::setScaleMin(double min)
{
    setDMutScaleMin(min);
    setRatioScaleMin(min);
}

void Analyzer::scalePolicyChanged(bool f)
{
    applyScales(true, f);
}

void Analyzer::scaleChanged()
{
    applyScales(false, false);
}

void Analyzer::applyScales(bool setPolicy, bool fixed)
{
    const auto scaleOf = [this, setPolicy, fixed](Analyzed2DRes *map, bool ratio) {
        QLineEdit *lo = ratio ? mUi->RatioScaleMin : mUi->DMutScaleMin;
        QLineEdit *hi = ratio ? mUi->RatioScaleMax : mUi->DMutScaleMax;
        map->setScale(lo->text().toDouble(), hi->text().toDouble());
        if (setPolicy)
            map->setFixedScale(fixed);
    };
    for (LCFReference *ref : qAsConst(mRefs)) {
        for (int kind = 0; kind < ref->mapCount(); ++kind)
            scaleOf(ref->map(kind), kind == 1);
    }
    for (int k = 0; k < mRaMaps.size(); ++k)
        scaleOf(mRaMaps.at(k), k == 2);
    // Each map hands its scale to the colour bar; the one on show has the last word.
    if (Analyzed2DRes *shown = selectedMap())
        shown->updateColorBar();
}

void Analyzer::setNormalize(bool f)
{
    mView->setNormalize(f);
}

void Analyzer::setEnergyCorrection(bool f)
{
    mView->setEnergyCorrection(f);
}
