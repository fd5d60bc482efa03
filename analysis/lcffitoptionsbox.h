#pragma once

#include "analysis/lcffitoptions.h"

#include <QGroupBox>

#include <functional>

class CommandRegistry;

namespace Ui {
class LCFFitOptionsBox;
}

// The analyser's controls for how LCF / MLCF fits are made (a constraint on the reference
// components, an energy range around each spectrum's E0, the best subset of the references)
// and the read-out of the cursor fit's quality. Its batch commands are registered here.
class LCFFitOptionsBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit LCFFitOptionsBox(QWidget *parent = nullptr);
    ~LCFFitOptionsBox() override;

    // The options as the controls set them.
    LCFFitOptions options() const;
    // The constraint of a batch argument: none, nonneg, sum1 or both; -1 for anything else.
    static int constraintOf(const QString &name);

    // Registers analyzer_set_LCF_constraint, analyzer_set_fit_range and
    // analyzer_set_best_subset; a wrong argument goes to report.
    void registerCommands(CommandRegistry &commands,
                          const std::function<void(const QString &)> &report);

public slots:
    void setConstraint(int constraint);
    void setFitRange(bool on, double min, double max);
    void setBestSubset(int k);
    // Shows the R-factor and reduced chi-square of the last fit of the cursor spectrum.
    void showQuality(double rFactor, double redChi2);

signals:
    // A control has changed: the shown spectrum is to be fitted again.
    void optionsChanged();

private:
    Ui::LCFFitOptionsBox *mUi;
};
