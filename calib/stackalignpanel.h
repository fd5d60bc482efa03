#pragma once

#include "calib/shifttable.h"
#include "calib/stackregistration.h"
#include "calib/subpixelshift.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class ShiftPlot;

// The stack registration section of the alignment window: the settings, the start and stop
// buttons with the progress, the shift table with its plot against energy, and the buttons
// that apply the sub-pixel shifts and save or load the table. Reads and shows only; the
// alignment controller does the work.
class StackAlignPanel : public QWidget
{
    Q_OBJECT

public:
    enum I0Mode { I0Same, I0Own, I0None };

    explicit StackAlignPanel(QWidget *parent = nullptr);

    StackRegistration::Settings settings() const;
    I0Mode i0Mode() const;
    void setI0Mode(I0Mode mode);
    void setArea(const QRect &area);
    void setTable(const ShiftTable &table);
    void setProgress(int done, int total);
    void setRunning(bool running);

signals:
    void alignRequested();
    void stopRequested();
    void applySubpixelRequested(SubpixelShift::Method method);
    void saveRequested(const QString &fileName);
    // stack: 0 for I1, 1 for I0.
    void loadRequested(const QString &fileName, int stack);

private:
    void confirmSubpixel();

    QSpinBox *mReference;
    QCheckBox *mChain;
    QCheckBox *mGradient;
    QSpinBox *mUpsample;
    QComboBox *mI0Mode;
    QLineEdit *mArea;
    QPushButton *mAlign;
    QPushButton *mStop;
    QProgressBar *mProgress;
    QTableWidget *mTableView;
    ShiftPlot *mPlot;
    QComboBox *mMethod;
    QComboBox *mLoadTarget;
};
