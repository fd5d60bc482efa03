#pragma once

#include <QMetaType>

// How an LCF / MLCF fit is made beyond the plain least squares of the seed: constraints on the
// reference components, an energy range around each spectrum's edge, and the best subset of
// the references. Everything off by default, which gives the plain fit's numbers bit for bit.
struct LCFFitOptions
{
    // A ConstrainedLeastSquares::Constraint: none, non-negative, sum to one, or both.
    int constraint = 0;
    // Fit only the points whose energy lies within [e0 + fitMin, e0 + fitMax], e0 the
    // spectrum's edge energy, as well as in the references' common range.
    bool fitRange = false;
    double fitMin = -30.0;
    double fitMax = 70.0;
    // Fit every subset of 1 .. bestSubset used references and keep the one with the lowest
    // R-factor; 0 is off. At most maxBestSubset, over at most maxBestSubsetReferences.
    int bestSubset = 0;
    static constexpr int maxBestSubset = 4;
    static constexpr int maxBestSubsetReferences = 8;

    // Work out the fit-quality values (R-factor, reduced chi-square, standard errors); always
    // on in the program, off only to measure what they cost.
    bool quality = true;

    bool plain() const { return constraint == 0 && !fitRange && bestSubset == 0; }
};

Q_DECLARE_METATYPE(LCFFitOptions)
