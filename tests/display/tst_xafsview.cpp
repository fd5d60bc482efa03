#include "display/dispa.h"
#include "display/xafsview.h"
#include "displaytesting.h"
#include "resources/resourceinit.h"
#include "spectra/victoreentable.h"

#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <functional>

using DisplayTesting::moveMouse;

// The spectrum view: the curves it draws, the gap rule, the markers, the cursor read-out,
// the half-height difference and the files it saves. The plot area's real window is worked
// out here from the margins (10 % left, 5 % right, 10 % bottom, 5 % top).
class TestXafsView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void gapIsNotBridged_data();
    void gapIsNotBridged();
    void zeroEdgeJumpDrawsNoInfiniteLine();
    void shownImageMarker_data();
    void shownImageMarker();
    void edgeMarker();
    void energyCorrectionMovesTheCurve();
    void cursorReadOut();
    void emptySpectrumKeepsTheReadOut();
    void halfHeightDifference();
    void saveData_data();
    void saveData();

private:
    QImage picture();
    // Screen column of energy e for a real window from e0 to e1.
    int columnOf(double e, double e0, double e1) const;
    // Whether any pixel of the plot interior between two columns satisfies what.
    bool anyPixel(const QImage &image, int x0, int x1, std::function<bool(QColor)> what) const;

    std::unique_ptr<XafsView> mView;
};

namespace {

const QColor black(0, 0, 0);

bool isBlack(QColor c)
{
    return c == black;
}

// A rising edge: mu = 0.2 below 7100 eV, a white line of 1.6 up to 7120 eV and 1.2 from there
// on, with a slight slope; energies from..to in steps of 10 eV, leaving out the open interval
// (gapFrom, gapTo). Away from the white line the curve keeps off the plot's top edge, where the
// frame is drawn over it.
Spectrum edgeSpectrum(double from, double to, double gapFrom = 0, double gapTo = 0)
{
    Spectrum raw;
    for (double e = from; e <= to; e += 10) {
        if (e > gapFrom && e < gapTo)
            continue;
        const double level = e < 7100 ? 0.2 : e <= 7120 ? 1.6 : 1.2;
        raw.append(e, level + 0.0001 * (e - from));
    }
    return raw;
}

} // namespace

void TestXafsView::initTestCase()
{
    initMarvolentiResources();
    readVictoreenTable();
    ColorTables::build();
}

void TestXafsView::init()
{
    mView = std::make_unique<XafsView>();
    mView->resize(800, 600);
    mView->show();
    QVERIFY(QTest::qWaitForWindowExposed(mView.get()));
}

void TestXafsView::cleanup()
{
    mView.reset();
}

QImage TestXafsView::picture()
{
    return mView->plotArea()->grab().toImage();
}

int TestXafsView::columnOf(double e, double e0, double e1) const
{
    const int w = mView->plotArea()->width();
    const double x0 = std::trunc(0.1 * w);
    const double x1 = w - std::trunc(0.05 * w);
    return int(std::trunc((x1 - x0) / (e1 - e0) * (e - e0) + x0));
}

bool TestXafsView::anyPixel(const QImage &image,
                            int x0,
                            int x1,
                            std::function<bool(QColor)> what) const
{
    const int h = image.height();
    for (int x = x0; x <= x1; ++x) {
        for (int y = int(0.05 * h) - 3; y <= h - int(0.1 * h) + 3; ++y) {
            if (what(QColor(image.pixel(x, y))))
                return true;
        }
    }
    return false;
}

void TestXafsView::gapIsNotBridged_data()
{
    QTest::addColumn<bool>("normalized");
    QTest::addColumn<double>("gapFrom");
    QTest::addColumn<bool>("curveInGap");

    QTest::newRow("raw, gap of 180 eV") << false << 7200.0 << false;
    QTest::newRow("normalised, gap of 180 eV") << true << 7200.0 << false;
    QTest::newRow("raw, no gap") << false << 7400.0 << true;
    QTest::newRow("normalised, no gap") << true << 7400.0 << true;
}

void TestXafsView::gapIsNotBridged()
{
    QFETCH(bool, normalized);
    QFETCH(double, gapFrom);
    QFETCH(bool, curveInGap);

    // Points up to gapFrom and from 7390 on: no point between 7210 and 7380.
    const XafsSpectrum spectrum(edgeSpectrum(7000, 7500, gapFrom, 7390), 0, 0.0);
    QVERIFY(std::isfinite(spectrum.jump) && spectrum.jump != 0);
    mView->setNormalize(normalized);
    mView->setSpectrum(spectrum);
    const QImage image = picture();

    // Both pieces are drawn: black where the curve is, left and right of the gap.
    QVERIFY(anyPixel(image, columnOf(7050, 7000, 7500), columnOf(7150, 7000, 7500), isBlack));
    QVERIFY(anyPixel(image, columnOf(7400, 7000, 7500), columnOf(7490, 7000, 7500), isBlack));
    // Inside the gap no line joins them.
    const bool inGap
        = anyPixel(image, columnOf(7220, 7000, 7500), columnOf(7370, 7000, 7500), isBlack);
    QCOMPARE(inGap, curveInGap);
}

void TestXafsView::zeroEdgeJumpDrawsNoInfiniteLine()
{
    // A lone spike has equal base lines on both sides, so its edge jump is 0 and its
    // normalised values are infinite or not numbers: they must not become screen points (a
    // line to the screen's edge), and the raw curve is still drawn.
    Spectrum spike;
    for (double e = 6900; e <= 7500; e += 10)
        spike.append(e, e == 7100 ? 1.0 : 0.0);
    const XafsSpectrum spectrum(spike, 0, 0.0);
    QCOMPARE(spectrum.jump, 0.0);
    QVERIFY(!std::isfinite(spectrum.normalized.yAt(20)));

    mView->setNormalize(true);
    mView->setSpectrum(spectrum);
    QImage image = picture();
    QVERIFY(!anyPixel(image, 0, image.width() - 1, isBlack));

    mView->setNormalize(false);
    image = picture();
    QVERIFY(anyPixel(image, 0, image.width() - 1, isBlack));
}

void TestXafsView::shownImageMarker_data()
{
    QTest::addColumn<double>("energy");
    QTest::addColumn<bool>("marked");

    QTest::newRow("image at 7250 eV") << 7250.0 << true;
    QTest::newRow("no image (-1)") << -1.0 << false;
    QTest::newRow("zero") << 0.0 << false;
}

void TestXafsView::shownImageMarker()
{
    QFETCH(double, energy);
    QFETCH(bool, marked);
    mView->setShownImageEnergy(energy);
    mView->setSpectrum(XafsSpectrum(edgeSpectrum(7000, 7500), 0, 0.0));
    const QImage image = picture();
    const auto isGreen = [](QColor c) { return c == QColor(0, 224, 0); };
    QCOMPARE(anyPixel(image, 0, image.width() - 1, isGreen), marked);
    if (marked) {
        const int x = columnOf(energy, 7000, 7500);
        QVERIFY(anyPixel(image, x, x, isGreen));
    }
}

void TestXafsView::edgeMarker()
{
    // The iron K edge (7113.26288 eV) is marked by a red line over the plot height.
    mView->setEdgeMarkers({{26, 0, QStringLiteral("Fe-K")}});
    mView->setSpectrum(XafsSpectrum(edgeSpectrum(7000, 7500), 0, 0.0));
    const QImage image = picture();
    const auto isRed = [](QColor c) { return c == QColor(255, 0, 0); };
    const int x = columnOf(7113.26288, 7000, 7500);
    QVERIFY(anyPixel(image, x, x, isRed));
    const int h = image.height();
    QCOMPARE(QColor(image.pixel(x, h / 3)), QColor(255, 0, 0));
    QVERIFY(!anyPixel(image, x + 30, image.width() - 1, isRed));
}

void TestXafsView::energyCorrectionMovesTheCurve()
{
    // The spectrum carries a shift of 100 eV from the shift map: with the correction on, the
    // edge step (at 7100 eV) is drawn at 7000 eV against the same axis.
    mView->setNormalize(true);
    mView->setSpectrum(XafsSpectrum(edgeSpectrum(6800, 7500), 0, 100.0));
    const QImage plain = picture();
    mView->setEnergyCorrection(true);
    const QImage corrected = picture();
    const auto blackColumns = [](const QImage &image) {
        QVector<int> columns;
        const int mid = image.height() / 2;
        for (int x = 0; x < image.width(); ++x) {
            for (int y = mid - 40; y <= mid + 40; ++y) {
                if (QColor(image.pixel(x, y)) == black) {
                    columns.append(x);
                    break;
                }
            }
        }
        return columns;
    };
    // Half-way up the step, the curve is a near-vertical line.
    const QVector<int> before = blackColumns(plain);
    const QVector<int> after = blackColumns(corrected);
    QVERIFY(!before.isEmpty());
    QVERIFY(!after.isEmpty());
    const int shift = columnOf(7100, 6800, 7500) - columnOf(7000, 6800, 7500);
    QVERIFY2(std::abs((before.first() - after.first()) - shift) <= 2,
             qPrintable(QStringLiteral("step at %1 before, %2 after, expected a shift of %3")
                            .arg(before.first())
                            .arg(after.first())
                            .arg(shift)));
}

void TestXafsView::cursorReadOut()
{
    mView->setSpectrum(XafsSpectrum(edgeSpectrum(7000, 7500), 0, 0.0));
    QLineEdit *xVal = mView->findChild<QLineEdit *>("XVal");
    QLineEdit *yVal = mView->findChild<QLineEdit *>("YVal");
    QVERIFY(xVal && yVal);
    // The plot's left and bottom edges are the ends of the real window: 7000 eV and the
    // spectrum's smallest value.
    const int h = mView->plotArea()->height();
    const int w = mView->plotArea()->width();
    moveMouse(mView->plotArea(), QPoint(int(0.1 * w), h - int(0.1 * h)));
    QCOMPARE(xVal->text(), QStringLiteral("7000"));
    QCOMPARE(yVal->text(), QStringLiteral("0.2"));
}

void TestXafsView::emptySpectrumKeepsTheReadOut()
{
    QLineEdit *xVal = mView->findChild<QLineEdit *>("XVal");
    QLineEdit *yVal = mView->findChild<QLineEdit *>("YVal");
    QVERIFY(xVal && yVal);
    mView->setSpectrum(XafsSpectrum(edgeSpectrum(7000, 7500), 0, 0.0));
    moveMouse(mView->plotArea(), QPoint(300, 300));
    const QString x = xVal->text();
    const QString y = yVal->text();
    QVERIFY(!x.isEmpty() && !y.isEmpty());

    mView->setSpectrum(XafsSpectrum());
    moveMouse(mView->plotArea(), QPoint(500, 100));
    QCOMPARE(xVal->text(), x);
    QCOMPARE(yVal->text(), y);
    // An empty spectrum draws no curve.
    const QImage image = picture();
    QVERIFY(!anyPixel(image, 0, image.width() - 1, isBlack));
}

void TestXafsView::halfHeightDifference()
{
    // Current rises through half height at 7095 eV (between 7090 and 7100); a standard whose
    // step lies 20 eV lower crosses at 7075 eV.
    Spectrum current;
    Spectrum standard;
    for (double e = 7000; e <= 7300; e += 10) {
        current.append(e, e < 7100 ? 0.0 : 1.0);
        standard.append(e, e < 7080 ? 0.0 : 1.0);
    }
    QSignalSpy updated(mView.get(), &XafsView::updated);
    // Regression: without a standard the spectrum's own edge energy was given as its shift.
    QCOMPARE(mView->setSpectrum(XafsSpectrum(current, 0, 0.0)), 0.0);
    QCOMPARE(updated.count(), 1);
    mView->setStdSpectrum(XafsSpectrum(standard, 0, 0.0));
    QCOMPARE(mView->setSpectrum(XafsSpectrum(current, 0, 0.0)), 20.0);
}

void TestXafsView::saveData_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("others");
    QTest::addColumn<QStringList>("files");

    QTest::newRow("suffix, two others")
        << "spec.txt" << 2
        << QStringList{"spec-T.txt", "spec-other0.txt", "spec-other1.txt", "spec-std.txt"};
    QTest::newRow("no suffix") << "spec" << 1
                               << QStringList{"spec-T.dat", "spec-other0.dat", "spec-std.dat"};
    QTest::newRow("no other spectra")
        << "spec.dat" << 0 << QStringList{"spec-T.dat", "spec-std.dat"};
}

void TestXafsView::saveData()
{
    QFETCH(QString, name);
    QFETCH(int, others);
    QFETCH(QStringList, files);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const XafsSpectrum current(edgeSpectrum(7000, 7500), 0, 0.0);
    std::vector<std::unique_ptr<XafsSpectrum>> otherSpectra;
    for (int i = 0; i < others; ++i) {
        otherSpectra.push_back(
            std::make_unique<XafsSpectrum>(edgeSpectrum(7000, 7100 + 10 * i), 0, 0.0));
        // Saved whether in use or not.
        mView->addOtherSpectrum(otherSpectra.back().get(), i == 0);
    }
    mView->setSpectrum(current);
    mView->saveData(dir.filePath(name));

    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), files);

    // The current spectrum's file holds one line per point after the two header lines, and
    // other spectrum i its own number of points.
    const auto lineCount = [&](const QString &file) {
        QFile f(dir.filePath(file));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            return -1;
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts).size();
    };
    QCOMPARE(lineCount(files.first()), current.size() + 2);
    for (int i = 0; i < others; ++i)
        QCOMPARE(lineCount(files.at(1 + i)), otherSpectra.at(i)->size() + 2);
}

QTEST_MAIN(TestXafsView)
#include "tst_xafsview.moc"
