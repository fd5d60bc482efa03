#include "lcfreference.h"
#include "ui_lcfreference.h"

#include "analysis/analyzed2dres.h"
#include "analysis/normrangesedit.h"
#include "analysis/xafsfileselect.h"

LCFReference::LCFReference(QWidget *parent)
    : QFrame(parent)
    , mUi(new Ui::LCFReference)
{
    mUi->setupUi(this);
    mSpectrum.shiftOn = true;
    // Children of this row: they go with it.
    mMaps << new Analyzed2DRes(QStringLiteral("LCF Ref 1"), this)
          << new Analyzed2DRes(QStringLiteral("LCF Ref 2"), this)
          << new Analyzed2DRes(QStringLiteral("LCF Ref 3"), this);

    XafsFileSelect *select = mUi->FileSelect;
    connect(select, &XafsFileSelect::newFile, this, &LCFReference::newFile);
    connect(select, &XafsFileSelect::changedUse, this, &LCFReference::changedUse);
    connect(mUi->DeltaE, &QLineEdit::editingFinished, this, &LCFReference::editedDeltaE);
    connect(mUi->IsVictreen, &QCheckBox::toggled, this, &LCFReference::toggledIsVictreen);
    connect(mUi->Ranges, &NormRangesEdit::rangesEdited, this, [this] {
        normalizeSpectrum();
        emit normalizationChanged();
    });
    select->showUse(true);
    editedDeltaE();
}

LCFReference::~LCFReference()
{
    delete mUi;
}

XafsFileSelect *LCFReference::fileSelect() const
{
    return mUi->FileSelect;
}

QAbstractButton *LCFReference::showButton() const
{
    return mUi->Show;
}

bool LCFReference::isUsed() const
{
    // A file that could not be read leaves the spectrum empty: there is nothing to fit with.
    return mUi->FileSelect->use() && mUi->FileSelect->fileChosen() && !mSpectrum.isEmpty();
}

Background LCFReference::background() const
{
    return {mUi->IsVictreen->isChecked() ? 1 : 0, mUi->Ranges->ranges()};
}

void LCFReference::setBackground(const Background &background)
{
    mUi->Ranges->setRanges(background.ranges);
    // Toggling the box normalises the spectrum again.
    if (mUi->IsVictreen->isChecked() != (background.victoreen != 0)) {
        mUi->IsVictreen->setChecked(background.victoreen != 0);
        return;
    }
    normalizeSpectrum();
    emit normalizationChanged();
}

void LCFReference::setRanges(const NormRanges &ranges)
{
    if (ranges == mUi->Ranges->ranges())
        return;
    mUi->Ranges->setRanges(ranges);
    normalizeSpectrum();
    emit normalizationChanged();
}

LCFReferenceData LCFReference::data() const
{
    LCFReferenceData data;
    data.spectrum = mSpectrum;
    data.used = isUsed();
    data.shift = mSpectrum.shiftOn ? mSpectrum.dE : 0.0;
    data.coefficient = mCoefficient;
    return data;
}

Analyzed2DRes *LCFReference::map(int kind) const
{
    return kind >= 0 && kind < mMaps.size() ? mMaps.at(kind) : mMaps.first();
}

void LCFReference::setRatio(double x)
{
    mCoefficient = x;
    mUi->R->setText(QString::asprintf("%5.2f", x * 100));
}

void LCFReference::setDMut(double x)
{
    mUi->T->setText(QString::number(x, 'g', 6));
}

void LCFReference::normalizeSpectrum()
{
    // The derived spectra stay on the file's own energies whatever the shift was when the file
    // was read: the fits add the shift when they read them.
    mSpectrum.shiftOn = false;
    mSpectrum.setRanges(mUi->Ranges->ranges());
    mSpectrum.normalize(mUi->IsVictreen->isChecked() ? 1 : 0);
    mSpectrum.shiftOn = true;
    if (mSpectrum.isEmpty())
        return;
    mUi->DMut->setText(QString::number(mSpectrum.jump, 'g', 6));
    mUi->MidE->setText(QString::number(mSpectrum.e0, 'g', 6));
}

void LCFReference::newFile(QString fname)
{
    // Nothing of an earlier file may stay behind when this one cannot be read.
    const int valid = mSpectrum.valid;
    const double dE = mSpectrum.dE;
    const double eOrigin = mSpectrum.eOrigin;
    mSpectrum = XafsSpectrum();
    mSpectrum.valid = valid;
    mSpectrum.shiftOn = true;
    mSpectrum.dE = dE;
    mSpectrum.eOrigin = eOrigin;
    const bool read = mSpectrum.readFile(fname);
    normalizeSpectrum();
    mUi->DMut->setText(QString::number(mSpectrum.jump, 'g', 6));
    mUi->MidE->setText(QString::number(mSpectrum.e0, 'g', 6));
    const QString message = mUi->FileSelect->showRead(mSpectrum, fname);
    mReadFailure = read ? QString() : message;
    emit newFileSelected();
    if (!message.isEmpty())
        emit messageIssued(message);
}

void LCFReference::changedUse(bool f)
{
    mSpectrum.valid = f;
}

void LCFReference::setShift(double dE)
{
    mSpectrum.dE = dE;
    mSpectrum.eOrigin = dE;
}

void LCFReference::editedDeltaE()
{
    setShift(mUi->DeltaE->text().toDouble());
    emit newDeltaE();
}

void LCFReference::toggledIsVictreen(bool f)
{
    Q_UNUSED(f)
    normalizeSpectrum();
    emit normalizationChanged();
}

void LCFReference::setStd(bool use, double dE, QString fname, QString isVic)
{
    const bool victoreen
        = isVic.isEmpty() || isVic.toUpper() == QLatin1String("VIC") || isVic.toInt() > 0;
    mUi->IsVictreen->setChecked(victoreen);
    mUi->FileSelect->load(fname);
    mUi->FileSelect->setUse(use);
    mSpectrum.valid = use;
    setShift(dE);
    mUi->DeltaE->setText(QString::number(dE, 'g', 6));
}
