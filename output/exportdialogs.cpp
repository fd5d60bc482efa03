#include "exportdialogs.h"

#include "app/dataroot.h"
#include "output/exportcontroller.h"
#include "output/savedatacfg.h"

#include <QFileDialog>

namespace {

QFileDialog *saveDialog(QWidget *parent)
{
    auto *dialog = new QFileDialog(parent);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDirectory(dataRoot());
    return dialog;
}

} // namespace

ExportDialogs::ExportDialogs(ExportController *exporter, const SaveDataCfg *config, QWidget *parent)
    : QObject(parent)
    , mConfig(config)
    , mData(saveDialog(parent))
    , mImage(saveDialog(parent))
    , mSpectra(saveDialog(parent))
    , mResults(saveDialog(parent))
{
    mResults->setNameFilters({tr("HDF5 File (*.h5)"), tr("Any Files (* *.*)")});
    mResults->setDefaultSuffix(QStringLiteral("h5"));
    connect(mResults, &QFileDialog::fileSelected, exporter, &ExportController::saveResultsH5);
    connect(config, &SaveDataCfg::saveResultsRequested, this, &ExportDialogs::askResults);
    mImage->setNameFilters({tr("Image File (*.png)"), tr("Any Files (* *.*)")});
    mSpectra->setNameFilters({tr("XAFS Spectra (*.dat)"), tr("Any Files (* *.*)")});
    connect(mData, &QFileDialog::fileSelected, exporter, &ExportController::saveData);
    connect(mImage, &QFileDialog::fileSelected, exporter, &ExportController::saveImage);
    connect(mSpectra, &QFileDialog::fileSelected, exporter, &ExportController::saveXafsSpectra);
}

void ExportDialogs::askData()
{
    const QString data
        = mConfig->settings().asTiff ? tr("Tiff File (*.tif)") : tr("Data File (*.dat)");
    mData->setNameFilters({data, tr("Any Files (* *.*)")});
    mData->show();
}

void ExportDialogs::askImage()
{
    mImage->show();
}

void ExportDialogs::askSpectra()
{
    mSpectra->show();
}

void ExportDialogs::askResults()
{
    mResults->show();
}
