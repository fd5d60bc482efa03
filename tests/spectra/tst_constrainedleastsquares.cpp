#include "spectra/constrainedleastsquares.h"
#include "spectra/linearsolver.h"

#include <QtTest>

#include <random>

using Matrix = QVector<QVector<double>>;

// Least squares under non-negativity and sum-to-one, checked against known solutions and
// against the best of every active set, each solved through its Lagrange system.
class TestConstrainedLeastSquares : public QObject
{
    Q_OBJECT

private slots:
    void knownSolutions_data();
    void knownSolutions();
    void everyActiveSet_data();
    void everyActiveSet();
    void subsetAndSingular();
};

namespace {

using CLS = ConstrainedLeastSquares;

QString listed(const double *values, int n)
{
    QStringList texts;
    for (int i = 0; i < n; ++i)
        texts << QString::number(values[i], 'g', 12);
    return texts.join(", ");
}

// A least-squares problem in normal form: A = X'X, b = X'y over random points.
struct Problem
{
    int m = 0;
    QVector<double> normal;
    QVector<double> rhs;

    double objective(const QVector<double> &c) const
    {
        double value = 0.0;
        for (int k = 0; k < m; ++k) {
            for (int l = 0; l < m; ++l)
                value += 0.5 * c[k] * normal[k * m + l] * c[l];
            value -= rhs[k] * c[k];
        }
        return value;
    }
};

Problem randomProblem(int m, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss;
    Problem problem;
    problem.m = m;
    problem.normal.fill(0.0, m * m);
    problem.rhs.fill(0.0, m);
    QVector<double> truth(m);
    for (double &t : truth)
        t = gauss(random);
    for (int point = 0; point < 3 * m + 4; ++point) {
        QVector<double> x(m);
        double y = 0.3 * gauss(random);
        for (int k = 0; k < m; ++k) {
            x[k] = gauss(random);
            y += x[k] * truth[k];
        }
        for (int k = 0; k < m; ++k) {
            for (int l = 0; l < m; ++l)
                problem.normal[k * m + l] += x[k] * x[l];
            problem.rhs[k] += x[k] * y;
        }
    }
    return problem;
}

// The Lagrange system [A_PP s; s' 0] of the unknowns in passive, s marking the constrained
// ones, gives the subproblem's solution and, as the top-left block of its inverse, the
// covariance that the elimination of one unknown must reproduce.
bool lagrangeSolve(const Problem &p,
                   unsigned passive,
                   int first,
                   bool sumToOne,
                   QVector<double> &c,
                   QVector<double> &variance)
{
    QVector<int> index;
    for (int k = 0; k < p.m; ++k) {
        if (passive & (1u << k))
            index << k;
    }
    const int n = index.size() + (sumToOne ? 1 : 0);
    Matrix system(n, QVector<double>(n, 0.0));
    QVector<double> rhs(n, 0.0);
    for (int i = 0; i < index.size(); ++i) {
        for (int j = 0; j < index.size(); ++j)
            system[i][j] = p.normal[index[i] * p.m + index[j]];
        rhs[i] = p.rhs[index[i]];
        if (sumToOne && index[i] >= first)
            system[i][n - 1] = system[n - 1][i] = 1.0;
    }
    if (sumToOne)
        rhs[n - 1] = 1.0;
    c.fill(0.0, p.m);
    variance.fill(0.0, p.m);
    if (n == 0)
        return true;
    const QVector<double> x = solveLinear(system, rhs);
    for (int i = 0; i < index.size(); ++i) {
        QVector<double> unit(n, 0.0);
        unit[i] = 1.0;
        c[index[i]] = x[i];
        variance[index[i]] = solveLinear(system, unit)[i];
    }
    for (double v : x) {
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

} // namespace

void TestConstrainedLeastSquares::knownSolutions_data()
{
    QTest::addColumn<int>("constraint");
    QTest::addColumn<QVector<double>>("rhs");
    QTest::addColumn<QVector<double>>("expected");
    QTest::addColumn<int>("free");

    // A = identity: the unconstrained answer is b itself.
    using V = QVector<double>;
    QTest::newRow("non-negative, inside")
        << int(CLS::NonNegative) << V{0.3, 0.7} << V{0.3, 0.7} << 2;
    QTest::newRow("non-negative, on the bound")
        << int(CLS::NonNegative) << V{1.2, -0.4} << V{1.2, 0.0} << 1;
    QTest::newRow("non-negative, all on the bound")
        << int(CLS::NonNegative) << V{-1.0, -0.4} << V{0.0, 0.0} << 0;
    QTest::newRow("sum to one, moved along the line")
        << int(CLS::SumToOne) << V{1.2, -0.4} << V{1.3, -0.3} << 1;
    QTest::newRow("sum to one, already summing to one")
        << int(CLS::SumToOne) << V{0.3, 0.7} << V{0.3, 0.7} << 1;
    QTest::newRow("both, a corner")
        << int(CLS::NonNegativeSumToOne) << V{1.2, -0.4} << V{1.0, 0.0} << 0;
    QTest::newRow("both, inside") << int(CLS::NonNegativeSumToOne) << V{0.5, 0.7} << V{0.4, 0.6}
                                  << 1;
}

void TestConstrainedLeastSquares::knownSolutions()
{
    QFETCH(int, constraint);
    QFETCH(QVector<double>, rhs);
    QFETCH(QVector<double>, expected);
    QFETCH(int, free);
    const double identity[] = {1, 0, 0, 1};
    double solution[2];
    double variance[2];
    const int got = CLS(identity, rhs.constData(), 2, 0, constraint).solve(3u, solution, variance);
    QCOMPARE(got, free);
    for (int k = 0; k < 2; ++k) {
        QVERIFY2(std::abs(solution[k] - expected[k]) < 1e-12,
                 qPrintable(listed(solution, 2) + " expected " + listed(expected.data(), 2)));
    }
}

void TestConstrainedLeastSquares::everyActiveSet_data()
{
    QTest::addColumn<int>("references");
    QTest::addColumn<int>("free");
    QTest::addColumn<int>("constraint");
    QTest::addColumn<unsigned>("seed");

    const char *names[] = {"", "non-negative", "sum to one", "both"};
    for (int constraint = 1; constraint <= 3; ++constraint) {
        for (int references = 1; references <= 4; ++references) {
            for (int free = 0; free <= 2; free += 2) {
                for (unsigned seed = 1; seed <= 6; ++seed) {
                    QTest::addRow("%s, %d references, %d free, seed %u",
                                  names[constraint],
                                  references,
                                  free,
                                  seed)
                        << references << free << constraint << seed;
                }
            }
        }
    }
}

void TestConstrainedLeastSquares::everyActiveSet()
{
    QFETCH(int, references);
    QFETCH(int, free);
    QFETCH(int, constraint);
    QFETCH(unsigned, seed);
    const int m = references + free;
    const Problem p = randomProblem(m, seed * 7919u + unsigned(m));
    const bool nonNegative = constraint & CLS::NonNegative;
    const bool sumToOne = constraint & CLS::SumToOne;

    // The best feasible point over every set of constrained unknowns held at 0.
    const unsigned all = (1u << m) - 1u;
    const unsigned freeMask = (1u << free) - 1u;
    double best = std::numeric_limits<double>::infinity();
    QVector<double> bestC;
    QVector<double> bestVariance;
    unsigned bestPassive = 0;
    for (unsigned zero = 0; zero < (1u << references); ++zero) {
        if (!nonNegative && zero != 0)
            continue;
        const unsigned passive = all & ~(zero << free);
        if (sumToOne && (passive & ~freeMask) == 0)
            continue;
        QVector<double> c;
        QVector<double> variance;
        if (!lagrangeSolve(p, passive, free, sumToOne, c, variance))
            continue;
        bool feasible = true;
        for (int k = free; k < m && nonNegative; ++k)
            feasible = feasible && c[k] >= -1e-12;
        if (feasible && p.objective(c) < best - 1e-12) {
            best = p.objective(c);
            bestC = c;
            bestVariance = variance;
            bestPassive = passive;
        }
    }
    QVERIFY(!bestC.isEmpty());

    double solution[CLS::maxUnknowns];
    double variance[CLS::maxUnknowns];
    const int got = CLS(p.normal.constData(), p.rhs.constData(), m, free, constraint)
                        .solve(all, solution, variance);
    QVERIFY(got >= 0);
    const QString message = QStringLiteral("got %1, expected %2")
                                .arg(listed(solution, m), listed(bestC.constData(), m));
    for (int k = 0; k < m; ++k)
        QVERIFY2(std::abs(solution[k] - bestC[k]) < 1e-9, qPrintable(message));
    // Errors: the unknowns left free, all but the one that the sum eliminates.
    int eliminated = -1;
    for (int k = free; k < m && sumToOne; ++k) {
        if (bestPassive & (1u << k))
            eliminated = k;
    }
    for (int k = 0; k < m; ++k) {
        const double expected
            = (k == eliminated || !(bestPassive & (1u << k))) ? 0.0 : bestVariance[k];
        if (std::abs(bestC[k]) < 1e-9 && k >= free)
            continue;
        QVERIFY2(std::abs(variance[k] - expected) < 1e-9 * (1 + std::abs(expected)),
                 qPrintable(QStringLiteral("variance %1: %2, expected %3")
                                .arg(k)
                                .arg(variance[k])
                                .arg(expected)));
    }
}

void TestConstrainedLeastSquares::subsetAndSingular()
{
    // Only the unknowns that take part are solved for; the others are 0.
    const double normal[] = {2, 1, 0, 1, 2, 1, 0, 1, 2};
    const double rhs[] = {2, 4, 4};
    double solution[3];
    QCOMPARE(CLS(normal, rhs, 3, 0, CLS::NoConstraint).solve(0b101u, solution), 2);
    QCOMPARE(solution[0], 1.0);
    QCOMPARE(solution[1], 0.0);
    QCOMPARE(solution[2], 2.0);
    // Two identical references: no defined answer.
    const double singular[] = {1, 1, 1, 1};
    const double right[] = {1, 1};
    QCOMPARE(CLS(singular, right, 2, 0, CLS::SumToOne).solve(3u, solution), -1);
    QVERIFY(std::isnan(solution[0]));
}

QTEST_MAIN(TestConstrainedLeastSquares)
#include "tst_constrainedleastsquares.moc"
