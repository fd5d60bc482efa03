#pragma once

#include "analysis/lcffitoptions.h"
#include "analysis/lcfreferencedata.h"
#include "spectra/linearsolver.h"

#include <QVector>

#include <vector>

// What fitting spectra against one set of references needs, worked out once: the used
// references, the energies they all cover, and, for spectra on a fixed energy grid without an
// energy origin, the references' values on that grid with the factored normal matrix. Fitting
// a spectrum then only sums its right-hand side. Every fit of the program goes through here,
// so a spectrum gives the same numbers on the grid as alone.
class LCFFitPlan
{
public:
    // Where a fit writes: usedCount() fractions, dmuts and standard errors of the fitted
    // coefficients (the fractions for LCF, the dmuts for MLCF; 0 for a reference held at a
    // bound, eliminated or left out of the chosen subset), and the fit's quality.
    struct Output
    {
        double *ratios = nullptr;
        double *dmuts = nullptr;
        // May be null.
        double *errors = nullptr;
        // Sum of squared residuals over that of the targets, over the points used.
        double rFactor = 0.0;
        // Sum of squared residuals over (points used - unknowns left free).
        double redChi2 = 0.0;
        // Bit j set: used reference j has a share in the fit.
        unsigned subset = 0;
    };

    LCFFitPlan() = default;
    // References in list order; mlcf chooses MLCF over LCF.
    LCFFitPlan(const QVector<LCFReferenceData> &references,
               bool mlcf,
               const LCFFitOptions &options = LCFFitOptions());

    // Prepares fits of spectra whose energies are these n values, with an energy origin of 0.
    void prepareGrid(const double *energies, int n);

    bool mlcf() const { return mMlcf; }
    const LCFFitOptions &options() const { return mOptions; }
    // References in the list (used or not), used ones, and their indices in the list.
    int referenceCount() const { return mReferences.size(); }
    int usedCount() const { return mUsedIndices.size(); }
    const QVector<int> &usedIndices() const { return mUsedIndices; }
    const LCFReferenceData &used(int j) const { return mReferences.at(mUsedIndices.at(j)); }
    // Sample energies (origin taken off) that every used reference covers.
    double low() const { return mLow; }
    double high() const { return mHigh; }
    // Reference j read at a sample energy (origin taken off), its shift applied; for MLCF the
    // double-normalised post-edge based spectrum, else the pre-edge based one.
    double basisValue(int j, double energy) const;

    // Fits the n points (energy[i] - eOrigin, target[i]) in the range; LCF reads only the
    // first targetCount targets (its double-normalised spectrum), MLCF all of them (raw
    // absorption). jump is the sample's edge jump (LCF dmuts), e0 its edge energy (0: none
    // found), read only for a fit range. Fractions and dmuts that are not defined (singular
    // system, MLCF components summing to 0 or less, no edge energy for a fit range) are NaN,
    // and the list index of the first such reference is returned, else -1.
    int fit(const double *energy,
            const double *target,
            int n,
            int targetCount,
            double eOrigin,
            double jump,
            double e0,
            Output &out) const;

    // The same for a normalised spectrum: its energies, its origin, jump and edge energy, and
    // as targets its raw absorption (MLCF) or its double-normalised spectrum (LCF).
    int fitSpectrum(const XafsSpectrum &sample, Output &out) const;

private:
    // Whether a sample on this plan's grid can use the grid's sums.
    bool onGrid(const double *energy, int n, double eOrigin) const;
    // The right-hand side of the normal equations of targets on the grid and, when squares is
    // given, the sum of the squared targets.
    void gridRightHandSide(const double *target, double *rhs, double *squares) const;
    // Solves the normal equations with the options into solution, variance (diagonal of the
    // inverse normal matrix, 0 for unknowns not left free) and the quality of out; returns the
    // unknowns left free, -1 when the fit is not defined.
    int solveWithOptions(const double *normal,
                         const double *rhs,
                         double yy,
                         int points,
                         double *solution,
                         double *variance,
                         Output &out) const;
    // Turns the solution of the normal equations into fractions and dmuts; returns as fit().
    int takeSolution(const double *solution, double jump, Output &out) const;
    // R-factor and reduced chi-square of a solution with free unknowns over points.
    void setQuality(const double *normal,
                    const double *rhs,
                    double yy,
                    int points,
                    int free,
                    const double *solution,
                    Output &out) const;

    QVector<LCFReferenceData> mReferences;
    QVector<int> mUsedIndices;
    bool mMlcf = false;
    LCFFitOptions mOptions;
    double mLow = 0.0;
    double mHigh = 1e100;
    // Unknowns: the references, after a constant and a slope for MLCF.
    int mFirst = 0;
    int mUnknowns = 0;

    // The grid: its energies, basis values (mUnknowns a point) of the points in range, and
    // the factored normal matrix over them.
    std::vector<double> mGridEnergies;
    std::vector<int> mGridPoints;
    std::vector<double> mGridBasis;
    LinearFactors mGridFactors;
    std::vector<double> mGridNormal;
    // Diagonal of the inverse of the grid's normal matrix.
    std::vector<double> mGridVariance;
};
