#include "spectra/linearsolver.h"

#include <QtTest>

using Matrix = QVector<QVector<double>>;
Q_DECLARE_METATYPE(Matrix)

class TestLinearSolver : public QObject
{
    Q_OBJECT

private slots:
    void solves_data();
    void solves();
    void mismatchedSizesGiveNoSolution();
};

void TestLinearSolver::solves_data()
{
    QTest::addColumn<Matrix>("matrix");
    QTest::addColumn<QVector<double>>("expected");

    QTest::newRow("1 x 1") << Matrix{{4}} << QVector<double>{2.5};
    QTest::newRow("zero in the first pivot")
        << Matrix{{0, 2, 1}, {1, 1, 1}, {2, 1, 0}} << QVector<double>{1, 2, 3};
    QTest::newRow("needs a pivot in every column")
        << Matrix{{1e-12, 1, 0, 0}, {1, 0, 0, 2}, {0, 3, 1, 0}, {0, 0, 5, 1}}
        << QVector<double>{-1, 0.5, 2, 0.25};
}

void TestLinearSolver::solves()
{
    QFETCH(Matrix, matrix);
    QFETCH(QVector<double>, expected);
    QVector<double> rhs(expected.size(), 0.0);
    for (int i = 0; i < matrix.size(); ++i) {
        for (int j = 0; j < expected.size(); ++j)
            rhs[i] += matrix[i][j] * expected[j];
    }
    const QVector<double> solution = solveLinear(matrix, rhs);
    QCOMPARE(solution.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QVERIFY2(qAbs(solution[i] - expected[i]) <= 1e-9,
                 qPrintable(QStringLiteral("component %1 = %2, expected %3")
                                .arg(i)
                                .arg(solution[i], 0, 'g', 17)
                                .arg(expected[i])));
    }
}

void TestLinearSolver::mismatchedSizesGiveNoSolution()
{
    QVERIFY(solveLinear(Matrix{{1, 2}, {3}}, {1, 2}).isEmpty());
    QVERIFY(solveLinear(Matrix{{1, 2}, {3, 4}}, {1, 2, 3}).isEmpty());
}

QTEST_MAIN(TestLinearSolver)
#include "tst_linearsolver.moc"
