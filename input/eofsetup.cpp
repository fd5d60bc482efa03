#include "eofsetup.h"
#include "ui_eofsetup.h"

#include "app/dataroot.h"

#include <QFileDialog>
#include <QRegularExpression>

#include <algorithm>

namespace {

const char *const builtInPatterns[] = {
    "\\d\\d\\d\\d_\\d\\d\\d\\d",
    "\\d\\d\\d\\d_\\d\\d",
    "\\d\\d\\d\\d_\\d\\deV",
    "\\d\\d\\d\\d\\.\\d\\d\\d\\d",
    "\\d\\d\\d\\d\\.\\d\\d",
    "\\d\\d\\d\\d\\.\\d\\deV",
    "\\d\\d_\\d\\d\\d\\d\\d\\dKeV",
    "\\d_\\d\\d\\d\\d\\d\\dKeV",
};

QString realText(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

EOFSetup::EOFSetup(QWidget *parent)
    : QFrame(parent)
    , mUi(new Ui::EngOfFilesSetup)
{
    mUi->setupUi(this);

    for (const char *pattern : builtInPatterns)
        mUi->PatternList->addItem(QString::fromLatin1(pattern));
    mUi->Pattern->setText(mUi->PatternList->itemText(0));
    newPattern();

    mRefFileDialog = new QFileDialog(nullptr, tr("Reference File"), dataRoot());
    mRefFileDialog->setAcceptMode(QFileDialog::AcceptOpen);
    mRefFileDialog->setFileMode(QFileDialog::AnyFile);
    mRefFileDialog->setNameFilters({tr("XAFS Data File (*.dat)"), tr("Any Files (* *.*)")});

    connect(mUi->Start, &QLineEdit::editingFinished, this, &EOFSetup::newStart);
    connect(mUi->Delta, &QLineEdit::editingFinished, this, &EOFSetup::newDelta);
    connect(mUi->End, &QLineEdit::editingFinished, this, &EOFSetup::newEnd);
    connect(mUi->NumOfPoints, &QLineEdit::editingFinished, this, &EOFSetup::newNumOfPoints);
    connect(mUi->Pattern, &QLineEdit::editingFinished, this, &EOFSetup::newPattern);
    connect(mUi->PatternList,
            QOverload<int>::of(&QComboBox::currentIndexChanged),
            this,
            [this](int index) { newPatternSelected(mUi->PatternList->itemText(index)); });
    connect(mUi->SelRefFile, &QPushButton::clicked, mRefFileDialog, &QFileDialog::show);
    connect(mRefFileDialog, &QFileDialog::fileSelected, this, &EOFSetup::refFileSelected);

    mUi->ReloadOffer->hide();
    connect(mUi->Reload, &QPushButton::clicked, this, [this] {
        const QString pattern = mUi->ReloadPattern->currentText();
        offerReload({});
        newPatternSelected(pattern);
        emit reloadWithPattern(pattern);
    });
}

EOFSetup::~EOFSetup()
{
    mRefFileDialog->deleteLater();
    delete mUi;
}

EnergyAssignment EOFSetup::assignment() const
{
    EnergyAssignment rule;
    if (mUi->FromFileName->isChecked())
        rule.method = EnergyAssignment::FromFileName;
    else if (!mUi->FromFileNum->isChecked() && mUi->FromRefFile->isChecked())
        rule.method = EnergyAssignment::FromRefFile;
    else
        rule.method = EnergyAssignment::FromFileNum;
    rule.unit = EnergyAssignment::Unit(qBound(0, mUi->DisplayUnit->currentIndex(), 2));
    rule.evenInEnergy = mUi->EvenInEnergy->isChecked();
    rule.start = mUi->Start->text().toDouble();
    rule.delta = mUi->Delta->text().toDouble();
    rule.end = mUi->End->text().toDouble();
    rule.numOfPoints = mUi->NumOfPoints->text().toInt();
    rule.pattern = mUi->Pattern->text();
    rule.factor = mUi->Factor->text().toDouble();
    rule.refEnergies = mRefEnergies;
    return rule;
}

double EOFSetup::energyOf(const QString &fileName, int fNo, bool *nameWithoutEnergy) const
{
    return assignment().energyOf(fileName, fNo, nameWithoutEnergy);
}

QStringList EOFSetup::patternsFindingEnergyIn(const QStringList &names) const
{
    QStringList patterns;
    if (names.isEmpty())
        return patterns;
    for (int i = 0; i < mUi->PatternList->count(); ++i) {
        const QString pattern = mUi->PatternList->itemText(i);
        if (pattern == mUi->Pattern->text())
            continue;
        const QRegularExpression expression(pattern);
        if (!expression.isValid())
            continue;
        const bool everyName = std::all_of(names.cbegin(), names.cend(), [&](const QString &name) {
            return expression.match(name).hasMatch();
        });
        if (everyName)
            patterns << pattern;
    }
    return patterns;
}

void EOFSetup::offerReload(const QStringList &patterns)
{
    mUi->ReloadPattern->clear();
    mUi->ReloadPattern->addItems(patterns);
    mUi->ReloadOffer->setVisible(!patterns.isEmpty());
}

void EOFSetup::newStart()
{
    const EnergyAssignment rule = assignment();
    mUi->End->setText(realText(EnergyAssignment::endFor(rule.start, rule.delta, rule.numOfPoints)));
}

void EOFSetup::newDelta()
{
    newStart();
}

void EOFSetup::newEnd()
{
    const EnergyAssignment rule = assignment();
    mUi->Delta->setText(
        realText(EnergyAssignment::deltaFor(rule.start, rule.end, rule.numOfPoints)));
}

void EOFSetup::newNumOfPoints()
{
    newEnd();
}

void EOFSetup::newPattern()
{
    const QString pattern = mUi->Pattern->text();
    mUi->Factor->setText(EnergyAssignment::factorTextFor(pattern));
    int index = mUi->PatternList->findText(pattern, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        mUi->PatternList->addItem(pattern);
        index = mUi->PatternList->count() - 1;
    }
    mUi->PatternList->setCurrentIndex(index);
}

void EOFSetup::newPatternSelected(QString pattern)
{
    mUi->Pattern->setText(pattern);
    newPattern();
}

void EOFSetup::refFileSelected(QString fname)
{
    QVector<double> energies;
    if (!EnergyAssignment::readReferenceFile(fname, &energies))
        return;
    mUi->RefFilePath->setText(fname);
    mRefEnergies = energies;
}

void EOFSetup::setEngByName(bool f)
{
    mUi->FromFileName->setChecked(f);
}

void EOFSetup::setEngByCalc(bool f)
{
    mUi->FromFileNum->setChecked(f);
}

void EOFSetup::setEngCalcStart(double start)
{
    mUi->Start->setText(realText(start));
    newStart();
}

void EOFSetup::setEngCalcDelta(double delta)
{
    mUi->Delta->setText(realText(delta));
    newDelta();
}

void EOFSetup::setEngCalcEnd(double end)
{
    mUi->End->setText(realText(end));
    newEnd();
}

void EOFSetup::setEngCalcNum(int num)
{
    mUi->NumOfPoints->setText(QString::number(num));
    newNumOfPoints();
}

void EOFSetup::setEvenInEng(bool f)
{
    mUi->EvenInEnergy->setChecked(f);
}

void EOFSetup::setEvenInDeg(bool f)
{
    mUi->EvenInAngle->setChecked(f);
}

void EOFSetup::setDispUnit(int idx)
{
    if (idx >= 0 && idx < mUi->DisplayUnit->count())
        mUi->DisplayUnit->setCurrentIndex(idx);
}

void EOFSetup::setEngByNameRegExp(const QString &pattern)
{
    mUi->Pattern->setText(pattern);
}

void EOFSetup::setEngByNameFactor(double factor)
{
    mUi->Factor->setText(realText(factor));
}

void EOFSetup::setEngByRef(const QString &fname)
{
    mUi->FromRefFile->setChecked(!fname.isEmpty());
    mUi->RefFilePath->setText(fname);
    if (!fname.isEmpty())
        refFileSelected(fname);
}
