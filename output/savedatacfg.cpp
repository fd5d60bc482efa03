#include "savedatacfg.h"
#include "ui_savedatacfg.h"

#include <QPushButton>

#include "batch/batchcommands.h"
#include "batch/commandregistry.h"
#include "display/showinfront.h"

#include <QDebug>

SaveDataCfg::SaveDataCfg(QWidget *parent)
    : QFrame(parent)
    , mUi(new Ui::SaveDataCfg)
{
    mUi->setupUi(this);
    connect(mUi->SaveResultsH5, &QPushButton::clicked, this, &SaveDataCfg::saveResultsRequested);
    connect(mUi->SaveAsTiff, &QRadioButton::toggled, this, &SaveDataCfg::toggledSaveAs);
    toggledSaveAs(mUi->SaveAsTiff->isChecked());
}

void SaveDataCfg::registerCommands(CommandRegistry &commands)
{
    commands.add(QStringLiteral("saveDataCfg_show_window"),
                 SaveDataCfgShowWindow,
                 [this](const CmdLine &) { showInFront(this); });
    commands.add(QStringLiteral("saveDataCfg_save_as_tiff"),
                 SaveDataCfgSaveAsTiff,
                 [this](const CmdLine &) { setSaveAsTiff(); });
    commands.add(QStringLiteral("saveDataCfg_save_as_text"),
                 SaveDataCfgSaveAsText,
                 [this](const CmdLine &) { setSaveAsText(); });
    commands.add(QStringLiteral("saveDataCfg_tiff_fix_scale"),
                 SaveDataCfgTiffFixScale,
                 [this](const CmdLine &cmd) { setSaveTiffScaleFixed(cmd.flagArg(0)); });
    commands.add(QStringLiteral("saveDataCfg_tiff_scale_min"),
                 SaveDataCfgTiffScaleMin,
                 [this](const CmdLine &cmd) { setSaveTiffScaleMin(cmd.arg(0).toDouble()); });
    commands.add(QStringLiteral("saveDataCfg_tiff_scale_max"),
                 SaveDataCfgTiffScaleMax,
                 [this](const CmdLine &cmd) { setSaveTiffScaleMax(cmd.arg(0).toDouble()); });
    commands.add(QStringLiteral("saveDataCfg_tiff_as_analyzed"),
                 SaveDataCfgTiffAsAnalyzed,
                 [this](const CmdLine &cmd) { setSaveTiffAsAnalyzed(cmd.flagArg(0)); });
    commands.add(QStringLiteral("saveDataCfg_text_as_csv"),
                 SaveDataCfgTextAsCsv,
                 [this](const CmdLine &) { setSaveTextAsCSV(); });
    commands.add(QStringLiteral("saveDataCfg_text_as_ssv"),
                 SaveDataCfgTextAsSsv,
                 [this](const CmdLine &) { setSaveTextAsSSV(); });
    commands.add(QStringLiteral("saveDataCfg_text_as_xyz"),
                 SaveDataCfgTextAsXyz,
                 [this](const CmdLine &) { setSaveTextAsXYVal(); });
    commands.add(QStringLiteral("saveDataCfg_text_as_vals"),
                 SaveDataCfgTextAsVals,
                 [this](const CmdLine &) { setSaveTextAsValValVal(); });
}

SaveDataCfg::~SaveDataCfg()
{
    delete mUi;
}

SaveDataSettings SaveDataCfg::settings() const
{
    SaveDataSettings s;
    s.asTiff = mUi->SaveAsTiff->isChecked();
    s.fixedScale = mUi->TiffFixedScale->isChecked();
    s.scaleMin = mUi->TiffScaleMin->text().toDouble();
    s.scaleMax = mUi->TiffScaleMax->text().toDouble();
    s.asAnalyzed = mUi->TiffAsAnalyzed->isChecked();
    s.commaSeparated = mUi->DataCommaSeparated->isChecked();
    s.xyVal = mUi->DataXYVal->isChecked();
    return s;
}

void SaveDataCfg::toggledSaveAs(bool f)
{
    mUi->TiffCfg->setEnabled(f);
    mUi->TextCfg->setEnabled(!f);
}

void SaveDataCfg::setSaveAsTiff()
{
    qDebug() << "setting save as tiff";
    mUi->SaveAsTiff->setChecked(true);
}

void SaveDataCfg::setSaveAsText()
{
    qDebug() << "setting save as text";
    mUi->SaveAsTextData->setChecked(true);
}

void SaveDataCfg::setSaveTiffScaleFixed(bool f)
{
    mUi->TiffFixedScale->setChecked(f);
}

void SaveDataCfg::setSaveTiffScaleMin(double min)
{
    mUi->TiffScaleMin->setText(QString::number(min, 'g', 6));
}

void SaveDataCfg::setSaveTiffScaleMax(double max)
{
    mUi->TiffScaleMax->setText(QString::number(max, 'g', 6));
}

void SaveDataCfg::setSaveTiffAsAnalyzed(bool f)
{
    mUi->TiffAsAnalyzed->setChecked(f);
}

void SaveDataCfg::setSaveTextAsCSV()
{
    mUi->DataCommaSeparated->setChecked(true);
}

void SaveDataCfg::setSaveTextAsSSV()
{
    mUi->DataSpaceSeparated->setChecked(true);
}

void SaveDataCfg::setSaveTextAsXYVal()
{
    mUi->DataXYVal->setChecked(true);
}

void SaveDataCfg::setSaveTextAsValValVal()
{
    mUi->DataValValVal->setChecked(true);
}
