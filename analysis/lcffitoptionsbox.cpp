#include "lcffitoptionsbox.h"
#include "ui_lcffitoptionsbox.h"

#include "batch/batchcommands.h"
#include "batch/commandregistry.h"

#include <QComboBox>
#include <QStringList>

LCFFitOptionsBox::LCFFitOptionsBox(QWidget *parent)
    : QGroupBox(parent)
    , mUi(new Ui::LCFFitOptionsBox)
{
    mUi->setupUi(this);
    mUi->BestSubset->setMaximum(LCFFitOptions::maxBestSubset);
    connect(mUi->Constraint,
            QOverload<int>::of(&QComboBox::currentIndexChanged),
            this,
            &LCFFitOptionsBox::optionsChanged);
    connect(mUi->BestSubset,
            QOverload<int>::of(&QSpinBox::valueChanged),
            this,
            &LCFFitOptionsBox::optionsChanged);
    connect(mUi->FitRange, &QCheckBox::toggled, this, &LCFFitOptionsBox::optionsChanged);
    connect(mUi->FitMin, &QLineEdit::editingFinished, this, &LCFFitOptionsBox::optionsChanged);
    connect(mUi->FitMax, &QLineEdit::editingFinished, this, &LCFFitOptionsBox::optionsChanged);
}

LCFFitOptionsBox::~LCFFitOptionsBox()
{
    delete mUi;
}

LCFFitOptions LCFFitOptionsBox::options() const
{
    LCFFitOptions options;
    options.constraint = mUi->Constraint->currentIndex();
    options.fitRange = mUi->FitRange->isChecked();
    options.fitMin = mUi->FitMin->text().toDouble();
    options.fitMax = mUi->FitMax->text().toDouble();
    options.bestSubset = mUi->BestSubset->value();
    return options;
}

int LCFFitOptionsBox::constraintOf(const QString &name)
{
    return QStringList{QStringLiteral("none"),
                       QStringLiteral("nonneg"),
                       QStringLiteral("sum1"),
                       QStringLiteral("both")}
        .indexOf(name.toLower());
}

void LCFFitOptionsBox::setConstraint(int constraint)
{
    if (constraint >= 0 && constraint < mUi->Constraint->count())
        mUi->Constraint->setCurrentIndex(constraint);
}

void LCFFitOptionsBox::setFitRange(bool on, double min, double max)
{
    mUi->FitMin->setText(QString::number(min, 'g', 6));
    mUi->FitMax->setText(QString::number(max, 'g', 6));
    mUi->FitRange->setChecked(on);
    emit optionsChanged();
}

void LCFFitOptionsBox::setBestSubset(int k)
{
    mUi->BestSubset->setValue(k);
}

void LCFFitOptionsBox::showQuality(double rFactor, double redChi2)
{
    mUi->FitQuality->setText(
        tr("R-factor: %1, reduced chi-square: %2").arg(rFactor, 0, 'g', 4).arg(redChi2, 0, 'g', 4));
}

void LCFFitOptionsBox::registerCommands(CommandRegistry &commands,
                                        const std::function<void(const QString &)> &report)
{
    commands.add(
        QStringLiteral("analyzer_set_LCF_constraint"),
        AnalyzerSetLCFConstraint,
        [this, report](const CmdLine &cmd) {
            const int constraint = constraintOf(cmd.arg(0));
            if (constraint < 0)
                report(tr("Constraint not known: %1 (none, nonneg, sum1 or both)").arg(cmd.arg(0)));
            else
                setConstraint(constraint);
        });
    commands.add(QStringLiteral("analyzer_set_fit_range"),
                 AnalyzerSetFitRange,
                 [this, report](const CmdLine &cmd) {
                     if (cmd.arg(0).toLower() == QLatin1String("off")) {
                         const LCFFitOptions now = options();
                         setFitRange(false, now.fitMin, now.fitMax);
                         return;
                     }
                     bool minOk = false;
                     bool maxOk = false;
                     const double min = cmd.arg(0).toDouble(&minOk);
                     const double max = cmd.arg(1).toDouble(&maxOk);
                     if (!minOk || !maxOk || !(min < max))
                         report(tr("Fit range needs off or EMIN EMAX with EMIN < EMAX"));
                     else
                         setFitRange(true, min, max);
                 });
    commands.add(QStringLiteral("analyzer_set_best_subset"),
                 AnalyzerSetBestSubset,
                 [this, report](const CmdLine &cmd) {
                     bool ok = false;
                     const int k = cmd.arg(0).toInt(&ok);
                     if (!ok || k < 0 || k > LCFFitOptions::maxBestSubset)
                         report(tr("Best subset needs a size from 0 (off) to %1")
                                    .arg(LCFFitOptions::maxBestSubset));
                     else
                         setBestSubset(k);
                 });
}
