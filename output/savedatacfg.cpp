#include "savedatacfg.h"
#include "ui_savedatacfg.h"

#include <QDebug>

SaveDataCfg::SaveDataCfg(QWidget *parent)
    : QFrame(parent)
    , mUi(new Ui::SaveDataCfg)
{
    mUi->setupUi(this);
    connect(mUi->SaveAsTiff, &QRadioButton::toggled, this, &SaveDataCfg::toggledSaveAs);
    toggledSaveAs(mUi->SaveAsTiff->isChecked());
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
