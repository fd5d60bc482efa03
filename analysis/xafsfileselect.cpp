#include "xafsfileselect.h"

#include "app/dataroot.h"
#include "spectra/xafsspectrum.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString fieldStyle = QStringLiteral("background-color: rgb(253, 255, 225);");
const QString failedFieldStyle = QStringLiteral("background-color: rgb(255, 214, 214);");

} // namespace

XafsFileSelect::XafsFileSelect(QWidget *parent)
    : QFrame(parent)
{
    setWindowTitle(tr("XAFS File Select"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    auto *row = new QHBoxLayout;
    grid->addLayout(row, 0, 0);

    mUse = new QCheckBox(this);
    mUse->setChecked(true);
    mUse->hide();
    mSelected = new QLineEdit(this);
    mSelected->setReadOnly(true);
    mSelected->setStyleSheet(fieldStyle);
    mSelect = new QPushButton(tr("Select"), this);
    // The button has no action of its own; clear() empties the field.
    mClear = new QPushButton(tr("Clear"), this);
    row->addWidget(mUse);
    row->addWidget(mSelected, 1);
    row->addWidget(mSelect);
    row->addWidget(mClear);

    connect(mUse, &QCheckBox::toggled, this, &XafsFileSelect::changedUse);
    connect(mSelect, &QPushButton::clicked, this, [this] { fileDialog()->show(); });
}

QFileDialog *XafsFileSelect::fileDialog()
{
    if (!mDialog) {
        mDialog = new QFileDialog(this, tr("XAFS File Select"), dataRoot());
        mDialog->setFileMode(QFileDialog::ExistingFile);
        mDialog->setAcceptMode(QFileDialog::AcceptOpen);
        mDialog->setNameFilters({tr("XAFS Data File (*.dat)"), tr("Any Files (* *.*)")});
        connect(mDialog, &QFileDialog::fileSelected, this, &XafsFileSelect::fileSelected);
    }
    return mDialog;
}

bool XafsFileSelect::use() const
{
    return mUse->isChecked();
}

QString XafsFileSelect::selectedFile() const
{
    return mSelected->text();
}

void XafsFileSelect::setSelectText(const QString &text)
{
    mSelect->setText(text);
}

void XafsFileSelect::load(QString fname)
{
    mFileChosen = true;
    mSelected->setText(fname);
    emit newFile(fname);
}

QString XafsFileSelect::showRead(const XafsSpectrum &spectrum, const QString &fname)
{
    QString failure;
    if (spectrum.readOutcome == XafsSpectrum::CannotOpen)
        failure = tr("Cannot read %1: %2").arg(fname, spectrum.readError);
    else if (spectrum.readOutcome == XafsSpectrum::NoPoints)
        failure = tr("No spectrum points in %1").arg(fname);
    if (!failure.isEmpty()) {
        mSelected->clear();
        mSelected->setPlaceholderText(failure);
        mSelected->setToolTip(failure);
        mSelected->setStyleSheet(failedFieldStyle);
        return failure;
    }
    mSelected->setPlaceholderText(QString());
    mSelected->setToolTip(fname);
    mSelected->setStyleSheet(fieldStyle);
    if (spectrum.readOutcome == XafsSpectrum::ReadSorted)
        return tr("The energies in %1 do not rise: its points were sorted by energy").arg(fname);
    return QString();
}

void XafsFileSelect::fileSelected(QString fname)
{
    load(fname);
}

void XafsFileSelect::clear()
{
    mSelected->clear();
}

void XafsFileSelect::setUse(bool f)
{
    mUse->setChecked(f);
}

void XafsFileSelect::showUse(bool f)
{
    mUse->setVisible(f);
}
