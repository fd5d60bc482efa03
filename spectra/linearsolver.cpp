#include "linearsolver.h"

#include <QDebug>

#include <algorithm>
#include <cmath>
#include <vector>

LinearFactors::LinearFactors(const double *matrix, int n)
    : mN(n)
    , mLu(matrix, matrix + size_t(n) * n)
    , mOrder(n)
{
    const auto at
        = [this, n](int row, int column) -> double & { return mLu[size_t(row) * n + column]; };
    for (int i = 0; i < n; ++i)
        mOrder[i] = i;
    for (int k = 0; k < n; ++k) {
        int pivotRow = k;
        double largest = std::fabs(at(mOrder[k], k));
        for (int i = k + 1; i < n; ++i) {
            const double candidate = std::fabs(at(mOrder[i], k));
            if (candidate > largest) {
                largest = candidate;
                pivotRow = i;
            }
        }
        std::swap(mOrder[k], mOrder[pivotRow]);
        const double pivot = at(mOrder[k], k);
        const double divisor = pivot == 0.0 ? 1.0 : pivot;
        for (int i = k + 1; i < n; ++i) {
            const double factor = at(mOrder[i], k) / divisor;
            at(mOrder[i], k) = factor;
            for (int j = k + 1; j < n; ++j)
                at(mOrder[i], j) -= factor * at(mOrder[k], j);
        }
    }
}

void LinearFactors::solve(const double *rhs, double *x) const
{
    // Forward substitution with the unit lower factor into x, then back substitution with the
    // upper factor in place: row i reads only the rows below it, already solved.
    for (int i = 0; i < mN; ++i) {
        double value = rhs[mOrder[i]];
        for (int j = 0; j < i; ++j)
            value -= at(mOrder[i], j) * x[j];
        x[i] = value;
    }
    for (int i = mN - 1; i >= 0; --i) {
        double value = x[i];
        for (int j = i + 1; j < mN; ++j)
            value -= at(mOrder[i], j) * x[j];
        x[i] = value / at(mOrder[i], i);
    }
}

QVector<double> solveLinear(const QVector<QVector<double>> &matrix, const QVector<double> &rhs)
{
    const int n = rhs.size();
    bool square = matrix.size() == n;
    for (int i = 0; square && i < n; ++i)
        square = matrix.at(i).size() == n;
    if (!square) {
        qDebug() << "solveLinear: the matrix is not" << n << "x" << n;
        return {};
    }
    std::vector<double> rows(size_t(n) * n);
    for (int i = 0; i < n; ++i)
        std::copy(matrix.at(i).cbegin(), matrix.at(i).cend(), rows.begin() + size_t(i) * n);
    QVector<double> solution(n);
    LinearFactors(rows.data(), n).solve(rhs.constData(), solution.data());
    return solution;
}
