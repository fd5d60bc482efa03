#include "analysis/elemanalysis.h"
#include "resources/resourceinit.h"
#include "spectra/spectrum.h"
#include "spectra/victoreentable.h"

#include <QtTest>

#include <cmath>
#include <limits>

// The element analysis of one spectrum: names of the target elements, and jumps, edge
// positions, ROI values, ratios and correlation on a spectrum whose values are known.
class TestElemAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void names_data();
    void names();
    void spectrum_data();
    void spectrum();
};

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();
constexpr double infinite = std::numeric_limits<double>::infinity();
// Backgrounds that tell each value apart.
const ElemBackgrounds backgrounds{-1.0, -2.0, -3.0, -4.0, -5.0};

// Every 10 eV from 7000 to 7230 eV: a rising pre-edge, a step to 1.2 between 7110 and
// 7120 eV, flat above; the Fe K edge lies in the step, the Cu K edge far beyond the end.
Spectrum stepSpectrum(double moveBy)
{
    Spectrum s;
    for (double e = 7000.0; e <= 7230.0; e += 10.0)
        s.append(e - moveBy, e < 7115.0 ? 0.2 + 0.001 * (e - 7000.0) : 1.2);
    return s;
}

// mu(E0 - 20 eV) interpolated at the Fe edge of the table, and the jump above it.
double muMinusOfFe()
{
    const double x = edgeEnergyEV(26, 0) - 20.0;
    return 0.29 + 0.001 * (x - 7090.0);
}

bool near(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b || std::abs(a - b) < 1e-9;
}

} // namespace

void TestElemAnalysis::initTestCase()
{
    initMarvolentiResources();
    readVictoreenTable();
}

void TestElemAnalysis::names_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("sort");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("commas, blanks, edges")
        << "Fe,Cu-K  Zn-LIII" << false << QStringList{"Fe-K:0", "Cu-K:0", "Zn-LIII:3"};
    QTest::newRow("unknown symbol skipped")
        << "Fe Xx Cu" << false << QStringList{"Fe-K:0", "Cu-K:0"};
    QTest::newRow("empty edge name is K") << "Fe-" << false << QStringList{"Fe-:0"};
    QTest::newRow("dash first is no symbol") << "-K" << false << QStringList{};
    QTest::newRow("unsorted") << "Zn Fe" << false << QStringList{"Zn-K:0", "Fe-K:0"};
    QTest::newRow("sorted by atomic number") << "Zn Fe" << true << QStringList{"Fe-K:0", "Zn-K:0"};
    // Regression: every repetition of a name made a row of its own (2,000 rows for 2,000 "Fe").
    QTest::newRow("repeated names merged")
        << "Fe Cu,Fe Fe-LIII" << false << QStringList{"Fe-K:0", "Cu-K:0"};
    QTest::newRow("one row for 2000 names")
        << QString("Fe,").repeated(2000) << false << QStringList{"Fe-K:0"};
}

void TestElemAnalysis::names()
{
    QFETCH(QString, text);
    QFETCH(bool, sort);
    QFETCH(QStringList, expected);
    QStringList found;
    for (const ElemName &name : ElemAnalysis::parseNames(text, sort)) {
        QVERIFY(name.z > 0);
        found << QStringLiteral("%1-%2:%3").arg(name.symbol, name.edgeName).arg(name.edge);
    }
    QCOMPARE(found, expected);
}

void TestElemAnalysis::spectrum_data()
{
    QTest::addColumn<QString>("names");
    QTest::addColumn<double>("shift");
    // NaN: the threshold is the jump measured with the default threshold.
    QTest::addColumn<double>("th");
    QTest::addColumn<double>("roiStart");
    QTest::addColumn<double>("roiEnd");
    QTest::addColumn<bool>("noNeg");
    QTest::addColumn<int>("mainT");
    QTest::addColumn<double>("bgDmut");
    QTest::addColumn<bool>("use");
    // dmut, ratio and ROI of Fe, ratio of Cu, edge position and normalised ROI of Fe, then the
    // correlation (NaN: none). Empty: those of the spectrum moved by the shift instead.
    QTest::addColumn<QVector<double>>("expected");

    const double minus = muMinusOfFe();
    const double d = 1.2 - minus;
    const double edgePos = 7115.0 - edgeEnergyEV(26, 0);
    const double below = 0.22 - minus;
    QTest::newRow("jump, edge and ROI above the edge; no row in use")
        << "Fe Cu" << 0.0 << 0.1 << 7150.0 << 7200.0 << true << 0 << -1.0 << false
        << QVector<double>{d, 1.0, d, -1.0 / d, edgePos, 1.0, none};
    QTest::newRow("threshold equal to dmut")
        << "Fe Cu" << 0.0 << none << 7150.0 << 7200.0 << true << 0 << -1.0 << false
        << QVector<double>{-1.0, 1.0, -4.0, 1.0, -3.0, -5.0, none};
    QTest::newRow("ROI start and end on one point, No Neg")
        << "Fe Cu" << 0.0 << 0.1 << 7151.0 << 7152.0 << true << 0 << -1.0 << false
        << QVector<double>{d, 1.0, 0.0, -1.0 / d, edgePos, 0.0, none};
    QTest::newRow("ROI start and end on one point")
        << "Fe Cu" << 0.0 << 0.1 << 7151.0 << 7152.0 << false << 0 << -1.0 << false
        << QVector<double>{d, 1.0, 0.0, -1.0 / d, edgePos, 0.0, none};
    QTest::newRow("negative ROI, No Neg")
        << "Fe Cu" << 0.0 << 0.1 << 7000.0 << 7050.0 << true << 0 << -1.0 << false
        << QVector<double>{d, 1.0, -4.0, -1.0 / d, edgePos, -5.0, none};
    QTest::newRow("negative ROI") << "Fe Cu" << 0.0 << 0.1 << 7000.0 << 7050.0 << false << 0 << -1.0
                                  << false
                                  << QVector<double>{
                                         d, 1.0, below, -1.0 / d, edgePos, below / d, none};
    QTest::newRow("main element below its threshold")
        << "Fe Cu" << 0.0 << 0.1 << 7150.0 << 7200.0 << true << 1 << -1.0 << false
        << QVector<double>{d, -d, d, 1.0, edgePos, 1.0, none};
    QTest::newRow("main element of dmut 0")
        << "Fe Cu" << 0.0 << 0.1 << 7150.0 << 7200.0 << true << 1 << 0.0 << false
        << QVector<double>{d, infinite, d, none, edgePos, 1.0, none};
    QTest::newRow("correlation of the rows in use")
        << "Fe Cu" << 0.0 << 0.1 << 7150.0 << 7200.0 << true << 0 << -1.0 << true
        << QVector<double>{d,
                           1.0,
                           d,
                           -1.0 / d,
                           edgePos,
                           1.0,
                           (1.0 - 1.0 / d) / std::sqrt((1.0 + 1.0 / (d * d)) * 2.0)};
    QTest::newRow("shifted spectrum on its shifted scale")
        << "Fe Cu" << 7.0 << 0.1 << 7150.0 << 7200.0 << false << 0 << -1.0 << true
        << QVector<double>{};
    // Regression: without rows the ratios were read from an empty list.
    QTest::newRow("no rows") << "Xx" << 0.0 << 0.1 << 7150.0 << 7200.0 << true << 0 << -1.0 << true
                             << QVector<double>{};
}

void TestElemAnalysis::spectrum()
{
    QFETCH(QString, names);
    QFETCH(double, shift);
    QFETCH(double, th);
    QFETCH(double, roiStart);
    QFETCH(double, roiEnd);
    QFETCH(bool, noNeg);
    QFETCH(int, mainT);
    QFETCH(double, bgDmut);
    QFETCH(bool, use);
    QFETCH(QVector<double>, expected);

    QVector<ElemParams> elems;
    for (const ElemName &name : ElemAnalysis::parseNames(names, false)) {
        ElemParams p;
        p.z = name.z;
        p.edge = name.edge;
        p.roiStart = roiStart;
        p.roiEnd = roiEnd;
        p.noNeg = noNeg;
        p.use = use;
        elems << p;
    }
    ElemBackgrounds bg = backgrounds;
    bg.dmut = bgDmut;
    Spectrum s = stepSpectrum(0.0);
    if (std::isnan(th))
        th = ElemAnalysis::analyze(s, elems, mainT, bg).rawDMut.at(0);
    for (ElemParams &p : elems)
        p.thDMut = th;
    s.shiftOn = shift != 0.0;
    s.dE = shift;
    const ElemResults r = ElemAnalysis::analyze(s, elems, mainT, bg);
    for (int k = 0; k < ElemResults::Kinds; ++k)
        QCOMPARE(r.values[k].size(), elems.size());
    if (elems.isEmpty()) {
        QVERIFY(!r.hasCorrelation);
        return;
    }
    if (expected.isEmpty()) {
        const ElemResults moved = ElemAnalysis::analyze(stepSpectrum(shift), elems, mainT, bg);
        const ElemResults unshifted = ElemAnalysis::analyze(stepSpectrum(0.0), elems, mainT, bg);
        for (int k = 0; k < ElemResults::Kinds; ++k)
            for (int l = 0; l < elems.size(); ++l)
                QVERIFY2(near(r.values[k].at(l), moved.values[k].at(l)),
                         qPrintable(QStringLiteral("kind %1 of row %2: %3, moved %4")
                                        .arg(k)
                                        .arg(l)
                                        .arg(r.values[k].at(l))
                                        .arg(moved.values[k].at(l))));
        QVERIFY(
            !near(r.values[ElemResults::DMut].at(0), unshifted.values[ElemResults::DMut].at(0)));
        return;
    }
    const double found[] = {r.values[ElemResults::DMut].at(0),
                            r.values[ElemResults::Ratio].at(0),
                            r.values[ElemResults::Roi].at(0),
                            r.values[ElemResults::Ratio].at(1),
                            r.values[ElemResults::EdgePos].at(0),
                            r.values[ElemResults::NRoi].at(0),
                            r.hasCorrelation ? r.correlation : none};
    for (int k = 0; k < expected.size(); ++k)
        QVERIFY2(near(found[k], expected.at(k)),
                 qPrintable(QStringLiteral("value %1: %2, expected %3 (threshold %4)")
                                .arg(k)
                                .arg(found[k], 0, 'g', 12)
                                .arg(expected.at(k), 0, 'g', 12)
                                .arg(th)));
    // The jumps as measured, whatever the threshold.
    QVERIFY(near(r.rawDMut.at(0), 1.2 - muMinusOfFe()));
    // A correlation at the threshold keeps its value in the thresholded map.
    QCOMPARE(ElemAnalysis::thresholded(0.5, 0.5), 0.5);
    QCOMPARE(ElemAnalysis::thresholded(0.5, 0.50001), 0.0);
}

QTEST_GUILESS_MAIN(TestElemAnalysis)
#include "tst_elemanalysis.moc"
