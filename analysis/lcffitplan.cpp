#include "lcffitplan.h"

#include "spectra/constrainedleastsquares.h"

#include <QDebug>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

LCFFitPlan::LCFFitPlan(const QVector<LCFReferenceData> &references,
                       bool mlcf,
                       const LCFFitOptions &options)
    : mReferences(references)
    , mMlcf(mlcf)
    , mOptions(options)
{
    for (int j = 0; j < mReferences.size(); ++j) {
        if (mReferences.at(j).used)
            mUsedIndices.append(j);
    }
    mFirst = mlcf ? 2 : 0;
    mUnknowns = mFirst + usedCount();
    // The sample energies that every used reference covers, its shift taken off.
    for (int j = 0; j < usedCount(); ++j) {
        const QVector<QPointF> &points = used(j).spectrum.points;
        if (points.isEmpty())
            continue;
        double first = points.first().x();
        double last = first;
        for (const QPointF &point : points) {
            first = qMin(first, point.x());
            last = qMax(last, point.x());
        }
        mLow = qMax(mLow, first - used(j).shift);
        mHigh = qMin(mHigh, last - used(j).shift);
    }
}

double LCFFitPlan::basisValue(int j, double energy) const
{
    if (std::isnan(energy))
        qDebug() << "nan EeV in XafsSpectrum::doubleNormalizedPreBase";
    const XafsSpectrum &reference = used(j).spectrum;
    return (mMlcf ? reference.doubleNormPostBase : reference.doubleNormPreBase)
        .valueAt(energy + used(j).shift);
}

void LCFFitPlan::prepareGrid(const double *energies, int n)
{
    const int m = mUnknowns;
    mGridEnergies.assign(energies, energies + n);
    mGridPoints.clear();
    mGridBasis.clear();
    std::vector<double> normal(size_t(m) * m, 0.0);
    for (int i = 0; i < n; ++i) {
        const double energy = energies[i] - 0.0;
        if (energy < mLow || energy > mHigh)
            continue;
        mGridPoints.push_back(i);
        const size_t at = mGridBasis.size();
        mGridBasis.resize(at + m);
        double *basis = mGridBasis.data() + at;
        if (mMlcf) {
            basis[0] = 1.0;
            basis[1] = energy;
        }
        for (int j = 0; j < usedCount(); ++j)
            basis[mFirst + j] = basisValue(j, energy);
        for (int k = 0; k < m; ++k) {
            for (int l = 0; l < m; ++l)
                normal[size_t(k) * m + l] += basis[k] * basis[l];
        }
    }
    mGridFactors = LinearFactors(normal.data(), m);
    mGridNormal = normal;
    mGridVariance.assign(size_t(m), 0.0);
    std::vector<double> unit(size_t(m), 0.0);
    std::vector<double> column(size_t(m), 0.0);
    for (int k = 0; k < m; ++k) {
        unit[size_t(k)] = 1.0;
        mGridFactors.solve(unit.data(), column.data());
        mGridVariance[size_t(k)] = column[size_t(k)];
        unit[size_t(k)] = 0.0;
    }
}

bool LCFFitPlan::onGrid(const double *energy, int n, double eOrigin) const
{
    if (mGridFactors.size() != mUnknowns || eOrigin != 0.0 || n != int(mGridEnergies.size()))
        return false;
    // The grid's sums hold for exactly the energies they were made from, bit for bit.
    return n == 0 || std::memcmp(energy, mGridEnergies.data(), sizeof(double) * size_t(n)) == 0;
}

int LCFFitPlan::fit(const double *energy,
                    const double *target,
                    int n,
                    int targetCount,
                    double eOrigin,
                    double jump,
                    double e0,
                    Output &out) const
{
    const int m = mUnknowns;
    // Few unknowns: the sums stay on the stack.
    constexpr int maxOnStack = 16;
    double rhsStore[maxOnStack];
    double solutionStore[maxOnStack];
    double varianceStore[maxOnStack];
    std::vector<double> rhsHeap;
    std::vector<double> solutionHeap;
    std::vector<double> varianceHeap;
    double *rhs = rhsStore;
    double *solution = solutionStore;
    double *variance = varianceStore;
    if (m > maxOnStack) {
        rhsHeap.resize(m);
        solutionHeap.resize(m);
        varianceHeap.resize(m);
        rhs = rhsHeap.data();
        solution = solutionHeap.data();
        variance = varianceHeap.data();
    }
    std::fill(rhs, rhs + m, 0.0);
    std::fill(variance, variance + m, 0.0);

    const auto undefined = [&]() {
        std::fill(solution, solution + m, notANumber);
        out.rFactor = out.redChi2 = notANumber;
        out.subset = 0;
        if (out.errors)
            std::fill(out.errors, out.errors + usedCount(), notANumber);
        return takeSolution(solution, jump, out);
    };
    // A fit range needs the spectrum's edge energy.
    if (mOptions.fitRange && e0 == 0.0)
        return undefined();
    double yy = 0.0;
    int points = 0;
    int free = m;
    if (!mOptions.fitRange && onGrid(energy, n, eOrigin) && (mMlcf || targetCount >= n)) {
        const bool quality = mOptions.quality || !mOptions.plain();
        gridRightHandSide(target, rhs, quality ? &yy : nullptr);
        points = int(mGridPoints.size());
        // Fewer points than unknowns determine no fit.
        if (points < m)
            return undefined();
        if (!quality) {
            mGridFactors.solve(rhs, solution);
            return takeSolution(solution, jump, out);
        }
        if (mOptions.plain()) {
            mGridFactors.solve(rhs, solution);
            std::copy(mGridVariance.cbegin(), mGridVariance.cend(), variance);
            setQuality(mGridNormal.data(), rhs, yy, points, free, solution, out);
        } else {
            free = solveWithOptions(mGridNormal.data(), rhs, yy, points, solution, variance, out);
        }
    } else {
        const double fitLow = e0 + mOptions.fitMin;
        const double fitHigh = e0 + mOptions.fitMax;
        std::vector<double> normal(size_t(m) * m, 0.0);
        std::vector<double> basis(m, 0.0);
        for (int i = 0; i < n; ++i) {
            const double e = energy[i] - eOrigin;
            if (e < mLow || e > mHigh)
                continue;
            if (mOptions.fitRange && !(energy[i] >= fitLow && energy[i] <= fitHigh))
                continue;
            if (mMlcf) {
                basis[0] = 1.0;
                basis[1] = e;
            } else if (i >= targetCount) {
                continue;
            }
            const double t = target[i];
            for (int j = 0; j < usedCount(); ++j)
                basis[mFirst + j] = basisValue(j, e);
            for (int k = 0; k < m; ++k) {
                for (int l = 0; l < m; ++l)
                    normal[size_t(k) * m + l] += basis[k] * basis[l];
                rhs[k] += basis[k] * t;
            }
            yy += t * t;
            ++points;
        }
        if (points < m)
            return undefined();
        if (mOptions.plain()) {
            const LinearFactors factors(normal.data(), m);
            factors.solve(rhs, solution);
            std::vector<double> unit(size_t(m), 0.0);
            std::vector<double> column(size_t(m), 0.0);
            for (int k = 0; k < m; ++k) {
                unit[size_t(k)] = 1.0;
                factors.solve(unit.data(), column.data());
                variance[k] = column[size_t(k)];
                unit[size_t(k)] = 0.0;
            }
            setQuality(normal.data(), rhs, yy, points, free, solution, out);
        } else {
            free = solveWithOptions(normal.data(), rhs, yy, points, solution, variance, out);
        }
    }
    if (out.errors) {
        for (int j = 0; j < usedCount(); ++j) {
            const double v = variance[mFirst + j];
            out.errors[j] = free < 0 ? notANumber : v == 0.0 ? 0.0 : std::sqrt(out.redChi2 * v);
        }
    }
    return takeSolution(solution, jump, out);
}

int LCFFitPlan::solveWithOptions(const double *normal,
                                 const double *rhs,
                                 double yy,
                                 int points,
                                 double *solution,
                                 double *variance,
                                 Output &out) const
{
    const int m = mUnknowns;
    const int n = usedCount();
    const ConstrainedLeastSquares solver(normal, rhs, m, mFirst, mOptions.constraint);
    const unsigned background = (1u << mFirst) - 1u;
    const auto fail = [&]() {
        std::fill(solution, solution + m, notANumber);
        std::fill(variance, variance + m, notANumber);
        out.rFactor = out.redChi2 = notANumber;
        out.subset = 0;
        return -1;
    };
    if (m > ConstrainedLeastSquares::maxUnknowns)
        return fail();
    if (mOptions.bestSubset <= 0) {
        const int free
            = solver.solve(background | (((1u << n) - 1u) << mFirst), solution, variance);
        if (free < 0)
            return fail();
        setQuality(normal, rhs, yy, points, free, solution, out);
        return free;
    }
    // Every subset of 1 .. K references, each a sub-matrix of the one normal matrix; the
    // lowest R-factor wins, the first of equal ones.
    if (n > LCFFitOptions::maxBestSubsetReferences)
        return fail();
    const int most = qMin(mOptions.bestSubset, LCFFitOptions::maxBestSubset);
    double trial[ConstrainedLeastSquares::maxUnknowns];
    double trialVariance[ConstrainedLeastSquares::maxUnknowns];
    double best = std::numeric_limits<double>::infinity();
    int bestFree = -1;
    for (unsigned subset = 1; subset < (1u << n); ++subset) {
        const int size = __builtin_popcount(subset);
        if (size > most)
            continue;
        const int free = solver.solve(background | (subset << mFirst), trial, trialVariance);
        if (free < 0)
            continue;
        const double squares = ConstrainedLeastSquares::residualSquares(normal, rhs, m, yy, trial);
        if (squares < best) {
            best = squares;
            bestFree = free;
            out.subset = subset;
            std::copy(trial, trial + m, solution);
            std::copy(trialVariance, trialVariance + m, variance);
        }
    }
    if (bestFree < 0)
        return fail();
    setQuality(normal, rhs, yy, points, bestFree, solution, out);
    return bestFree;
}

void LCFFitPlan::setQuality(const double *normal,
                            const double *rhs,
                            double yy,
                            int points,
                            int free,
                            const double *solution,
                            Output &out) const
{
    const double squares
        = ConstrainedLeastSquares::residualSquares(normal, rhs, mUnknowns, yy, solution);
    out.rFactor = yy > 0.0 ? squares / yy : notANumber;
    out.redChi2 = points > free ? squares / (points - free) : notANumber;
    if (out.subset == 0 || mOptions.bestSubset <= 0) {
        out.subset = 0;
        for (int j = 0; j < usedCount(); ++j) {
            if (solution[mFirst + j] != 0.0)
                out.subset |= 1u << j;
        }
    }
}

void LCFFitPlan::gridRightHandSide(const double *target, double *rhs, double *squares) const
{
    // Two unknowns at a time in registers; each sum still adds its terms in point order, so
    // the numbers are those of the sums of the general path. The squares of the targets, when
    // asked for, come with the first pass.
    const int m = mUnknowns;
    const int points = int(mGridPoints.size());
    int k = 0;
    double targetSquares = 0.0;
    for (; k + 1 < m; k += 2) {
        const double *basis = mGridBasis.data() + k;
        double first = 0.0;
        double second = 0.0;
        if (k == 0 && squares) {
            for (int p = 0; p < points; ++p, basis += m) {
                const double t = target[mGridPoints[size_t(p)]];
                first += basis[0] * t;
                second += basis[1] * t;
                targetSquares += t * t;
            }
        } else {
            for (int p = 0; p < points; ++p, basis += m) {
                const double t = target[mGridPoints[size_t(p)]];
                first += basis[0] * t;
                second += basis[1] * t;
            }
        }
        rhs[k] = first;
        rhs[k + 1] = second;
    }
    if (k < m) {
        const double *basis = mGridBasis.data() + k;
        double sum = 0.0;
        for (int p = 0; p < points; ++p, basis += m) {
            const double t = target[mGridPoints[size_t(p)]];
            sum += basis[0] * t;
            if (k == 0)
                targetSquares += t * t;
        }
        rhs[k] = sum;
    }
    if (squares)
        *squares = targetSquares;
}

int LCFFitPlan::takeSolution(const double *solution, double jump, Output &out) const
{
    const int n = usedCount();
    double *ratios = out.ratios;
    double *dmuts = out.dmuts;
    if (mMlcf) {
        double sum = 0.0;
        for (int j = 0; j < n; ++j)
            sum += solution[mFirst + j];
        for (int j = 0; j < n; ++j) {
            const double dmut = qMax(solution[mFirst + j], 0.0);
            dmuts[j] = std::isnan(solution[mFirst + j]) ? notANumber : dmut;
            // Components that sum to nothing or less give no fractions.
            ratios[j] = sum > 0.0 ? dmut / sum : notANumber;
        }
    } else {
        const double positiveJump = qMax(jump, 0.0);
        for (int j = 0; j < n; ++j) {
            ratios[j] = solution[j];
            dmuts[j] = solution[j] * positiveJump;
        }
    }
    for (int j = 0; j < n; ++j) {
        if (!std::isfinite(ratios[j]) || !std::isfinite(dmuts[j])) {
            ratios[j] = std::isfinite(ratios[j]) ? ratios[j] : notANumber;
            dmuts[j] = std::isfinite(dmuts[j]) ? dmuts[j] : notANumber;
        }
    }
    for (int j = 0; j < n; ++j) {
        if (std::isnan(ratios[j]) || std::isnan(dmuts[j]))
            return mUsedIndices.at(j);
    }
    return -1;
}

int LCFFitPlan::fitSpectrum(const XafsSpectrum &sample, Output &out) const
{
    const int size = sample.size();
    std::vector<double> energies(size);
    std::vector<double> targets(size);
    for (int i = 0; i < size; ++i)
        energies[i] = sample.xAt(i);
    const Spectrum &target = mMlcf ? sample : sample.doubleNormPreBase;
    const int targetCount = qMin(size, target.size());
    for (int i = 0; i < targetCount; ++i)
        targets[i] = target.yAt(i);
    return fit(energies.data(),
               targets.data(),
               size,
               targetCount,
               sample.eOrigin,
               sample.jump,
               sample.e0,
               out);
}
