#pragma once

#include "analysis/lcfreferencedata.h"
#include "spectra/xafsspectrum.h"

#include <QFrame>
#include <QString>
#include <QVector>

class Analyzed2DRes;
class QAbstractButton;
class XafsFileSelect;

namespace Ui {
class LCFReference;
}

// One reference spectrum row of the analyser: its file, energy shift, base-line form and
// normalisation ranges, its
// edge jump and energy, the fraction and dmut of the last fit and the button that shows its
// result map. It owns the spectrum and its three result maps (dmut, fraction and the standard
// error of its fitted coefficient).
class LCFReference : public QFrame
{
    Q_OBJECT

public:
    explicit LCFReference(QWidget *parent = nullptr);
    ~LCFReference() override;

    XafsFileSelect *fileSelect() const;
    QAbstractButton *showButton() const;
    XafsSpectrum *spectrum() { return &mSpectrum; }
    double coefficient() const { return mCoefficient; }
    // The use box is checked and a file has been chosen and read.
    bool isUsed() const;
    // Why the chosen file could not be read; empty when it was read or none was chosen.
    QString readFailure() const { return mReadFailure; }
    // How the reference is normalised: its base-line form and ranges.
    Background background() const;
    // Sets the form and ranges and normalises the spectrum again.
    void setBackground(const Background &background);
    void setRanges(const NormRanges &ranges);
    // What a fit needs of this reference, copied for the worker.
    LCFReferenceData data() const;
    // Map of kind 0 (dmut), 1 (fraction) or 2 (standard error); the first one for other kinds.
    Analyzed2DRes *map(int kind) const;
    int mapCount() const { return mMaps.size(); }

    // Shows a fit result: the fraction (also stored as the coefficient) in percent, the dmut.
    void setRatio(double x);
    void setDMut(double x);

signals:
    void newFileSelected();
    void newDeltaE();
    // The spectrum was normalised again with a new form or new ranges.
    void normalizationChanged();
    // Something the message line should say about the file read: why it could not be read,
    // or that its points were sorted.
    void messageIssued(const QString &message);

public slots:
    void newFile(QString fname);
    void changedUse(bool f);
    void editedDeltaE();
    void toggledIsVictreen(bool f);
    // Reads fname as the reference with the given use, shift and base-line form: isVic empty
    // or "VIC" (any case), or a number above 0, means Victoreen.
    void setStd(bool use, double dE, QString fname, QString isVic);

private:
    void setShift(double dE);
    void normalizeSpectrum();

    Ui::LCFReference *mUi;
    XafsSpectrum mSpectrum;
    double mCoefficient = 0.0;
    QString mReadFailure;
    QVector<Analyzed2DRes *> mMaps;
};
