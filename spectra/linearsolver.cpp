#include "linearsolver.h"

#include <QDebug>

#include <algorithm>
#include <cmath>
#include <vector>

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

    // Row-major copy of the matrix; order[i] is the row that plays row i after pivoting.
    std::vector<double> lu(size_t(n) * n);
    for (int i = 0; i < n; ++i)
        std::copy(matrix.at(i).cbegin(), matrix.at(i).cend(), lu.begin() + size_t(i) * n);
    const auto at
        = [&lu, n](int row, int column) -> double & { return lu[size_t(row) * n + column]; };
    std::vector<int> order(n);
    for (int i = 0; i < n; ++i)
        order[i] = i;

    for (int k = 0; k < n; ++k) {
        int pivotRow = k;
        double largest = std::fabs(at(order[k], k));
        for (int i = k + 1; i < n; ++i) {
            const double candidate = std::fabs(at(order[i], k));
            if (candidate > largest) {
                largest = candidate;
                pivotRow = i;
            }
        }
        std::swap(order[k], order[pivotRow]);
        const double pivot = at(order[k], k);
        const double divisor = pivot == 0.0 ? 1.0 : pivot;
        for (int i = k + 1; i < n; ++i) {
            const double factor = at(order[i], k) / divisor;
            at(order[i], k) = factor;
            for (int j = k + 1; j < n; ++j)
                at(order[i], j) -= factor * at(order[k], j);
        }
    }

    // Forward substitution with the unit lower factor, then back substitution with the upper.
    std::vector<double> forward(n);
    for (int i = 0; i < n; ++i) {
        double value = rhs.at(order[i]);
        for (int j = 0; j < i; ++j)
            value -= at(order[i], j) * forward[j];
        forward[i] = value;
    }
    QVector<double> solution(n);
    for (int i = n - 1; i >= 0; --i) {
        double value = forward[i];
        for (int j = i + 1; j < n; ++j)
            value -= at(order[i], j) * solution[j];
        solution[i] = value / at(order[i], i);
    }
    return solution;
}
