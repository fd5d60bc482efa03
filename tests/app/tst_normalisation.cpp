#include "analysis/analyzer.h"
#include "analysis/lcfreference.h"
#include "app/body.h"
#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "calib/calibctrl.h"
#include "display/xafsview.h"
#include "resources/resourceinit.h"
#include "tests/sampledataset.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The normalisation ranges of targets, references and the standard: the batch commands and
// presets that set them, what the spectrum view and area runs say when a normalisation fails,
// and a soft X-ray stack that the K-edge ranges cannot normalise while the L-edge ones can.
class TestNormalisation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void rangeCommands_data();
    void rangeCommands();
    void cursorSpectrumSaysWhenNormalisationFails();
    void newReferenceRowsFollowTheTarget();
    void softStackBatchRun();

private:
    void exec(const QString &line);

    QTemporaryDir mDir;
    QString mSoft;
    Body *mBody = nullptr;
    QSignalSpy *mFinished = nullptr;
};

namespace {

constexpr int softSize = 16;

// The ranges of the target, the standard and the first reference row, as the program holds
// them.
QString rangesOf(Body *body)
{
    return body->calibCtrl()->targetBackground().ranges.text() + " | "
           + body->calibCtrl()->stdRanges().text() + " | "
           + body->analyzer()->refs().first()->spectrum()->ranges().text();
}

} // namespace

void TestNormalisation::initTestCase()
{
    initMarvolentiResources();
    buildBatchTables();
    QVERIFY(mDir.isValid());
    mSoft = mDir.filePath("soft");
    QVERIFY(writeSampleDataSet(
        mSoft, {"--soft", "--size", QString::number(softSize), "--energies", "60"}));
    mBody = new Body;
    mFinished = new QSignalSpy(mBody, &Body::finishBatchExec);
    for (const QString &line : sampleDataSetLoadLines(mSoft)) {
        const int before = mFinished->count();
        mBody->execCmdSlot(CmdLine(line), false);
        QTRY_VERIFY_WITH_TIMEOUT(mFinished->count() > before, 600000);
    }
    exec("analyzer_set_LCF_std 0 1 0 " + quoted(mSoft + "/ref_LA_707.dat") + " 0");
    exec("calib_load_std " + quoted(mSoft + "/ref_LB_708.dat"));
}

void TestNormalisation::cleanupTestCase()
{
    delete mFinished;
    delete mBody;
}

void TestNormalisation::exec(const QString &line)
{
    mBody->execCmdSlot(CmdLine(line), false);
}

void TestNormalisation::rangeCommands_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("ranges");
    QTest::addColumn<QString>("message");

    const QString k = NormRanges::kEdge().text();
    const QString l = NormRanges::lEdge().text();
    QTest::newRow("K-edge ranges at start") << QStringList() << k + " | " + k + " | " + k << "";
    QTest::newRow("each on its own") << QStringList{"set_norm_ranges -20 -6 8 30",
                                                    "calib_set_std_ranges -12 -4 9 22",
                                                    "analyzer_set_LCF_std_ranges 0 -14 -5 10 24"}
                                     << "-20 -6 8 30 | -12 -4 9 22 | -14 -5 10 24"
                                     << "";
    QTest::newRow("L-edge preset on all three")
        << QStringList{"set_norm_ranges -20 -6 8 30", "set_norm_preset L"}
        << l + " | " + l + " | " + l << "";
    QTest::newRow("bad ranges change nothing")
        << QStringList{"set_norm_ranges -5 -15 10 25"} << k + " | " + k + " | " + k
        << "Bad normalisation ranges: -5 -15 10 25";
    QTest::newRow("three numbers") << QStringList{"calib_set_std_ranges -15 -5 10"}
                                   << k + " | " + k + " | " + k << "Bad normalisation ranges";
    QTest::newRow("no such row") << QStringList{"analyzer_set_LCF_std_ranges 9 -15 -5 10 25"}
                                 << k + " | " + k + " | " + k << "No reference row 9";
    QTest::newRow("no such preset")
        << QStringList{"set_norm_preset m"} << k + " | " + k + " | " + k << "No such preset: m";
}

void TestNormalisation::rangeCommands()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, ranges);
    QFETCH(QString, message);

    exec("set_norm_preset k");
    for (const QString &line : lines)
        exec(line);
    QCOMPARE(rangesOf(mBody), ranges);
    if (!message.isEmpty())
        QVERIFY2(mBody->messageLine().startsWith(message), qPrintable(mBody->messageLine()));
    // The standard is normalised with its ranges, as the spectrum view shows it.
    QCOMPARE(mBody->xafsView()->stdSpectrum().ranges().text(),
             mBody->calibCtrl()->stdRanges().text());
    exec("set_norm_preset k");
}

void TestNormalisation::cursorSpectrumSaysWhenNormalisationFails()
{
    exec("set_norm_preset k");
    exec("move_position 8 8");
    QVERIFY2(mBody->xafsView()->normFailureText().contains("empty pre-edge range"),
             qPrintable(mBody->xafsView()->normFailureText()));
    // The cursor spectrum follows the target's ranges at once.
    exec("set_norm_ranges -15 -5 10 25");
    QCOMPARE(mBody->xafsView()->normFailureText(), QString());
    // The analyser fits the spectrum as normalised so.
    QCOMPARE(mBody->analyzer()->shownSpectrum().ranges(), NormRanges::lEdge());
    QVERIFY2(qAbs(mBody->xafsView()->spectrum().e0 - 708.0) < 1.5,
             qPrintable(QString::number(mBody->xafsView()->spectrum().e0)));
    exec("set_norm_preset k");
}

void TestNormalisation::newReferenceRowsFollowTheTarget()
{
    // Regression: rows started with Victoreen base lines while the target had straight ones,
    // and fits read fractions far from the truth.
    const auto isVictoreen
        = [](LCFReference *row) { return row->findChild<QCheckBox *>("IsVictreen")->isChecked(); };
    for (LCFReference *row : mBody->analyzer()->refs().mid(1))
        QVERIFY(!isVictoreen(row));
    mBody->calibCtrl()->findChild<QRadioButton *>("TargetBGVictreen")->setChecked(true);
    exec("set_norm_preset l");
    mBody->analyzer()->findChild<QPushButton *>("AddRef")->click();
    LCFReference *added = mBody->analyzer()->refs().last();
    QVERIFY(isVictoreen(added));
    QCOMPARE(added->background().ranges, NormRanges::lEdge());
    mBody->calibCtrl()->findChild<QRadioButton *>("TargetBGSimple")->setChecked(true);
    exec("set_norm_preset k");
}

void TestNormalisation::softStackBatchRun()
{
    QTemporaryDir out;
    QVERIFY(out.isValid());
    QString errors;
    const auto references = [this](const QString &form) {
        return QStringList{"analyzer_set_LCF_std 0 1 0 " + quoted(mSoft + "/ref_LA_707.dat") + form,
                           "analyzer_set_LCF_std 1 1 0 " + quoted(mSoft + "/ref_LB_708.dat")
                               + form};
    };
    QCOMPARE(runBatchScript(out.filePath("soft.bat"),
                            sampleDataSetLoadLines(mSoft)
                                << references(" 1")
                                << "select_region 0 0 16 16\nset_band_w 1\nset_band_h 1"
                                << "analyzer_exec_LCF\n:echo L-edge" << references(" 0")
                                << "set_norm_preset l\nanalyzer_exec_LCF"
                                << "analyzer_select_image 0\nanalyzer_select_image_type 1"
                                << "saveDataCfg_save_as_text\nsaveDataCfg_text_as_csv"
                                << "saveDataCfg_text_as_xyz\nsave_data " + out.filePath("f.dat")
                                << "save_xafs_spectra " + out.filePath("spectra.dat") << "quit",
                            &errors),
             0);
    // With the K-edge ranges no block has a pre-edge range: said once, for the whole run, as
    // are the references normalised in another form than the target.
    const int split = errors.indexOf("echo L-edge");
    QVERIFY2(split > 0, qPrintable(errors));
    const QString kRun = errors.left(split);
    const QRegularExpressionMatch failed
        = QRegularExpression("(\\d+) of (\\d+) blocks: no E0 / empty pre-edge range").match(kRun);
    QVERIFY2(failed.hasMatch(), qPrintable(kRun));
    QCOMPARE(failed.captured(1), failed.captured(2));
    QCOMPARE(failed.captured(2).toInt(), 25);
    QCOMPARE(kRun.count("blocks: no E0"), 1);
    QVERIFY2(kRun.contains("Ref1, Ref2 normalised with Victoreen base lines, the target with "
                           "straight base lines"),
             qPrintable(kRun));
    // With the L-edge ranges every block has its E0 and the fractions follow the truth, which
    // rises from 0 at the left edge to 1 at the right.
    const QString lRun = errors.mid(split);
    QVERIFY2(!lRun.contains("blocks: no E0") && !lRun.contains("normalised with"),
             qPrintable(lRun));
    QFile fractions(out.filePath("f-0.dat"));
    QVERIFY(fractions.open(QIODevice::ReadOnly | QIODevice::Text));
    int blocks = 0;
    for (const QString &line : QString::fromLatin1(fractions.readAll()).split('\n')) {
        const QStringList fields = line.split(',');
        if (fields.size() != 3)
            continue;
        const double truth = fields.at(0).toDouble() / (softSize - 1);
        QVERIFY2(qAbs(fields.at(2).toDouble() - truth) < 0.05, qPrintable(line));
        ++blocks;
    }
    QCOMPARE(blocks, 25);
    // The spectra export normalises with the same ranges: below the edge the double-normalised
    // spectrum with post-edge base lies at -1.
    QFile spectra(out.filePath("spectra.dat"));
    QVERIFY(spectra.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromLatin1(spectra.readAll()).split('\n');
    QVERIFY(lines.size() > 8);
    const QStringList block = lines.at(7).split(' ');
    QCOMPARE(block.at(3), QString("700"));
    QVERIFY2(qAbs(block.at(4).toDouble() + 1.0) < 0.1, qPrintable(block.at(4)));
}

QTEST_MAIN(TestNormalisation)
#include "tst_normalisation.moc"
