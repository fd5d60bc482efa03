#include "selectdatafiles.h"
#include "ui_selectdatafiles.h"

#include "app/dataroot.h"
#include "display/showinfront.h"
#include "input/eofsetup.h"

#include <QButtonGroup>
#include <QFileDialog>

SelectDataFiles::SelectDataFiles(QWidget *parent)
    : QFrame(parent)
    , mUi(new Ui::SelectDataFiles)
{
    mUi->setupUi(this);
    mModeGroup = new QButtonGroup(this);
    mModeGroup->addButton(mUi->LoadNewFiles);
    mModeGroup->addButton(mUi->AddFiles);

    mFileDialog = new QFileDialog(nullptr, tr("Data Files"), dataRoot());
    mFileDialog->setFileMode(QFileDialog::ExistingFiles);
    mFileDialog->setAcceptMode(QFileDialog::AcceptOpen);
    mFileDialog->setNameFilters({tr("QNRB Files, IMG Files, Tiff Files (*.dat *.img *.tif *.tiff)"),
                                 tr("Any Files (* *.*)")});
    mEnergySetup = new EOFSetup;

    connect(mUi->Clear, &QPushButton::clicked, this, &SelectDataFiles::clear);
    showInFrontOnClick(mUi->EngOfFilesSetup, mEnergySetup);
    connect(mEnergySetup, &EOFSetup::reloadWithPattern, this, [this] {
        emit reloadRequested(listedNames());
    });
    showInFrontOnClick(mUi->Select, mFileDialog);
    connect(mFileDialog, &QFileDialog::filesSelected, this, [this](const QStringList &files) {
        emit filesSelected(files, mUi->LoadNewFiles->isChecked());
    });
    connect(mUi->Selected,
            QOverload<int>::of(&QComboBox::currentIndexChanged),
            this,
            &SelectDataFiles::newImageSelected);
    connect(mUi->Selected,
            QOverload<int>::of(&QComboBox::activated),
            this,
            &SelectDataFiles::itemChosen);
}

SelectDataFiles::~SelectDataFiles()
{
    mFileDialog->deleteLater();
    mEnergySetup->deleteLater();
    delete mUi;
}

double SelectDataFiles::addFile(const QString &name, int fNo)
{
    bool nameWithoutEnergy = false;
    const double energy = mEnergySetup->energyOf(name, fNo, &nameWithoutEnergy);
    mUi->Selected->addItem(name, energy);
    mUi->Count->setText(QString::number(mUi->Selected->count()));
    if (nameWithoutEnergy) {
        ++mNamesWithoutEnergy;
        emit energyNotInName(name);
    } else {
        ++mNamesWithEnergy;
    }
    return energy;
}

void SelectDataFiles::addImage(const QString &name, double energy)
{
    mUi->Selected->addItem(name, energy);
    mUi->Count->setText(QString::number(mUi->Selected->count()));
}

QStringList SelectDataFiles::offerPatterns()
{
    QStringList patterns;
    if (mNamesWithoutEnergy > 0 && mNamesWithEnergy == 0)
        patterns = mEnergySetup->patternsFindingEnergyIn(listedNames());
    mEnergySetup->offerReload(patterns);
    return patterns;
}

QStringList SelectDataFiles::listedNames() const
{
    QStringList names;
    for (int i = 0; i < mUi->Selected->count(); ++i)
        names << mUi->Selected->itemText(i);
    return names;
}

void SelectDataFiles::setSelectText(const QString &text)
{
    mUi->Select->setText(text);
}

void SelectDataFiles::setSetupTitle(const QString &title)
{
    mEnergySetup->setWindowTitle(title);
}

int SelectDataFiles::currentIndex() const
{
    return mUi->Selected->currentIndex();
}

int SelectDataFiles::count() const
{
    return mUi->Selected->count();
}

bool SelectDataFiles::newFileMode() const
{
    return mUi->LoadNewFiles->isChecked();
}

bool SelectDataFiles::showLatest() const
{
    return mUi->ShowLatest->isChecked();
}

int SelectDataFiles::skipText() const
{
    return mUi->Skip->text().toInt();
}

int SelectDataFiles::cutFirstText() const
{
    return mUi->CutFirst->text().toInt();
}

int SelectDataFiles::cutLastText() const
{
    return mUi->CutLast->text().toInt();
}

void SelectDataFiles::newImageSelected(int i)
{
    if (mUi->ShowLatest->isChecked())
        emit currentIndexChanged(i);
}

void SelectDataFiles::clearFiles()
{
    mUi->Selected->clear();
    mUi->Count->setText(QString::number(mUi->Selected->count()));
    mNamesWithEnergy = 0;
    mNamesWithoutEnergy = 0;
}

void SelectDataFiles::prev()
{
    const int index = mUi->Selected->currentIndex();
    if (index > 0)
        mUi->Selected->setCurrentIndex(index - 1);
}

void SelectDataFiles::next()
{
    const int index = mUi->Selected->currentIndex();
    if (index < mUi->Selected->count() - 1)
        mUi->Selected->setCurrentIndex(index + 1);
}

void SelectDataFiles::select(int idx)
{
    if (idx >= 0 && idx < mUi->Selected->count())
        mUi->Selected->setCurrentIndex(idx);
}

void SelectDataFiles::setSkip(int skip)
{
    mUi->Skip->setText(QString::number(skip));
}

void SelectDataFiles::setCutF(int cutF)
{
    mUi->CutFirst->setText(QString::number(cutF));
}

void SelectDataFiles::setCutL(int cutL)
{
    mUi->CutLast->setText(QString::number(cutL));
}

void SelectDataFiles::setShowLatest(bool f)
{
    mUi->ShowLatest->setChecked(f);
}

void SelectDataFiles::setEngByName(bool f)
{
    mEnergySetup->setEngByName(f);
}

void SelectDataFiles::setEngByCalc(bool f)
{
    mEnergySetup->setEngByCalc(f);
}

void SelectDataFiles::setEngCalcStart(double start)
{
    mEnergySetup->setEngCalcStart(start);
}

void SelectDataFiles::setEngCalcDelta(double delta)
{
    mEnergySetup->setEngCalcDelta(delta);
}

void SelectDataFiles::setEngCalcEnd(double end)
{
    mEnergySetup->setEngCalcEnd(end);
}

void SelectDataFiles::setEngCalcNum(int num)
{
    mEnergySetup->setEngCalcNum(num);
}

void SelectDataFiles::setEvenInEng(bool f)
{
    mEnergySetup->setEvenInEng(f);
}

void SelectDataFiles::setEvenInDeg(bool f)
{
    mEnergySetup->setEvenInDeg(f);
}

void SelectDataFiles::setDispUnit(int idx)
{
    mEnergySetup->setDispUnit(idx);
}

void SelectDataFiles::setEngByNameRegExp(QString pattern)
{
    mEnergySetup->setEngByNameRegExp(pattern);
}

void SelectDataFiles::setEngByNameFactor(double factor)
{
    mEnergySetup->setEngByNameFactor(factor);
}

void SelectDataFiles::setEngByRef(QString fname)
{
    mEnergySetup->setEngByRef(fname);
}
