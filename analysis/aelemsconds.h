#pragma once

#include "analysis/elemanalysis.h"

#include <QFrame>

class QLineEdit;

// The conditions of the element analysis: the background values written instead of the
// measured ones for elements whose jump is below their threshold.
class AElemsConds : public QFrame
{
    Q_OBJECT

public:
    // The values in the order of their fields: dmut, dmut-Ratio, dE, ROI, NROI.
    enum Value { DMut, DMutRatio, DE, Roi, NRoi, Values };

    explicit AElemsConds(QWidget *parent = nullptr);

    // The values as typed (0 for text that is not a number).
    ElemBackgrounds backgrounds() const;
    void setValue(Value which, double v);

private:
    QLineEdit *mEdits[Values];
};
