#include "lcffit.h"

#include "analysis/lcffitplan.h"

#include <QDebug>

#include <cmath>

LCFFit fitLCF(const XafsSpectrum &sample,
              const QVector<LCFReferenceData> &references,
              bool mlcf,
              bool storedCoefficients,
              const LCFFitOptions &options)
{
    const LCFFitPlan plan(references, mlcf, options);
    LCFFit fit;
    fit.used = plan.usedIndices();
    const int n = plan.usedCount();
    fit.ratios.fill(0.0, n);
    fit.dmuts.fill(0.0, n);
    fit.errors.fill(0.0, n);
    if (!lcfFittable(sample, references.size()))
        return fit;
    fit.done = true;

    LCFFitPlan::Output out;
    out.ratios = fit.ratios.data();
    out.dmuts = fit.dmuts.data();
    out.errors = fit.errors.data();
    const int notFinite = plan.fitSpectrum(sample, out);
    if (notFinite >= 0)
        qDebug() << "Fit of reference" << notFinite + 1 << "is not defined";
    fit.rFactor = out.rFactor;
    fit.redChi2 = out.redChi2;
    fit.subset = out.subset;

    // The fitted spectrum weighs the references' double-normalised spectra; the residual is
    // the sample's double-normalised spectrum less it.
    Spectrum fitted;
    Spectrum residual;
    const Spectrum &normalised = sample.doubleNormPreBase;
    for (int i = 0; i < sample.size(); ++i) {
        const double energy = sample.xAt(i) - sample.eOrigin;
        if (energy < plan.low() || energy > plan.high())
            continue;
        double value = 0.0;
        for (int j = 0; j < n; ++j) {
            const LCFReferenceData &reference = plan.used(j);
            const double weight = storedCoefficients ? reference.coefficient : fit.ratios.at(j);
            // A reference without weight adds nothing, even where it is not finite.
            if (weight != 0.0 && std::isfinite(weight))
                value += weight
                         * reference.spectrum.doubleNormPreBase.valueAt(energy + reference.shift);
        }
        fitted.append(energy, value);
        if (i < normalised.size())
            residual.append(energy, normalised.yAt(i) - value);
    }
    // Straight base lines over the sample's ranges.
    fit.fitted = XafsSpectrum(fitted, Background(0, sample.ranges()), 0.0);
    fit.residual = residual;
    return fit;
}
