#include "lcffitplan.h"

#include <QDebug>

#include <cmath>
#include <cstring>

LCFFitPlan::LCFFitPlan(const QVector<LCFReferenceData> &references, bool mlcf)
    : mReferences(references)
    , mMlcf(mlcf)
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
                    double *ratios,
                    double *dmuts) const
{
    const int m = mUnknowns;
    // Few unknowns: the sums stay on the stack.
    constexpr int maxOnStack = 16;
    double rhsStore[maxOnStack];
    double solutionStore[maxOnStack];
    std::vector<double> rhsHeap;
    std::vector<double> solutionHeap;
    double *rhs = rhsStore;
    double *solution = solutionStore;
    if (m > maxOnStack) {
        rhsHeap.resize(m);
        solutionHeap.resize(m);
        rhs = rhsHeap.data();
        solution = solutionHeap.data();
    }
    std::fill(rhs, rhs + m, 0.0);

    if (onGrid(energy, n, eOrigin) && (mMlcf || targetCount >= n)) {
        gridRightHandSide(target, rhs);
        mGridFactors.solve(rhs, solution);
    } else {
        std::vector<double> normal(size_t(m) * m, 0.0);
        std::vector<double> basis(m, 0.0);
        for (int i = 0; i < n; ++i) {
            const double e = energy[i] - eOrigin;
            if (e < mLow || e > mHigh)
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
        }
        LinearFactors(normal.data(), m).solve(rhs, solution);
    }
    return takeSolution(solution, jump, ratios, dmuts);
}

void LCFFitPlan::gridRightHandSide(const double *target, double *rhs) const
{
    // Two unknowns at a time in registers; each sum still adds its terms in point order, so
    // the numbers are those of the sums of the general path.
    const int m = mUnknowns;
    const int points = int(mGridPoints.size());
    int k = 0;
    for (; k + 1 < m; k += 2) {
        const double *basis = mGridBasis.data() + k;
        double first = 0.0;
        double second = 0.0;
        for (int p = 0; p < points; ++p, basis += m) {
            const double t = target[mGridPoints[size_t(p)]];
            first += basis[0] * t;
            second += basis[1] * t;
        }
        rhs[k] = first;
        rhs[k + 1] = second;
    }
    if (k < m) {
        const double *basis = mGridBasis.data() + k;
        double sum = 0.0;
        for (int p = 0; p < points; ++p, basis += m)
            sum += basis[0] * target[mGridPoints[size_t(p)]];
        rhs[k] = sum;
    }
}

int LCFFitPlan::takeSolution(const double *solution,
                             double jump,
                             double *ratios,
                             double *dmuts) const
{
    const int n = usedCount();
    if (mMlcf) {
        double sum = 0.0;
        for (int j = 0; j < n; ++j)
            sum += solution[mFirst + j];
        for (int j = 0; j < n; ++j) {
            const double dmut = qMax(solution[mFirst + j], 0.0);
            dmuts[j] = dmut;
            // Components that sum to nothing or less give no fractions.
            ratios[j] = sum > 0.0 ? dmut / sum : 0.0;
        }
    } else {
        const double positiveJump = qMax(jump, 0.0);
        for (int j = 0; j < n; ++j) {
            ratios[j] = solution[j];
            dmuts[j] = solution[j] * positiveJump;
        }
    }
    int firstNotFinite = -1;
    for (int j = 0; j < n; ++j) {
        if (!std::isfinite(ratios[j]) || !std::isfinite(dmuts[j])) {
            if (firstNotFinite < 0)
                firstNotFinite = mUsedIndices.at(j);
            ratios[j] = std::isfinite(ratios[j]) ? ratios[j] : 0.0;
            dmuts[j] = std::isfinite(dmuts[j]) ? dmuts[j] : 0.0;
        }
    }
    return firstNotFinite;
}

int LCFFitPlan::fitSpectrum(const XafsSpectrum &sample, double *ratios, double *dmuts) const
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
               ratios,
               dmuts);
}
