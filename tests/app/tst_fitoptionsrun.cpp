#include "tests/sampledataset.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

// Area runs of the real program with the fit options, on a sample whose centre disc mixes a
// third compound that the two references in use cannot match.
class TestFitOptionsRun : public QObject
{
    Q_OBJECT

private slots:
    void constrainedFractionsAndRFactor();
    void undefinedFitsAreMarked();
};

namespace {

constexpr int sampleSize = 48;

// The values of a text export, one "x y value" line per block, by block position.
QMap<QPair<int, int>, double> blockValues(const QString &dir, const QString &base)
{
    QMap<QPair<int, int>, double> values;
    const QStringList names = QDir(dir).entryList({base + "-*.dat"});
    if (names.size() != 1)
        return values;
    QFile file(QDir(dir).filePath(names.first()));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    for (const QString &line : QString::fromUtf8(file.readAll()).split('\n')) {
        const QStringList words = line.split(QRegExp("[\\s,]+"), Qt::SkipEmptyParts);
        if (words.size() == 3)
            values[{words[0].toInt(), words[1].toInt()}] = words[2].toDouble();
    }
    return values;
}

// Mean over the blocks whose centre lies within radius of (cx, cy), all as fractions of the
// image size.
double discMean(const QMap<QPair<int, int>, double> &values, double cx, double cy, double radius)
{
    double sum = 0.0;
    int count = 0;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const double dx = (it.key().first + 0.5) / sampleSize - cx;
        const double dy = (it.key().second + 0.5) / sampleSize - cy;
        if (dx * dx + dy * dy < radius * radius && std::isfinite(it.value())) {
            sum += it.value();
            ++count;
        }
    }
    return count > 0 ? sum / count : std::nan("");
}

} // namespace

void TestFitOptionsRun::constrainedFractionsAndRFactor()
{
    QTemporaryDir dir;
    const QString sample = dir.filePath("three");
    QVERIFY(writeSampleDataSet(
        sample, {"--size", QString::number(sampleSize), "--energies", "120", "--three-compounds"}));
    QVERIFY(QFile::exists(sample + "/ref_FeC_7114.dat"));
    const QString out = dir.filePath("out");
    QVERIFY(QDir().mkpath(out));
    const auto save = [&](const QString &name) { return "save_data " + quoted(out + "/" + name); };
    QString errors;
    QCOMPARE(runBatchScript(dir.filePath("fit.bat"),
                            sampleDataSetLoadLines(sample)
                                << sampleReferenceLines(sample) << "saveDataCfg_save_as_text"
                                << "set_band_w 1"
                                << "set_band_h 1"
                                << "select_region 0 0 48 48"
                                << "analyzer_set_LCF_constraint both"
                                << "analyzer_exec_LCF"
                                << "analyzer_select_image 0"
                                << "analyzer_select_image_type 1" << save("fracA.dat")
                                << "analyzer_select_image 1"
                                << "analyzer_select_image_type 1" << save("fracB.dat")
                                << "analyzer_select_image_type 3" << save("rfactor.dat") << "quit",
                            &errors),
             0);
    const auto a = blockValues(out, "fracA");
    const auto b = blockValues(out, "fracB");
    const auto r = blockValues(out, "rfactor");
    QCOMPARE(a.size(), 16 * 16);
    QCOMPARE(b.size(), a.size());
    QCOMPARE(r.size(), a.size());
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        const double fa = it.value();
        const double fb = b.value(it.key());
        const QString block = QStringLiteral("block (%1, %2): %3 + %4")
                                  .arg(it.key().first)
                                  .arg(it.key().second)
                                  .arg(fa)
                                  .arg(fb);
        QVERIFY2(fa >= 0.0 && fa <= 1.0 && fb >= 0.0 && fb <= 1.0, qPrintable(block));
        // Text exports keep six digits.
        QVERIFY2(std::abs(fa + fb - 1.0) < 1e-5, qPrintable(block));
    }
    // The centre disc holds the third compound; the disc of pure A does not.
    const double centre = discMean(r, 0.5, 0.5, 0.08);
    const double pureA = discMean(r, 0.25, 0.25, 0.12);
    QVERIFY2(centre > 2.0 * pureA,
             qPrintable(QStringLiteral("R-factor %1 in the centre, %2 in disc A\n%3")
                            .arg(centre)
                            .arg(pureA)
                            .arg(errors)));
}

// Regression: a fit that could not be made was written as 0, a plausible fraction, with one
// stderr line per block.
void TestFitOptionsRun::undefinedFitsAreMarked()
{
    QTemporaryDir dir;
    const QString sample = dir.filePath("sample");
    QVERIFY(
        writeSampleDataSet(sample, {"--size", QString::number(sampleSize), "--energies", "60"}));
    QString errors;
    // A fit range beyond every spectrum holds no point.
    QCOMPARE(runBatchScript(dir.filePath("fit.bat"),
                            sampleDataSetLoadLines(sample)
                                << sampleReferenceLines(sample) << "saveDataCfg_save_as_text"
                                << "set_band_w 5"
                                << "set_band_h 5"
                                << "select_region 0 0 44 22"
                                << "analyzer_set_fit_range 1000 1010"
                                << "analyzer_exec_LCF"
                                << "analyzer_select_image 0"
                                << "analyzer_select_image_type 1"
                                << "save_data " + quoted(dir.filePath("frac.dat")) << "quit",
                            &errors),
             0);
    QVERIFY2(errors.contains("8 of 8 blocks: no fit (not a number)"), qPrintable(errors));
    QCOMPARE(errors.count("no fit"), 1);
    const auto fractions = blockValues(dir.path(), "frac");
    QCOMPARE(fractions.size(), 8);
    for (double f : fractions)
        QVERIFY(std::isnan(f));
}

QTEST_GUILESS_MAIN(TestFitOptionsRun)
#include "tst_fitoptionsrun.moc"
