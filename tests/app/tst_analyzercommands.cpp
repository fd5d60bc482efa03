#include "analysis/analyzed2dres.h"
#include "analysis/analyzer.h"
#include "analysis/arearuncontroller.h"
#include "analysis/lcfreference.h"
#include "analysis/xafsfileselect.h"
#include "calib/calibctrl.h"
#include "app/body.h"
#include "batch/batchcommands.h"
#include "batch/batchctrl.h"
#include "batch/cmdline.h"
#include "display/xafsview.h"
#include "resources/resourceinit.h"
#include "tests/sampledataset.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The analyser's batch commands through the main window, and a batch script that fits the
// spectrum of a pixel of the generated sample data set against the generator's references.
class TestAnalyzerCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void commands_data();
    void commands();
    void scalesReachTheMaps();
    void setLCFStd_data();
    void setLCFStd();
    void batchFitsThePixel_data();
    void batchFitsThePixel();
    void refusedRuns_data();
    void refusedRuns();
    void sortedOnReading_data();
    void sortedOnReading();
    void elementRowsFitTheScreen();

private:
    // Runs one batch line; returns how many times it finished at once.
    int exec(const QString &line);

    QTemporaryDir mDir;
    QString mSample;
    Body *mBody = nullptr;
    Analyzer *mAnalyzer = nullptr;
    QSignalSpy *mFinished = nullptr;
};

namespace {

constexpr int sampleSize = 48;

} // namespace

void TestAnalyzerCommands::initTestCase()
{
    initMarvolentiResources();
    buildBatchTables();
    QVERIFY(mDir.isValid());
    mSample = mDir.filePath("sample");
    QVERIFY(
        writeSampleDataSet(mSample, {"--size", QString::number(sampleSize), "--energies", "120"}));
}

void TestAnalyzerCommands::init()
{
    mBody = new Body;
    mAnalyzer = mBody->analyzer();
    mFinished = new QSignalSpy(mBody, &Body::finishBatchExec);
}

void TestAnalyzerCommands::cleanup()
{
    delete mFinished;
    delete mBody;
    mBody = nullptr;
}

int TestAnalyzerCommands::exec(const QString &line)
{
    const int before = mFinished->count();
    mBody->execCmdSlot(CmdLine(line), false);
    return mFinished->count() - before;
}

void TestAnalyzerCommands::commands_data()
{
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expected");

    // Commands separated by "; ", then the property of the analyser's (or its view's) widget.
    const auto row
        = [](const char *commands, const char *object, const char *property, QVariant v) {
              QTest::addRow("%s: %s", commands, object)
                  << QString(commands) << QString(object) << QByteArray(property) << v;
          };
    row("analyzer_set_LCF_mode 1", "MLCF", "checked", true);
    row("analyzer_set_LCF_mode 1; analyzer_set_LCF_mode 2", "MLCF", "checked", false);
    row("analyzer_select_image_type 1", "SelRatio", "checked", true);
    row("analyzer_select_image_type 1; analyzer_select_image_type 6", "SelRatio", "checked", true);
    row("analyzer_select_image_type 3", "SelRFactor", "checked", true);
    row("analyzer_select_image_type 5", "SelSubset", "checked", true);
    row("analyzer_set_LCF_constraint both", "Constraint", "currentIndex", 3);
    row("analyzer_set_LCF_constraint nonneg; analyzer_set_LCF_constraint x",
        "Constraint",
        "currentIndex",
        1);
    row("analyzer_set_fit_range -20 50", "FitRange", "checked", true);
    row("analyzer_set_fit_range -20 50", "FitMin", "text", "-20");
    row("analyzer_set_fit_range -20 50; analyzer_set_fit_range off", "FitRange", "checked", false);
    row("analyzer_set_fit_range 50 -20", "FitRange", "checked", false);
    row("analyzer_set_best_subset 2", "BestSubset", "value", 2);
    row("analyzer_set_best_subset 9", "BestSubset", "value", 0);
    row("analyzer_select_image 5", "ShowRest", "checked", true);
    row("analyzer_set_ra_energy 7112.5", "RAAtEV", "text", "7112.5");
    row("analyzer_set_ra_factor x", "RAFactor", "text", "0");
    row("analyzer_set_fixed_scale 1", "FixedScale", "checked", true);
    row("analyzer_set_scale_max 2", "DMutScaleMax", "text", "2");
    row("analyzer_set_scale_max 2", "RatioScaleMax", "text", "2");
    row("analyzer_set_scale_min -1", "RatioScaleMin", "text", "-1");
    row("analyzer_set_dMut_scale_max 3", "RatioScaleMax", "text", "1.0");
    row("analyzer_set_dMut_scale_min 0.125", "DMutScaleMin", "text", "0.125");
    row("analyzer_set_ratio_scale_max 0.5", "RatioScaleMax", "text", "0.5");
    row("analyzer_set_ratio_scale_min 0.25", "RatioScaleMin", "text", "0.25");
    row("analyzer_select_analysis_mode 1", "DoRAA", "checked", true);
    row("analyzer_select_analysis_mode 2", "DoElemA", "checked", true);
    row("analyzer_select_analysis_mode 1; analyzer_select_analysis_mode 3",
        "DoRAA",
        "checked",
        true);
    row("analyzer_view_normalize 1", "Normalized", "checked", true);
    row("analyzer_view_enerugy_correction 1; analyzer_view_enerugy_correction 0",
        "ECorrect",
        "checked",
        false);
    row("analyzer_show_window", "Analyzer", "visible", true);
    row("analyzer_show_window", "Xafs", "visible", true);
}

void TestAnalyzerCommands::commands()
{
    QFETCH(QString, commands);
    QFETCH(QString, object);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expected);

    for (const QString &command : commands.split("; "))
        QCOMPARE(exec(command), 1);
    QObject *target
        = mAnalyzer->objectName() == object ? mAnalyzer : mAnalyzer->findChild<QObject *>(object);
    if (!target)
        target = mAnalyzer->view()->findChild<QObject *>(object);
    QVERIFY2(target, qPrintable(object));
    QCOMPARE(target->property(property), expected);
}

void TestAnalyzerCommands::scalesReachTheMaps()
{
    exec("analyzer_set_dMut_scale_max 3");
    exec("analyzer_set_ratio_scale_min 0.25");
    exec("analyzer_set_fixed_scale 1");
    for (const LCFReference *ref : mAnalyzer->refs()) {
        QVERIFY(ref->map(0)->fixedScale());
        QCOMPARE(ref->map(0)->fixedMax(), 3.0);
        QCOMPARE(ref->map(1)->fixedMin(), 0.25);
        QCOMPARE(ref->map(1)->fixedMax(), 1.0);
    }
    QCOMPARE(mAnalyzer->raMap(1)->fixedMax(), 3.0);
    QCOMPARE(mAnalyzer->raMap(2)->fixedMin(), 0.25);
    exec("analyzer_set_fixed_scale 0");
    QVERIFY(!mAnalyzer->raMap(2)->fixedScale());
}

void TestAnalyzerCommands::setLCFStd_data()
{
    QTest::addColumn<QString>("args");
    QTest::addColumn<int>("ref");
    QTest::addColumn<bool>("victoreen");
    QTest::addColumn<bool>("use");
    QTest::addColumn<QString>("deltaE");

    QTest::newRow("vic") << "1 1 2.5 A vic" << 1 << true << true << "2.5";
    QTest::newRow("no form given") << "1 1 -1 A" << 1 << true << true << "-1";
    QTest::newRow("0") << "2 1 0 A 0" << 2 << false << true << "0";
    QTest::newRow("3") << "2 1 0 A 3" << 2 << true << true << "0";
    QTest::newRow("-1") << "2 1 0 A -1" << 2 << false << true << "0";
    QTest::newRow("other text") << "2 1 0 A VICTOREEN" << 2 << false << true << "0";
    QTest::newRow("not in use") << "0 0 1e-3 A vic" << 0 << true << false << "0.001";
    QTest::newRow("reference 7 does not exist") << "7 1 2 A vic" << -1 << false << false << "";
    // Regression: a file that could not be read left the earlier file's spectrum in use.
    QTest::newRow("unreadable file") << "1 1 0 missing.dat vic" << 1 << true << true << "0";
}

void TestAnalyzerCommands::setLCFStd()
{
    QFETCH(QString, args);
    QFETCH(int, ref);
    QFETCH(bool, victoreen);
    QFETCH(bool, use);
    QFETCH(QString, deltaE);

    const QString fileA = mSample + "/ref_FeA_7112.dat";
    // Every reference first holds a file, without Victoreen and out of use.
    for (int k = 0; k < 4; ++k)
        exec(QStringLiteral("analyzer_set_LCF_std %1 0 5 %2 0").arg(k).arg(quoted(fileA)));
    QStringList parts = args.split(' ');
    const bool readable = parts.at(3) == "A";
    const QString file = readable ? fileA : mDir.filePath(parts.at(3));
    parts[3] = quoted(file);
    QCOMPARE(exec("analyzer_set_LCF_std " + parts.join(' ')), 1);
    if (!readable)
        QVERIFY2(mBody->messageLine().startsWith("Cannot read " + file),
                 qPrintable(mBody->messageLine()));

    for (int k = 0; k < 4; ++k) {
        LCFReference *row = mAnalyzer->refs().at(k);
        const bool changed = k == ref;
        QCOMPARE(row->findChild<QCheckBox *>("IsVictreen")->isChecked(), changed && victoreen);
        QCOMPARE(row->fileSelect()->use(), changed && use);
        QCOMPARE(row->spectrum()->valid, changed && use ? 1 : 0);
        QCOMPARE(row->findChild<QLineEdit *>("DeltaE")->text(), changed ? deltaE : "5");
        QCOMPARE(row->spectrum()->dE, changed ? deltaE.toDouble() : 5.0);
        QCOMPARE(row->spectrum()->eOrigin, row->spectrum()->dE);
        // A file that could not be read leaves the path field to the reason.
        QCOMPARE(row->fileSelect()->selectedFile(), changed ? (readable ? file : "") : fileA);
        QCOMPARE(row->spectrum()->isEmpty(), changed && !readable);
        QCOMPARE(row->data().spectrum.doubleNormPreBase.isEmpty(), changed && !readable);
        QCOMPARE(row->isUsed(), changed && use && readable);
    }
}

void TestAnalyzerCommands::batchFitsThePixel_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("mlcf");

    // Inside the discs of the sample, away from their rims, which drift by up to 3 pixels.
    QTest::newRow("compound A alone, LCF") << 12 << 12 << false;
    QTest::newRow("a quarter of A, LCF") << 12 << 36 << false;
    QTest::newRow("three quarters of A, MLCF") << 36 << 36 << true;
}

void TestAnalyzerCommands::batchFitsThePixel()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(bool, mlcf);

    const QString script = mDir.filePath("fit.bat");
    QFile batch(script);
    QVERIFY(batch.open(QIODevice::WriteOnly | QIODevice::Text));
    // The references with straight base lines, as the spectrum under the cursor has them.
    QTextStream(&batch) << sampleDataSetLoadLines(mSample).join('\n') << '\n'
                        << "analyzer_set_LCF_mode " << int(mlcf) << '\n'
                        << "analyzer_set_LCF_std 0 1 0 " << quoted(mSample + "/ref_FeA_7112.dat")
                        << " 0\n"
                        << "analyzer_set_LCF_std 1 1 0 " << quoted(mSample + "/ref_FeB_7117.dat")
                        << " 0\n"
                        << "set_band_w 1\nset_band_h 1\n"
                        << "move_position " << x << ' ' << y << '\n'
                        << ":echo fitted\n";
    batch.close();
    mBody->batchCtrl()->setBatchFile(script);
    mBody->batchCtrl()->execBatchSlot();
    QTRY_VERIFY_WITH_TIMEOUT(mBody->batchCtrl()->logText().contains("echo fitted"), 600000);
    QCOMPARE(mBody->cursorX(), x);

    // The worker answers in order: the answer to one more fit comes after that of the pixel.
    QSignalSpy fitted(mAnalyzer, &Analyzer::finished);
    mAnalyzer->reAnalyzeSpectrum();
    QTRY_VERIFY_WITH_TIMEOUT(!fitted.isEmpty(), 600000);

    QFile truth(mSample + "/fraction_A.txt");
    QVERIFY(truth.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList rows = QString::fromUtf8(truth.readAll()).split('\n');
    const double fractionA = rows.at(y).split(' ').at(x).toDouble();
    const double fitA = mAnalyzer->refs().at(0)->findChild<QLineEdit *>("R")->text().toDouble();
    const double fitB = mAnalyzer->refs().at(1)->findChild<QLineEdit *>("R")->text().toDouble();
    const QString shown = QString::asprintf(
        "(%d, %d): A %g %%, B %g %%, true fraction of A %g", x, y, fitA, fitB, fractionA);
    QVERIFY2(std::abs(fitA / 100 - fractionA) < 0.05, qPrintable(shown));
    QVERIFY2(std::abs(fitB / 100 - (1 - fractionA)) < 0.05, qPrintable(shown));

    // While an area run goes on, the spectrum under the cursor is not fitted.
    const QVector<QPointF> fittedPoints = mAnalyzer->shownSpectrum().points;
    mBody->areaRunController()->setAnalysisRunning(true);
    exec("move_position 20 20");
    QVERIFY(mBody->xafsView()->spectrum().points != fittedPoints);
    QCOMPARE(mAnalyzer->shownSpectrum().points, fittedPoints);
}

void TestAnalyzerCommands::refusedRuns_data()
{
    QTest::addColumn<bool>("load");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("messages");

    const QString missing = quoted(mDir.filePath("missing.dat"));
    const QString refA = quoted(mSample + "/ref_FeA_7112.dat");
    const QString refB = quoted(mSample + "/ref_FeB_7117.dat");
    // Regression: an unreadable reference counted as used, and the run "succeeded".
    QTest::newRow("unreadable reference")
        << true
        << QStringList{"analyzer_set_LCF_std 0 1 0 " + missing + " 0",
                       "analyzer_set_LCF_std 1 1 0 " + refB + " 0",
                       "analyzer_exec_LCF"}
        << QStringList{"Cannot read " + mDir.filePath("missing.dat"), "Ref1 has no spectrum"};
    // Regression: an unreadable standard left the one read before in use.
    QTest::newRow("unreadable standard")
        << true << QStringList{"calib_load_std " + refA, "calib_load_std " + missing, "calib_exec"}
        << QStringList{"Cannot read", "No standard spectrum: calibration not started"};
    // Regression: runs with nothing to do ended without a word.
    QTest::newRow("no data") << false << QStringList{"analyzer_exec_LCF"}
                             << QStringList{"No images loaded: analysis not started"};
    QTest::newRow("no reference in use")
        << true << QStringList{"analyzer_exec_LCF"}
        << QStringList{"No reference spectrum in use: analysis not started"};
    QTest::newRow("residual-absorption energy beyond the data")
        << true << QStringList{"analyzer_select_analysis_mode 1", "analyzer_exec_ra"}
        << QStringList{"The residual-absorption energy 8200 eV lies outside the energies"};
    QTest::newRow("no target element")
        << true << QStringList{"analyzer_select_analysis_mode 2", "analyzer_exec_elems"}
        << QStringList{"No target elements: analysis not started"};
}

void TestAnalyzerCommands::refusedRuns()
{
    QFETCH(bool, load);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, messages);

    QTemporaryDir out;
    QVERIFY(out.isValid());
    const QStringList saves{"saveDataCfg_save_as_text",
                            "save_data " + quoted(out.filePath("map.dat")),
                            "calib_save_map " + quoted(out.filePath("shift.emp"))};
    QString log;
    QCOMPARE(
        runBatchScript(out.filePath("run.bat"),
                       (load ? sampleDataSetLoadLines(mSample) : QStringList()) + lines + saves,
                       &log),
        0);
    for (const QString &message : messages)
        QVERIFY2(log.contains(message), qPrintable(message + " not in:\n" + log));
    // Nothing ran, so there is no map to save.
    QCOMPARE(QDir(out.path()).entryList({"map*", "shift*"}), QStringList());
}

void TestAnalyzerCommands::sortedOnReading_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("shuffle");

    // Regression: points whose energies do not rise were taken in file order.
    QTest::newRow("falling reference") << "analyzer_set_LCF_std 0 1 0 %1 0" << false;
    QTest::newRow("shuffled reference") << "analyzer_set_LCF_std 0 1 0 %1 0" << true;
    QTest::newRow("falling standard") << "calib_load_std %1" << false;
    QTest::newRow("shuffled standard") << "calib_load_std %1" << true;
}

void TestAnalyzerCommands::sortedOnReading()
{
    QFETCH(QString, command);
    QFETCH(bool, shuffle);

    QFile rising(mSample + "/ref_FeB_7117.dat");
    QVERIFY(rising.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList lines = QString::fromUtf8(rising.readAll()).split('\n', Qt::SkipEmptyParts);
    const QString header = lines.takeFirst();
    std::reverse(lines.begin(), lines.end());
    if (shuffle)
        std::swap(lines[10], lines[lines.size() - 10]);
    const QString reordered = mDir.filePath("reordered.dat");
    QFile file(reordered);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
    QTextStream(&file) << header << '\n' << lines.join('\n') << '\n';
    file.close();

    const bool standard = command.startsWith("calib");
    const auto spectrum = [&]() -> const XafsSpectrum & {
        return standard ? mBody->calibCtrl()->stdSpectrum() : *mAnalyzer->refs().at(0)->spectrum();
    };
    exec(command.arg(quoted(rising.fileName())));
    const XafsSpectrum expected = spectrum();
    exec(command.arg(quoted(reordered)));
    QCOMPARE(spectrum().points, expected.points);
    QCOMPARE(spectrum().e0, expected.e0);
    QVERIFY2(mBody->messageLine().contains("sorted by energy"), qPrintable(mBody->messageLine()));
}

void TestAnalyzerCommands::elementRowsFitTheScreen()
{
    // Regression: the rows of "Fe,Cu" widened the analyser to 1668 px, beyond the screen.
    mAnalyzer->show();
    QVERIFY(QTest::qWaitForWindowExposed(mAnalyzer));
    exec("analyzer_target_elements Fe,Cu");
    QCoreApplication::processEvents();
    QCOMPARE(mAnalyzer->elems().size(), 2);
    QVERIFY2(mAnalyzer->width() <= 1280, qPrintable(QString::number(mAnalyzer->width())));
    // Repeated names make one row each, with a note.
    exec("analyzer_target_elements " + QString("Fe,").repeated(2000) + "Cu");
    QCOMPARE(mAnalyzer->elems().size(), 2);
    QVERIFY2(mBody->messageLine().contains("more than once"), qPrintable(mBody->messageLine()));
}

QTEST_MAIN(TestAnalyzerCommands)
#include "tst_analyzercommands.moc"
