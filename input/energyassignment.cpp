#include "energyassignment.h"

#include "input/bragg.h"

#include <QDebug>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>

double EnergyAssignment::energyOf(const QString &fileName, int fNo, bool *nameWithoutEnergy) const
{
    if (nameWithoutEnergy)
        *nameWithoutEnergy = false;
    switch (method) {
    case FromFileName: {
        bool matched = false;
        const double energy = energyFromName(fileName, fNo, pattern, factor, &matched);
        if (nameWithoutEnergy)
            *nameWithoutEnergy = !matched;
        return energy;
    }
    case FromRefFile:
        return energyFromReference(fNo);
    case FromFileNum:
        break;
    }
    return energyByCalculation(fNo);
}

double EnergyAssignment::energyFromName(
    const QString &fileName, int fNo, const QString &pattern, double factor, bool *matched)
{
    const QRegularExpression expression(pattern);
    double value = fNo;
    const QRegularExpressionMatch match
        = expression.isValid() ? expression.match(fileName) : QRegularExpressionMatch();
    if (match.hasMatch()) {
        QString text = match.captured(0).toUpper();
        text.replace(QLatin1Char('_'), QLatin1Char('.'));
        text.remove(QLatin1String("KEV"));
        text.remove(QLatin1String("EV"));
        value = text.toDouble();
    }
    if (matched)
        *matched = match.hasMatch();
    if (factor > 0.0)
        value *= factor;
    return value;
}

double EnergyAssignment::energyByCalculation(int fNo) const
{
    const double m = start + fNo * delta;
    const double unitFactor = unit == UnitKeV ? 1000.0 : 1.0;
    if (unit == UnitDeg)
        return Bragg::energyOf(m);
    if (evenInEnergy)
        return m * unitFactor;
    const double angleStart = Bragg::angleOf(start * unitFactor);
    const double angleEnd = Bragg::angleOf(end * unitFactor);
    return Bragg::energyOf(angleStart + (angleEnd - angleStart) / numOfPoints * fNo);
}

double EnergyAssignment::energyFromReference(int fNo) const
{
    if (refEnergies.isEmpty())
        return 8000.0 + fNo;
    return refEnergies.at(qBound(0, fNo, refEnergies.size() - 1));
}

QString EnergyAssignment::factorTextFor(const QString &pattern)
{
    return pattern.toUpper().contains(QLatin1String("KEV")) ? QStringLiteral("1000")
                                                            : QStringLiteral("1");
}

bool EnergyAssignment::readReferenceFile(const QString &fname, QVector<double> *energies)
{
    QFile file(fname);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qDebug().noquote() << "Can't open ref file" << fname;
        return false;
    }
    QTextStream in(&file);
    const QStringList first = in.readLine().simplified().split(QLatin1Char(' '));
    // The 9809 layout has a header up to the "Offset" line and the angle in its second column.
    const bool is9809 = first.value(0) == QLatin1String("9809");
    const QString marker = is9809 ? QStringLiteral("Offset") : QString();
    const int angleColumn = is9809 ? 1 : 0;

    qDebug() << "reading simple";
    // Skipping a bad line would give every later image the energy of its neighbour: a file
    // with an angle that is not a number (or no finite energy) is refused whole.
    QVector<double> read;
    bool inData = marker.isEmpty();
    QString line;
    int lineNumber = 1;
    while (in.readLineInto(&line)) {
        ++lineNumber;
        const QString simplified = line.simplified();
        if (!inData) {
            inData = simplified.startsWith(marker);
            continue;
        }
        if (line.startsWith(QLatin1Char('#')))
            continue;
        // Blank lines have no columns at all (and so no angle).
        const QStringList items = simplified.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (angleColumn >= items.size())
            continue;
        bool ok = false;
        const double energy = Bragg::energyOf(items.at(angleColumn).toDouble(&ok));
        if (!ok || !std::isfinite(energy)) {
            qDebug().noquote() << QStringLiteral("Bad angle in ref file %1 at line %2: %3")
                                      .arg(fname)
                                      .arg(lineNumber)
                                      .arg(line.left(80));
            return false;
        }
        read.append(energy);
    }
    *energies = read;
    return true;
}
