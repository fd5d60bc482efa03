#pragma once

#include <QString>
#include <QVector>

// The rule that gives an image its X-ray energy in eV when it arrives: read from the file
// name by a regular expression, calculated from the file's index (evenly spaced in energy or
// in monochromator angle), or taken from a list of angles read from a reference file.
class EnergyAssignment
{
public:
    enum Method { FromFileName, FromFileNum, FromRefFile };
    enum Unit { UnitEV = 0, UnitKeV = 1, UnitDeg = 2 };

    // nameWithoutEnergy, when given, tells whether the energy was to come from the name and
    // the pattern found none there, so that the file got its index.
    double energyOf(const QString &fileName, int fNo, bool *nameWithoutEnergy = nullptr) const;

    // The value the pattern finds in the name (underscores read as decimal points, "eV" and
    // "keV" dropped), fNo without a match; times the factor when that is positive.
    static double energyFromName(const QString &fileName,
                                 int fNo,
                                 const QString &pattern,
                                 double factor,
                                 bool *matched = nullptr);
    double energyByCalculation(int fNo) const;
    double energyFromReference(int fNo) const;

    // "1000" for patterns that read keV, "1" otherwise.
    static QString factorTextFor(const QString &pattern);
    // The end and the step that keep end = start + points * step after an edit.
    static double endFor(double start, double delta, int points) { return start + points * delta; }
    static double deltaFor(double start, double end, int points) { return (end - start) / points; }

    // Reads the angles of a reference file (one per image, plain columns or the 9809 layout)
    // as energies. False, with the list untouched, when the file cannot be opened or holds an
    // angle that is not a number or gives no finite energy.
    static bool readReferenceFile(const QString &fname, QVector<double> *energies);

    Method method = FromFileName;
    Unit unit = UnitEV;
    bool evenInEnergy = false;
    double start = 8000.0;
    double delta = 1.0;
    double end = 9000.0;
    int numOfPoints = 1000;
    QString pattern;
    double factor = 1.0;
    QVector<double> refEnergies;
};
