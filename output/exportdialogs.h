#pragma once

#include <QObject>

class ExportController;
class QFileDialog;
class QWidget;
class SaveDataCfg;

// The save dialogs of the main window's export buttons: each leads the chosen file name to its
// export.
class ExportDialogs : public QObject
{
    Q_OBJECT

public:
    ExportDialogs(ExportController *exporter, const SaveDataCfg *config, QWidget *parent);

public slots:
    // The shown map or image as data, in the form the saved-data configuration chooses.
    void askData();
    void askImage();
    // The spectra of the selected area.
    void askSpectra();
    // Every result map with the settings, in one HDF5 file.
    void askResults();

private:
    const SaveDataCfg *mConfig;
    QFileDialog *mData;
    QFileDialog *mImage;
    QFileDialog *mSpectra;
    QFileDialog *mResults;
};
