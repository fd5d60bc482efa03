#include "analyzer.h"
#include "ui_analyzer.h"

#include "analysis/aelemsconds.h"
#include "analysis/analyzed2dres.h"
#include "analysis/analyzeproc.h"
#include "analysis/elemctrl.h"
#include "analysis/lcfreference.h"
#include "analysis/xafsfileselect.h"
#include "display/showinfront.h"
#include "display/colortables.h"
#include "display/xafsview.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPen>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QThread>

namespace {

// A list of names for the message line, cut short after a few.
QString listForMessage(const QStringList &names)
{
    constexpr int shown = 8;
    QString text = names.mid(0, shown).join(QStringLiteral(", "));
    if (names.size() > shown)
        text += QStringLiteral(", ...");
    return text;
}

// The "Show Map of" choices by id, and the row map kind each stands for (-1: a correlation map).
constexpr int ShowMapCount = 9;
constexpr int showMapKind[ShowMapCount] = {0, 1, -1, -1, 2, 3, 4, 5, 6};

} // namespace

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

    for (int k = 0; k < InitialRefs; ++k)
        addNewRef();
    mRefs.first()->showButton()->setChecked(true);

    mWorkerThread = new QThread(this);
    mWorker = new AnalyzeProc;
    mWorker->moveToThread(mWorkerThread);
    mWorkerThread->start(QThread::InheritPriority);

    setupElems();

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
    connect(mWorker, &AnalyzeProc::finishedAElems, this, &Analyzer::analyzeSpectrumElemsFinished);
    connect(this, &Analyzer::setNewCorrelation, this, &Analyzer::setCorrelation);
    connect(mImageGroup, &QButtonGroup::idClicked, this, &Analyzer::selectedNewRef);
    connect(mUi->SelRatio, &QRadioButton::toggled, this, &Analyzer::selectedImgChanged);
    connect(mUi->FixedScale, &QCheckBox::toggled, this, &Analyzer::scalePolicyChanged);
    // Every change of the map on show, by hand or by a command, counts as a choice.
    for (QButtonGroup *group : {mModeGroup, mImageGroup, mShowMapGroup}) {
        connect(group,
                qOverload<QAbstractButton *, bool>(&QButtonGroup::buttonToggled),
                this,
                [this](QAbstractButton *, bool on) { mMapChoices += on; });
    }
    connect(mUi->SelRatio, &QRadioButton::toggled, this, [this] { ++mMapChoices; });
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

void Analyzer::setupElems()
{
    for (const char *name : {"a2d ElemsCor", "a2d ElemsCorTh"})
        mCorMaps << new Analyzed2DRes(QLatin1String(name), this);
    QBoxLayout *frame = mUi->ElemLayout;

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(mUi->DoElemA);
    mAskAnalyzeElems = new QPushButton(tr("Analyze"), mUi->ElemFrame);
    mAskAnalyzeElems->setObjectName(QStringLiteral("AskAnalyzeElems"));
    buttons->addWidget(mAskAnalyzeElems);
    mElemsProgress = new QLabel(QStringLiteral("0%"), mUi->ElemFrame);
    mElemsProgress->setObjectName(QStringLiteral("ElemsProgress"));
    buttons->addWidget(mElemsProgress);
    mElemsDispOnTime = new QCheckBox(tr("Disp. on Time"), mUi->ElemFrame);
    mElemsDispOnTime->setObjectName(QStringLiteral("ElemsDispOnTime"));
    buttons->addWidget(mElemsDispOnTime);
    buttons->addStretch();
    frame->addLayout(buttons);

    auto *names = new QHBoxLayout;
    names->addWidget(new QLabel(tr("Target Elements"), mUi->ElemFrame));
    mElemNames = new QLineEdit(mUi->ElemFrame);
    mElemNames->setObjectName(QStringLiteral("AElemNames"));
    names->addWidget(mElemNames);
    mSortByANo = new QCheckBox(tr("Sort by A. No."), mUi->ElemFrame);
    mSortByANo->setObjectName(QStringLiteral("SortByANo"));
    names->addWidget(mSortByANo);
    frame->addLayout(names);

    // The rows are wider than a screen: they scroll instead of widening the window.
    mElemRowsArea = new QScrollArea(mUi->ElemFrame);
    mElemRowsArea->setObjectName(QStringLiteral("ElemRowsArea"));
    mElemRowsArea->setWidgetResizable(true);
    mElemRowsArea->setFrameShape(QFrame::NoFrame);
    auto *rows = new QFrame;
    rows->setObjectName(QStringLiteral("ElemBase"));
    mElemGrid = new QGridLayout(rows);
    mElemGrid->setContentsMargins(0, 0, 0, 0);
    mElemGrid->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    mElemRowsArea->setWidget(rows);
    frame->addWidget(mElemRowsArea);
    fitElemRowsArea();
    mConds = new AElemsConds(mUi->ElemFrame);
    mConds->setObjectName(QStringLiteral("AElemsCds"));
    frame->addWidget(mConds);

    auto *correlation = new QHBoxLayout;
    auto *setStd = new QPushButton(tr("Set STD"), mUi->ElemFrame);
    setStd->setObjectName(QStringLiteral("SetElemsStd"));
    correlation->addWidget(setStd);
    correlation->addWidget(new QLabel(tr("Correlation"), mUi->ElemFrame));
    mElemsCorrelation = new QLineEdit(mUi->ElemFrame);
    mElemsCorrelation->setObjectName(QStringLiteral("ElemsCorrelation"));
    mElemsCorrelation->setReadOnly(true);
    correlation->addWidget(mElemsCorrelation);
    correlation->addWidget(new QLabel(tr("Cor. Th"), mUi->ElemFrame));
    mCorThEdit = new QLineEdit(QString::number(mCorTh, 'g', 6), mUi->ElemFrame);
    mCorThEdit->setObjectName(QStringLiteral("CorTh"));
    correlation->addWidget(mCorThEdit);
    auto *recalc = new QPushButton(tr("ReCalc Cor."), mUi->ElemFrame);
    recalc->setObjectName(QStringLiteral("ReCalcCor"));
    correlation->addWidget(recalc);
    frame->addLayout(correlation);

    auto *showMap = new QGroupBox(tr("Show Map of"), mUi->ElemFrame);
    auto *showLayout = new QHBoxLayout(showMap);
    mShowMapGroup = new QButtonGroup(this);
    const QString texts[ShowMapCount] = {tr("dMut of The Elem."),
                                         tr("N. dMut of The Elem."),
                                         tr("Correlation"),
                                         tr("Cor. Th"),
                                         tr("Mut+"),
                                         tr("Mut-"),
                                         tr("dE"),
                                         tr("ROI"),
                                         tr("N.ROI")};
    for (int id = 0; id < ShowMapCount; ++id) {
        auto *button = new QRadioButton(texts[id], showMap);
        button->setObjectName(QStringLiteral("ElemsShowMap%1").arg(id));
        showLayout->addWidget(button);
        mShowMapGroup->addButton(button, id);
    }
    mShowMapGroup->button(0)->setChecked(true);
    frame->addWidget(showMap);
    mTargetGroup = new QButtonGroup(this);
    mShowGroup = new QButtonGroup(this);

    connect(mAskAnalyzeElems, &QPushButton::clicked, this, &Analyzer::askAnalyzeElems);
    connect(mElemNames, &QLineEdit::editingFinished, this, &Analyzer::newElems);
    connect(setStd, &QPushButton::clicked, this, &Analyzer::setElemsStd);
    connect(recalc, &QPushButton::clicked, this, &Analyzer::recalcCorMap);
    connect(mCorThEdit, &QLineEdit::editingFinished, this, &Analyzer::newCorTh);
    connect(mShowMapGroup, &QButtonGroup::idClicked, this, &Analyzer::changedSelection);
}

void Analyzer::setTargetElements(const QString &elements)
{
    mElemNames->setText(elements);
    newElems();
}

void Analyzer::newElems()
{
    emit elemsRebuilding();
    for (ElemCtrl *row : qAsConst(mElems)) {
        mElemGrid->removeWidget(row);
        row->hide();
        row->deleteLater();
    }
    mElems.clear();
    delete mTargetGroup;
    delete mShowGroup;
    mTargetGroup = new QButtonGroup(this);
    mShowGroup = new QButtonGroup(this);
    connect(mShowGroup,
            qOverload<QAbstractButton *, bool>(&QButtonGroup::buttonToggled),
            this,
            [this](QAbstractButton *, bool on) { mMapChoices += on; });

    QVector<EdgeMarker> markers;
    QStringList repeated;
    QStringList unknown;
    const QVector<ElemName> names = ElemAnalysis::parseNames(
        mElemNames->text(), mSortByANo->isChecked(), &repeated, &unknown);
    for (const ElemName &name : names) {
        auto *row = new ElemCtrl(mUi->ElemFrame);
        row->setElement(name.symbol, name.edgeName, name.z, name.edge);
        mTargetGroup->addButton(row->mainTarget());
        mShowGroup->addButton(row->showButton());
        connect(row->showButton(), &QRadioButton::clicked, this, &Analyzer::changedSelection);
        mElems.append(row);
        markers.append({name.z, name.edge, row->name()});
    }
    // The analysed spectrum shows the edges of the target elements.
    mView->setEdgeMarkers(markers);
    mView->update();
    for (int i = 0; i < mElems.size(); ++i) {
        mTargetGroup->setId(mElems.at(i)->mainTarget(), i);
        mShowGroup->setId(mElems.at(i)->showButton(), i);
        mElemGrid->addWidget(mElems.at(i), i, 0);
    }
    if (!mElems.isEmpty()) {
        mElems.first()->mainTarget()->setChecked(true);
        mElems.first()->showButton()->setChecked(true);
    }
    fitElemRowsArea();
    // The display lets go of the maps of the old rows.
    emit changedSelection();
    QStringList notes;
    if (!repeated.isEmpty())
        notes << tr("Target elements named more than once, one row each: %1")
                     .arg(listForMessage(repeated));
    if (!unknown.isEmpty())
        notes << tr("Not elements, skipped: %1").arg(listForMessage(unknown));
    if (!notes.isEmpty())
        emit messageIssued(notes.join(QStringLiteral(" | ")));
}

void Analyzer::fitElemRowsArea()
{
    // A few rows are shown whole; more scroll, as rows wider than the window do.
    constexpr int shownRows = 6;
    int height = 0;
    for (int i = 0; i < qMin(int(mElems.size()), shownRows); ++i)
        height += mElems.at(i)->sizeHint().height() + qMax(mElemGrid->verticalSpacing(), 0);
    mElemRowsArea->setFixedHeight(height
                                  + mElemRowsArea->horizontalScrollBar()->sizeHint().height());
}

QVector<ElemParams> Analyzer::elemsParams() const
{
    QVector<ElemParams> params;
    for (const ElemCtrl *row : mElems)
        params.append(row->params());
    return params;
}

ElemBackgrounds Analyzer::elemsBackgrounds() const
{
    return mConds->backgrounds();
}

int Analyzer::mainTargetId() const
{
    return qMax(mTargetGroup->checkedId(), 0);
}

QVector<Analyzed2DRes *> Analyzer::elemsMaps() const
{
    QVector<Analyzed2DRes *> maps;
    for (int kind = 0; kind < ElemCtrl::MapKinds; ++kind) {
        for (const ElemCtrl *row : mElems)
            maps.append(row->map(kind));
    }
    return maps << mCorMaps;
}

bool Analyzer::elemsDispOnTime() const
{
    return mElemsDispOnTime->isChecked();
}

void Analyzer::analyzeSpectrumElemsFinished(const ElemResults &results)
{
    for (int i = 0; i < mElems.size(); ++i)
        mElems.at(i)->setResults(results, i);
    calcCorrelation();
    emit analyzeElemsFinished();
}

void Analyzer::calcCorrelation()
{
    QVector<double> ratios;
    for (const ElemCtrl *row : qAsConst(mElems))
        ratios.append(row->ratio());
    double cor = 0.0;
    if (ElemAnalysis::correlation(elemsParams(), ratios.constData(), &cor))
        emit setNewCorrelation(cor);
}

void Analyzer::setCorrelation(double cor)
{
    mCorr = cor;
    mElemsCorrelation->setText(QString::number(cor, 'g', 6));
    const bool above = cor > mCorTh;
    if (above == mAboveCorTh)
        return;
    mAboveCorTh = above;
    mElemsCorrelation->setStyleSheet(above
                                         ? QStringLiteral("background-color: rgb(211, 255, 241);")
                                         : QStringLiteral("background-color: rgb(176, 192, 192);"));
}

void Analyzer::setElemsStd()
{
    // A row whose element the spectrum lacks holds a ratio made of the background value.
    QStringList missing;
    for (const ElemCtrl *row : qAsConst(mElems)) {
        if (!row->hasElement())
            missing << row->name();
    }
    if (!missing.isEmpty()) {
        emit messageIssued(
            tr("Set STD: no edge of %1 in the analysed spectrum: standard ratios not set")
                .arg(listForMessage(missing)));
        return;
    }
    for (ElemCtrl *row : qAsConst(mElems))
        row->setStdRatio(row->ratio());
    recalcCorMap();
}

void Analyzer::newCorTh()
{
    mCorTh = mCorThEdit->text().toDouble();
    mCorThEdit->setText(QString::number(mCorTh, 'g', 6));
    recalcCorMap();
}

void Analyzer::recalcCorMap()
{
    const QVector<ElemParams> params = elemsParams();
    QVector<double> ratios(mElems.size());
    AreaWalk walk = mElemsWalk;
    walk.rewind();
    const double y0 = walk.cy;
    const double span = walk.y1 - y0;
    setElemsProgress(0.0);
    bool newRow = false;
    do {
        if (newRow)
            setElemsProgress((walk.cy - y0) / span * 100.0);
        // Pixels outside the image hold no ratios, as the run left them.
        if (!walk.centreInside(walk.width, walk.height))
            continue;
        for (int l = 0; l < mElems.size(); ++l)
            ratios[l] = params.at(l).use ? mElems.at(l)->map(1)->value(walk.cx, walk.cy) : 0.0;
        double c = 0.0;
        if (!ElemAnalysis::correlation(params, ratios.constData(), &c))
            c = 0.0;
        mCorMaps.at(0)->setData(int(walk.cx), int(walk.cy), 0, 0, c);
        mCorMaps.at(1)->setData(
            int(walk.cx), int(walk.cy), 0, 0, ElemAnalysis::thresholded(c, mCorTh));
    } while (walk.next(newRow));
    setElemsProgress(100.0);
    for (Analyzed2DRes *map : qAsConst(mCorMaps))
        map->genImg();
    emit changedSelection();
}

void Analyzer::setElemsProgress(double perCent)
{
    mElemsProgress->setText(QString::asprintf("%5.2f", perCent));
}

ElemCtrl *Analyzer::elemRow(const QString &name, bool byIndex) const
{
    for (ElemCtrl *row : mElems) {
        if (row->name() == name)
            return row;
    }
    return byIndex ? mElems.value(name.toInt()) : nullptr;
}

QVector<ElemCtrl *> Analyzer::elemRows(const QString &name) const
{
    QVector<ElemCtrl *> rows;
    for (ElemCtrl *row : mElems) {
        if (row->name() == name)
            rows.append(row);
    }
    return rows;
}

void Analyzer::selectElemsTarget(const QString &name)
{
    if (ElemCtrl *row = elemRow(name, true)) {
        row->mainTarget()->setChecked(true);
        emit changedSelection();
    }
}

void Analyzer::selectElemsShow(const QString &name)
{
    // A row found by its name is shown without a word; one found by its index is announced.
    if (ElemCtrl *row = elemRow(name, false)) {
        row->showButton()->setChecked(true);
        return;
    }
    if (ElemCtrl *row = elemRow(name, true))
        row->showButton()->setChecked(true);
    emit changedSelection();
}

void Analyzer::setElemsDE(double dE)
{
    for (ElemCtrl *row : qAsConst(mElems))
        row->setPrePostDE(dE);
}

void Analyzer::setElemsCorTh(double th)
{
    mCorThEdit->setText(QString::number(th, 'g', 6));
    mCorTh = th;
    recalcCorMap();
}

void Analyzer::selectElemsDispMode(int mode)
{
    if (QAbstractButton *button = mShowMapGroup->button(mode)) {
        button->setChecked(true);
    } else if (QAbstractButton *checked = mShowMapGroup->checkedButton()) {
        mShowMapGroup->setExclusive(false);
        checked->setChecked(false);
        mShowMapGroup->setExclusive(true);
    }
    emit changedSelection();
}

void Analyzer::setElemsUse(const QString &name, bool f)
{
    if (ElemCtrl *row = elemRow(name, true))
        row->setUse(f);
}

void Analyzer::setElemsSortByAN(bool f)
{
    mSortByANo->setChecked(f);
}

void Analyzer::setElemsROI(const QString &name, double start, double end)
{
    for (ElemCtrl *row : elemRows(name))
        row->setROI(start, end);
}

void Analyzer::setElemsThDMut(const QString &name, double th)
{
    for (ElemCtrl *row : elemRows(name))
        row->setThDMut(th);
}

void Analyzer::setElemsNoNeg(const QString &name, bool f)
{
    for (ElemCtrl *row : elemRows(name))
        row->setNoNeg(f);
}

void Analyzer::setElemsBG(int which, double v)
{
    mConds->setValue(AElemsConds::Value(which), v);
}

void Analyzer::addNewRef()
{
    auto *ref = new LCFReference(mUi->RefBase);
    mRefs.append(ref);
    const int k = mRefs.size();
    ref->fileSelect()->setSelectText(tr("Select Ref%1").arg(k));
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
    } else if (kind == AreaRun::ElemRun && mElems.isEmpty()) {
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
    return maps;
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
        emit analyzeSpectrum0(s, referenceData(), mUi->MLCF->isChecked());
    else if (mUi->DoElemA->isChecked())
        emit analyzeSpectrumElems0(s, elemsParams(), mainTargetId(), elemsBackgrounds());
}

void Analyzer::reAnalyzeSpectrum()
{
    analyzeSpectrum(mShownSpectrum);
}

void Analyzer::takeFit(const LCFFit &fit)
{
    mLastFit = fit;
    mFitResult = fit.fitted;
    if (!mContAccess) {
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

void Analyzer::setImageType(int k)
{
    if (k == 0)
        mUi->SelDMut->setChecked(true);
    else if (k == 1)
        mUi->SelRatio->setChecked(true);
}

int Analyzer::imageKind() const
{
    if (mUi->SelDMut->isChecked())
        return 0;
    return mUi->SelRatio->isChecked() ? 1 : 0;
}

Analyzed2DRes *Analyzer::selectedMap() const
{
    const int id = mImageGroup->checkedId();
    if (mUi->DoMLCFA->isChecked()) {
        const int ref = refOfImageId(id);
        if (ref >= 0 && ref < mRefs.size())
            return mRefs.at(ref)->map(imageKind());
    } else if (mUi->DoRAA->isChecked()) {
        Analyzed2DRes *map = raMap(id - InitialRefs);
        if (map && map->imageValid())
            return map;
    } else if (mUi->DoElemA->isChecked()) {
        const int mode = mShowMapGroup->checkedId();
        if (mode < 0)
            return nullptr;
        if (showMapKind[mode] < 0)
            return mCorMaps.at(mode - 2);
        const ElemCtrl *row = mElems.value(mShowGroup->checkedId());
        return row ? row->map(showMapKind[mode]) : nullptr;
    }
    return nullptr;
}

QString Analyzer::mapTitle(const Analyzed2DRes *map) const
{
    for (int i = 0; i < mRefs.size(); ++i) {
        if (map == mRefs.at(i)->map(0))
            return tr("dmut of Ref%1").arg(i + 1);
        if (map == mRefs.at(i)->map(1))
            return tr("fraction of Ref%1").arg(i + 1);
    }
    const QString raTitles[RaShowButtons] = {
        tr("residual-absorption dmut"), tr("residual absorption"), tr("residual-absorption ratio")};
    for (int k = 0; k < RaShowButtons; ++k) {
        if (map == raMap(k))
            return raTitles[k];
    }
    for (int id = 0; id < ShowMapCount; ++id) {
        const QString what = mShowMapGroup->button(id)->text();
        if (showMapKind[id] < 0 && map == mCorMaps.value(id - 2))
            return what;
        for (const ElemCtrl *row : mElems) {
            if (showMapKind[id] >= 0 && map == row->map(showMapKind[id]))
                return row->name() + QLatin1Char(' ') + what;
        }
    }
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
        return mAskAnalyzeElems;
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
        if (!mElems.isEmpty() && mShowGroup->checkedId() < 0)
            mElems.first()->showButton()->setChecked(true);
        if (mShowMapGroup->checkedId() < 0)
            mShowMapGroup->button(0)->setChecked(true);
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
