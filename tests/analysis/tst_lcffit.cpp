#include "analysis/lcffit.h"

#include "referencespectra.h"

#include <QtTest>

using namespace ReferenceSpectra;

// LCF and MLCF of one spectrum against two references.
class TestLCFFit : public QObject
{
    Q_OBJECT

private slots:
    void fit_data();
    void fit();
    void nothingSensibleToFit_data();
    void nothingSensibleToFit();
};

namespace {

// A reference as a fit gets it: the compound sampled every 0.5 eV over lo .. hi of its own
// energies, recorded `shift` eV too high, normalised with straight base lines.
LCFReferenceData reference(int compound, double lo, double hi, double shift, bool used = true)
{
    LCFReferenceData data;
    data.spectrum = XafsSpectrum(
        sampled(lo, hi, 0.5, shift, [=](double e) { return mu(compound, e); }), 0, 0.0);
    data.used = used;
    data.shift = shift;
    return data;
}

QString listed(const QVector<double> &values)
{
    QStringList texts;
    for (double v : values)
        texts << QString::number(v, 'g', 10);
    return texts.join(", ");
}

bool close(const QVector<double> &a, const QVector<double> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (std::abs(a.at(i) - b.at(i)) > 1e-6)
            return false;
    }
    return true;
}

} // namespace

void TestLCFFit::fit_data()
{
    QTest::addColumn<bool>("mlcf");
    QTest::addColumn<double>("w1");
    QTest::addColumn<double>("w2");
    QTest::addColumn<double>("shift");
    // The first reference starts at lo1, the second ends at hi2.
    QTest::addColumn<double>("lo1");
    QTest::addColumn<double>("hi2");
    QTest::addColumn<QVector<double>>("ratios");
    QTest::addColumn<QVector<double>>("dmuts");

    using V = QVector<double>;
    QTest::newRow("LCF 0.3 / 0.7: dmuts are the fractions times the jump")
        << false << 0.3 << 0.7 << 0.0 << 6900.0 << 7400.0 << V{0.3, 0.7} << V{0.75, 1.75};
    QTest::newRow("LCF, second reference recorded 3 eV high and shifted back")
        << false << 0.3 << 0.7 << 3.0 << 6900.0 << 7400.0 << V{0.3, 0.7} << V{0.75, 1.75};
    QTest::newRow("LCF over the energies both references cover")
        << false << 0.3 << 0.7 << 0.0 << 7000.0 << 7350.0 << V{0.3, 0.7} << V{0.75, 1.75};
    QTest::newRow("MLCF: fractions are the dmuts over their sum")
        << true << 0.6 << 1.4 << 0.0 << 6900.0 << 7400.0 << V{0.3, 0.7} << V{0.6, 1.4};
    QTest::newRow("MLCF, a negative component: 0, the sum keeps it")
        << true << 1.2 << -0.4 << 0.0 << 6900.0 << 7400.0 << V{1.5, 0.0} << V{1.2, 0.0};
    // Regression: a sum of 0 or less gave infinite or NaN fractions.
    QTest::newRow("MLCF, components summing below 0: no fractions")
        << true << 0.2 << -0.5 << 0.0 << 6900.0 << 7400.0 << V{0.0, 0.0} << V{0.2, 0.0};
}

void TestLCFFit::fit()
{
    QFETCH(bool, mlcf);
    QFETCH(double, w1);
    QFETCH(double, w2);
    QFETCH(double, shift);
    QFETCH(double, lo1);
    QFETCH(double, hi2);
    QFETCH(QVector<double>, ratios);
    QFETCH(QVector<double>, dmuts);

    const QVector<LCFReferenceData> refs
        = {reference(1, lo1, 7400, 0.0), reference(2, 6900, hi2, shift)};
    const LCFFit fit = fitLCF(mixture(mlcf, w1, w2), refs, mlcf, false);
    QVERIFY(fit.done);
    QCOMPARE(fit.used, QVector<int>({0, 1}));
    QVERIFY2(close(fit.ratios, ratios), qPrintable("ratios " + listed(fit.ratios)));
    QVERIFY2(close(fit.dmuts, dmuts), qPrintable("dmuts " + listed(fit.dmuts)));

    // The fitted spectrum covers the sample's energies within the references' range.
    QCOMPARE(fit.fitted.points.first().x(), lo1);
    QCOMPARE(fit.fitted.points.last().x(), hi2);
    QCOMPARE(fit.fitted.size(), int(hi2 - lo1) / 2 + 1);
    const double e = 7116.0;
    const double expected = ratios.at(0) * mu(1, e) + ratios.at(1) * mu(2, e);
    const double fitted = fit.fitted.valueAt(e);
    QVERIFY2(
        std::abs(fitted - expected) < 1e-6,
        qPrintable(QStringLiteral("at %1 eV: %2, expected %3").arg(e).arg(fitted).arg(expected)));
}

void TestLCFFit::nothingSensibleToFit_data()
{
    QTest::addColumn<bool>("emptySample");
    QTest::addColumn<int>("refCount");
    QTest::addColumn<bool>("used");
    QTest::addColumn<bool>("flatReference");
    QTest::addColumn<bool>("done");
    QTest::addColumn<int>("results");

    QTest::newRow("empty spectrum") << true << 2 << true << false << false << 2;
    QTest::newRow("one reference") << false << 1 << true << false << false << 1;
    QTest::newRow("no reference in use") << false << 2 << false << false << true << 0;
    // Regression: a reference without absorption (0 / 0 when normalised) made the fractions NaN.
    QTest::newRow("a reference without absorption") << false << 2 << true << true << true << 2;
}

void TestLCFFit::nothingSensibleToFit()
{
    QFETCH(bool, emptySample);
    QFETCH(int, refCount);
    QFETCH(bool, used);
    QFETCH(bool, flatReference);
    QFETCH(bool, done);
    QFETCH(int, results);

    QVector<LCFReferenceData> refs
        = {reference(1, 6900, 7400, 0.0, used), reference(2, 6900, 7400, 0.0, used)};
    if (flatReference) {
        refs[1].spectrum
            = XafsSpectrum(sampled(6900, 7400, 0.5, 0.0, [](double) { return 0.0; }), 0, 0.0);
        QTest::ignoreMessage(QtDebugMsg,
                             QRegularExpression("Fit of reference . is not a finite number"));
    }
    refs.resize(refCount);
    const XafsSpectrum s = emptySample ? XafsSpectrum() : mixture(false, 0.3, 0.7);
    const LCFFit fit = fitLCF(s, refs, false, false);
    QCOMPARE(fit.done, done);
    QCOMPARE(fit.ratios.size(), results);
    QCOMPARE(fit.dmuts.size(), results);
    for (int k = 0; k < results; ++k) {
        QVERIFY(std::isfinite(fit.ratios.at(k)));
        QVERIFY(std::isfinite(fit.dmuts.at(k)));
    }
    if (done && results == 0) {
        // Without references in use the fit is 0 at every energy of the sample.
        QCOMPARE(fit.fitted.size(), s.size());
        QCOMPARE(fit.fitted.maxY, 0.0);
        QCOMPARE(fit.fitted.minY, 0.0);
    }
}

QTEST_GUILESS_MAIN(TestLCFFit)
#include "tst_lcffit.moc"
