#include "stackalignpanel.h"

#include "calib/shiftplot.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

StackAlignPanel::StackAlignPanel(QWidget *parent)
    : QWidget(parent)
    , mReference(new QSpinBox)
    , mChain(new QCheckBox(tr("Chained")))
    , mGradient(new QCheckBox(tr("Gradient")))
    , mUpsample(new QSpinBox)
    , mI0Mode(new QComboBox)
    , mArea(new QLineEdit)
    , mAlign(new QPushButton(tr("Align Stack")))
    , mStop(new QPushButton(tr("Stop")))
    , mProgress(new QProgressBar)
    , mTableView(new QTableWidget(0, 5))
    , mPlot(new ShiftPlot)
    , mMethod(new QComboBox)
    , mLoadTarget(new QComboBox)
{
    mReference->setObjectName(QStringLiteral("AlignReference"));
    mReference->setRange(-1, 99999);
    mReference->setValue(-1);
    mReference->setSpecialValueText(tr("Highest energy"));
    mUpsample->setObjectName(QStringLiteral("AlignUpsample"));
    mUpsample->setRange(1, 1000);
    mUpsample->setValue(100);
    mI0Mode->addItems({tr("Same shifts"), tr("Own registration"), tr("Not aligned")});
    mArea->setPlaceholderText(tr("x y width height (empty: whole image)"));
    mMethod->addItems({tr("Bilinear"), tr("Fourier")});
    mLoadTarget->addItems({QStringLiteral("I1"), QStringLiteral("I0")});
    mTableView->setHorizontalHeaderLabels(
        {tr("Image"), tr("Energy (eV)"), tr("dx"), tr("dy"), tr("Quality")});
    mTableView->verticalHeader()->hide();
    mTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mStop->setEnabled(false);

    auto *form = new QFormLayout;
    form->addRow(tr("Reference"), mReference);
    form->addRow(tr("Upsampling"), mUpsample);
    form->addRow(tr("I0"), mI0Mode);
    form->addRow(tr("Area"), mArea);
    auto *boxes = new QHBoxLayout;
    boxes->addWidget(mChain);
    boxes->addWidget(mGradient);
    auto *run = new QHBoxLayout;
    run->addWidget(mAlign);
    run->addWidget(mStop);
    run->addWidget(mProgress);
    auto *apply = new QHBoxLayout;
    auto *applyButton = new QPushButton(tr("Apply Sub-pixel Shifts"));
    apply->addWidget(mMethod);
    apply->addWidget(applyButton);
    auto *files = new QHBoxLayout;
    auto *save = new QPushButton(tr("Save Table"));
    auto *load = new QPushButton(tr("Load Table"));
    files->addWidget(save);
    files->addWidget(load);
    files->addWidget(mLoadTarget);

    auto *group = new QGroupBox(tr("Stack Alignment"));
    auto *column = new QVBoxLayout(group);
    column->addLayout(form);
    column->addLayout(boxes);
    column->addLayout(run);
    column->addWidget(mTableView, 1);
    column->addWidget(mPlot);
    column->addLayout(apply);
    column->addLayout(files);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(group);

    connect(mAlign, &QPushButton::clicked, this, &StackAlignPanel::alignRequested);
    connect(mStop, &QPushButton::clicked, this, &StackAlignPanel::stopRequested);
    connect(applyButton, &QPushButton::clicked, this, &StackAlignPanel::confirmSubpixel);
    connect(save, &QPushButton::clicked, this, [this] {
        const QString name = QFileDialog::getSaveFileName(this, tr("Save Shift Table"));
        if (!name.isEmpty())
            emit saveRequested(name);
    });
    connect(load, &QPushButton::clicked, this, [this] {
        const QString name = QFileDialog::getOpenFileName(this, tr("Load Shift Table"));
        if (!name.isEmpty())
            emit loadRequested(name, mLoadTarget->currentIndex());
    });
}

StackRegistration::Settings StackAlignPanel::settings() const
{
    StackRegistration::Settings settings;
    settings.reference = mReference->value();
    settings.chain = mChain->isChecked();
    settings.options.gradient = mGradient->isChecked();
    settings.options.upsample = mUpsample->value();
    const QStringList numbers = mArea->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (numbers.size() == 4) {
        settings.area = QRect(numbers.at(0).toInt(),
                              numbers.at(1).toInt(),
                              numbers.at(2).toInt(),
                              numbers.at(3).toInt());
    }
    return settings;
}

StackAlignPanel::I0Mode StackAlignPanel::i0Mode() const
{
    return I0Mode(mI0Mode->currentIndex());
}

void StackAlignPanel::setI0Mode(I0Mode mode)
{
    mI0Mode->setCurrentIndex(mode);
}

void StackAlignPanel::setArea(const QRect &area)
{
    mArea->setText(area.isEmpty() ? QString()
                                  : QStringLiteral("%1 %2 %3 %4")
                                        .arg(area.x())
                                        .arg(area.y())
                                        .arg(area.width())
                                        .arg(area.height()));
}

void StackAlignPanel::setTable(const ShiftTable &table)
{
    mTableView->setRowCount(table.rows.size());
    for (int i = 0; i < table.rows.size(); ++i) {
        const ShiftTable::Row &row = table.rows.at(i);
        const QStringList cells = {QString::number(row.image),
                                   QString::number(row.energy, 'f', 2),
                                   row.ok ? QString::number(row.dx, 'f', 2) : QStringLiteral("-"),
                                   row.ok ? QString::number(row.dy, 'f', 2) : QStringLiteral("-"),
                                   row.ok ? QString::number(row.quality, 'g', 4) : row.error};
        for (int column = 0; column < cells.size(); ++column)
            mTableView->setItem(i, column, new QTableWidgetItem(cells.at(column)));
    }
    mPlot->setTable(table);
}

void StackAlignPanel::setProgress(int done, int total)
{
    mProgress->setRange(0, qMax(total, 1));
    mProgress->setValue(done);
}

void StackAlignPanel::setRunning(bool running)
{
    mAlign->setEnabled(!running);
    mStop->setEnabled(running);
}

void StackAlignPanel::confirmSubpixel()
{
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this,
        tr("Apply Sub-pixel Shifts"),
        tr("The samples of the images are resampled in place. This cannot be undone except by "
           "loading the images again. Apply the sub-pixel shifts?"));
    if (answer == QMessageBox::Yes)
        emit applySubpixelRequested(SubpixelShift::Method(mMethod->currentIndex()));
}
