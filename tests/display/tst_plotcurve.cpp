#include "display/plotcurve.h"
#include "display/taggedfilename.h"

#include <QDir>
#include <QtTest>

#include <limits>

// How the spectrum view cuts a curve into polylines, finds an axis range among values that
// may be infinite, and names the files it saves.
class TestPlotCurve : public QObject
{
    Q_OBJECT

private slots:
    void pieces_data();
    void pieces();
    void axisRange_data();
    void axisRange();
    void taggedName_data();
    void taggedName();
};

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double notANum = std::numeric_limits<double>::quiet_NaN();

QVector<QPointF> pointsAt(const QVector<double> &xs)
{
    QVector<QPointF> points;
    for (double x : xs)
        points.append(QPointF(x, x / 100));
    return points;
}

// Sizes of the pieces, for comparison.
QVector<int> sizesOf(const QVector<QPolygonF> &pieces)
{
    QVector<int> sizes;
    for (const QPolygonF &piece : pieces)
        sizes.append(piece.size());
    return sizes;
}

} // namespace

void TestPlotCurve::pieces_data()
{
    QTest::addColumn<QVector<QPointF>>("points");
    QTest::addColumn<QVector<int>>("sizes");

    QTest::newRow("close energies") << pointsAt({7000, 7010, 7020, 7030}) << QVector<int>{4};
    QTest::newRow("gap of 50 is joined") << pointsAt({7000, 7050, 7100}) << QVector<int>{3};
    QTest::newRow("gap above 50 breaks")
        << pointsAt({7000, 7010, 7060.5, 7070}) << QVector<int>{2, 2};
    QTest::newRow("falling energies break too")
        << pointsAt({7300, 7290, 7100, 7090}) << QVector<int>{2, 2};
    QTest::newRow("two gaps") << pointsAt({7000, 7100, 7110, 7200}) << QVector<int>{1, 2, 1};
    QVector<QPointF> infinite = pointsAt({7000, 7010, 7020, 7030, 7040});
    infinite[2].setY(inf);
    QTest::newRow("infinite value is left out and breaks") << infinite << QVector<int>{2, 2};
    QVector<QPointF> notANumber = pointsAt({7000, 7010, 7020});
    notANumber[0].setY(notANum);
    QTest::newRow("leading NaN is left out") << notANumber << QVector<int>{2};
    QVector<QPointF> allBad = pointsAt({7000, 7010});
    allBad[0].setY(-inf);
    allBad[1].setX(notANum);
    QTest::newRow("nothing finite") << allBad << QVector<int>{};
    QTest::newRow("empty") << QVector<QPointF>{} << QVector<int>{};
}

void TestPlotCurve::pieces()
{
    QFETCH(QVector<QPointF>, points);
    QFETCH(QVector<int>, sizes);
    const QVector<QPolygonF> pieces = curvePieces(points, 50.0);
    QCOMPARE(sizesOf(pieces), sizes);
    for (const QPolygonF &piece : pieces) {
        for (const QPointF &point : piece)
            QVERIFY2(qIsFinite(point.x()) && qIsFinite(point.y()), "non-finite point drawn");
    }
}

void TestPlotCurve::axisRange_data()
{
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<QVector<double>>("ys");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");

    QTest::newRow("finite ends are kept")
        << 0.0 << 2.0 << QVector<double>{5, 6} << true << 0.0 << 2.0;
    QTest::newRow("infinite end: finite values")
        << -inf << 3.0 << QVector<double>{-inf, 1, 3, 2} << true << 1.0 << 3.0;
    QTest::newRow("empty spectrum range")
        << 1e300 << -1e300 << QVector<double>{} << false << 0.0 << 0.0;
    QTest::newRow("nothing finite")
        << notANum << inf << QVector<double>{notANum, inf} << false << 0.0 << 0.0;
}

void TestPlotCurve::axisRange()
{
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(QVector<double>, ys);
    QFETCH(bool, valid);
    QFETCH(double, min);
    QFETCH(double, max);
    QVector<QPointF> points;
    for (double y : ys)
        points.append(QPointF(points.size(), y));
    const AxisRange range = finiteAxisRange(lo, hi, points, false);
    QCOMPARE(range.valid, valid);
    if (valid) {
        QCOMPARE(range.min, min);
        QCOMPARE(range.max, max);
    }
}

void TestPlotCurve::taggedName_data()
{
    QTest::addColumn<QString>("fname");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("expected");

    QTest::newRow("suffix kept") << "/d/spec.txt"
                                 << "T"
                                 << "/d/spec-T.txt";
    QTest::newRow("no suffix gives dat") << "/d/spec"
                                         << "std"
                                         << "/d/spec-std.dat";
    QTest::newRow("only the last suffix") << "/d/a.b.txt"
                                          << "other0"
                                          << "/d/a.b-other0.txt";
    QTest::newRow("trailing dot") << "/d/spec."
                                  << "T"
                                  << "/d/spec-T.dat";
    QTest::newRow("relative name") << "spec.txt"
                                   << "T" << QDir::current().filePath("spec-T.txt");
}

void TestPlotCurve::taggedName()
{
    QFETCH(QString, fname);
    QFETCH(QString, tag);
    QFETCH(QString, expected);
    QCOMPARE(taggedFileName(fname, tag), expected);
}

QTEST_GUILESS_MAIN(TestPlotCurve)
#include "tst_plotcurve.moc"
