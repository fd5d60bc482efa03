#include "aelemsconds.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

AElemsConds::AElemsConds(QWidget *parent)
    : QFrame(parent)
{
    setWindowTitle(tr("Analyze Elems Conditions"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("BG Values : "), this));
    const QString labels[Values] = {tr("dmut"), tr("dmut-Ratio"), tr("dE"), tr("ROI"), tr("NROI")};
    const char *const names[Values] = {"BGVDMut", "BGVDMutR", "BGVDE", "BGVROI", "BGVNROI"};
    for (int k = 0; k < Values; ++k) {
        layout->addWidget(new QLabel(labels[k], this));
        mEdits[k] = new QLineEdit(QStringLiteral("-1"), this);
        mEdits[k]->setObjectName(QLatin1String(names[k]));
        mEdits[k]->setMaximumWidth(60);
        layout->addWidget(mEdits[k]);
    }
    layout->addStretch();
}

ElemBackgrounds AElemsConds::backgrounds() const
{
    ElemBackgrounds bg;
    bg.dmut = mEdits[DMut]->text().toDouble();
    bg.dmutRatio = mEdits[DMutRatio]->text().toDouble();
    bg.dE = mEdits[DE]->text().toDouble();
    bg.roi = mEdits[Roi]->text().toDouble();
    bg.nroi = mEdits[NRoi]->text().toDouble();
    return bg;
}

void AElemsConds::setValue(Value which, double v)
{
    mEdits[which]->setText(QString::number(v, 'g', 6));
}
