#include "constrainedleastsquares.h"

#include "spectra/linearsolver.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool has(unsigned mask, int k)
{
    return (mask >> k) & 1u;
}

} // namespace

ConstrainedLeastSquares::ConstrainedLeastSquares(
    const double *normal, const double *rhs, int m, int firstConstrained, int constraint)
    : mNormal(normal)
    , mRhs(rhs)
    , mM(m)
    , mFirstConstrained(firstConstrained)
    , mNonNegative(constraint & NonNegative)
    , mSumToOne(constraint & SumToOne)
{}

double ConstrainedLeastSquares::gradient(int k, const double *c) const
{
    double value = mRhs[k];
    for (int l = 0; l < mM; ++l)
        value -= a(k, l) * c[l];
    return value;
}

int ConstrainedLeastSquares::solveOn(unsigned passive, double *c, double *variance) const
{
    // With the sum held at one, the last constrained unknown r of the subproblem is
    // 1 - (the other constrained ones): c = e_r + T z, and z solves T'AT z = T'(b - A e_r).
    int eliminated = -1;
    if (mSumToOne) {
        for (int k = mM - 1; k >= mFirstConstrained && eliminated < 0; --k) {
            if (has(passive, k))
                eliminated = k;
        }
        if (eliminated < 0)
            return -1;
    }
    int index[maxUnknowns];
    int n = 0;
    for (int k = 0; k < mM; ++k) {
        if (has(passive, k) && k != eliminated)
            index[n++] = k;
    }
    double reduced[maxUnknowns * maxUnknowns];
    double rhs[maxUnknowns];
    double z[maxUnknowns];
    for (int i = 0; i < n; ++i) {
        const int k = index[i];
        const double sk = constrained(k) ? 1.0 : 0.0;
        for (int j = 0; j < n; ++j) {
            const int l = index[j];
            double value = a(k, l);
            if (eliminated >= 0) {
                const int r = eliminated;
                const double sl = constrained(l) ? 1.0 : 0.0;
                value += -sk * a(r, l) - sl * a(k, r) + sk * sl * a(r, r);
            }
            reduced[i * n + j] = value;
        }
        rhs[i] = mRhs[k];
        if (eliminated >= 0)
            rhs[i] += -a(k, eliminated) - sk * (mRhs[eliminated] - a(eliminated, eliminated));
    }
    std::fill(c, c + mM, 0.0);
    LinearFactors factors;
    if (n > 0) {
        factors = LinearFactors(reduced, n);
        factors.solve(rhs, z);
    }
    double sum = 0.0;
    bool finite = true;
    for (int i = 0; i < n; ++i) {
        c[index[i]] = z[i];
        finite = finite && std::isfinite(z[i]);
        if (constrained(index[i]))
            sum += z[i];
    }
    if (eliminated >= 0)
        c[eliminated] = 1.0 - sum;
    if (!finite)
        return -1;
    if (variance) {
        std::fill(variance, variance + mM, 0.0);
        double unit[maxUnknowns];
        double column[maxUnknowns];
        for (int i = 0; i < n; ++i) {
            std::fill(unit, unit + n, 0.0);
            unit[i] = 1.0;
            factors.solve(unit, column);
            variance[index[i]] = column[i];
        }
    }
    return n;
}

int ConstrainedLeastSquares::solve(unsigned takePart, double *solution, double *variance) const
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto fail = [&]() {
        std::fill(solution, solution + mM, nan);
        if (variance)
            std::fill(variance, variance + mM, nan);
        return -1;
    };
    unsigned constrainedMask = 0;
    for (int k = mFirstConstrained; k < mM; ++k) {
        if (has(takePart, k))
            constrainedMask |= 1u << k;
    }
    const unsigned freeMask = takePart & ~constrainedMask;
    if (mM > maxUnknowns || (mSumToOne && constrainedMask == 0))
        return fail();
    if (!mNonNegative) {
        const int freeCount = solveOn(takePart, solution, variance);
        return freeCount < 0 ? fail() : freeCount;
    }

    // A feasible start: every constrained unknown at 0, or, with the sum held at one, the
    // first of them at 1.
    unsigned passive = freeMask;
    if (mSumToOne) {
        for (int k = mFirstConstrained; k < mM; ++k) {
            if (has(constrainedMask, k)) {
                passive |= 1u << k;
                break;
            }
        }
    }
    double c[maxUnknowns];
    double z[maxUnknowns];
    if (solveOn(passive, c, nullptr) < 0)
        return fail();

    double scale = 0.0;
    for (int k = 0; k < mM; ++k)
        scale = std::max({scale, std::fabs(mRhs[k]), std::fabs(a(k, k))});
    const double tolerance = 1e-12 * scale;
    // Each outer step frees one unknown; the inner steps only hold unknowns at 0 again, so
    // this bound is never reached but for rounding that would make the method cycle.
    for (int iteration = 0; iteration < 4 * mM + 8; ++iteration) {
        // The multiplier of the sum: the gradient of any constrained unknown that is free.
        double lambda = 0.0;
        if (mSumToOne) {
            for (int k = mFirstConstrained; k < mM; ++k) {
                if (has(passive, k)) {
                    lambda = gradient(k, c);
                    break;
                }
            }
        }
        int entering = -1;
        double steepest = tolerance;
        for (int k = mFirstConstrained; k < mM; ++k) {
            if (!has(constrainedMask, k) || has(passive, k))
                continue;
            const double w = gradient(k, c) - lambda;
            if (w > steepest) {
                steepest = w;
                entering = k;
            }
        }
        if (entering < 0)
            break;
        passive |= 1u << entering;
        for (int inner = 0; inner <= mM; ++inner) {
            if (solveOn(passive, z, nullptr) < 0)
                return fail();
            // Step towards z as far as the bounds allow; unknowns that reach 0 leave the
            // passive set.
            double step = 1.0;
            int blocking = -1;
            for (int k = mFirstConstrained; k < mM; ++k) {
                if (has(passive, k) && z[k] <= 0.0) {
                    const double t = c[k] / (c[k] - z[k]);
                    if (blocking < 0 || t < step) {
                        step = t;
                        blocking = k;
                    }
                }
            }
            if (blocking < 0) {
                std::copy(z, z + mM, c);
                break;
            }
            step = std::clamp(step, 0.0, 1.0);
            for (int k = 0; k < mM; ++k)
                c[k] += step * (z[k] - c[k]);
            c[blocking] = 0.0;
            passive &= ~(1u << blocking);
            for (int k = mFirstConstrained; k < mM; ++k) {
                if (has(passive, k) && c[k] <= 0.0) {
                    c[k] = 0.0;
                    passive &= ~(1u << k);
                }
            }
        }
    }
    // The answer is the subproblem solution on the final passive set, with its variances.
    const int freeCount = solveOn(passive, solution, variance);
    if (freeCount < 0)
        return fail();
    for (int k = mFirstConstrained; k < mM; ++k)
        solution[k] = has(passive, k) ? std::max(solution[k], 0.0) : 0.0;
    return freeCount;
}

double ConstrainedLeastSquares::residualSquares(
    const double *normal, const double *rhs, int m, double yy, const double *solution)
{
    double value = yy;
    for (int k = 0; k < m; ++k) {
        double row = 0.0;
        for (int l = 0; l < m; ++l)
            row += normal[k * m + l] * solution[l];
        value += solution[k] * (row - 2.0 * rhs[k]);
    }
    return std::max(value, 0.0);
}
