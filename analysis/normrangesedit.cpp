#include "normrangesedit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

NormRangesEdit::NormRangesEdit(QWidget *parent)
    : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    const auto field = [this, row](const QString &name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        // Wide enough for "-1000.5" whatever the window leaves to the row.
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-1000.55")) + 12);
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row->addWidget(edit);
        connect(edit, &QLineEdit::editingFinished, this, &NormRangesEdit::fieldEdited);
        return edit;
    };
    row->addWidget(new QLabel(tr("Pre-edge"), this));
    mPreStart = field(QStringLiteral("PreStart"));
    row->addWidget(new QLabel(tr("to"), this));
    mPreEnd = field(QStringLiteral("PreEnd"));
    row->addWidget(new QLabel(tr("Post-edge"), this));
    mPostStart = field(QStringLiteral("PostStart"));
    row->addWidget(new QLabel(tr("to"), this));
    mPostEnd = field(QStringLiteral("PostEnd"));
    row->addWidget(new QLabel(tr("eV"), this));
    row->addStretch();
    setToolTip(tr("Normalisation ranges in eV around the edge: the pre-edge and post-edge base "
                  "lines are fitted over them, and E0 is searched between them"));
    showRanges();
}

void NormRangesEdit::setRanges(const NormRanges &ranges)
{
    mRanges = ranges;
    showRanges();
}

void NormRangesEdit::showRanges()
{
    mPreStart->setText(QString::number(mRanges.preStart, 'g', 6));
    mPreEnd->setText(QString::number(mRanges.preEnd, 'g', 6));
    mPostStart->setText(QString::number(mRanges.postStart, 'g', 6));
    mPostEnd->setText(QString::number(mRanges.postEnd, 'g', 6));
}

void NormRangesEdit::fieldEdited()
{
    NormRanges typed;
    typed.preStart = mPreStart->text().toDouble();
    typed.preEnd = mPreEnd->text().toDouble();
    typed.postStart = mPostStart->text().toDouble();
    typed.postEnd = mPostEnd->text().toDouble();
    if (!typed.isSound() || typed == mRanges) {
        showRanges();
        return;
    }
    mRanges = typed;
    showRanges();
    emit rangesEdited(mRanges);
}
