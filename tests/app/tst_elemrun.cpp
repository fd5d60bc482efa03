#include "tests/sampledataset.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

// An element run of the real program over a generated Fe and Cu stack, driven by a batch file
// whose commands name rows by name and by index: the exported maps against the generator's
// jump maps.
class TestElemRun : public QObject
{
    Q_OBJECT

private slots:
    void mapsMatchTheJumps_data();
    void mapsMatchTheJumps();

private:
    void runOnce();

    QTemporaryDir mDir;
    bool mRan = false;
};

namespace {

constexpr int sampleSize = 32;

QVector<double> numbers(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QVector<double> values;
    const QString text = QString::fromUtf8(file.readAll());
    for (const QString &word : text.split(QRegularExpression("[,\\s]+"), Qt::SkipEmptyParts))
        values << word.toDouble();
    return values;
}

} // namespace

void TestElemRun::runOnce()
{
    if (mRan)
        return;
    mRan = true;
    QVERIFY(mDir.isValid());
    const QString sample = mDir.path();
    QVERIFY(writeSampleDataSet(sample, {"--size", QString::number(sampleSize), "--elements"}));
    const QString save = "save_data \"" + sample + "/%1.dat\"";
    const QStringList lines
        = sampleDataSetLoadLines(sample)
          + QStringList{"select_region 0 0 32 32",
                        "set_band_w 0",
                        "set_band_h 0",
                        "analyzer_select_analysis_mode 2",
                        "analyzer_elems_sort_by_an 1",
                        // Sorted: Fe-K is row 0, Cu-K row 1; Xx is no element.
                        "analyzer_target_elements \"Cu,Fe Xx\"",
                        // The value comes from the second argument.
                        "analyzer_elems_bg_dMut 0.5 -2",
                        // No row is named 1, and the threshold has no index fallback: Cu keeps 0.1.
                        "analyzer_elems_thdmut 1 5",
                        "analyzer_elems_select_target 1",
                        "analyzer_exec_elems",
                        "saveDataCfg_save_as_text",
                        "saveDataCfg_text_as_vals",
                        "analyzer_elems_select_disp_mode 0",
                        "analyzer_elems_select_show Fe-K",
                        save.arg("fe"),
                        "analyzer_elems_select_show 1",
                        save.arg("cu"),
                        "analyzer_elems_select_show 0",
                        "analyzer_elems_select_disp_mode 1",
                        save.arg("ratio"),
                        "quit"};
    QCOMPARE(runBatchScript(mDir.filePath("elems.bat"), lines), 0);
}

void TestElemRun::mapsMatchTheJumps_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<QString>("jumps");
    QTest::addColumn<bool>("ratioToCu");

    QTest::newRow("dmut of Fe, row named") << "fe"
                                           << "jump_Fe.txt" << false;
    QTest::newRow("dmut of Cu, row by index") << "cu"
                                              << "jump_Cu.txt" << false;
    QTest::newRow("ratio of Fe to Cu, target by index") << "ratio"
                                                        << "jump_Fe.txt" << true;
}

void TestElemRun::mapsMatchTheJumps()
{
    QFETCH(QString, map);
    QFETCH(QString, jumps);
    QFETCH(bool, ratioToCu);
    runOnce();
    const QStringList files = QDir(mDir.path()).entryList({map + "-*.dat"});
    QCOMPARE(files.size(), 1);
    const QVector<double> values = numbers(mDir.filePath(files.first()));
    const QVector<double> truth = numbers(mDir.filePath(jumps));
    const QVector<double> cu = numbers(mDir.filePath("jump_Cu.txt"));
    QCOMPARE(values.size(), sampleSize * sampleSize);
    QCOMPARE(truth.size(), values.size());
    for (int k = 0; k < values.size(); ++k) {
        // Below the threshold of 0.1 a jump reads the background value.
        const double dmut = truth.at(k) > 0.0 ? truth.at(k) : -2.0;
        const double main = cu.at(k) > 0.0 ? cu.at(k) : -2.0;
        const double expected = ratioToCu ? dmut / main : dmut;
        // Measured jumps are good to 0.08; the error of a ratio follows from both of its own.
        const double dmutError = truth.at(k) > 0.0 ? 0.08 : 0.0;
        const double mainError = cu.at(k) > 0.0 ? 0.08 : 0.0;
        const double tolerance
            = ratioToCu ? (dmutError + std::abs(expected) * mainError) / std::abs(main) : dmutError;
        QVERIFY2(std::abs(values.at(k) - expected) <= tolerance,
                 qPrintable(QStringLiteral("(%1, %2): %3, expected %4")
                                .arg(k % sampleSize)
                                .arg(k / sampleSize)
                                .arg(values.at(k))
                                .arg(expected)));
    }
}

QTEST_GUILESS_MAIN(TestElemRun)
#include "tst_elemrun.moc"
