#include "display/colorscale.h"
#include "display/colortables.h"
#include "input/tiffdata.h"
#include "output/tiffwriter.h"
#include "testimages.h"

#include <QRegularExpression>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <limits>
#include <vector>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestImages;

class TstTiffData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void badFile_data();
    void badFile();
    void imgCommentKeys_data();
    void imgCommentKeys();
    void qnrbValues();
    void qnrbEndingEarlyFillsZeros();
    void binSumMatchesPixelSum_data();
    void binSumMatchesPixelSum();
    void blockSumsMatchBinSums_data();
    void blockSumsMatchBinSums();
    void displayImageOnlyWhenAsked();
    void displayImageShowsTheShiftedSamples_data();
    void displayImageShowsTheShiftedSamples();
    void constantImageHasADisplayImage();
    void recolouringLeavesHeldImages();
    void nonFiniteFloatSamplesReadAsZero();
    void pathOutsideLatin1();
    void emptyImgIsRefused();
    void compressedHeaderOfAHugeImageCostsNoMemory();
    void sampleStoreKeepsItsSamples_data();
    void sampleStoreKeepsItsSamples();

private:
    QString path(const QString &name) const { return mDir.filePath(name); }
    void expectMessage(const QString &message, const QString &file);

    QTemporaryDir mDir;
    ColorScale mScale;
};

void TstTiffData::initTestCase()
{
    QVERIFY(mDir.isValid());
    ColorTables::build();
    ColorScale::setCurrent(&mScale);
}

void TstTiffData::expectMessage(const QString &message, const QString &file)
{
    QTest::ignoreMessage(
        QtDebugMsg,
        QRegularExpression(
            QStringLiteral("^(%1) .*%2").arg(message, QRegularExpression::escape(file))));
}

void TstTiffData::roundTrip_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("kind");
    QTest::newRow("tiff16") << "tiff16" << int(TiffData::TiffRows);
    QTest::newRow("tiff8 widened") << "tiff8" << int(TiffData::TiffRows);
    QTest::newRow("tiff float") << "tiffFloat" << int(TiffData::FloatRows);
    QTest::newRow("tiff16 deflate") << "tiff16Deflate" << int(TiffData::TiffRows);
    QTest::newRow("tiff float LZW") << "tiffFloatLzw" << int(TiffData::FloatRows);
    QTest::newRow("img") << "img" << int(TiffData::ImgRows);
    QTest::newRow("qnrb") << "qnrb" << int(TiffData::FloatRows);
}

void TstTiffData::roundTrip()
{
    QFETCH(QString, format);
    QFETCH(int, kind);
    const int width = 37;
    const int height = 23;
    QVector<quint16> values = pattern(width, height);
    if (format == QLatin1String("tiff8")) {
        for (quint16 &v : values)
            v %= 256;
    }
    const QString file = path(QStringLiteral("round_%1.bin").arg(format));
    if (format == QLatin1String("tiff16")) {
        QVERIFY(writeTiff16(file, width, height, values.constData()));
    } else if (format.startsWith(QLatin1String("tiff"))) {
        TiffLayout layout;
        if (format == QLatin1String("tiff8"))
            layout.bitsPerSample = 8;
        if (format.startsWith(QLatin1String("tiffFloat"))) {
            layout.bitsPerSample = 32;
            layout.sampleFormat = SAMPLEFORMAT_IEEEFP;
        }
        if (format.endsWith(QLatin1String("Deflate")))
            layout.compression = COMPRESSION_ADOBE_DEFLATE;
        if (format.endsWith(QLatin1String("Lzw")))
            layout.compression = COMPRESSION_LZW;
        QVERIFY(writeTiff(file, width, height, asDoubles(values), layout));
    } else if (format == QLatin1String("img")) {
        QVERIFY(writeBytes(file, imgBytes(width, height, "note,", values)));
    } else {
        QVector<double> text(values.size());
        for (int i = 0; i < values.size(); ++i)
            text[i] = values.at(i) / 500.0;
        QVERIFY(writeBytes(file, qnrbBytes(3, 3 + width, 5, 5 + height, text)));
    }

    TiffData data;
    QVERIFY(data.read(file));
    QCOMPARE(data.fileName, file);
    QCOMPARE(data.width, width);
    QCOMPARE(data.height, height);
    QCOMPARE(int(data.sampleKind), kind);
    double lo = 1e300, hi = -1e300;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double expected = values.at(y * width + x);
            lo = qMin(lo, expected);
            hi = qMax(hi, expected);
            QVERIFY2(qAbs(data.shiftedValue(x, y) - expected) < 1e-3,
                     qPrintable(QStringLiteral("(%1, %2): read %3, written %4")
                                    .arg(x)
                                    .arg(y)
                                    .arg(data.shiftedValue(x, y))
                                    .arg(expected)));
        }
    }
    QVERIFY2(qAbs(data.minValue - lo) < 1e-3 && qAbs(data.maxValue - hi) < 1e-3,
             qPrintable(QStringLiteral("range %1..%2, expected %3..%4")
                            .arg(data.minValue)
                            .arg(data.maxValue)
                            .arg(lo)
                            .arg(hi)));
}

void TstTiffData::badFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");

    const QVector<quint16> values = pattern(20, 10);
    QVERIFY(writeTiff16(path("whole.tif"), 20, 10, values.constData()));
    QFile whole(path("whole.tif"));
    QVERIFY(whole.open(QIODevice::ReadOnly));
    const QByteArray tiffBytes = whole.readAll();

    QVERIFY(writeBytes(path("fourteen.tif"), QByteArray("II*\0\x08\0\0\0abcdef", 14)));
    QTest::newRow("14-byte file") << "fourteen.tif"
                                  << "Error on reading file \\(1\\)";
    QVERIFY(writeBytes(path("truncated.tif"), tiffBytes.left(tiffBytes.size() / 2)));
    QTest::newRow("truncated TIFF") << "truncated.tif"
                                    << "Can not open TIFF|Error on reading TIFF";

    const QByteArray img = imgBytes(20, 10, "a=b,", values);
    QVERIFY(writeBytes(path("truncated.img"), img.left(img.size() - 7)));
    QTest::newRow("truncated IMG data") << "truncated.img"
                                        << "Error on reading \\(2\\)";
    QVERIFY(writeBytes(path("comment.img"), img.left(64 + 2)));
    QTest::newRow("IMG ending in its comment") << "comment.img"
                                               << "Error on reading";
    QVERIFY(writeBytes(path("huge.img"), imgBytes(65535, 65535, "", pattern(4, 4))));
    QTest::newRow("IMG header declaring a huge image") << "huge.img"
                                                       << "Error on reading \\(2\\)";
    QVERIFY(writeBytes(path("hugecomment.img"),
                       imgBytes(4, 4, "Prop_ImageWidth=2000000000,", pattern(4, 4))));
    QTest::newRow("IMG comment declaring a huge image") << "hugecomment.img"
                                                        << "Error on reading \\(2\\)";

    QVERIFY(writeBytes(path("huge.dat"), qnrbBytes(0, 100000, 0, 100000, {1.0, 2.0, 3.0})));
    QTest::newRow("QNRB range of a huge image") << "huge.dat"
                                                << "Image too large";
    QVERIFY(writeBytes(path("empty.dat"), qnrbBytes(10, 10, 0, 5, {1.0, 2.0})));
    QTest::newRow("QNRB of no width") << "empty.dat"
                                      << "Empty image";

    QVERIFY(writeBytes(path("text.tif"), "just some text, not an image\n"));
    QTest::newRow("unknown first bytes") << "text.tif"
                                         << "Unknown image format";
    QVERIFY(QDir(mDir.path()).mkpath("folder.tif"));
    QTest::newRow("directory") << "folder.tif"
                               << "Can not open \\(1\\)";
    QTest::newRow("missing file") << "missing.tif"
                                  << "Can not open \\(1\\)";

    QVector<double> d = asDoubles(values);
    TiffLayout rgb;
    rgb.bitsPerSample = 8;
    rgb.samplesPerPixel = 3;
    rgb.photometric = PHOTOMETRIC_RGB;
    QVERIFY(writeTiff(path("rgb.tif"), 20, 10, d, rgb));
    QTest::newRow("RGB TIFF") << "rgb.tif"
                              << "Not a greyscale TIFF";
    TiffLayout tiled;
    tiled.tiled = true;
    QVERIFY(writeTiff(path("tiled.tif"), 20, 10, d, tiled));
    QTest::newRow("tiled TIFF") << "tiled.tif"
                                << "Tiled TIFF is not supported";
    TiffLayout int32;
    int32.bitsPerSample = 32;
    QVERIFY(writeTiff(path("int32.tif"), 20, 10, d, int32));
    QTest::newRow("32-bit integer TIFF") << "int32.tif"
                                         << "Unsupported TIFF sample format";

    // A header that declares 60000 x 60000 pixels over a file of one written row.
    TIFF *tif = TIFFOpen(QFile::encodeName(path("huge.tif")).constData(), "w");
    QVERIFY(tif);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(60000));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(60000));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(16));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_MINISBLACK));
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(1));
    QByteArray row(60000 * 2, '\1');
    QVERIFY(TIFFWriteScanline(tif, row.data(), 0, 0) >= 0);
    TIFFClose(tif);
    QTest::newRow("TIFF header declaring a huge image")
        << "huge.tif"
        << "Can not open TIFF|Error on reading TIFF";
}

void TstTiffData::badFile()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    const QString file = path(name);
    expectMessage(message, file);
    TiffData data;
    QVERIFY(!data.read(file));
    data.clear();
    QVERIFY(data.samples16.isEmpty() && data.samplesFloat.isEmpty());
}

void TstTiffData::imgCommentKeys_data()
{
    QTest::addColumn<QByteArray>("comment");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    // The header says 3 x 8.
    QTest::newRow("no keys") << QByteArray("Prop_Other=1,") << 3 << 8;
    QTest::newRow("both keys") << QByteArray("Prop_ImageWidth=6,Prop_ImageHeight=4,") << 6 << 4;
    QTest::newRow("blanks after the key") << QByteArray("Prop_ImageWidth=  6  x,") << 6 << 8;
    QTest::newRow("last token has no comma")
        << QByteArray("Prop_ImageHeight=4,Prop_ImageWidth=6") << 3 << 4;
}

void TstTiffData::imgCommentKeys()
{
    QFETCH(QByteArray, comment);
    QFETCH(int, width);
    QFETCH(int, height);
    const QString file = path("keys.img");
    QVERIFY(writeBytes(file, imgBytes(3, 8, comment, pattern(width, height))));
    TiffData data;
    QVERIFY(data.read(file));
    QCOMPARE(data.width, width);
    QCOMPARE(data.height, height);
    QCOMPARE(data.shiftedValue(width - 1, height - 1), double(patternValue(width - 1, height - 1)));
}

void TstTiffData::qnrbValues()
{
    // Range 0..4 is four pixels wide, not five.
    const QString file = path("values.dat");
    QVERIFY(writeBytes(file, qnrbBytes(0, 4, 0, 1, {-0.01, 0.01, 1.5, 0.123456789})));
    TiffData data;
    QVERIFY(data.read(file));
    QCOMPARE(data.width, 4);
    QCOMPARE(data.height, 1);
    QCOMPARE(data.shiftedValue(0, 0), 0.0);
    QCOMPARE(data.shiftedValue(1, 0), 5.0);
    QCOMPARE(data.shiftedValue(2, 0), 750.0);
    // Regression: the value was rounded to float before the scaling, one float step off.
    QCOMPARE(data.shiftedValue(3, 0), double(float(0.123456789 * 500.0)));
    QCOMPARE(data.minValue, 0.0);
    QCOMPARE(data.maxValue, 750.0);
}

void TstTiffData::qnrbEndingEarlyFillsZeros()
{
    // Regression: a file with fewer bytes than its declared pixels was refused.
    const QString file = path("short.dat");
    QVector<double> values(30);
    for (int i = 0; i < values.size(); ++i)
        values[i] = 1.0 + i;
    QVERIFY(writeBytes(file, qnrbBytes(0, 10, 0, 500, values)));
    TiffData data;
    QVERIFY(data.read(file));
    QCOMPARE(data.height, 500);
    QCOMPARE(data.shiftedValue(9, 2), 500.0 * 30);
    QCOMPARE(data.minValue, 0.0);
    QCOMPARE(data.binSum(5, 250, 5, 246), 0.0);
}

void TstTiffData::binSumMatchesPixelSum_data()
{
    QTest::addColumn<bool>("floatSamples");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("hw");
    QTest::addColumn<int>("hh");
    QTest::addColumn<int>("shiftX");
    QTest::addColumn<int>("shiftY");
    for (const bool f : {false, true}) {
        const char *kind = f ? "float" : "16-bit";
        QTest::addRow("%s centre", kind) << f << 20 << 10 << 3 << 2 << 0 << 0;
        QTest::addRow("%s corner", kind) << f << 0 << 0 << 5 << 5 << 0 << 0;
        QTest::addRow("%s far corner", kind) << f << 36 << 22 << 4 << 1 << 0 << 0;
        QTest::addRow("%s negative halves", kind) << f << 8 << 8 << -2 << -3 << 0 << 0;
        QTest::addRow("%s shifted", kind) << f << 10 << 10 << 4 << 4 << 3 << -2;
        QTest::addRow("%s shifted to the edge", kind) << f << 2 << 21 << 3 << 3 << -5 << 4;
        QTest::addRow("%s larger than the image", kind) << f << 18 << 11 << 100 << 100 << 1 << 1;
        QTest::addRow("%s outside", kind) << f << -30 << 5 << 2 << 2 << 0 << 0;
        QTest::addRow("%s shifted out", kind) << f << 5 << 5 << 2 << 2 << 60 << 0;
    }
}

void TstTiffData::binSumMatchesPixelSum()
{
    QFETCH(bool, floatSamples);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, hw);
    QFETCH(int, hh);
    QFETCH(int, shiftX);
    QFETCH(int, shiftY);
    const int width = 37, height = 23;
    const QVector<quint16> values = pattern(width, height);
    const QString file = path(floatSamples ? "bin.dat" : "bin.tif");
    if (floatSamples) {
        QVector<double> text(values.size());
        for (int i = 0; i < values.size(); ++i)
            text[i] = values.at(i) / 512.0 + 0.001 * i;
        QVERIFY(writeBytes(file, qnrbBytes(0, width, 0, height, text)));
    } else {
        QVERIFY(writeTiff16(file, width, height, values.constData()));
    }
    TiffData data;
    QVERIFY(data.read(file));
    data.shiftX = shiftX;
    data.shiftY = shiftY;

    double expected = 0.0;
    for (int j = -qAbs(hh); j <= qAbs(hh); ++j)
        for (int i = x - qAbs(hw); i <= x + qAbs(hw); ++i)
            expected += data.shiftedValue(i, y + j);
    const double sum = data.binSum(x, y, hw, hh);
    QVERIFY2(qAbs(sum - expected) <= 1e-9 * qAbs(expected),
             qPrintable(QStringLiteral("binSum(%1, %2, %3, %4) shift (%5, %6): %7, expected %8")
                            .arg(x)
                            .arg(y)
                            .arg(hw)
                            .arg(hh)
                            .arg(shiftX)
                            .arg(shiftY)
                            .arg(sum, 0, 'g', 17)
                            .arg(expected, 0, 'g', 17)));
}

void TstTiffData::blockSumsMatchBinSums_data()
{
    QTest::addColumn<int>("firstX");
    QTest::addColumn<int>("stepX");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("hw");
    QTest::addColumn<int>("hh");
    QTest::addColumn<int>("shiftX");
    QTest::addColumn<int>("shiftY");
    QTest::newRow("pixels of a whole row") << 0 << 1 << 37 << 5 << 0 << 0 << 0 << 0;
    QTest::newRow("every third pixel from left of the image")
        << -8 << 3 << 20 << 4 << 0 << 0 << 2 << 0;
    QTest::newRow("pixels past the right edge, shifted") << 30 << 1 << 12 << 3 << 0 << 0 << -3 << 1;
    QTest::newRow("pixels of a row shifted out") << 0 << 1 << 10 << 22 << 0 << 0 << 0 << -1;
    QTest::newRow("touching bins") << 1 << 3 << 12 << 10 << 1 << 2 << 0 << 0;
    QTest::newRow("bins over the border, shifted") << -2 << 2 << 25 << 0 << -2 << 3 << 1 << -1;
    QTest::newRow("bins of one row at the bottom") << 4 << 5 << 7 << 22 << 2 << 0 << 0 << 0;
}

void TstTiffData::blockSumsMatchBinSums()
{
    QFETCH(int, firstX);
    QFETCH(int, stepX);
    QFETCH(int, count);
    QFETCH(int, y);
    QFETCH(int, hw);
    QFETCH(int, hh);
    QFETCH(int, shiftX);
    QFETCH(int, shiftY);
    TiffData data;
    data.width = 37;
    data.height = 23;
    data.sampleKind = TiffData::TiffRows;
    for (const quint16 sample : pattern(data.width, data.height))
        data.samples16.append(sample);
    std::vector<double> sums(count, -1.0);
    data.blockSums(firstX, stepX, count, y, hw, hh, shiftX, shiftY, sums.data());
    for (int i = 0; i < count; ++i) {
        const int x = firstX + i * stepX;
        QCOMPARE(sums[i], data.binSum(x, y, hw, hh, shiftX, shiftY));
    }
}

void TstTiffData::displayImageOnlyWhenAsked()
{
    const QString file = path("display.tif");
    const QVector<quint16> values = pattern(9, 5);
    QVERIFY(writeTiff16(file, 9, 5, values.constData()));
    TiffData data;
    QVERIFY(data.read(file));
    QVERIFY(!data.hasDisplayImage());
    data.makeDisplayImage();
    QVERIFY(data.hasDisplayImage());
    QCOMPARE(data.displayImage.size(), QSize(9, 5));
    // The smallest sample is at (0, 0), the largest at (8, 4).
    QCOMPARE(qGray(data.displayImage.pixel(0, 0)), 0);
    QCOMPARE(qGray(data.displayImage.pixel(8, 4)), 255);
}

void TstTiffData::displayImageShowsTheShiftedSamples_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("shiftX");
    QTest::addColumn<int>("shiftY");
    QTest::addColumn<bool>("colour");
    const struct
    {
        const char *kind;
        int width;
        int height;
    } images[] = {{"16-bit", 37, 23},
                  {"16-bit large", 400, 330},
                  {"float", 37, 23},
                  {"constant", 37, 23},
                  {"constant large", 400, 330}};
    for (const auto &image : images) {
        for (const bool colour : {false, true}) {
            const char *scale = colour ? "hot" : "grey";
            const int w = image.width;
            const int h = image.height;
            QTest::addRow("%s %s unshifted", image.kind, scale)
                << image.kind << w << h << 0 << 0 << colour;
            QTest::addRow("%s %s shifted", image.kind, scale)
                << image.kind << w << h << 3 << -2 << colour;
            QTest::addRow("%s %s shifted left and down", image.kind, scale)
                << image.kind << w << h << -5 << 4 << colour;
            QTest::addRow("%s %s shifted out sideways", image.kind, scale)
                << image.kind << w << h << -w << 0 << colour;
            QTest::addRow("%s %s shifted out downwards", image.kind, scale)
                << image.kind << w << h << 0 << h + 7 << colour;
        }
    }
}

void TstTiffData::displayImageShowsTheShiftedSamples()
{
    QFETCH(QString, kind);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, shiftX);
    QFETCH(int, shiftY);
    QFETCH(bool, colour);
    QVector<double> values(width * height);
    for (int i = 0; i < values.size(); ++i)
        values[i] = kind.startsWith(QLatin1String("constant")) ? 77 : (i * 2654435761u) >> 16;
    const QString file = path(QStringLiteral("display_%1_%2.tif").arg(kind).arg(width));
    TiffLayout layout;
    if (kind == QLatin1String("float")) {
        layout.bitsPerSample = 32;
        layout.sampleFormat = SAMPLEFORMAT_IEEEFP;
        for (double &v : values)
            v /= 7.0;
    }
    QVERIFY(writeTiff(file, width, height, values, layout));
    TiffData data;
    QVERIFY(data.read(file));
    data.shiftX = shiftX;
    data.shiftY = shiftY;

    ColorScale scale;
    scale.setFormat(colour ? QImage::Format_RGB888 : QImage::Format_Grayscale8);
    scale.setLimits(0.2, 0.7);
    ColorScale::setCurrent(&scale);
    data.makeDisplayImage();
    ColorScale::setCurrent(&mScale);
    QCOMPARE(data.displayImage.size(), QSize(width, height));

    const int pixelBytes = scale.bytesPerPixel();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double t
                = (data.shiftedValue(x, y) - data.minValue) / (data.maxValue - data.minValue);
            uchar expected[3] = {};
            scale.colourBytes(t, expected);
            const uchar *shown = data.displayImage.constScanLine(y) + x * pixelBytes;
            QVERIFY2(memcmp(shown, expected, size_t(pixelBytes)) == 0,
                     qPrintable(QStringLiteral("pixel (%1, %2) of value %3: %4, expected %5")
                                    .arg(x)
                                    .arg(y)
                                    .arg(data.shiftedValue(x, y))
                                    .arg(int(shown[0]))
                                    .arg(int(expected[0]))));
        }
    }
}

// A new colouring is written over the last one's buffer only when nobody holds that image.
void TstTiffData::recolouringLeavesHeldImages()
{
    const QString file = path("recolour.img");
    QVector<quint16> values(64 * 48);
    for (int k = 0; k < values.size(); ++k)
        values[k] = quint16(1000 + 13 * k % 700);
    QVERIFY(writeBytes(file, imgBytes(64, 48, "", values)));
    TiffData data;
    QVERIFY(data.read(file));
    ColorScale scale;
    ColorScale::setCurrent(&scale);
    data.makeDisplayImage();
    const QImage held = data.displayImage;
    const QImage before = held.copy();
    scale.setLimits(0.3, 0.6);
    data.makeDisplayImage();
    ColorScale::setCurrent(&mScale);
    QCOMPARE(held, before);
    QVERIFY(data.displayImage != before);
}

void TstTiffData::constantImageHasADisplayImage()
{
    const QString file = path("constant.img");
    QVERIFY(writeBytes(file, imgBytes(4, 3, "", QVector<quint16>(12, 77))));
    TiffData data;
    QVERIFY(data.read(file));
    QCOMPARE(data.minValue, 77.0);
    QCOMPARE(data.maxValue, 77.0);
    data.makeDisplayImage();
    QCOMPARE(data.displayImage.size(), QSize(4, 3));
}

void TstTiffData::nonFiniteFloatSamplesReadAsZero()
{
    // A NaN or infinite sample would poison the value range and every sum over it.
    const QString file = path("nonfinite.tif");
    TiffLayout layout;
    layout.bitsPerSample = 32;
    layout.sampleFormat = SAMPLEFORMAT_IEEEFP;
    const double inf = std::numeric_limits<double>::infinity();
    QVERIFY(writeTiff(file, 4, 1, {1.5, std::nan(""), inf, 2.5}, layout));
    TiffData data;
    QVERIFY(data.read(file));
    QCOMPARE(data.shiftedValue(1, 0), 0.0);
    QCOMPARE(data.shiftedValue(2, 0), 0.0);
    QCOMPARE(data.maxValue, 2.5);
    QCOMPARE(data.binSum(1, 0, 2, 0), 4.0);
}

void TstTiffData::pathOutsideLatin1()
{
    const QString file = path(QStringLiteral("\u8A66\u6599_7112_50eV.tif"));
    const QVector<quint16> values = pattern(5, 4);
    QVERIFY(writeTiff16(file, 5, 4, values.constData()));
    QVERIFY(QFileInfo::exists(file));
    TiffData data;
    QVERIFY(data.read(file));
    QCOMPARE(data.samples16, values);
}

void TstTiffData::emptyImgIsRefused()
{
    const QString file = path("empty.img");
    QVERIFY(writeBytes(file, imgBytes(0, 5, "", {})));
    expectMessage("Empty image", file);
    TiffData data;
    QVERIFY(!data.read(file));
}

void TstTiffData::compressedHeaderOfAHugeImageCostsNoMemory()
{
    // Regression: a tiny deflate TIFF declaring 16384 x 16384 floats took 1 GB before its
    // strip failed to decode.
    const QString file = path(QStringLiteral("tinydeflate.tif"));
    TIFF *tif = TIFFOpen(QFile::encodeName(file).constData(), "w");
    QVERIFY(tif);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(16384));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(16384));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(32));
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, uint16_t(SAMPLEFORMAT_IEEEFP));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_MINISBLACK));
    TIFFSetField(tif, TIFFTAG_COMPRESSION, uint16_t(COMPRESSION_ADOBE_DEFLATE));
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(16384));
    char junk[] = "not a deflate stream";
    QVERIFY(TIFFWriteRawStrip(tif, 0, junk, sizeof junk) > 0);
    TIFFClose(tif);

#ifdef __SANITIZE_ADDRESS__
    QSKIP("the address sanitizer reserves address space beyond any limit");
#endif
    // The address space this process may still take: a quarter of what the header declares.
    rlimit before{};
    getrlimit(RLIMIT_AS, &before);
    QFile statm(QStringLiteral("/proc/self/statm"));
    QVERIFY(statm.open(QIODevice::ReadOnly));
    rlimit limited = before;
    limited.rlim_cur
        = rlim_t(statm.readAll().split(' ').at(0).toLongLong()) * rlim_t(sysconf(_SC_PAGESIZE))
          + (rlim_t(256) << 20);
    QVERIFY(setrlimit(RLIMIT_AS, &limited) == 0);
    TiffData data;
    const bool read = data.read(file);
    setrlimit(RLIMIT_AS, &before);
    QVERIFY(!read);
}

void TstTiffData::sampleStoreKeepsItsSamples_data()
{
    QTest::addColumn<int>("fileOffset");
    QTest::addColumn<int>("lineOffset");

    QTest::newRow("strips after the header") << 8 << 8;
    QTest::newRow("line boundary") << 128 << 0;
    QTest::newRow("odd offset: whole samples") << 71 << 6;
}

void TstTiffData::sampleStoreKeepsItsSamples()
{
    QFETCH(int, fileOffset);
    QFETCH(int, lineOffset);

    // The store is placed by hand: a wrong lead would misalign or lose samples as it grows.
    SampleStore<quint16> store;
    store.alignLike(quint64(fileOffset));
    store.resizeForOverwrite(3);
    QCOMPARE(int(reinterpret_cast<quintptr>(store.data()) % 64), lineOffset);
    store[0] = 1;
    store[1] = 2;
    store[2] = 3;
    store.resize(1000);
    store.append(7);
    QCOMPARE(store.size(), 1001);
    QCOMPARE(int(reinterpret_cast<quintptr>(store.data()) % 64), lineOffset);
    QVERIFY(store.at(0) == 1 && store.at(2) == 3 && store.at(3) == 0 && store.at(999) == 0);
    QCOMPARE(store.at(1000), quint16(7));
    const SampleStore<quint16> copy = store;
    QVERIFY(std::equal(copy.begin(), copy.end(), store.begin()) && copy.size() == store.size());
    store.clear();
    QVERIFY(store.isEmpty() && !copy.isEmpty());
}

QTEST_MAIN(TstTiffData)
#include "tst_tiffdata.moc"
