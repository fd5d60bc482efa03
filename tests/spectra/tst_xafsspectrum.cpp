#include "spectra/edgenormalization.h"
#include "spectra/straightlinegrid.h"
#include "spectra/xafsspectrum.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

#include <cmath>
#include <cstring>

namespace {

constexpr double Hc = 12398.424360387684;

double victoreen(double energy, double a, double b, double c)
{
    const double lambda = Hc / energy;
    return a + b * std::pow(lambda, 3) + c * std::pow(lambda, 4);
}

// Pre-edge background plus a smooth step of height jump centred on edge: the post-edge line is
// the background raised by jump, so the half-height crossing lies at edge.
Spectrum syntheticEdge(bool victoreenBackground, double edge, double jump)
{
    Spectrum raw;
    for (double energy = 6900.0; energy <= 8200.0; energy += 1.0) {
        const double background = victoreenBackground ? victoreen(energy, 0.1, 0.05, -0.01)
                                                      : 0.2 + 1e-4 * (energy - 7000.0);
        const double step = 0.5 * (1.0 + std::tanh((energy - edge) / 1.5));
        raw.append(energy, background + jump * step);
    }
    return raw;
}

// A 30 eV scan from 700 eV across a straight-line background and a step of height 1 at 707 eV,
// as a soft X-ray stack records an L edge.
Spectrum softEdge()
{
    Spectrum raw;
    for (int k = 0; k <= 120; ++k) {
        const double energy = 700.0 + 0.25 * k;
        raw.append(energy, 0.3 - 2e-3 * (energy - 700.0) + 0.5 * (1.0 + std::tanh(energy - 707.0)));
    }
    return raw;
}

QString describe(const char *what, double result, double expected)
{
    return QStringLiteral("%1 = %2, expected %3")
        .arg(QLatin1String(what))
        .arg(result, 0, 'g', 12)
        .arg(expected, 0, 'g', 12);
}

bool allFinite(const Spectrum &spectrum)
{
    for (const QPointF &p : spectrum.points) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return false;
    }
    return true;
}

void writeText(const QString &path, const QString &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
    QTextStream(&file) << text;
}

} // namespace

Q_DECLARE_METATYPE(NormRanges)

class TestXafsSpectrum : public QObject
{
    Q_OBJECT

private slots:
    void normalizesSyntheticEdge_data();
    void normalizesSyntheticEdge();
    void straightLineOnAGridFitsAsAlone_data();
    void straightLineOnAGridFitsAsAlone();
    void rangesAndFailures_data();
    void rangesAndFailures();
    void victoreenFitWithTooFewPointsKeepsTheOldLine();
    void shortSpectrumKeepsOldBaseLines();
    void flatPairOnTheMidpointCountsAtItsMiddle();
    void emptySpectrumStaysUnnormalised();
    void reads9809_data();
    void reads9809();
    void bad9809NumbersAreNotInfiniteEnergies();
    void plainTextSkipsTextLines();
    void missingFileFails();
    void writtenFileReadsBack();
    void writesRelativeToOrigin();
    void unwritablePathLeavesNoFile();
    void metaTypesRegistered();
};

void TestXafsSpectrum::normalizesSyntheticEdge_data()
{
    QTest::addColumn<int>("isVictoreen");
    QTest::addColumn<double>("edge");
    QTest::addColumn<double>("jump");

    QTest::newRow("straight lines, Fe K") << 0 << 7112.5 << 1.3;
    QTest::newRow("Victoreen curves, Fe K") << 1 << 7112.5 << 1.3;
    QTest::newRow("Victoreen curves, small jump") << 1 << 7200.25 << 0.05;
}

void TestXafsSpectrum::normalizesSyntheticEdge()
{
    QFETCH(int, isVictoreen);
    QFETCH(double, edge);
    QFETCH(double, jump);

    const XafsSpectrum spectrum(syntheticEdge(isVictoreen, edge, jump), isVictoreen, 0.0);

    QVERIFY2(qAbs(spectrum.e0 - edge) <= 0.05, qPrintable(describe("e0", spectrum.e0, edge)));
    QVERIFY2(qAbs(spectrum.jump - jump) <= 1e-3 * jump,
             qPrintable(describe("jump", spectrum.jump, jump)));
    QCOMPARE(spectrum.preEdge.isVictoreen, isVictoreen);
    QCOMPARE(spectrum.preEdge.size(), spectrum.size());
    QCOMPARE(spectrum.postEdge.size(), spectrum.size());
    if (isVictoreen) {
        QVERIFY2(qAbs(spectrum.preEdge.b - 0.05) <= 1e-3,
                 qPrintable(describe("pre-edge b", spectrum.preEdge.b, 0.05)));
    } else {
        QVERIFY2(qAbs(spectrum.preEdge.slope - 1e-4) <= 1e-7,
                 qPrintable(describe("pre-edge slope", spectrum.preEdge.slope, 1e-4)));
    }

    // Well below the edge the normalised curve is 0, well above it is 1.
    for (const Spectrum *derived : {&spectrum.normalized, &spectrum.doubleNormPreBase}) {
        QCOMPARE(derived->size(), spectrum.size());
        const double below = derived->valueAt(edge - 60.0);
        const double above = derived->valueAt(edge + 300.0);
        QVERIFY2(qAbs(below) <= 1e-3, qPrintable(describe("below the edge", below, 0.0)));
        QVERIFY2(qAbs(above - 1.0) <= 1e-3, qPrintable(describe("above the edge", above, 1.0)));
    }
    const double atEdge = spectrum.doubleNormalizedPreBase(edge);
    QVERIFY2(qAbs(atEdge - 0.5) <= 1e-2, qPrintable(describe("at e0", atEdge, 0.5)));
    const double postBase = spectrum.normPostBase.valueAt(edge + 300.0);
    QVERIFY2(qAbs(postBase) <= 1e-3, qPrintable(describe("(mu - post) / jump", postBase, 0.0)));
}

void TestXafsSpectrum::rangesAndFailures_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<NormRanges>("ranges");
    QTest::addColumn<int>("failures");

    const NormRanges l = NormRanges::lEdge();
    QTest::newRow("K ranges: nothing below the edge")
        << 0 << NormRanges::kEdge() << int(EdgeNormalization::ShortPreEdge);
    QTest::newRow("L ranges") << 0 << l << 0;
    QTest::newRow("L ranges, Victoreen") << 1 << l << 0;
    // Without a post-edge line the mid line lies below the edge: no E0 either.
    QTest::newRow("post-edge range past the scan")
        << 0 << NormRanges{-15.0, -5.0, 40.0, 60.0}
        << int(EdgeNormalization::ShortPostEdge | EdgeNormalization::NoE0);
    QTest::newRow("E0 window below the edge")
        << 0 << NormRanges{-7.0, -5.0, -4.0, 20.0} << int(EdgeNormalization::NoE0);
}

void TestXafsSpectrum::rangesAndFailures()
{
    QFETCH(int, form);
    QFETCH(NormRanges, ranges);
    QFETCH(int, failures);

    const XafsSpectrum spectrum(softEdge(), Background(form, ranges), 0.0);
    QCOMPARE(spectrum.ranges(), ranges);
    QCOMPARE(spectrum.normFailures, failures);
    if (failures == 0) {
        QVERIFY2(qAbs(spectrum.e0 - 707.0) <= 0.1, qPrintable(describe("e0", spectrum.e0, 707)));
        QVERIFY2(qAbs(spectrum.jump - 1.0) <= 0.02,
                 qPrintable(describe("jump", spectrum.jump, 1.0)));
    }
}

void TestXafsSpectrum::straightLineOnAGridFitsAsAlone_data()
{
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("end");
    QTest::addColumn<double>("width");
    // Rising energies with a repeated one; falling ones are fitted by the walk.
    QTest::newRow("held window") << 1.7 << 7012.3 << 7049.9 << 40.0;
    QTest::newRow("wider than the grid") << 1.7 << 7012.3 << 7049.9 << 10.0;
    QTest::newRow("one point") << 1.7 << 7012.3 << 7013.0 << 40.0;
    QTest::newRow("not a number") << 1.7 << qQNaN() << 7049.9 << 40.0;
    QTest::newRow("falling energies") << -1.7 << 7012.3 << 7049.9 << 40.0;
}

void TestXafsSpectrum::straightLineOnAGridFitsAsAlone()
{
    QFETCH(double, step);
    QFETCH(double, start);
    QFETCH(double, end);
    QFETCH(double, width);
    std::vector<double> energies;
    std::vector<double> mu;
    for (int i = 0; i < 60; ++i) {
        energies.push_back(step > 0 ? 7000.0 + step * i : 7100.0 + step * i);
        mu.push_back(std::sin(0.37 * i) + 1e-3 * i);
    }
    energies[21] = energies[20];
    const auto xAt = [&energies](int i) { return energies[size_t(i)]; };
    const auto yAt = [&mu](int i) { return mu[size_t(i)]; };
    const StraightLineGrid grid(energies.data(), int(energies.size()), width);
    BaseLine alone;
    BaseLine onGrid;
    alone.fitCoefficients(int(mu.size()), xAt, yAt, start, end, 0);
    onGrid.fitCoefficients(int(mu.size()), xAt, yAt, start, end, 0, &grid);
    // Equal bit for bit, not within a tolerance.
    QVERIFY(std::memcmp(&alone.a, &onGrid.a, sizeof(double)) == 0);
    QVERIFY(std::memcmp(&alone.slope, &onGrid.slope, sizeof(double)) == 0);
    QCOMPARE(onGrid.isVictoreen, 0);
}

void TestXafsSpectrum::victoreenFitWithTooFewPointsKeepsTheOldLine()
{
    // Regression: a Victoreen fit over fewer than three points filled the base line with NaN.
    Spectrum raw;
    const double energies[] = {7020, 7050, 7108, 7110, 7112, 7114, 7130, 7200, 7400};
    const double values[] = {0.2, 0.2, 0.3, 0.6, 1.0, 1.2, 1.2, 1.2, 1.2};
    for (int i = 0; i < 9; ++i)
        raw.append(energies[i], values[i]);

    const XafsSpectrum spectrum(raw, 1, 0.0);

    QCOMPARE(spectrum.preEdge.size(), raw.size());
    QCOMPARE(spectrum.preEdge.a, 0.0);
    QCOMPARE(spectrum.preEdge.maxY, 0.0);
    QCOMPARE(spectrum.preEdge.minY, 0.0);
    QCOMPARE(spectrum.postEdge.size(), raw.size());
    QVERIFY(allFinite(spectrum.postEdge));
    QVERIFY(std::isfinite(spectrum.e0));
    QVERIFY(std::isfinite(spectrum.jump));
    QVERIFY(allFinite(spectrum.normalized));
    QVERIFY(allFinite(spectrum.doubleNormPreBase));
}

void TestXafsSpectrum::shortSpectrumKeepsOldBaseLines()
{
    XafsSpectrum spectrum(syntheticEdge(false, 7112.5, 1.0), 0, 0.0);
    const double slope = spectrum.preEdge.slope;
    const double a = spectrum.postEdge.a;
    const double preA = spectrum.preEdge.a;

    spectrum.clear();
    spectrum.append(7105.0, 0.9);
    spectrum.append(7115.0, 2.1);
    spectrum.normalize(0);

    QCOMPARE(spectrum.preEdge.slope, slope);
    QCOMPARE(spectrum.postEdge.a, a);
    // Regression: the kept lines were read by index at the energies of the old spectrum.
    QCOMPARE(spectrum.preEdge.size(), 2);
    const double pre = preA + slope * 7115.0;
    QVERIFY2(qAbs(spectrum.preEdge.yAt(1) - pre) <= 1e-12,
             qPrintable(describe("kept pre-edge line at 7115", spectrum.preEdge.yAt(1), pre)));
    QCOMPARE(spectrum.normalized.size(), 2);
    QVERIFY(std::isfinite(spectrum.e0));
}

void TestXafsSpectrum::flatPairOnTheMidpointCountsAtItsMiddle()
{
    // Regression: two equal points lying on the half height made e0 NaN (0 / 0).
    Spectrum raw;
    for (double energy = 7000; energy <= 7100; energy += 10)
        raw.append(energy, 0.0);
    raw.append(7105, 0.25);
    raw.append(7110, 0.5);
    raw.append(7111, 0.5);
    raw.append(7115, 0.75);
    for (double energy = 7120; energy <= 7300; energy += 10)
        raw.append(energy, 1.0);

    const XafsSpectrum spectrum(raw, 0, 0.0);
    // Crossings at 7110 (rising into the pair), 7110.5 (the pair) and 7111 (leaving it).
    const double expected = (7110.0 + 7110.5 + 7111.0) / 3.0;
    QVERIFY2(qAbs(spectrum.e0 - expected) <= 1e-9,
             qPrintable(describe("e0", spectrum.e0, expected)));
    QVERIFY2(qAbs(spectrum.jump - 1.0) <= 1e-12, qPrintable(describe("jump", spectrum.jump, 1.0)));
}

void TestXafsSpectrum::emptySpectrumStaysUnnormalised()
{
    const XafsSpectrum spectrum(Spectrum(), 1, 7000.0);
    QCOMPARE(spectrum.eOrigin, 7000.0);
    QCOMPARE(spectrum.e0, 0.0);
    QVERIFY(spectrum.normalized.isEmpty());
}

void TestXafsSpectrum::reads9809_data()
{
    QTest::addColumn<QString>("monochromatorLine");
    QTest::addColumn<double>("spacing");

    QTest::newRow("no D=: default spacing") << QStringLiteral("Mono : Si(111)") << 3.13553;
    QTest::newRow("D= sets the spacing")
        << QStringLiteral("Mono : Si(311) D= 1.92017 A") << 1.92017;
}

void TestXafsSpectrum::reads9809()
{
    QFETCH(QString, monochromatorLine);
    QFETCH(double, spacing);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("scan.dat"));
    writeText(path,
              QStringLiteral("  9809     KEK-PF   BL-12C\n"
                             "sample.dat  2020.01.01 10:00\n")
                  + monochromatorLine
                  + QStringLiteral("\n"
                                   " Angle(c)  Angle(o)  Time/s   I0   I1\n"
                                   " Offset    0   0   0   0\n"
                                   "  16.2000  16.2000  1.0  100000  40000\n"
                                   "  16.1000  16.1000  1.0  100000  20000\n"
                                   "  16.0000  16.0000  1.0  0  20000\n"
                                   "  short line\n"));

    XafsSpectrum spectrum;
    QVERIFY(spectrum.readFile(path));
    QCOMPARE(spectrum.plainText, 0);
    QCOMPARE(spectrum.size(), 3);

    const double angles[] = {16.2, 16.1, 16.0};
    const double mus[] = {std::log(2.5), std::log(5.0), 1.0};
    for (int i = 0; i < 3; ++i) {
        const double energy = Hc / (std::sin(angles[i] * 3.1415926535 / 180.0) * 2.0 * spacing);
        QVERIFY2(qAbs(spectrum.xAt(i) - energy) <= 1e-6,
                 qPrintable(describe("energy", spectrum.xAt(i), energy)));
        QVERIFY2(qAbs(spectrum.yAt(i) - mus[i]) <= 1e-12,
                 qPrintable(describe("mu", spectrum.yAt(i), mus[i])));
    }
}

void TestXafsSpectrum::bad9809NumbersAreNotInfiniteEnergies()
{
    // Regression: "D=" without a number and an angle of 0 gave points at infinite energy.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.dat"));
    writeText(path,
              QStringLiteral("9809 header\nMono D= none\nOffset 0 0 0 0\n"
                             " 16.0 16.0 1.0 100 50\n"
                             " 0.0 0.0 1.0 100 50\n"
                             " angle angle 1.0 100 50\n"));
    XafsSpectrum spectrum;
    QVERIFY(spectrum.readFile(path));
    QCOMPARE(spectrum.size(), 1);
    const double energy = Hc / (std::sin(16.0 * 3.1415926535 / 180.0) * 2.0 * 3.13553);
    QVERIFY2(qAbs(spectrum.xAt(0) - energy) <= 1e-6,
             qPrintable(describe("energy", spectrum.xAt(0), energy)));
}

void TestXafsSpectrum::plainTextSkipsTextLines()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plain.txt"));
    writeText(path, QStringLiteral("# comment\nEnergy mu\n7000 0.5\n\n7010\t0.75 extra\n7020 x\n"));
    XafsSpectrum spectrum;
    QVERIFY(spectrum.readFile(path));
    QCOMPARE(spectrum.plainText, 1);
    QCOMPARE(spectrum.size(), 2);
    QCOMPARE(spectrum.points.at(0), QPointF(7000, 0.5));
    QCOMPARE(spectrum.points.at(1), QPointF(7010, 0.75));

    writeText(path, QStringLiteral("# only a comment\n"));
    QVERIFY(!spectrum.readFile(path));
}

void TestXafsSpectrum::missingFileFails()
{
    QTemporaryDir dir;
    XafsSpectrum spectrum;
    spectrum.plainText = 0;
    QVERIFY(!spectrum.readFile(dir.filePath(QStringLiteral("missing.dat"))));
    QCOMPARE(spectrum.plainText, 1);
}

void TestXafsSpectrum::writtenFileReadsBack()
{
    const XafsSpectrum written(syntheticEdge(true, 7112.5, 1.0), 1, 0.0);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("spectrum.dat"));
    QVERIFY(written.writeFile(path, false));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QCOMPARE(file.readLine(), QByteArray("###Marvolenti::XafsSpectrum\n"));
    QCOMPARE(file.readLine(), QByteArray("# x  double-normalized-pre-base y pre post\n"));
    const QList<QByteArray> columns = file.readLine().trimmed().split('\t');
    QCOMPARE(columns.size(), 5);
    QVERIFY2(qAbs(columns.at(2).toDouble() - written.yAt(0)) <= 1e-5,
             qPrintable(describe("raw mu", columns.at(2).toDouble(), written.yAt(0))));
    file.close();

    XafsSpectrum read;
    QVERIFY(read.readFile(path));
    QCOMPARE(read.plainText, 1);
    QCOMPARE(read.size(), written.size());
    for (int i = 0; i < read.size(); ++i) {
        const double x = written.xAt(i);
        const double y = written.doubleNormPreBase.yAt(i);
        QVERIFY2(qAbs(read.xAt(i) - x) <= 1e-5 * qAbs(x),
                 qPrintable(describe("x", read.xAt(i), x)));
        QVERIFY2(qAbs(read.yAt(i) - y) <= 1e-5 * qMax(1.0, qAbs(y)),
                 qPrintable(describe("double-normalised y", read.yAt(i), y)));
    }
}

void TestXafsSpectrum::writesRelativeToOrigin()
{
    Spectrum raw = syntheticEdge(false, 7112.5, 1.0);
    raw.shiftOn = true;
    raw.dE = 0.0;
    XafsSpectrum spectrum(raw, 0, 7112.0);
    spectrum.shiftOn = true;
    spectrum.dE = 2.0;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("relative.dat"));
    QVERIFY(spectrum.writeFile(path, true));
    XafsSpectrum read;
    QVERIFY(read.readFile(path));
    for (int i = 0; i < read.size(); ++i) {
        const double expected = spectrum.points.at(i).x() - 2.0 - 7112.0;
        QVERIFY2(qAbs(read.xAt(i) - expected) <= 1e-3,
                 qPrintable(describe("relative x", read.xAt(i), expected)));
    }
    // The raw point at 7114 eV is read at 7112 eV with its shift: 0 relative to the origin.
    const int at7114 = 7114 - 6900;
    QCOMPARE(spectrum.points.at(at7114).x(), 7114.0);
    QVERIFY2(qAbs(read.xAt(at7114)) <= 1e-9,
             qPrintable(describe("x at 7114", read.xAt(at7114), 0)));
}

void TestXafsSpectrum::unwritablePathLeavesNoFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no-such-dir/out.dat"));
    const XafsSpectrum spectrum(syntheticEdge(false, 7112.5, 1.0), 0, 0.0);
    QVERIFY(!spectrum.writeFile(path, false));
    QVERIFY(!QFile::exists(path));
}

void TestXafsSpectrum::metaTypesRegistered()
{
    XafsSpectrum::registerMetaTypes();
    QVERIFY(QMetaType::type("XafsSpectrum") != QMetaType::UnknownType);
    QVERIFY(QMetaType::type("XafsSpectrum*") != QMetaType::UnknownType);

    const XafsSpectrum spectrum(syntheticEdge(false, 7112.5, 1.0), 0, 3.0);
    const QVariant carried = QVariant::fromValue(spectrum);
    const XafsSpectrum copy = carried.value<XafsSpectrum>();
    QCOMPARE(copy.size(), spectrum.size());
    QCOMPARE(copy.e0, spectrum.e0);
    QCOMPARE(copy.eOrigin, 3.0);
}

QTEST_MAIN(TestXafsSpectrum)
#include "tst_xafsspectrum.moc"
