#pragma once

// Linear least squares given by its normal equations A c = b, with the unknowns split into
// free ones and constrained ones: the constrained unknowns may be held non-negative, made to
// sum to one, or both. Non-negativity is an active-set method (Lawson and Hanson's, started
// from a feasible point), exact for the few unknowns of a fit; the sum is kept by eliminating
// one constrained unknown of each subproblem. A mask of unknowns that take part lets one normal
// matrix serve every subset of them. Up to maxUnknowns unknowns.
class ConstrainedLeastSquares
{
public:
    enum Constraint { NoConstraint = 0, NonNegative = 1, SumToOne = 2, NonNegativeSumToOne = 3 };
    static constexpr int maxUnknowns = 16;

    // normal: m x m, row-major; rhs: m values. Both must outlive the solver. Unknowns below
    // firstConstrained are free; the others obey constraint.
    ConstrainedLeastSquares(
        const double *normal, const double *rhs, int m, int firstConstrained, int constraint);

    // Solves over the unknowns whose bit is set in takePart (the others are 0) into solution
    // (m values). variance, when given, gets for each unknown left free by the final active
    // set the diagonal of the inverse of the normal matrix the last subproblem solved, and 0 for
    // the unknowns held at 0 or eliminated. Returns the number of unknowns left free, or -1
    // when the solution is not finite (a singular system); solution then holds NaN.
    int solve(unsigned takePart, double *solution, double *variance = nullptr) const;

    // The sum of squared residuals c'Ac - 2 b'c + yy of a solution, yy the sum of the squared
    // targets; at least 0.
    static double residualSquares(
        const double *normal, const double *rhs, int m, double yy, const double *solution);

private:
    double a(int row, int column) const { return mNormal[row * mM + column]; }
    bool constrained(int k) const { return k >= mFirstConstrained; }
    // Solves the equality-constrained subproblem over the unknowns in passive into c (0
    // elsewhere); with variance, also the diagonal of the inverse of its reduced matrix.
    // Returns the unknowns left free after the elimination, -1 when not finite or infeasible.
    int solveOn(unsigned passive, double *c, double *variance) const;
    // b_k - (A c)_k: how much the objective falls per unit of unknown k.
    double gradient(int k, const double *c) const;

    const double *mNormal;
    const double *mRhs;
    int mM;
    int mFirstConstrained;
    bool mNonNegative;
    bool mSumToOne;
};
