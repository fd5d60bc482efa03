#pragma once

#include <QVector>

// Solves matrix * x = rhs for a square matrix by LU decomposition with partial pivoting (row
// permutation instead of row swaps). Singular systems are not reported: the result may then hold
// infinite or NaN values. A matrix that is not n x n for n = rhs.size() gives an empty result.
QVector<double> solveLinear(const QVector<QVector<double>> &matrix, const QVector<double> &rhs);
