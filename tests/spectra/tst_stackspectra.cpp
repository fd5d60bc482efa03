#include "input/tiffdata.h"
#include "spectra/stackspectra.h"
#include "tests/input/testimages.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int Width = 6;
constexpr int Height = 5;

// One image stack built in memory; the records stay owned here.
class Stack
{
public:
    TiffData *add(double energy, const std::function<int(int, int)> &sample)
    {
        auto image = std::make_unique<TiffData>();
        image->width = Width;
        image->height = Height;
        image->energy = energy;
        image->sampleKind = TiffData::ImgRows;
        image->samples16.resize(Width * Height);
        for (int row = 0; row < Height; ++row) {
            for (int column = 0; column < Width; ++column)
                image->samples16[row * Width + column] = quint16(sample(column, row));
        }
        mImages.push_back(std::move(image));
        mPointers.append(mImages.back().get());
        return mPointers.last();
    }
    TiffData *addConstant(double energy, int value)
    {
        return add(energy, [value](int, int) { return value; });
    }
    const QVector<TiffData *> &images() const { return mPointers; }

private:
    std::vector<std::unique_ptr<TiffData>> mImages;
    QVector<TiffData *> mPointers;
};

using Values = QVector<double>;

} // namespace

Q_DECLARE_METATYPE(Values)

class TestStackSpectra : public QObject
{
    Q_OBJECT

private slots:
    void spectrumAt_data();
    void spectrumAt();
    void loadOrderGivesTheSameSpectrum_data();
    void loadOrderGivesTheSameSpectrum();
    void outsideTheImageGivesNoPoints_data();
    void outsideTheImageGivesNoPoints();
    void cornerCountsOnlyInsideCells();
    void i0SumsOnlyWhatIsNeeded();
    void xafsSpectrumCarriesTheShift();
    void profiles();
    void profilesMatchBinSums_data();
    void profilesMatchBinSums();
    void nonFiniteSamplesAreLeftOut_data();
    void nonFiniteSamplesAreLeftOut();
};

// I1 images at 7090, 7105, 7115 and 7130 eV, each constant 100 per pixel; I0 stacks vary.
void TestStackSpectra::spectrumAt_data()
{
    QTest::addColumn<Values>("i0Energies");
    QTest::addColumn<Values>("i0Levels");
    QTest::addColumn<bool>("fluorescence");
    QTest::addColumn<int>("halfWidth");
    QTest::addColumn<int>("halfHeight");
    QTest::addColumn<Values>("expected");

    const double cells = 9.0;
    const double s1 = 100.0 * cells;
    QTest::newRow("no I0: -ln s1")
        << Values() << Values() << false << 1 << 1 << Values(4, -std::log(s1));
    QTest::newRow("no I0, fluorescence: s1")
        << Values() << Values() << true << 1 << 1 << Values(4, s1);
    QTest::newRow("one I0 at every energy")
        << Values{7100} << Values{1000} << false << 1 << 1 << Values(4, std::log(10.0));
    // I0 levels 1000, 1100, 1300 at 7100, 7110, 7120: 7090 extrapolates the first two (900),
    // 7130 the last two (1500).
    const Values three{7100, 7110, 7120};
    const Values levels{1000, 1100, 1300};
    QTest::newRow("interpolated and extrapolated on both sides")
        << three << levels << false << 1 << 1
        << Values{std::log(9.0), std::log(10.5), std::log(12.0), std::log(15.0)};
    QTest::newRow("fluorescence ratio")
        << three << levels << true << 1 << 1 << Values{1 / 9.0, 1 / 10.5, 1 / 12.0, 1 / 15.0};
    QTest::newRow("single pixel") << three << levels << false << 0 << 0
                                  << Values{std::log(9.0),
                                            std::log(10.5),
                                            std::log(12.0),
                                            std::log(15.0)};
    QTest::newRow("negative bin sizes act as their absolute values")
        << three << levels << false << -1 << -1
        << Values{std::log(9.0), std::log(10.5), std::log(12.0), std::log(15.0)};
    QTest::newRow("equal I0 energies as a pair: mean of both")
        << Values{7100, 7100} << Values{1000, 1200} << false << 1 << 1 << Values(4, std::log(11.0));
    QTest::newRow("equal last I0 energies: mean above them")
        << Values{7080, 7125, 7125} << Values{1000, 1000, 3000} << false << 0 << 0
        << Values{std::log(10.0), std::log(10.0), std::log(10.0), std::log(20.0)};
    QTest::newRow("zero I0 sum gives 1")
        << Values{7100} << Values{0} << false << 1 << 1 << Values(4, 1.0);
}

void TestStackSpectra::spectrumAt()
{
    QFETCH(Values, i0Energies);
    QFETCH(Values, i0Levels);
    QFETCH(bool, fluorescence);
    QFETCH(int, halfWidth);
    QFETCH(int, halfHeight);
    QFETCH(Values, expected);

    Stack i1;
    for (double energy : {7090.0, 7105.0, 7115.0, 7130.0})
        i1.addConstant(energy, 100);
    Stack i0;
    for (int k = 0; k < i0Energies.size(); ++k)
        i0.addConstant(i0Energies[k], int(i0Levels[k]));

    const StackSpectra stacks(i1.images(), i0.images(), Width, Height, fluorescence);
    const Spectrum spectrum = stacks.spectrumAt(2, 2, halfWidth, halfHeight);

    QCOMPARE(spectrum.size(), expected.size());
    for (int k = 0; k < expected.size(); ++k) {
        QCOMPARE(spectrum.xAt(k), i1.images().at(k)->energy);
        QVERIFY2(qAbs(spectrum.yAt(k) - expected[k]) <= 1e-12 * qMax(1.0, qAbs(expected[k])),
                 qPrintable(QStringLiteral("point %1 at %2 eV = %3, expected %4")
                                .arg(k)
                                .arg(spectrum.xAt(k))
                                .arg(spectrum.yAt(k), 0, 'g', 15)
                                .arg(expected[k], 0, 'g', 15)));
    }
}

void TestStackSpectra::loadOrderGivesTheSameSpectrum_data()
{
    // Positions into the rising lists of energies below, in the order the images are loaded.
    QTest::addColumn<QVector<int>>("i1Order");
    QTest::addColumn<QVector<int>>("i0Order");
    QTest::newRow("rising") << QVector<int>{0, 1, 2, 3} << QVector<int>{0, 1, 2};
    QTest::newRow("falling") << QVector<int>{3, 2, 1, 0} << QVector<int>{2, 1, 0};
    QTest::newRow("shuffled") << QVector<int>{2, 0, 3, 1} << QVector<int>{1, 2, 0};
}

void TestStackSpectra::loadOrderGivesTheSameSpectrum()
{
    // Regression: a scan loaded from high to low energy gave wrong absorption, silently.
    QFETCH(QVector<int>, i1Order);
    QFETCH(QVector<int>, i0Order);
    const Values i1Energies{7090, 7105, 7115, 7130};
    const Values i0Energies{7100, 7110, 7120};
    const Values i0Levels{1000, 1100, 1300};
    Stack i1;
    for (int k : i1Order)
        i1.addConstant(i1Energies[k], 100 + 10 * k);
    Stack i0;
    for (int k : i0Order)
        i0.addConstant(i0Energies[k], int(i0Levels[k]));

    const Spectrum spectrum
        = StackSpectra(i1.images(), i0.images(), Width, Height, false).spectrumAt(2, 2, 0, 0);
    const Values i0AtI1{900, 1050, 1200, 1500};
    QCOMPARE(spectrum.size(), i1Energies.size());
    for (int k = 0; k < i1Energies.size(); ++k) {
        QCOMPARE(spectrum.xAt(k), i1Energies[k]);
        const double expected = std::log(i0AtI1[k] / (100 + 10 * k));
        QVERIFY2(qAbs(spectrum.yAt(k) - expected) <= 1e-12,
                 qPrintable(QString::number(spectrum.yAt(k) - expected, 'g', 15)));
    }
}

void TestStackSpectra::outsideTheImageGivesNoPoints_data()
{
    QTest::addColumn<int>("imageWidth");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("expectedPoints");

    QTest::newRow("column imageWidth") << Width << Width << 0 << 0;
    QTest::newRow("row imageHeight") << Width << 0 << Height << 0;
    QTest::newRow("negative column") << Width << -1 << 2 << 0;
    QTest::newRow("negative row") << Width << 2 << -1 << 0;
    QTest::newRow("nothing shown yet") << -1 << 0 << 0 << 0;
    QTest::newRow("last pixel") << Width << Width - 1 << Height - 1 << 2;
}

void TestStackSpectra::outsideTheImageGivesNoPoints()
{
    QFETCH(int, imageWidth);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, expectedPoints);

    Stack i1;
    i1.addConstant(7100, 10);
    i1.addConstant(7110, 10);
    const StackSpectra stacks(i1.images(), {}, imageWidth, Height, false);
    QCOMPARE(stacks.spectrumAt(x, y, 1, 1).size(), expectedPoints);
}

void TestStackSpectra::cornerCountsOnlyInsideCells()
{
    Stack i1;
    i1.addConstant(7100, 0);
    i1.add(7110, [](int column, int row) { return 1 + column + 10 * row; });
    Stack i0;
    i0.addConstant(7100, 50);

    const StackSpectra stacks(i1.images(), i0.images(), Width, Height, false);
    const Spectrum spectrum = stacks.spectrumAt(0, 0, 1, 1);
    QCOMPARE(spectrum.size(), 2);
    // A zero I1 sum gives 1.
    QCOMPARE(spectrum.yAt(0), 1.0);
    // Cells (0,0), (1,0), (0,1), (1,1) of I1 and 4 x 50 of I0.
    const double expected = std::log(200.0 / (1 + 2 + 11 + 12));
    QVERIFY2(
        qAbs(spectrum.yAt(1) - expected) <= 1e-12,
        qPrintable(
            QStringLiteral("corner value %1, expected %2").arg(spectrum.yAt(1)).arg(expected)));
}

void TestStackSpectra::i0SumsOnlyWhatIsNeeded()
{
    Stack i0;
    i0.addConstant(7100, 1);
    i0.addConstant(7110, 2);
    i0.addConstant(7120, 4);
    i0.addConstant(7130, 8);
    const StackSpectra stacks({}, i0.images(), Width, Height, false);
    QCOMPARE(stacks.i0At(7115, 2, 2, 0, 0), 3.0);
    QCOMPARE(stacks.i0At(7110, 2, 2, 0, 0), 2.0);
    QCOMPARE(stacks.i0At(7130, 2, 2, 0, 0), 8.0);
    QCOMPARE(stacks.i0At(7140, 2, 2, 0, 0), 12.0);
    QCOMPARE(stacks.i0At(7090, 2, 2, 0, 0), 0.0);
    QCOMPARE(StackSpectra({}, {}, Width, Height, false).i0At(7100, 2, 2, 1, 1), 1.0);
}

void TestStackSpectra::xafsSpectrumCarriesTheShift()
{
    Stack i1;
    Stack i0;
    for (int k = 0; k < 40; ++k) {
        const double energy = 7050.0 + 5.0 * k;
        i1.addConstant(energy, energy < 7112 ? 400 : 100);
        i0.addConstant(energy, 1000);
    }
    const StackSpectra stacks(i1.images(), i0.images(), Width, Height, false);
    const XafsSpectrum spectrum = stacks.xafsSpectrumAt(3, 3, 0, 0, 0, 2.5);
    QCOMPARE(spectrum.size(), 40);
    QCOMPARE(spectrum.eOrigin, 2.5);
    QCOMPARE(spectrum.isVictoreen, 0);
    QCOMPARE(spectrum.normalized.size(), 40);
    const double jump = std::log(4.0);
    QVERIFY2(qAbs(spectrum.jump - jump) <= 1e-6,
             qPrintable(QStringLiteral("jump %1, expected %2").arg(spectrum.jump).arg(jump)));
}

void TestStackSpectra::profiles()
{
    Stack i1;
    TiffData *image = i1.add(7110, [](int column, int row) { return 1 + column + 10 * row; });
    Stack i0;
    i0.addConstant(7100, 1000);
    const StackSpectra stacks(i1.images(), i0.images(), Width, Height, false);

    const Spectrum horizontal = stacks.horizontalProfile(image, 2, 0, false);
    QCOMPARE(horizontal.size(), Width);
    // Columns 1, 2, 3 of row 2: 22 + 23 + 24.
    QCOMPARE(horizontal.points.at(2), QPointF(2, 69));
    // Column 0 sums only columns 0 and 1.
    QCOMPARE(horizontal.points.at(0), QPointF(0, 21 + 22));
    QVERIFY(!horizontal.shiftOn);
    // Largest at column 4: 24 + 25 + 26.
    QCOMPARE(horizontal.maxY, 75.0);

    const Spectrum vertical = stacks.verticalProfile(image, 1, 0, true);
    QCOMPARE(vertical.size(), Height);
    // Rows 1, 2, 3 of column 1: 12 + 22 + 32 against 3 x 1000 of I0.
    const double expected = std::log(3000.0 / 66.0);
    QCOMPARE(vertical.points.at(2).x(), 2.0);
    QVERIFY2(qAbs(vertical.points.at(2).y() - expected) <= 1e-12,
             qPrintable(QStringLiteral("vertical profile %1, expected %2")
                            .arg(vertical.points.at(2).y())
                            .arg(expected)));

    QVERIFY(stacks.horizontalProfile(nullptr, 2, 0, false).isEmpty());
    QVERIFY(stacks.horizontalProfile(image, Height, 0, false).isEmpty());
    QVERIFY(stacks.verticalProfile(image, -1, 0, false).isEmpty());

    // Regression: a length of -1 (no image size yet) sized the profile's buffer from it.
    const StackSpectra noWidth(i1.images(), i0.images(), -1, Height, false);
    QVERIFY(noWidth.horizontalProfile(image, 2, 0, true).isEmpty());
    const StackSpectra noHeight(i1.images(), i0.images(), Width, -1, false);
    QVERIFY(noHeight.verticalProfile(image, 1, 0, true).isEmpty());
}

void TestStackSpectra::profilesMatchBinSums_data()
{
    QTest::addColumn<int>("half");
    QTest::addColumn<int>("shiftX");
    QTest::addColumn<bool>("absorption");

    QTest::newRow("single line") << 0 << 0 << false;
    QTest::newRow("wide bin") << 2 << 0 << false;
    QTest::newRow("negative half") << -1 << 0 << true;
    QTest::newRow("shifted image, absorption") << 1 << 2 << true;
    QTest::newRow("bin wider than the image") << 7 << -1 << true;
}

// The profiles share line sums between neighbouring positions; every value must still be the
// bin sum of its own rectangle.
void TestStackSpectra::profilesMatchBinSums()
{
    QFETCH(int, half);
    QFETCH(int, shiftX);
    QFETCH(bool, absorption);

    Stack i1;
    TiffData *image = i1.add(7112, [](int column, int row) { return 3 + 7 * column + row * row; });
    image->shiftX = shiftX;
    Stack i0;
    i0.add(7100, [](int column, int row) { return 1000 + column + 2 * row; });
    i0.add(7120, [](int column, int row) { return 2000 - column * row; });
    const StackSpectra stacks(i1.images(), i0.images(), Width, Height, false);

    const auto expectedValue = [&](int x, int y, int hw, int hh) {
        const double sum = image->binSum(x, y, hw, hh);
        if (!absorption)
            return sum;
        const double s0 = stacks.i0At(image->energy, x, y, hw, hh);
        return sum * s0 > 0 ? std::log(s0 / sum) : 1.0;
    };
    for (int y = 0; y < Height; ++y) {
        const Spectrum horizontal = stacks.horizontalProfile(image, y, half, absorption);
        QCOMPARE(horizontal.size(), Width);
        for (int x = 0; x < Width; ++x) {
            const double expected = expectedValue(x, y, 1, half);
            QVERIFY2(qAbs(horizontal.yAt(x) - expected) <= 1e-12 * qMax(1.0, qAbs(expected)),
                     qPrintable(QStringLiteral("horizontal (%1, %2): %3, expected %4")
                                    .arg(x)
                                    .arg(y)
                                    .arg(horizontal.yAt(x))
                                    .arg(expected)));
        }
    }
    for (int x = 0; x < Width; ++x) {
        const Spectrum vertical = stacks.verticalProfile(image, x, half, absorption);
        QCOMPARE(vertical.size(), Height);
        for (int y = 0; y < Height; ++y) {
            const double expected = expectedValue(x, y, half, 1);
            QVERIFY2(qAbs(vertical.yAt(y) - expected) <= 1e-12 * qMax(1.0, qAbs(expected)),
                     qPrintable(QStringLiteral("vertical (%1, %2): %3, expected %4")
                                    .arg(x)
                                    .arg(y)
                                    .arg(vertical.yAt(y))
                                    .arg(expected)));
        }
    }
}

void TestStackSpectra::nonFiniteSamplesAreLeftOut_data()
{
    // spots: "stack image x y" of stored non-finite samples (stack 1 I1, 0 I0; NaN, +inf and
    // -inf in turn); the block (x, y, hw, hh); shift: the x shift of I1 image 0.
    QTest::addColumn<QString>("spots");
    QTest::addColumn<QVector<int>>("block");
    QTest::addColumn<int>("i0Bits");
    QTest::addColumn<int>("shift");
    QTest::newRow("none") << "" << QVector<int>{2, 2, 1, 1} << 16 << 0;
    QTest::newRow("NaN, +inf, -inf in I1, 16-bit I0")
        << "1 0 1 2;1 0 2 2;1 0 3 2" << QVector<int>{2, 2, 1, 1} << 16 << 0;
    QTest::newRow("in I0") << "0 1 1 1" << QVector<int>{2, 2, 1, 1} << 32 << 0;
    QTest::newRow("corner block without pixels left")
        << "1 2 0 0;1 2 1 0;1 2 0 1;0 0 1 1" << QVector<int>{0, 0, 1, 1} << 32 << 0;
    QTest::newRow("bin 0") << "1 1 3 3" << QVector<int>{3, 3, 0, 0} << 16 << 0;
    QTest::newRow("shifted image") << "1 0 2 2;1 0 5 2" << QVector<int>{3, 2, 1, 0} << 16 << 1;
}

void TestStackSpectra::nonFiniteSamplesAreLeftOut()
{
    // Regression: non-finite float samples were summed as 0 while I0 counted every pixel.
    QFETCH(QString, spots);
    QFETCH(QVector<int>, block);
    QFETCH(int, i0Bits);
    QFETCH(int, shift);
    const int y = block[1], hw = block[2], hh = block[3];
    const double energies[2][3] = {{7095.0, 7125.0}, {7100.0, 7110.0, 7120.0}};
    QVector<double> values[2][3];
    for (int stack = 0; stack < 2; ++stack)
        for (int k = 0; k < 3 - (stack == 0); ++k)
            for (int i = 0; i < Width * Height; ++i)
                values[stack][k] << (stack ? 100 + 5 * (i % Width) + 3 * (i / Width) + 20 * k
                                           : 1000 + 7 * (i % Width) + 11 * (i / Width) + 50 * k);
    const double inf = std::numeric_limits<double>::infinity();
    const QStringList spotList = spots.split(';', Qt::SkipEmptyParts);
    for (int n = 0; n < spotList.size(); ++n) {
        const QStringList at = spotList[n].split(' ');
        values[at[0].toInt()][at[1].toInt()][at[3].toInt() * Width + at[2].toInt()]
            = QVector<double>{std::nan(""), inf, -inf}[n % 3];
    }

    // Through the reader: float I1 images, I0 images of either kind.
    QTemporaryDir dir;
    std::vector<std::unique_ptr<TiffData>> owned;
    QVector<TiffData *> images[2];
    for (int stack = 0; stack < 2; ++stack) {
        TestImages::TiffLayout layout;
        layout.bitsPerSample = stack == 1 ? 32 : i0Bits;
        layout.sampleFormat = layout.bitsPerSample == 32 ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_UINT;
        for (int k = 0; k < 3 - (stack == 0); ++k) {
            const QString file = dir.filePath(QStringLiteral("%1-%2.tif").arg(stack).arg(k));
            QVERIFY(TestImages::writeTiff(file, Width, Height, values[stack][k], layout));
            owned.push_back(std::make_unique<TiffData>());
            QVERIFY(owned.back()->read(file));
            owned.back()->energy = energies[stack][k];
            images[stack] << owned.back().get();
        }
    }
    images[1][0]->shiftX = shift;

    // Expected, pixel by pixel: pixels where an image is not finite stay out of every sum.
    const auto expectedAt = [&](int cx) {
        double sums[2][3] = {};
        bool left = false;
        for (int r = y - hh; r <= y + hh; ++r) {
            for (int c = cx - hw; c <= cx + hw; ++c) {
                double v[2][3] = {};
                bool finite = true;
                for (int stack = 0; stack < 2; ++stack) {
                    for (int k = 0; k < 3 - (stack == 0); ++k) {
                        const int sc = c - (stack == 1 && k == 0 ? shift : 0);
                        if (sc >= 0 && sc < Width && r >= 0 && r < Height)
                            v[stack][k] = values[stack][k][r * Width + sc];
                        finite = finite && std::isfinite(v[stack][k]);
                    }
                }
                for (int stack = 0; finite && stack < 2; ++stack)
                    for (int k = 0; k < 3; ++k)
                        sums[stack][k] += v[stack][k];
                left = left || (finite && c >= 0 && c < Width && r >= 0 && r < Height);
            }
        }
        QVector<double> mu;
        for (int k = 0; left && k < 3; ++k)
            mu << std::log((sums[0][0] + (sums[0][1] - sums[0][0]) * (energies[1][k] - 7095) / 30)
                           / sums[1][k]);
        return mu;
    };

    const StackSpectra stacks(images[1], images[0], Width, Height, false);
    // The spectrum under the cursor, and every block of the row as an area run takes them.
    const Spectrum cursor = stacks.spectrumAt(block[0], y, hw, hh);
    RowSpectra row;
    stacks.rowAbsorption(0, 1, Width, y, hw, hh, row);
    for (int cx = -1; cx < Width; ++cx) {
        const SpectrumSpan span = cx < 0 ? SpectrumSpan() : row.block(cx);
        QVector<double> got;
        for (int k = 0; k < (cx < 0 ? cursor.size() : span.size()); ++k)
            got << (cx < 0 ? cursor.yAt(k) : span.yAt(k));
        const QVector<double> expected = expectedAt(cx < 0 ? block[0] : cx);
        QCOMPARE(got.size(), expected.size());
        for (int k = 0; k < got.size(); ++k)
            QVERIFY2(qAbs(got[k] - expected[k]) <= 1e-12,
                     qPrintable(QStringLiteral("block %1 (-1: cursor), point %2: %3, expected %4")
                                    .arg(cx)
                                    .arg(k)
                                    .arg(got[k], 0, 'g', 15)
                                    .arg(expected[k], 0, 'g', 15)));
    }
}

QTEST_MAIN(TestStackSpectra)
#include "tst_stackspectra.moc"
