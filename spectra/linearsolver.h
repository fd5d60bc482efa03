#pragma once

#include <QVarLengthArray>
#include <QVector>

// The LU decomposition with partial pivoting (row permutation instead of row swaps) of a square
// matrix, kept so that many right-hand sides can be solved against one matrix. Singular
// systems are not reported: their solutions may hold infinite or NaN values.
class LinearFactors
{
public:
    LinearFactors() = default;
    // Factors an n x n matrix given row by row (row-major, n * n values).
    LinearFactors(const double *matrix, int n);

    int size() const { return mN; }
    // Solves matrix * x = rhs; rhs and x hold size() values and may not overlap.
    void solve(const double *rhs, double *x) const;

private:
    double at(int row, int column) const { return mLu[size_t(row) * mN + column]; }

    // Small systems, those of the base lines and of fits against a few references, stay off
    // the heap.
    static constexpr int inlineRows = 6;
    int mN = 0;
    QVarLengthArray<double, inlineRows * inlineRows> mLu;
    // order[i] is the row that plays row i after pivoting.
    QVarLengthArray<int, inlineRows> mOrder;
};

// Solves matrix * x = rhs for a square matrix through its LinearFactors. A matrix that is not
// n x n for n = rhs.size() gives an empty result.
QVector<double> solveLinear(const QVector<QVector<double>> &matrix, const QVector<double> &rhs);
