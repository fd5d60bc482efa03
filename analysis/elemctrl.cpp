#include "elemctrl.h"

#include "analysis/analyzed2dres.h"
#include "spectra/victoreentable.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

QString tip(const QString &text)
{
    return QStringLiteral("<html><head/><body>%1</body></html>").arg(text);
}

QString number(double v)
{
    return QString::number(v, 'g', 6);
}

const char *const mapSuffixes[ElemCtrl::MapKinds] = {"0", "N", "MP", "MM", "DE", "ROI", "NROI"};

} // namespace

ElemCtrl::ElemCtrl(QWidget *parent)
    : QFrame(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto label
        = [this, layout](const QString &text) { layout->addWidget(new QLabel(text, this)); };
    mMainTarget = new QRadioButton(tr("Target"), this);
    mMainTarget->setObjectName(QStringLiteral("MainTarget"));
    layout->addWidget(mMainTarget);
    mName = addEdit("Name", QStringLiteral("H"), QString());
    mName->setReadOnly(true);
    mNo = addEdit("No", QStringLiteral("1"), QString());
    mNo->setReadOnly(true);
    mEng = addEdit("Eng", QStringLiteral("0.0"), tip(tr("<p>Expected Absorption Edge.</p>")));
    label(tr("Pre/Post dE"));
    mPrePostDE = addEdit("PrePostDE",
                         QStringLiteral("20"),
                         tip(tr("<p>dmut is calculated as mu(E0+dE) - mu(E0-dE).</p>")));
    label(tr("dmut"));
    mDMutEdit = addEdit("DMuT", QString(), QString());
    mDMutEdit->setReadOnly(true);
    label(tr("Ratio"));
    mRatioEdit = addEdit("Ratio",
                         QStringLiteral("1.0"),
                         tip(tr("<p>Relative strength of the dmut against the dmut of selecte "
                                "element as Target.</p>")));
    label(tr("dE"));
    mDE = addEdit("DE",
                  QString(),
                  tip(tr("<p>Position of the absorption edge, where the mut is ( mu(E0+dE) + "
                         "mu(E0-dE) ) / 2.</p>")));
    label(tr("ROI"));
    mROIs = addEdit("ROIs", QStringLiteral("7000"), tip(tr("<p>Start position of the ROI.</p>")));
    mROIe = addEdit("ROIe", QStringLiteral("7005"), tip(tr("<p>End position of the ROI.</p>")));
    label(tr("Th dmut"));
    mThDMut = addEdit("ThDMut",
                      QStringLiteral("0.1"),
                      tip(tr("<p>Threshold value of the dmut.</p><p>When the dmut is less than "
                             "the Threshold, most of the values (ROI, dmut,...) is set at BG "
                             "Val.</p>")));
    mNoNeg = new QCheckBox(tr("No Neg"), this);
    mNoNeg->setObjectName(QStringLiteral("NoNeg"));
    mNoNeg->setChecked(true);
    mNoNeg->setToolTip(tip(tr(
        "<p>When the ROI is negative, the BG value is used instead of the calculated one.</p>")));
    layout->addWidget(mNoNeg);
    mROI = addEdit("ROI", QString(), tip(tr("<p>ROI Value</p>")));
    mNROI = addEdit(
        "NROI", QString(), tip(tr("<p>Normalized ROI value calculated as ROI / dmut.</p>")));
    label(tr("Std. Ratio"));
    mStdRatioEdit = addEdit("StdRatio", QStringLiteral("1.0"), QString());
    mUse = new QCheckBox(tr("Use"), this);
    mUse->setObjectName(QStringLiteral("Use"));
    layout->addWidget(mUse);
    mShow = new QRadioButton(tr("Show"), this);
    mShow->setObjectName(QStringLiteral("Show"));
    layout->addWidget(mShow);

    for (const char *suffix : mapSuffixes)
        mMaps << new Analyzed2DRes(QStringLiteral("Elem Ctrl %1").arg(QLatin1String(suffix)), this);
    connect(mStdRatioEdit, &QLineEdit::editingFinished, this, &ElemCtrl::newStdRatio);
}

QLineEdit *ElemCtrl::addEdit(const char *objectName, const QString &text, const QString &toolTip)
{
    auto *edit = new QLineEdit(text, this);
    edit->setObjectName(QLatin1String(objectName));
    edit->setToolTip(toolTip);
    edit->setMinimumWidth(72);
    edit->setMaximumWidth(80);
    layout()->addWidget(edit);
    return edit;
}

void ElemCtrl::setElement(const QString &symbol, const QString &edgeName, int z, int edge)
{
    mZ = z;
    mEdge = edge;
    mName->setText(QStringLiteral("%1-%2").arg(symbol, edgeName));
    for (int k = 0; k < MapKinds; ++k)
        mMaps.at(k)->setName(
            QStringLiteral("%1 Elem Ctrl %2").arg(mName->text(), QLatin1String(mapSuffixes[k])));
    mNo->setText(QString::number(z));
    mEng->setText(number(edgeEnergyEV(z, edge)));
}

QString ElemCtrl::name() const
{
    return mName->text();
}

ElemParams ElemCtrl::params() const
{
    ElemParams p;
    p.z = mZ;
    p.edge = mEdge;
    p.prePostDE = mPrePostDE->text().toDouble();
    p.roiStart = mROIs->text().toDouble();
    p.roiEnd = mROIe->text().toDouble();
    p.thDMut = mThDMut->text().toDouble();
    p.noNeg = mNoNeg->isChecked();
    p.use = mUse->isChecked();
    p.stdRatio = mStdRatio;
    return p;
}

void ElemCtrl::setResults(const ElemResults &results, int i)
{
    mDMut = results.values[ElemResults::DMut].value(i);
    mRatio = results.values[ElemResults::Ratio].value(i);
    mMuPlus = results.values[ElemResults::MuPlus].value(i);
    mMuMinus = results.values[ElemResults::MuMinus].value(i);
    mHasElement = results.rawDMut.value(i) > params().thDMut;
    mDMutEdit->setText(number(mDMut));
    mRatioEdit->setText(number(mRatio));
    mDE->setText(number(results.values[ElemResults::EdgePos].value(i)));
    mROI->setText(number(results.values[ElemResults::Roi].value(i)));
    mNROI->setText(number(results.values[ElemResults::NRoi].value(i)));
}

void ElemCtrl::setPrePostDE(double dE)
{
    mPrePostDE->setText(number(dE));
}

void ElemCtrl::setROI(double start, double end)
{
    mROIs->setText(number(start));
    mROIe->setText(number(end));
}

void ElemCtrl::setThDMut(double th)
{
    mThDMut->setText(number(th));
}

void ElemCtrl::setNoNeg(bool f)
{
    mNoNeg->setChecked(f);
}

void ElemCtrl::setUse(bool f)
{
    mUse->setChecked(f);
}

void ElemCtrl::setStdRatio(double ratio)
{
    mStdRatio = ratio;
    mStdRatioEdit->setText(number(ratio));
}

void ElemCtrl::newStdRatio()
{
    setStdRatio(mStdRatioEdit->text().toDouble());
}
