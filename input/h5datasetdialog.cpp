#include "h5datasetdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString shapeText(const QVector<qint64> &shape)
{
    QStringList sizes;
    for (qint64 size : shape)
        sizes << QString::number(size);
    return QLatin1Char('(') + sizes.join(QStringLiteral(", ")) + QLatin1Char(')');
}

// Fills a choice with the datasets of the given ranks and selects the first of `preferred`
// that is among them.
void fill(QComboBox *box,
          const QVector<H5Source::DatasetInfo> &datasets,
          QVector<int> ranks,
          bool optional,
          const QStringList &preferred)
{
    if (optional)
        box->addItem(H5DatasetDialog::tr("(none)"), QStringLiteral("-"));
    for (const H5Source::DatasetInfo &dataset : datasets) {
        if (ranks.contains(dataset.shape.size()))
            box->addItem(dataset.path + QLatin1Char(' ') + shapeText(dataset.shape), dataset.path);
    }
    for (const QString &path : preferred) {
        const int index = box->findData(path);
        if (index >= 0) {
            box->setCurrentIndex(index);
            return;
        }
    }
}

} // namespace

H5DatasetDialog::H5DatasetDialog(const QString &file,
                                 const QVector<H5Source::DatasetInfo> &datasets,
                                 QWidget *parent)
    : QDialog(parent)
    , mSample(new QComboBox(this))
    , mFlat(new QComboBox(this))
    , mEnergy(new QComboBox(this))
    , mDark(new QComboBox(this))
{
    setWindowTitle(tr("HDF5 Datasets: %1").arg(QFileInfo(file).fileName()));
    auto *table = new QTableWidget(datasets.size(), 3, this);
    table->setHorizontalHeaderLabels({tr("Dataset"), tr("Shape"), tr("Type")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    for (int row = 0; row < datasets.size(); ++row) {
        const H5Source::DatasetInfo &dataset = datasets.at(row);
        table->setItem(row, 0, new QTableWidgetItem(dataset.path));
        table->setItem(row, 1, new QTableWidgetItem(shapeText(dataset.shape)));
        table->setItem(row, 2, new QTableWidgetItem(dataset.type));
    }
    table->resizeColumnsToContents();
    fill(mSample, datasets, {3}, false, {"/exchange/data", "/img_xanes"});
    fill(mFlat, datasets, {2, 3}, true, {"/exchange/data_white", "/img_bkg"});
    fill(mEnergy, datasets, {1}, true, {"/exchange/energy", "/X_eng"});
    fill(mDark, datasets, {2, 3}, true, {"/exchange/data_dark", "/img_dark"});

    auto *choices = new QFormLayout;
    choices->addRow(tr("Sample (I1)"), mSample);
    choices->addRow(tr("I0 / Flat"), mFlat);
    choices->addRow(tr("Energy"), mEnergy);
    choices->addRow(tr("Dark"), mDark);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(mSample->count() > 0);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addLayout(choices);
    layout->addWidget(buttons);
    resize(560, 420);
}

QStringList H5DatasetDialog::paths() const
{
    return {mSample->currentData().toString(),
            mFlat->currentData().toString(),
            mEnergy->currentData().toString(),
            mDark->currentData().toString()};
}
