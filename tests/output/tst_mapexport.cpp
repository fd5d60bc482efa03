#include "analysis/analyzed2dres.h"
#include "output/mapexport.h"
#include "output/savedatasettings.h"

#include <QTemporaryDir>
#include <QtTest>

#include <tiffio.h>

#include <cmath>

// The writers of a result map: the text layouts and the TIFF of block centres.
class TstMapExport : public QObject
{
    Q_OBJECT

private slots:
    void textLayouts_data();
    void textLayouts();
    void analyzedAreaTiff();
};

void TstMapExport::textLayouts_data()
{
    QTest::addColumn<bool>("csv");
    QTest::addColumn<bool>("xyVal");
    QTest::addColumn<QString>("expected");
    QTest::newRow("csv, x y val") << true << true << "0,0,1\n1,0,nan\n2,0,3\n0,1,4\n1,1,5\n2,1,6\n";
    QTest::newRow("ssv, x y val") << false << true
                                  << "0 0 1\n1 0 nan\n2 0 3\n0 1 4\n1 1 5\n2 1 6\n";
    QTest::newRow("csv, rows") << true << false << "1,nan,3\n4,5,6\n";
    QTest::newRow("ssv, rows") << false << false << "1 nan 3\n4 5 6\n";
}

void TstMapExport::textLayouts()
{
    QFETCH(bool, csv);
    QFETCH(bool, xyVal);
    QFETCH(QString, expected);
    Analyzed2DRes map(QStringLiteral("m"));
    map.reset(3, 2);
    const double values[] = {1, std::nan(""), 3, 4, 5, 6};
    for (int i = 0; i < 6; ++i)
        map.setData(i % 3, i / 3, 0, 0, values[i]);
    SaveDataSettings settings;
    settings.commaSeparated = csv;
    settings.xyVal = xyVal;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("m.dat"));
    QVERIFY(MapExport::saveAsText(path, map, settings));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromLatin1(file.readAll()), expected);
}

void TstMapExport::analyzedAreaTiff()
{
    // Blocks of 21 x 21 over 100 x 50 pixels: 5 centres a row, 2 rows; the last row's centres
    // and the one past a 90-pixel wide map are written, the latter as 0.
    Analyzed2DRes map(QStringLiteral("m"));
    map.reset(AreaWalk(90, 50, 10, 10, 0, 0, 100, 50));
    AreaWalk walk = map.walk();
    bool newRow = false;
    double t = 1;
    do {
        map.record(walk, t++);
    } while (walk.next(newRow));
    SaveDataSettings settings;
    settings.asAnalyzed = true;
    settings.fixedScale = true;
    settings.scaleMin = 0;
    settings.scaleMax = 10;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.tif"));
    QVERIFY(MapExport::saveAsTiff(path, map, settings));

    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "r");
    QVERIFY(tif);
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    QCOMPARE(int(w), 5);
    QCOMPARE(int(h), 2);
    QVector<quint16> row(5);
    QVERIFY(TIFFReadScanline(tif, row.data(), 1) >= 0);
    TIFFClose(tif);
    const QVector<quint16> expected{
        quint16(6 * 6553.5), quint16(7 * 6553.5), quint16(8 * 6553.5), quint16(9 * 6553.5), 0};
    QCOMPARE(row, expected);
}

QTEST_GUILESS_MAIN(TstMapExport)
#include "tst_mapexport.moc"
