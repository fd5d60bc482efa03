#pragma once

#include "analysis/lcffitoptions.h"
#include "analysis/lcfreferencedata.h"
#include "spectra/xafsspectrum.h"

#include <QMetaType>
#include <QVector>

// The result of fitting one spectrum against the reference spectra: one fraction and one
// absorption jump (dmut) per used reference, in list order, and the fitted spectrum.
struct LCFFit
{
    // False when there was nothing to fit: an empty spectrum or fewer than two references.
    // ratios and dmuts then hold a 0 for every used reference.
    bool done = false;
    // Index in the reference list of the reference that each fraction belongs to.
    QVector<int> used;
    QVector<double> ratios;
    QVector<double> dmuts;
    // Standard errors of the fitted coefficients (fractions for LCF, dmuts for MLCF).
    QVector<double> errors;
    double rFactor = 0.0;
    double redChi2 = 0.0;
    // Bit j set: used reference j has a share in the fit.
    unsigned subset = 0;
    XafsSpectrum fitted;
    // The sample's double-normalised spectrum less the fitted one, at the fitted energies.
    Spectrum residual;
};

Q_DECLARE_METATYPE(LCFFit)

// Whether there is anything to fit: a spectrum (stored or seen in place) with points and at
// least two references.
template<typename Sample>
bool lcfFittable(const Sample &sample, int referenceCount)
{
    return !sample.isEmpty() && referenceCount >= 2;
}

// Fits sample against the used references by linear least squares over the energies that
// every used reference covers.
// LCF: the sample's double-normalised (pre-edge based) spectrum is a weighted sum of those of
// the references; the weights are the fractions, and dmut = fraction * the sample's jump.
// MLCF: the sample's raw absorption is a straight line plus a weighted sum of the references'
// double-normalised post-edge based spectra; the weights are the dmuts (negative ones set to
// 0) and the fractions are the dmuts over their sum.
// The fitted spectrum weighs the references' double-normalised spectra by the new fractions,
// or by their stored coefficients when storedCoefficients is set; the residual is the
// sample's double-normalised spectrum less that. Fractions and dmuts that
// are not defined are NaN; such references add nothing to the fitted spectrum.
LCFFit fitLCF(const XafsSpectrum &sample,
              const QVector<LCFReferenceData> &references,
              bool mlcf,
              bool storedCoefficients,
              const LCFFitOptions &options = LCFFitOptions());
