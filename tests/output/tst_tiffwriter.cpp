#include "input/tiffdata.h"
#include "output/tiffwriter.h"

#include <QTemporaryDir>
#include <QtTest>

#include <tiffio.h>

// The 16-bit TIFF writer: what libtiff and the program's own reader find in its files.
class TstTiffWriter : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void failureLeavesTheOldFile();

private:
    QTemporaryDir mDir;
};

void TstTiffWriter::roundTrip_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("strips");
    // Strips hold `width` rows each.
    QTest::newRow("wide: one strip") << 40 << 9 << 1;
    QTest::newRow("tall: several strips, short last one") << 4 << 10 << 3;
    QTest::newRow("square") << 7 << 7 << 1;
    QTest::newRow("one pixel") << 1 << 1 << 1;
}

void TstTiffWriter::roundTrip()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, strips);
    QVector<quint16> values(width * height);
    for (int i = 0; i < values.size(); ++i)
        values[i] = quint16((i * 2654435761u) >> 16);
    const QString file = mDir.filePath(QStringLiteral("w%1h%2.tif").arg(width).arg(height));
    QVERIFY(writeTiff16(file, width, height, values.constData()));

    TIFF *tif = TIFFOpen(QFile::encodeName(file).constData(), "r");
    QVERIFY(tif);
    uint32_t w = 0, h = 0, rowsPerStrip = 0;
    uint16_t bits = 0, samples = 0, photometric = 9, compression = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    TIFFGetField(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
    const int stripCount = int(TIFFNumberOfStrips(tif));
    TIFFClose(tif);
    QCOMPARE(int(w), width);
    QCOMPARE(int(h), height);
    QCOMPARE(int(rowsPerStrip), width);
    QCOMPARE(int(bits), 16);
    QCOMPARE(int(samples), 1);
    QCOMPARE(int(photometric), int(PHOTOMETRIC_MINISBLACK));
    QCOMPARE(int(compression), int(COMPRESSION_NONE));
    QCOMPARE(stripCount, strips);

    TiffData data;
    QVERIFY(data.read(file));
    QCOMPARE(data.samples16, values);
}

void TstTiffWriter::failureLeavesTheOldFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("kept.tif"));
    const QVector<quint16> values(6, 42);
    QVERIFY(writeTiff16(file, 3, 2, values.constData()));
    const QByteArray before = [&] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QTest::ignoreMessage(QtDebugMsg, qPrintable("Can't write " + file));
    QVERIFY(!writeTiff16(file, 0, 2, values.constData()));
    const QString unreachable = mDir.filePath(QStringLiteral("no/such/dir/x.tif"));
    QTest::ignoreMessage(QtDebugMsg, qPrintable("Can't write " + unreachable));
    QVERIFY(!writeTiff16(unreachable, 3, 2, values.constData()));
    QFile after(file);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.tif"});
}

QTEST_MAIN(TstTiffWriter)
#include "tst_tiffwriter.moc"
