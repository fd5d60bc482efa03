#include "lcffit.h"

#include "spectra/linearsolver.h"

#include <QDebug>

#include <cmath>

namespace {

// A derived spectrum of a reference read at an energy; a NaN energy is reported and read all
// the same.
double referenceValue(const Spectrum &derived, double energy)
{
    if (std::isnan(energy))
        qDebug() << "nan EeV in XafsSpectrum::doubleNormalizedPreBase";
    return derived.valueAt(energy);
}

// The sample energies [lo, hi] that every used reference covers, its shift taken off.
void fitRange(const QVector<const LCFReferenceData *> &used, double *lo, double *hi)
{
    *lo = 0.0;
    *hi = 1e100;
    for (const LCFReferenceData *reference : used) {
        const QVector<QPointF> &points = reference->spectrum.points;
        if (points.isEmpty())
            continue;
        double first = points.first().x();
        double last = first;
        for (const QPointF &point : points) {
            first = qMin(first, point.x());
            last = qMax(last, point.x());
        }
        *lo = qMax(*lo, first - reference->shift);
        *hi = qMin(*hi, last - reference->shift);
    }
}

} // namespace

bool lcfFittable(const XafsSpectrum &sample, int referenceCount)
{
    return !sample.isEmpty() && referenceCount >= 2;
}

LCFFit fitLCF(const XafsSpectrum &sample,
              const QVector<LCFReferenceData> &references,
              bool mlcf,
              bool storedCoefficients)
{
    LCFFit fit;
    QVector<const LCFReferenceData *> used;
    for (int j = 0; j < references.size(); ++j) {
        if (references.at(j).used) {
            used.append(&references.at(j));
            fit.used.append(j);
        }
    }
    const int n = used.size();
    fit.ratios.fill(0.0, n);
    fit.dmuts.fill(0.0, n);
    if (!lcfFittable(sample, references.size()))
        return fit;
    fit.done = true;

    double lo;
    double hi;
    fitRange(used, &lo, &hi);
    const auto energyOf = [&sample](int i) { return sample.xAt(i) - sample.eOrigin; };
    const auto basisOf = [&](int j, double energy) {
        const XafsSpectrum &reference = used.at(j)->spectrum;
        return referenceValue(mlcf ? reference.doubleNormPostBase : reference.doubleNormPreBase,
                              energy + used.at(j)->shift);
    };

    // LCF: the references alone; MLCF: a constant and a slope before them.
    const int first = mlcf ? 2 : 0;
    const int m = n + first;
    QVector<QVector<double>> normal(m, QVector<double>(m, 0.0));
    QVector<double> rhs(m, 0.0);
    QVector<double> basis(m, 0.0);
    for (int i = 0; i < sample.size(); ++i) {
        const double energy = energyOf(i);
        if (energy < lo || energy > hi)
            continue;
        double target;
        if (mlcf) {
            basis[0] = 1.0;
            basis[1] = energy;
            target = sample.yAt(i);
        } else {
            if (i >= sample.doubleNormPreBase.size())
                continue;
            target = sample.doubleNormPreBase.yAt(i);
        }
        for (int j = 0; j < n; ++j)
            basis[first + j] = basisOf(j, energy);
        for (int k = 0; k < m; ++k) {
            for (int l = 0; l < m; ++l)
                normal[k][l] += basis.at(k) * basis.at(l);
            rhs[k] += basis.at(k) * target;
        }
    }
    const QVector<double> solution = solveLinear(normal, rhs);

    if (mlcf) {
        double sum = 0.0;
        for (int j = 0; j < n; ++j)
            sum += solution.value(first + j);
        for (int j = 0; j < n; ++j) {
            const double dmut = qMax(solution.value(first + j), 0.0);
            fit.dmuts[j] = dmut;
            // Components that sum to nothing or less give no fractions.
            fit.ratios[j] = sum > 0.0 ? dmut / sum : 0.0;
        }
    } else {
        const double jump = qMax(sample.jump, 0.0);
        for (int j = 0; j < n; ++j) {
            fit.ratios[j] = solution.value(j);
            fit.dmuts[j] = solution.value(j) * jump;
        }
    }
    for (int j = 0; j < n; ++j) {
        if (!std::isfinite(fit.ratios.at(j)) || !std::isfinite(fit.dmuts.at(j))) {
            qDebug() << "Fit of reference" << fit.used.at(j) + 1
                     << "is not a finite number and is taken as 0";
            fit.ratios[j] = std::isfinite(fit.ratios.at(j)) ? fit.ratios.at(j) : 0.0;
            fit.dmuts[j] = std::isfinite(fit.dmuts.at(j)) ? fit.dmuts.at(j) : 0.0;
        }
    }

    Spectrum fitted;
    for (int i = 0; i < sample.size(); ++i) {
        const double energy = energyOf(i);
        if (energy < lo || energy > hi)
            continue;
        double value = 0.0;
        for (int j = 0; j < n; ++j) {
            const double weight = storedCoefficients ? used.at(j)->coefficient : fit.ratios.at(j);
            // A reference without weight adds nothing, even where it is not finite.
            if (weight != 0.0)
                value += weight
                         * referenceValue(used.at(j)->spectrum.doubleNormPreBase,
                                          energy + used.at(j)->shift);
        }
        fitted.append(energy, value);
    }
    fit.fitted = XafsSpectrum(fitted, 0, 0.0);
    return fit;
}
