#include "display/colortables.h"
#include "displaytesting.h"

#include <QtTest>

#include <vector>

// The colour tables, the curve palette and the image-buffer helpers.
class TestColorTables : public QObject
{
    Q_OBJECT

private slots:
    void hotEntries_data();
    void hotEntries();
    void hotTableIsContinuous();
    void curveColour_data();
    void curveColour();
    void rowBytes_data();
    void rowBytes();
    void allocPixels_data();
    void allocPixels();
    void wrapImageSharesTheBuffer();
    void wrapImageRefusesOtherFormats();
};

void TestColorTables::hotEntries_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("first, black") << 0 << QColor(0, 0, 0);
    QTest::newRow("dark red") << 100 << QColor(100, 0, 0);
    QTest::newRow("red") << 255 << QColor(255, 0, 0);
    QTest::newRow("red, first green step") << 256 << QColor(255, 1, 0);
    QTest::newRow("yellow") << 510 << QColor(255, 255, 0);
    QTest::newRow("yellow, first blue step") << 511 << QColor(255, 255, 1);
    QTest::newRow("almost white") << 765 << QColor(255, 255, 255);
    QTest::newRow("last, white") << 766 << QColor(255, 255, 255);
    QTest::newRow("below the table clamps") << -5 << QColor(0, 0, 0);
    QTest::newRow("beyond the table clamps") << 900 << QColor(255, 255, 255);
}

void TestColorTables::hotEntries()
{
    QFETCH(int, index);
    QFETCH(QColor, expected);
    const uchar *entry = ColorTables::hotEntry(index);
    const QColor actual(entry[0], entry[1], entry[2]);
    QVERIFY2(
        actual == expected,
        qPrintable(QStringLiteral("entry %1: %2, expected %3")
                       .arg(index)
                       .arg(DisplayTesting::describe(actual), DisplayTesting::describe(expected))));
}

void TestColorTables::hotTableIsContinuous()
{
    // Each step changes exactly one channel by one: no jump anywhere in the scale.
    QCOMPARE(ColorTables::hotEntries, 767);
    for (int i = 1; i < 766; ++i) {
        const uchar *a = ColorTables::hotEntry(i - 1);
        const uchar *b = ColorTables::hotEntry(i);
        const int change = (b[0] - a[0]) + (b[1] - a[1]) + (b[2] - a[2]);
        QVERIFY2(change == 1,
                 qPrintable(QStringLiteral("step to entry %1 changes by %2").arg(i).arg(change)));
    }
}

void TestColorTables::curveColour_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("first") << 0 << QColor(255, 0, 0);
    QTest::newRow("second") << 1 << QColor(0, 255, 0);
    QTest::newRow("fourth") << 3 << QColor(255, 200, 0);
    QTest::newRow("last") << 8 << QColor(0, 200, 255);
    QTest::newRow("wraps to the first") << 9 << QColor(255, 0, 0);
    QTest::newRow("10 is the second") << 10 << QColor(0, 255, 0);
    QTest::newRow("twice round") << 25 << QColor(0, 255, 200);
    QTest::newRow("negative wraps from the end") << -1 << QColor(0, 200, 255);
}

void TestColorTables::curveColour()
{
    QFETCH(int, k);
    QFETCH(QColor, expected);
    QCOMPARE(ColorTables::curveColour(k), expected);
}

void TestColorTables::rowBytes_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("expected");
    QTest::newRow("colour 5") << int(QImage::Format_RGB888) << 5 << 16;
    QTest::newRow("grey 5") << int(QImage::Format_Grayscale8) << 5 << 8;
    QTest::newRow("colour 4") << int(QImage::Format_RGB888) << 4 << 12;
    QTest::newRow("grey 4") << int(QImage::Format_Grayscale8) << 4 << 4;
    QTest::newRow("grey 1") << int(QImage::Format_Grayscale8) << 1 << 4;
    QTest::newRow("colour 1") << int(QImage::Format_RGB888) << 1 << 4;
    QTest::newRow("width 0") << int(QImage::Format_RGB888) << 0 << 0;
    QTest::newRow("negative width") << int(QImage::Format_Grayscale8) << -7 << 0;
    QTest::newRow("other format") << int(QImage::Format_ARGB32) << 5 << 0;
}

void TestColorTables::rowBytes()
{
    QFETCH(int, format);
    QFETCH(int, width);
    QFETCH(int, expected);
    QCOMPARE(::rowBytes(QImage::Format(format), width), expected);
}

void TestColorTables::allocPixels_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("expectedSize");
    QTest::newRow("colour 5 x 3") << int(QImage::Format_RGB888) << 5 << 3 << 48;
    QTest::newRow("grey 5 x 3") << int(QImage::Format_Grayscale8) << 5 << 3 << 24;
    QTest::newRow("no rows") << int(QImage::Format_Grayscale8) << 5 << 0 << 0;
    QTest::newRow("no columns") << int(QImage::Format_Grayscale8) << 0 << 5 << 0;
    QTest::newRow("negative height") << int(QImage::Format_RGB888) << 5 << -2 << 0;
    QTest::newRow("other format") << int(QImage::Format_ARGB32) << 5 << 3 << 0;
    // Regression: the size was cut to int and a huge image got a small buffer.
    QTest::newRow("too large for one buffer") << int(QImage::Format_RGB888) << 70000 << 70000 << 0;
}

void TestColorTables::allocPixels()
{
    QFETCH(int, format);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, expectedSize);
    const QByteArray pixels = ::allocPixels(QImage::Format(format), width, height);
    QCOMPARE(pixels.size(), expectedSize);
    QVERIFY(std::all_of(pixels.cbegin(), pixels.cend(), [](char c) { return c == 0; }));
}

void TestColorTables::wrapImageSharesTheBuffer()
{
    std::vector<uchar> pixels(size_t(::rowBytes(QImage::Format_RGB888, 5)) * 2);
    uchar *data = pixels.data();
    const QImage image = wrapImage(QImage::Format_RGB888, data, 5, 2);
    QCOMPARE(image.size(), QSize(5, 2));
    QCOMPARE(image.format(), QImage::Format_RGB888);
    QCOMPARE(image.bytesPerLine(), 16);
    QCOMPARE(image.constBits(), data);
    // Second row, third pixel.
    data[16 + 6] = 10;
    data[16 + 7] = 20;
    data[16 + 8] = 30;
    QCOMPARE(QColor(image.pixel(2, 1)), QColor(10, 20, 30));
}

void TestColorTables::wrapImageRefusesOtherFormats()
{
    QByteArray pixels(64, '\0');
    uchar *data = reinterpret_cast<uchar *>(pixels.data());
    QVERIFY(wrapImage(QImage::Format_ARGB32, data, 2, 2).isNull());
    QVERIFY(wrapImage(QImage::Format_Grayscale8, nullptr, 2, 2).isNull());
    QVERIFY(wrapImage(QImage::Format_Grayscale8, data, 0, 2).isNull());
}

QTEST_GUILESS_MAIN(TestColorTables)
#include "tst_colortables.moc"
