#pragma once

#include "output/savedatasettings.h"

#include <QFrame>

class CommandRegistry;

namespace Ui {
class SaveDataCfg;
}

// The save-data window: whether result maps are saved as 16-bit TIFF (with their scale and
// size) or as text (separator and layout).
class SaveDataCfg : public QFrame
{
    Q_OBJECT

public:
    explicit SaveDataCfg(QWidget *parent = nullptr);
    ~SaveDataCfg() override;

    // The choices as they stand; numbers that do not read as numbers give 0.
    SaveDataSettings settings() const;
    // The saveDataCfg_ batch commands.
    void registerCommands(CommandRegistry &commands);

signals:
    // "Save All Results (HDF5)" was clicked.
    void saveResultsRequested();

public slots:
    void toggledSaveAs(bool f);
    void setSaveAsTiff();
    void setSaveAsText();
    void setSaveTiffScaleFixed(bool f);
    void setSaveTiffScaleMin(double min);
    void setSaveTiffScaleMax(double max);
    void setSaveTiffAsAnalyzed(bool f);
    void setSaveTextAsCSV();
    void setSaveTextAsSSV();
    void setSaveTextAsXYVal();
    void setSaveTextAsValValVal();

private:
    Ui::SaveDataCfg *mUi;
};
