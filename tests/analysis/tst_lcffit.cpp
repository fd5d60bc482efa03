#include "analysis/lcffit.h"

#include "referencespectra.h"
#include "spectra/linearsolver.h"

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
    void quality_data();
    void quality();
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
        if (std::isnan(a.at(i)) != std::isnan(b.at(i)) || std::abs(a.at(i) - b.at(i)) > 1e-6)
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
    // Regression: a sum of 0 or less gave fractions of 0, which read as a real 0 %.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("MLCF, components summing below 0: fractions not defined")
        << true << 0.2 << -0.5 << 0.0 << 6900.0 << 7400.0 << V{nan, nan} << V{0.2, 0.0};
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
    // References whose fraction is not defined add nothing.
    const auto weight = [&](int j) { return std::isnan(ratios.at(j)) ? 0.0 : ratios.at(j); };
    const double expected = weight(0) * mu(1, e) + weight(1) * mu(2, e);
    const double fitted = fit.fitted.valueAt(e);
    QVERIFY2(
        std::abs(fitted - expected) < 1e-6,
        qPrintable(QStringLiteral("at %1 eV: %2, expected %3").arg(e).arg(fitted).arg(expected)));
    // An exact mixture leaves no residual.
    QCOMPARE(fit.residual.size(), fit.fitted.size());
    if (!mlcf)
        QVERIFY2(std::abs(fit.residual.valueAt(e)) < 1e-6,
                 qPrintable(QString::number(fit.residual.valueAt(e))));
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
    // A reference without absorption (0 / 0 when normalised): the fit is not defined.
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
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("Fit of reference . is not defined"));
    }
    refs.resize(refCount);
    const XafsSpectrum s = emptySample ? XafsSpectrum() : mixture(false, 0.3, 0.7);
    const LCFFit fit = fitLCF(s, refs, false, false);
    QCOMPARE(fit.done, done);
    QCOMPARE(fit.ratios.size(), results);
    QCOMPARE(fit.dmuts.size(), results);
    for (int k = 0; k < results; ++k) {
        QCOMPARE(std::isnan(fit.ratios.at(k)), flatReference);
        QCOMPARE(std::isnan(fit.dmuts.at(k)), flatReference);
    }
    if (done && results == 0) {
        // Without references in use the fit is 0 at every energy of the sample.
        QCOMPARE(fit.fitted.size(), s.size());
        QCOMPARE(fit.fitted.maxY, 0.0);
        QCOMPARE(fit.fitted.minY, 0.0);
    }
}

void TestLCFFit::quality_data()
{
    QTest::addColumn<bool>("mlcf");
    QTest::addColumn<double>("w1");
    QTest::addColumn<double>("w2");
    QTest::addColumn<int>("constraint");
    QTest::addColumn<int>("bestSubset");
    QTest::addColumn<bool>("fitRange");
    // Unknowns left free by the fit, the background line included.
    QTest::addColumn<int>("free");

    QTest::newRow("LCF") << false << 0.3 << 0.7 << 0 << 0 << false << 2;
    QTest::newRow("LCF, non-negative, one share held at 0")
        << false << 1.2 << -0.3 << 1 << 0 << false << 1;
    QTest::newRow("LCF, sum to one") << false << 0.5 << 0.6 << 2 << 0 << false << 1;
    QTest::newRow("LCF, both") << false << 1.2 << -0.3 << 3 << 0 << false << 0;
    QTest::newRow("LCF, best single reference") << false << 1.0 << 0.02 << 0 << 1 << false << 1;
    QTest::newRow("LCF, over E0 - 20 .. E0 + 40 eV") << false << 0.3 << 0.7 << 0 << 0 << true << 2;
    QTest::newRow("MLCF") << true << 0.6 << 1.4 << 0 << 0 << false << 4;
    QTest::newRow("MLCF, non-negative") << true << 1.2 << -0.4 << 1 << 0 << false << 3;
}

void TestLCFFit::quality()
{
    QFETCH(bool, mlcf);
    QFETCH(double, w1);
    QFETCH(double, w2);
    QFETCH(int, constraint);
    QFETCH(int, bestSubset);
    QFETCH(bool, fitRange);
    QFETCH(int, free);

    // A mixture with a ripple that no reference has, so that the residual is not 0.
    const XafsSpectrum clean = mixture(mlcf, w1, w2);
    Spectrum noisy;
    for (int i = 0; i < clean.size(); ++i)
        noisy.append(clean.xAt(i), clean.yAt(i) + 0.01 * std::sin(clean.xAt(i) * 1.7));
    const XafsSpectrum sample(noisy, 0, 0.0);
    const QVector<LCFReferenceData> refs
        = {reference(1, 6900, 7400, 0.0), reference(2, 6900, 7400, 0.0)};
    LCFFitOptions options;
    options.constraint = constraint;
    options.bestSubset = bestSubset;
    options.fitRange = fitRange;
    options.fitMin = -20.0;
    options.fitMax = 40.0;
    const LCFFit fit = fitLCF(sample, refs, mlcf, false, options);

    // The residual worked out directly; MLCF's background line is the straight line that
    // best fits what the references leave.
    const Spectrum &targets
        = mlcf ? static_cast<const Spectrum &>(sample) : sample.doubleNormPreBase;
    QVector<double> energies, rest;
    QVector<QVector<double>> basis(2);
    for (int i = 0; i < sample.size(); ++i) {
        const double e = sample.xAt(i);
        if (fitRange && (e < sample.e0 - 20.0 || e > sample.e0 + 40.0))
            continue;
        double value = targets.yAt(i);
        for (int j = 0; j < 2; ++j) {
            const Spectrum &r
                = mlcf ? refs[j].spectrum.doubleNormPostBase : refs[j].spectrum.doubleNormPreBase;
            basis[j] << r.valueAt(e);
            value -= (mlcf ? fit.dmuts[j] : fit.ratios[j]) * basis[j].last();
        }
        energies << e;
        rest << value;
    }
    double a = 0.0, b = 0.0;
    if (mlcf) {
        double n = energies.size(), se = 0, see = 0, sr = 0, ser = 0;
        for (int i = 0; i < energies.size(); ++i) {
            se += energies[i];
            see += energies[i] * energies[i];
            sr += rest[i];
            ser += energies[i] * rest[i];
        }
        b = (n * ser - se * sr) / (n * see - se * se);
        a = (sr - b * se) / n;
    }
    double squares = 0.0, targetSquares = 0.0;
    for (int i = 0; i < energies.size(); ++i) {
        const double r = rest[i] - a - b * energies[i];
        squares += r * r;
    }
    for (int i = 0; i < sample.size(); ++i) {
        const double e = sample.xAt(i);
        if (!fitRange || (e >= sample.e0 - 20.0 && e <= sample.e0 + 40.0))
            targetSquares += targets.yAt(i) * targets.yAt(i);
    }
    const double rFactor = squares / targetSquares;
    const double redChi2 = squares / (energies.size() - free);
    const QString message = QStringLiteral("R %1 (expected %2), chi2 %3 (expected %4)")
                                .arg(fit.rFactor)
                                .arg(rFactor)
                                .arg(fit.redChi2)
                                .arg(redChi2);
    QVERIFY2(std::abs(fit.rFactor - rFactor) < 1e-9 + 1e-6 * rFactor, qPrintable(message));
    QVERIFY2(std::abs(fit.redChi2 - redChi2) < 1e-12 + 1e-6 * redChi2, qPrintable(message));
    if (mlcf || constraint != 0 || bestSubset != 0) {
        // A reference without a share has no error.
        for (int j = 0; j < 2; ++j) {
            if (fit.ratios[j] == 0.0)
                QCOMPARE(fit.errors[j], 0.0);
        }
        return;
    }
    // Unconstrained LCF: errors from the inverse of the normal matrix of the basis.
    QVector<QVector<double>> normal(2, QVector<double>(2, 0.0));
    for (int i = 0; i < energies.size(); ++i) {
        for (int k = 0; k < 2; ++k) {
            for (int l = 0; l < 2; ++l)
                normal[k][l] += basis[k][i] * basis[l][i];
        }
    }
    for (int j = 0; j < 2; ++j) {
        QVector<double> unit(2, 0.0);
        unit[j] = 1.0;
        const double expected = std::sqrt(redChi2 * solveLinear(normal, unit)[j]);
        QVERIFY2(std::abs(fit.errors[j] - expected) < 1e-6 * expected,
                 qPrintable(QStringLiteral("error %1: %2, expected %3")
                                .arg(j)
                                .arg(fit.errors[j])
                                .arg(expected)));
    }
}

QTEST_GUILESS_MAIN(TestLCFFit)
#include "tst_lcffit.moc"
