#pragma once

#include "input/energyassignment.h"

#include <QFrame>

class QFileDialog;

namespace Ui {
class EngOfFilesSetup;
}

// Energy setup window of one file selector: how an arriving image gets its energy (from its
// name, by calculation from its index, or from a reference file of angles).
class EOFSetup : public QFrame
{
    Q_OBJECT

public:
    explicit EOFSetup(QWidget *parent = nullptr);
    ~EOFSetup() override;

    // Energy in eV of the image read from fileName, the fNo-th file of its list;
    // nameWithoutEnergy as EnergyAssignment::energyOf() gives it.
    double energyOf(const QString &fileName, int fNo, bool *nameWithoutEnergy = nullptr) const;
    // The rule as the window's fields give it now.
    EnergyAssignment assignment() const;
    const QVector<double> &refEnergies() const { return mRefEnergies; }
    // The patterns of the list, other than the one in use, that find an energy in every name.
    QStringList patternsFindingEnergyIn(const QStringList &names) const;
    // Shows the offer to reload with one of the patterns; hides it when there are none.
    void offerReload(const QStringList &patterns);

    void setEngByName(bool f);
    void setEngByCalc(bool f);
    void setEngCalcStart(double start);
    void setEngCalcDelta(double delta);
    void setEngCalcEnd(double end);
    void setEngCalcNum(int num);
    void setEvenInEng(bool f);
    void setEvenInDeg(bool f);
    void setDispUnit(int idx);
    void setEngByNameRegExp(const QString &pattern);
    void setEngByNameFactor(double factor);
    void setEngByRef(const QString &fname);

signals:
    // The user took the offer: the images are to be read again with this pattern.
    void reloadWithPattern(QString pattern);

public slots:
    void newStart();
    void newDelta();
    void newEnd();
    void newNumOfPoints();
    void newPattern();
    void newPatternSelected(QString pattern);
    void refFileSelected(QString fname);

private:
    Ui::EngOfFilesSetup *mUi;
    QFileDialog *mRefFileDialog;
    QVector<double> mRefEnergies;
};
