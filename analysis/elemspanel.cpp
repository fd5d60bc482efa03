#include "elemspanel.h"

#include "analysis/aelemsconds.h"
#include "analysis/analyzed2dres.h"
#include "analysis/elemctrl.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>

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

ElemsPanel::ElemsPanel(QWidget *frame,
                       QBoxLayout *layout,
                       QAbstractButton *modeButton,
                       QObject *parent)
    : QObject(parent)
    , mFrame(frame)
{
    for (const char *name : {"a2d ElemsCor", "a2d ElemsCorTh"})
        mCorMaps << new Analyzed2DRes(QLatin1String(name), this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(modeButton);
    mAskAnalyzeElems = new QPushButton(tr("Analyze"), frame);
    mAskAnalyzeElems->setObjectName(QStringLiteral("AskAnalyzeElems"));
    buttons->addWidget(mAskAnalyzeElems);
    mElemsProgress = new QLabel(QStringLiteral("0%"), frame);
    mElemsProgress->setObjectName(QStringLiteral("ElemsProgress"));
    buttons->addWidget(mElemsProgress);
    mElemsDispOnTime = new QCheckBox(tr("Disp. on Time"), frame);
    mElemsDispOnTime->setObjectName(QStringLiteral("ElemsDispOnTime"));
    buttons->addWidget(mElemsDispOnTime);
    buttons->addStretch();
    layout->addLayout(buttons);

    auto *names = new QHBoxLayout;
    names->addWidget(new QLabel(tr("Target Elements"), frame));
    mElemNames = new QLineEdit(frame);
    mElemNames->setObjectName(QStringLiteral("AElemNames"));
    names->addWidget(mElemNames);
    mSortByANo = new QCheckBox(tr("Sort by A. No."), frame);
    mSortByANo->setObjectName(QStringLiteral("SortByANo"));
    names->addWidget(mSortByANo);
    layout->addLayout(names);

    // The rows are wider than a screen: they scroll instead of widening the window.
    mElemRowsArea = new QScrollArea(frame);
    mElemRowsArea->setObjectName(QStringLiteral("ElemRowsArea"));
    mElemRowsArea->setWidgetResizable(true);
    mElemRowsArea->setFrameShape(QFrame::NoFrame);
    auto *rows = new QFrame;
    rows->setObjectName(QStringLiteral("ElemBase"));
    mElemGrid = new QGridLayout(rows);
    mElemGrid->setContentsMargins(0, 0, 0, 0);
    mElemGrid->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    mElemRowsArea->setWidget(rows);
    layout->addWidget(mElemRowsArea);
    fitElemRowsArea();
    mConds = new AElemsConds(frame);
    mConds->setObjectName(QStringLiteral("AElemsCds"));
    layout->addWidget(mConds);

    auto *correlation = new QHBoxLayout;
    auto *setStd = new QPushButton(tr("Set STD"), frame);
    setStd->setObjectName(QStringLiteral("SetElemsStd"));
    correlation->addWidget(setStd);
    correlation->addWidget(new QLabel(tr("Correlation"), frame));
    mElemsCorrelation = new QLineEdit(frame);
    mElemsCorrelation->setObjectName(QStringLiteral("ElemsCorrelation"));
    mElemsCorrelation->setReadOnly(true);
    correlation->addWidget(mElemsCorrelation);
    correlation->addWidget(new QLabel(tr("Cor. Th"), frame));
    mCorThEdit = new QLineEdit(QString::number(mCorTh, 'g', 6), frame);
    mCorThEdit->setObjectName(QStringLiteral("CorTh"));
    correlation->addWidget(mCorThEdit);
    auto *recalc = new QPushButton(tr("ReCalc Cor."), frame);
    recalc->setObjectName(QStringLiteral("ReCalcCor"));
    correlation->addWidget(recalc);
    layout->addLayout(correlation);

    auto *showMap = new QGroupBox(tr("Show Map of"), frame);
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
    layout->addWidget(showMap);
    mTargetGroup = new QButtonGroup(this);
    mShowGroup = new QButtonGroup(this);

    connect(mAskAnalyzeElems, &QPushButton::clicked, this, &ElemsPanel::askAnalyzeElems);
    connect(this, &ElemsPanel::setNewCorrelation, this, &ElemsPanel::setCorrelation);
    connect(mElemNames, &QLineEdit::editingFinished, this, &ElemsPanel::newElems);
    connect(setStd, &QPushButton::clicked, this, &ElemsPanel::setElemsStd);
    connect(recalc, &QPushButton::clicked, this, &ElemsPanel::recalcCorMap);
    connect(mCorThEdit, &QLineEdit::editingFinished, this, &ElemsPanel::newCorTh);
    connect(mShowMapGroup, &QButtonGroup::idClicked, this, &ElemsPanel::changedSelection);
    connect(mShowMapGroup,
            qOverload<QAbstractButton *, bool>(&QButtonGroup::buttonToggled),
            this,
            [this](QAbstractButton *, bool on) {
                if (on)
                    emit mapChosen();
            });
}

void ElemsPanel::setTargetElements(const QString &elements)
{
    mElemNames->setText(elements);
    newElems();
}

void ElemsPanel::newElems()
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
            [this](QAbstractButton *, bool on) {
                if (on)
                    emit mapChosen();
            });

    QVector<EdgeMarker> markers;
    QStringList repeated;
    QStringList unknown;
    const QVector<ElemName> names = ElemAnalysis::parseNames(
        mElemNames->text(), mSortByANo->isChecked(), &repeated, &unknown);
    for (const ElemName &name : names) {
        auto *row = new ElemCtrl(mFrame);
        row->setElement(name.symbol, name.edgeName, name.z, name.edge);
        mTargetGroup->addButton(row->mainTarget());
        mShowGroup->addButton(row->showButton());
        connect(row->showButton(), &QRadioButton::clicked, this, &ElemsPanel::changedSelection);
        mElems.append(row);
        markers.append({name.z, name.edge, row->name()});
    }
    // The analysed spectrum shows the edges of the target elements.
    emit edgeMarkersChanged(markers);
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

void ElemsPanel::fitElemRowsArea()
{
    // A few rows are shown whole; more scroll, as rows wider than the window do.
    constexpr int shownRows = 6;
    int height = 0;
    for (int i = 0; i < qMin(int(mElems.size()), shownRows); ++i)
        height += mElems.at(i)->sizeHint().height() + qMax(mElemGrid->verticalSpacing(), 0);
    mElemRowsArea->setFixedHeight(height
                                  + mElemRowsArea->horizontalScrollBar()->sizeHint().height());
}

QVector<ElemParams> ElemsPanel::elemsParams() const
{
    QVector<ElemParams> params;
    for (const ElemCtrl *row : mElems)
        params.append(row->params());
    return params;
}

ElemBackgrounds ElemsPanel::elemsBackgrounds() const
{
    return mConds->backgrounds();
}

int ElemsPanel::mainTargetId() const
{
    return qMax(mTargetGroup->checkedId(), 0);
}

QVector<Analyzed2DRes *> ElemsPanel::elemsMaps() const
{
    QVector<Analyzed2DRes *> maps;
    for (int kind = 0; kind < ElemCtrl::MapKinds; ++kind) {
        for (const ElemCtrl *row : mElems)
            maps.append(row->map(kind));
    }
    return maps << mCorMaps;
}

bool ElemsPanel::elemsDispOnTime() const
{
    return mElemsDispOnTime->isChecked();
}

void ElemsPanel::analyzeSpectrumElemsFinished(const ElemResults &results)
{
    for (int i = 0; i < mElems.size(); ++i)
        mElems.at(i)->setResults(results, i);
    calcCorrelation();
    emit analyzeElemsFinished();
}

void ElemsPanel::calcCorrelation()
{
    QVector<double> ratios;
    for (const ElemCtrl *row : qAsConst(mElems))
        ratios.append(row->ratio());
    double cor = 0.0;
    if (ElemAnalysis::correlation(elemsParams(), ratios.constData(), &cor))
        emit setNewCorrelation(cor);
}

void ElemsPanel::setCorrelation(double cor)
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

void ElemsPanel::setElemsStd()
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

void ElemsPanel::newCorTh()
{
    mCorTh = mCorThEdit->text().toDouble();
    mCorThEdit->setText(QString::number(mCorTh, 'g', 6));
    recalcCorMap();
}

void ElemsPanel::recalcCorMap()
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

void ElemsPanel::setElemsProgress(double perCent)
{
    mElemsProgress->setText(QString::asprintf("%5.2f", perCent));
}

ElemCtrl *ElemsPanel::elemRow(const QString &name, bool byIndex) const
{
    for (ElemCtrl *row : mElems) {
        if (row->name() == name)
            return row;
    }
    return byIndex ? mElems.value(name.toInt()) : nullptr;
}

QVector<ElemCtrl *> ElemsPanel::elemRows(const QString &name) const
{
    QVector<ElemCtrl *> rows;
    for (ElemCtrl *row : mElems) {
        if (row->name() == name)
            rows.append(row);
    }
    return rows;
}

void ElemsPanel::selectElemsTarget(const QString &name)
{
    if (ElemCtrl *row = elemRow(name, true)) {
        row->mainTarget()->setChecked(true);
        emit changedSelection();
    }
}

void ElemsPanel::selectElemsShow(const QString &name)
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

void ElemsPanel::setElemsDE(double dE)
{
    for (ElemCtrl *row : qAsConst(mElems))
        row->setPrePostDE(dE);
}

void ElemsPanel::setElemsCorTh(double th)
{
    mCorThEdit->setText(QString::number(th, 'g', 6));
    mCorTh = th;
    recalcCorMap();
}

void ElemsPanel::selectElemsDispMode(int mode)
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

void ElemsPanel::setElemsUse(const QString &name, bool f)
{
    if (ElemCtrl *row = elemRow(name, true))
        row->setUse(f);
}

void ElemsPanel::setElemsSortByAN(bool f)
{
    mSortByANo->setChecked(f);
}

void ElemsPanel::setElemsROI(const QString &name, double start, double end)
{
    for (ElemCtrl *row : elemRows(name))
        row->setROI(start, end);
}

void ElemsPanel::setElemsThDMut(const QString &name, double th)
{
    for (ElemCtrl *row : elemRows(name))
        row->setThDMut(th);
}

void ElemsPanel::setElemsNoNeg(const QString &name, bool f)
{
    for (ElemCtrl *row : elemRows(name))
        row->setNoNeg(f);
}

void ElemsPanel::setElemsBG(int which, double v)
{
    mConds->setValue(AElemsConds::Value(which), v);
}

Analyzed2DRes *ElemsPanel::selectedMap() const
{
    const int mode = mShowMapGroup->checkedId();
    if (mode < 0)
        return nullptr;
    if (showMapKind[mode] < 0)
        return mCorMaps.at(mode - 2);
    const ElemCtrl *row = mElems.value(mShowGroup->checkedId());
    return row ? row->map(showMapKind[mode]) : nullptr;
}

QString ElemsPanel::mapTitle(const Analyzed2DRes *map) const
{
    for (int id = 0; id < ShowMapCount; ++id) {
        const QString what = mShowMapGroup->button(id)->text();
        if (showMapKind[id] < 0 && map == mCorMaps.value(id - 2))
            return what;
        for (const ElemCtrl *row : mElems) {
            if (showMapKind[id] >= 0 && map == row->map(showMapKind[id]))
                return row->name() + QLatin1Char(' ') + what;
        }
    }
    return QString();
}

void ElemsPanel::showRunMaps()
{
    if (!mElems.isEmpty() && mShowGroup->checkedId() < 0)
        mElems.first()->showButton()->setChecked(true);
    if (mShowMapGroup->checkedId() < 0)
        mShowMapGroup->button(0)->setChecked(true);
}
