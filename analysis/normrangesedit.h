#pragma once

#include "spectra/normranges.h"

#include <QWidget>

class QLineEdit;

// Four fields for the normalisation ranges of a spectrum, in eV relative to its edge: the
// pre-edge range and the post-edge range. Typed ranges that are not sound (a range without
// width, a pre-edge range reaching past the post-edge one) are put back to the last ones.
class NormRangesEdit : public QWidget
{
    Q_OBJECT

public:
    explicit NormRangesEdit(QWidget *parent = nullptr);

    NormRanges ranges() const { return mRanges; }
    // Shows ranges without emitting rangesEdited.
    void setRanges(const NormRanges &ranges);

signals:
    // The user has typed new, sound ranges.
    void rangesEdited(const NormRanges &ranges);

private:
    void fieldEdited();
    void showRanges();

    NormRanges mRanges;
    QLineEdit *mPreStart;
    QLineEdit *mPreEnd;
    QLineEdit *mPostStart;
    QLineEdit *mPostEnd;
};
