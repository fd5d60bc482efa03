#include "calibctrl.h"
#include "ui_calibctrl.h"

#include "analysis/normrangesedit.h"
#include "app/dataroot.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>

#include <cmath>

CalibCtrl::CalibCtrl(QWidget *parent)
    : QWidget(parent)
    , mUi(new Ui::CalibCtrl)
{
    mUi->setupUi(this);
    mUi->SelectStd->setSelectText(tr("Select Std."));
    const struct
    {
        const char *name;
        double spacing;
    } crystals[] = {{"Si(111)", 3.1355316},
                    {"Si(311)", 1.637478},
                    {"Si(333)", 1.0451772},
                    {"Ge(111)", 3.2663822},
                    {"Ge(333)", 1.0887941}};
    for (const auto &crystal : crystals)
        mUi->SelCrystal->addItem(QLatin1String(crystal.name), crystal.spacing);

    // The two pairs of radio buttons share a parent: each pair is a group of its own.
    auto *target = new QButtonGroup(this);
    target->addButton(mUi->TargetBGSimple);
    target->addButton(mUi->TargetBGVictreen);
    auto *standard = new QButtonGroup(this);
    standard->addButton(mUi->StdBGSimple);
    standard->addButton(mUi->StdBGVictreen);
    // Exclusive among all four until the groups existed, so only the last checked one stayed.
    mUi->TargetBGSimple->setChecked(true);

    connect(mUi->SelectStd, &XafsFileSelect::newFile, this, &CalibCtrl::newFile);
    connect(mUi->StdBGVictreen, &QRadioButton::toggled, this, &CalibCtrl::stdBGToggled);
    connect(mUi->TargetBGVictreen, &QRadioButton::toggled, this, [this] {
        emit targetBackgroundChanged();
    });
    connect(mUi->TargetRanges, &NormRangesEdit::rangesEdited, this, [this] {
        emit targetBackgroundChanged();
    });
    connect(mUi->StdRanges, &NormRangesEdit::rangesEdited, this, &CalibCtrl::renormalizeStd);
    connect(
        mUi->PresetK, &QPushButton::clicked, this, [this] { applyPreset(NormRanges::kEdge()); });
    connect(
        mUi->PresetL, &QPushButton::clicked, this, [this] { applyPreset(NormRanges::lEdge()); });
    connect(mUi->ExecCalib, &QPushButton::clicked, this, &CalibCtrl::execCalibration);
    connect(mUi->ClearMap, &QPushButton::clicked, this, &CalibCtrl::clearMap);
    connect(mUi->SaveMap, &QPushButton::clicked, this, [this] { mapDialog(true)->show(); });
    connect(mUi->LoadMap, &QPushButton::clicked, this, [this] { mapDialog(false)->show(); });
}

CalibCtrl::~CalibCtrl()
{
    delete mUi;
}

QFileDialog *CalibCtrl::mapDialog(bool save)
{
    auto *dialog = new QFileDialog(this, save ? tr("Save") : tr("Load"), dataRoot());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setNameFilters({tr("Energy Distribution Map File (*.emp)"), tr("Any Files (* *.*)")});
    connect(dialog, &QFileDialog::fileSelected, this, [this, save](const QString &name) {
        if (save)
            emit saveEMap(name);
        else
            emit loadEMap(name);
    });
    return dialog;
}

double CalibCtrl::spacing() const
{
    return mUi->SelCrystal->currentData().toDouble();
}

double CalibCtrl::edgeEV() const
{
    return mUi->EdgeEeV->text().toDouble();
}

QString CalibCtrl::stdFileName() const
{
    return mUi->SelectStd->selectedFile();
}

Background CalibCtrl::targetBackground() const
{
    return {mUi->TargetBGVictreen->isChecked() ? 1 : 0, mUi->TargetRanges->ranges()};
}

NormRanges CalibCtrl::stdRanges() const
{
    return mUi->StdRanges->ranges();
}

void CalibCtrl::setTargetRanges(const NormRanges &ranges)
{
    if (ranges == mUi->TargetRanges->ranges())
        return;
    mUi->TargetRanges->setRanges(ranges);
    emit targetBackgroundChanged();
}

void CalibCtrl::setStdRanges(const NormRanges &ranges)
{
    if (ranges == mUi->StdRanges->ranges())
        return;
    mUi->StdRanges->setRanges(ranges);
    renormalizeStd();
}

void CalibCtrl::applyPreset(const NormRanges &ranges)
{
    setTargetRanges(ranges);
    setStdRanges(ranges);
    emit presetApplied(ranges);
}

void CalibCtrl::showStats(double average, double min, double max, double sigma)
{
    mUi->DEAvr->setText(QString::number(average, 'g', 6));
    mUi->DEMin->setText(QString::number(min, 'g', 6));
    mUi->DEMax->setText(QString::number(max, 'g', 6));
    mUi->DESigma->setText(QString::number(sigma, 'g', 6));
}

void CalibCtrl::setRunning(bool running)
{
    mUi->ExecCalib->setText(running ? tr("Stop") : tr("Exec Calib."));
}

bool CalibCtrl::setCrystal(const QString &crystal)
{
    QComboBox *list = mUi->SelCrystal;
    int index = list->findText(crystal.trimmed(), Qt::MatchFixedString);
    if (index < 0) {
        bool ok = false;
        const double spacing = crystal.toDouble(&ok);
        if (!ok || !std::isfinite(spacing) || spacing <= 0.0)
            return false;
        // A spacing given to fewer digits than the list's still picks its crystal.
        for (int i = 0; i < list->count() && index < 0; ++i) {
            if (std::fabs(list->itemData(i).toDouble() - spacing) <= 5e-5 * spacing)
                index = i;
        }
        if (index < 0) {
            list->addItem(QStringLiteral("d = %1 \u00c5").arg(spacing, 0, 'g', 8), spacing);
            index = list->count() - 1;
        }
    }
    list->setCurrentIndex(index);
    return true;
}

void CalibCtrl::newFile(const QString &fname)
{
    mStd = XafsSpectrum();
    const bool wasLoaded = mStdLoaded;
    mStdLoaded = false;
    const bool read = mStd.readFile(fname);
    // The selector shows why a file could not be read, in place of its name.
    const QString message = mUi->SelectStd->showRead(mStd, fname);
    if (!read) {
        mStd = XafsSpectrum();
        // The standard read before is gone: the main window lets go of it too.
        if (wasLoaded)
            emit newStdFileLoaded();
        emit messageIssued(message);
        return;
    }
    mStd.isVictoreen = mUi->StdBGVictreen->isChecked() ? 1 : 0;
    mStd.setRanges(mUi->StdRanges->ranges());
    mStd.normalize(mStd.isVictoreen);
    mStdLoaded = true;
    mUi->EdgeEeV->setText(QString::number(mStd.e0, 'g', 6));
    emit newStdFileLoaded();
    if (!message.isEmpty())
        emit messageIssued(message);
}

void CalibCtrl::stdBGToggled(bool f)
{
    Q_UNUSED(f)
    renormalizeStd();
}

void CalibCtrl::renormalizeStd()
{
    if (!mStdLoaded)
        return;
    mStd.isVictoreen = mUi->StdBGVictreen->isChecked() ? 1 : 0;
    mStd.setRanges(mUi->StdRanges->ranges());
    mStd.normalize(mStd.isVictoreen);
    // The main window and the spectrum view hold copies of the standard.
    emit newStdFileLoaded();
}

void CalibCtrl::loadStd(const QString &fname)
{
    mUi->SelectStd->load(fname);
}

void CalibCtrl::setEdgeEV(const QString &eV)
{
    mUi->EdgeEeV->setText(eV);
}

void CalibCtrl::loadEShiftMap(const QString &fname)
{
    emit loadEMap(fname);
}
