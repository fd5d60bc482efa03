#include "analysis/areawalk.h"

#include <QtTest>

#include <limits>

using Centres = QVector<QPair<qint64, qint64>>;
Q_DECLARE_METATYPE(Centres)

// The walk over an area: which block centres it visits, in which order, and that it ends.
class TestAreaWalk : public QObject
{
    Q_OBJECT

private slots:
    void visitsTheBlockCentres_data();
    void visitsTheBlockCentres();
};

void TestAreaWalk::visitsTheBlockCentres_data()
{
    QTest::addColumn<qint64>("xw");
    QTest::addColumn<qint64>("yw");
    QTest::addColumn<QRectF>("area");
    QTest::addColumn<qint64>("step");
    QTest::addColumn<Centres>("expected");

    const Centres sixBlocks = {{3, 3}, {6, 3}, {9, 3}, {3, 6}, {6, 6}, {9, 6}};
    QTest::newRow("10 x 6, bin 1")
        << qint64(1) << qint64(1) << QRectF(2, 2, 10, 6) << qint64(-1) << sixBlocks;
    QTest::newRow("fractions truncated")
        << qint64(1) << qint64(1) << QRectF(2.7, 2.2, 9.9, 6.5) << qint64(-1) << sixBlocks;
    QTest::newRow("corners swapped")
        << qint64(1) << qint64(1) << QRectF(12, 8, -10, -6) << qint64(-1) << sixBlocks;
    // Regression: a negative half-width gave a negative step and a walk that never ended.
    QTest::newRow("negative half-widths")
        << qint64(-1) << qint64(-1) << QRectF(2, 2, 10, 6) << qint64(-1) << sixBlocks;
    QTest::newRow("step 0 makes blocks touch")
        << qint64(1) << qint64(1) << QRectF(2, 2, 10, 6) << qint64(0) << sixBlocks;
    QTest::newRow("steps of 2") << qint64(0) << qint64(0) << QRectF(0, 0, 5, 2) << qint64(2)
                                << Centres{{0, 0}, {2, 0}, {4, 0}};
    QTest::newRow("block larger than the area: first block only")
        << qint64(4) << qint64(4) << QRectF(0, 0, 3, 3) << qint64(-1) << Centres{{4, 4}};
    QTest::newRow("empty area: first block only")
        << qint64(0) << qint64(0) << QRectF(5, 5, 0, 0) << qint64(-1) << Centres{{5, 5}};
    // Regression: the largest half-width overflowed the centre and the step.
    const qint64 huge = std::numeric_limits<int>::max();
    QTest::newRow("largest half-width")
        << huge << huge << QRectF(5, 0, 100, 100) << qint64(-1) << Centres{{5 + huge, huge}};
    QTest::newRow("area beyond the int range")
        << qint64(0) << qint64(0) << QRectF(4e9, -1e12, 2, 1) << qint64(-1)
        << Centres{{qint64(4e9), qint64(-1e12)}, {qint64(4e9) + 1, qint64(-1e12)}};
}

void TestAreaWalk::visitsTheBlockCentres()
{
    QFETCH(qint64, xw);
    QFETCH(qint64, yw);
    QFETCH(QRectF, area);
    QFETCH(qint64, step);
    QFETCH(Centres, expected);

    AreaWalk walk(20, 20, xw, yw, area.x(), area.y(), area.width(), area.height(), step, step);
    for (int pass = 0; pass < 2; ++pass) {
        Centres visited;
        QVector<bool> newRows;
        bool newRow = false;
        do {
            visited.append({walk.cx, walk.cy});
            newRows.append(newRow);
        } while (walk.next(newRow) && visited.size() <= expected.size());
        QCOMPARE(visited, expected);
        QCOMPARE(walk.count(), qint64(expected.size()));
        for (int i = 0; i < visited.size(); ++i) {
            QCOMPARE(newRows.at(i), i > 0 && visited.at(i).second != visited.at(i - 1).second);
            QCOMPARE(walk.centreX(i % walk.columns()), visited.at(i).first);
            QCOMPARE(walk.centreY(i / walk.columns()), visited.at(i).second);
        }
        walk.rewind();
    }
}

QTEST_GUILESS_MAIN(TestAreaWalk)
#include "tst_areawalk.moc"
