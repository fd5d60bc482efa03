#include "resources/resourceinit.h"
#include "spectra/elementtable.h"
#include "spectra/victoreentable.h"

#include <QTemporaryDir>
#include <QtTest>

class TestXrayTables : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void atomicNumbers_data();
    void atomicNumbers();
    void elementTable();
    void edgeIndices_data();
    void edgeIndices();
    void edgeEnergies_data();
    void edgeEnergies();
    void tableRows();
    void publishedEdgesAreOrdered();
    void missingOrOverlongTables();
};

void TestXrayTables::initTestCase()
{
    initMarvolentiResources();
    readVictoreenTable();
}

void TestXrayTables::atomicNumbers_data()
{
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<int>("z");

    QTest::newRow("Fe") << QStringLiteral("Fe") << 26;
    QTest::newRow("fe is not a symbol") << QStringLiteral("fe") << -1;
    QTest::newRow("blank placeholder") << QStringLiteral(" ") << 0;
    QTest::newRow("deuterium") << QStringLiteral("D") << 110;
    QTest::newRow("H") << QStringLiteral("H") << 1;
    QTest::newRow("U") << QStringLiteral("U") << 92;
    QTest::newRow("Mt") << QStringLiteral("Mt") << 109;
    QTest::newRow("empty") << QString() << -1;
    QTest::newRow("FE") << QStringLiteral("FE") << -1;
}

void TestXrayTables::atomicNumbers()
{
    QFETCH(QString, symbol);
    QFETCH(int, z);
    QCOMPARE(atomicNumberOf(symbol), z);
}

void TestXrayTables::elementTable()
{
    for (int z = 0; z < ElementCount; ++z)
        QCOMPARE(ElementTable[z].z, z);
    QCOMPARE(ElementTable[26].weight, 55.847);
    QCOMPARE(ElementTable[92].weight, 238.051);
    QCOMPARE(ElementTable[8].weight, 15.9994);
    QCOMPARE(ElementTable[97].weight, 0.0);
    QCOMPARE(ElementTable[110].weight, 2.01355321);
    for (int z = 101; z <= 109; ++z)
        QCOMPARE(ElementTable[z].weight, 0.0);
    QCOMPARE(QLatin1String(EdgeNames[3]), QLatin1String("LIII"));
}

void TestXrayTables::edgeIndices_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");

    QTest::newRow("K") << QStringLiteral("K") << 0;
    QTest::newRow("k") << QStringLiteral("k") << 0;
    QTest::newRow("li") << QStringLiteral("li") << 1;
    QTest::newRow("L1") << QStringLiteral("L1") << 1;
    QTest::newRow("LII") << QStringLiteral("LII") << 2;
    QTest::newRow("l2") << QStringLiteral("l2") << 2;
    QTest::newRow("l3") << QStringLiteral("l3") << 3;
    QTest::newRow("LIII") << QStringLiteral("LIII") << 3;
    QTest::newRow("M1 means K") << QStringLiteral("M1") << 0;
    QTest::newRow("empty means K") << QString() << 0;
}

void TestXrayTables::edgeIndices()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QCOMPARE(edgeIndexOf(name), index);
}

void TestXrayTables::edgeEnergies_data()
{
    QTest::addColumn<int>("z");
    QTest::addColumn<int>("edge");
    QTest::addColumn<double>("eV");

    QTest::newRow("Fe K") << 26 << 0 << 7113.26288;
    QTest::newRow("Fe LI") << 26 << 1 << 849.0;
    QTest::newRow("Cu LIII") << 29 << 3 << 935.0;
    QTest::newRow("U K") << 92 << 0 << 115009.0;
    QTest::newRow("U LIII") << 92 << 3 << 17158.0;
    QTest::newRow("H K is not given") << 1 << 0 << 0.0;
    QTest::newRow("Zn K, published") << 30 << 0 << 9659.0;
    QTest::newRow("Pb LIII, published") << 82 << 3 << 13035.0;
    QTest::newRow("no M1 edges") << 26 << 4 << 0.0;
    QTest::newRow("beyond U") << 93 << 0 << 0.0;
    QTest::newRow("negative Z") << -1 << 0 << 0.0;
    QTest::newRow("edge index past the row") << 26 << 5 << 0.0;
}

void TestXrayTables::edgeEnergies()
{
    QFETCH(int, z);
    QFETCH(int, edge);
    QFETCH(double, eV);
    const double result = edgeEnergyEV(z, edge);
    QVERIFY2(qAbs(result - eV) <= 1e-6,
             qPrintable(QStringLiteral("edgeEnergyEV(%1, %2) = %3, expected %4")
                            .arg(z)
                            .arg(edge)
                            .arg(result, 0, 'g', 12)
                            .arg(eV, 0, 'g', 12)));
}

void TestXrayTables::tableRows()
{
    const VictoreenTable &table = victoreenTable();
    QCOMPARE(table.rowCount, 93);
    const VictoreenRow &caption = table.rows[0];
    QCOMPARE(caption.z, 0);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(caption.edge[i], 0.0);
        QCOMPARE(caption.c[i], 0.0);
        QCOMPARE(caption.d[i], 0.0);
    }
    for (int z = 1; z <= 92; ++z)
        QCOMPARE(table.rows[z].z, z);
    QCOMPARE(table.rows[1].c[0], 0.0127);
    QCOMPARE(table.rows[1].d[0], 0.00000466);
    QCOMPARE(table.rows[26].c[0], 126.0);
    QCOMPARE(table.rows[26].d[0], 27.2);
    QCOMPARE(table.rows[26].c[1], 9.95);
    QCOMPARE(table.rows[26].d[1], 0.433);
    QCOMPARE(table.rows[29].c[1], 15.6);
    QCOMPARE(table.rows[29].edge[2], 0.954);
    QCOMPARE(table.rows[26].c[2], 0.0);
}

void TestXrayTables::publishedEdgesAreOrdered()
{
    // Catches rows shifted by a column or an element: K edges rise with Z, and within a row
    // K > LI > LII >= LIII wherever the edges are given.
    const VictoreenTable &table = victoreenTable();
    for (int z = 3; z <= 92; ++z) {
        const VictoreenRow &row = table.rows[z];
        QVERIFY2(row.edge[0] > table.rows[z - 1].edge[0], qPrintable(QString::number(z)));
        QVERIFY2(row.edge[1] > 0 && row.edge[0] > row.edge[1], qPrintable(QString::number(z)));
        if (z >= 10) {
            QVERIFY2(row.edge[1] > row.edge[2] && row.edge[2] >= row.edge[3] - 0.001
                         && row.edge[3] > 0,
                     qPrintable(QString::number(z)));
        }
    }
}

void TestXrayTables::missingOrOverlongTables()
{
    QTemporaryDir dir;
    QTest::ignoreMessage(QtDebugMsg, "Cannot open [missing.txt]");
    readVictoreenTable(dir.filePath(QStringLiteral("missing.txt")));
    QCOMPARE(victoreenTable().rowCount, 0);
    QCOMPARE(edgeEnergyEV(26, 0), 0.0);

    // Regression: rows past the hundredth were written beyond the table.
    const QString path = dir.filePath(QStringLiteral("long.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
    QTextStream out(&file);
    for (int z = 0; z < 120; ++z)
        out << "X " << z << " 1.5 = = = = = = = = = = = = = = = = = =\n";
    out << "\n# a comment\n";
    file.close();
    readVictoreenTable(path);
    QCOMPARE(victoreenTable().rowCount, VictoreenTable::MaxRows);
    QCOMPARE(victoreenTable().rows[99].z, 99);
    QCOMPARE(edgeEnergyEV(99, 0), 1500.0);
    QCOMPARE(edgeEnergyEV(100, 0), 0.0);

    readVictoreenTable();
    QCOMPARE(victoreenTable().rowCount, 93);
}

QTEST_MAIN(TestXrayTables)
#include "tst_xraytables.moc"
