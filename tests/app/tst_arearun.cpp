#include "analysis/analyzed2dres.h"
#include "analysis/analyzer.h"
#include "analysis/arearun.h"
#include "analysis/arearuncontroller.h"
#include "analysis/blockengine.h"
#include "analysis/elemctrl.h"
#include "analysis/lcffit.h"
#include "analysis/lcfreference.h"
#include "analysis/xafsfileselect.h"
#include "app/body.h"
#include "batch/batchcommands.h"
#include "batch/batchctrl.h"
#include "batch/cmdline.h"
#include "display/imgdispa.h"
#include "resources/resourceinit.h"
#include "spectra/numbertext.h"
#include "tests/sampledataset.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

// The analyser's area runs on the generated sample data set: maps equal to fitting every
// block alone, maps against the sample's truth, stopping, and the batch commands that wait.
class TestAreaRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void sameAsBlockByBlock_data();
    void sameAsBlockByBlock();
    void mapsMatchTheTruth_data();
    void mapsMatchTheTruth();
    void stop_data();
    void stop();
    void mapOnTheDisplay();
    void dispOnTimeRedrawsTheShownMapOnly_data();
    void dispOnTimeRedrawsTheShownMapOnly();
    void batchWaitsForTheRuns();
    void saveDataWritesTheRunsMap();
    void deglitchCommands();

private:
    int exec(const QString &line);
    void waitForTheEnd();

    QTemporaryDir mDir;
    QString mSample;
    Body *mBody = nullptr;
    Analyzer *mAnalyzer = nullptr;
    QSignalSpy *mFinished = nullptr;
};

namespace {

constexpr int sampleSize = 48;
QStringList logged;

void keepMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    logged << message;
}

bool same(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

// Whether two maps hold the same values in every cell; names the first that differs.
QString firstDifference(const Analyzed2DRes &map, const Analyzed2DRes &expected)
{
    if (map.width() != expected.width() || map.height() != expected.height())
        return QStringLiteral("sizes differ");
    for (int y = 0; y < map.height(); ++y) {
        for (int x = 0; x < map.width(); ++x) {
            if (!same(map.value(x, y), expected.value(x, y)))
                return QStringLiteral("%1 at (%2, %3): %4, expected %5")
                    .arg(map.name())
                    .arg(x)
                    .arg(y)
                    .arg(map.value(x, y))
                    .arg(expected.value(x, y));
        }
    }
    return QString();
}

QVector<double> truthMap(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QVector<double> values;
    for (const QString &word : QString::fromUtf8(file.readAll()).split(QRegExp("\\s+")))
        if (!word.isEmpty())
            values << word.toDouble();
    return values;
}

} // namespace

void TestAreaRun::initTestCase()
{
    initMarvolentiResources();
    buildBatchTables();
    QVERIFY(mDir.isValid());
    mSample = mDir.filePath("sample");
    QVERIFY(
        writeSampleDataSet(mSample, {"--size", QString::number(sampleSize), "--energies", "120"}));

    mBody = new Body;
    mAnalyzer = mBody->analyzer();
    mFinished = new QSignalSpy(mBody, &Body::finishBatchExec);
    for (const QString &line : sampleDataSetLoadLines(mSample)) {
        const int before = mFinished->count();
        mBody->execCmdSlot(CmdLine(line), false);
        QTRY_VERIFY_WITH_TIMEOUT(mFinished->count() > before, 600000);
    }
    for (const QString &line : sampleReferenceLines(mSample))
        exec(line);
    // Residual-absorption runs need an energy inside the sample's.
    exec("analyzer_set_ra_energy 7300");
    qInstallMessageHandler(keepMessage);
}

void TestAreaRun::cleanupTestCase()
{
    qInstallMessageHandler(nullptr);
    delete mFinished;
    delete mBody;
}

int TestAreaRun::exec(const QString &line)
{
    const int before = mFinished->count();
    mBody->execCmdSlot(CmdLine(line), false);
    return mFinished->count() - before;
}

void TestAreaRun::waitForTheEnd()
{
    QTRY_VERIFY_WITH_TIMEOUT(!mBody->areaRunController()->areaRun()->isRunning()
                                 && !mBody->blockEngine()->isRunning(),
                             600000);
}

void TestAreaRun::sameAsBlockByBlock_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<int>("bin");
    QTest::addColumn<double>("shift");
    QTest::addColumn<double>("raEnergy");
    QTest::addColumn<double>("raFactor");
    QTest::addColumn<bool>("oneReference");

    const QRect whole(0, 0, sampleSize, sampleSize);
    QTest::newRow("LCF, 10 x 6 at bin 1: six 3 x 3 squares")
        << "LCF" << QRect(5, 5, 10, 6) << 1 << 0.0 << 0.0 << 0.0 << false;
    QTest::newRow("MLCF, energy shift on the left half")
        << "MLCF" << whole << 1 << 1.5 << 0.0 << 0.0 << false;
    QTest::newRow("LCF, energy shift, bin 0")
        << "LCF" << QRect(8, 8, 20, 9) << 0 << -2.0 << 0.0 << 0.0 << false;
    // Regression: blocks outside the images, or a single reference, left the run hanging.
    QTest::newRow("LCF, area beyond the image")
        << "LCF" << QRect(40, 40, 20, 20) << 2 << 0.0 << 0.0 << 0.0 << false;
    QTest::newRow("MLCF, one reference") << "MLCF" << whole << 2 << 0.0 << 0.0 << 0.0 << true;
    QTest::newRow("RA") << "RA" << whole << 1 << 0.0 << 7200.0 << 1.0 << false;
    QTest::newRow("RA, factor 0") << "RA" << whole << 1 << 0.0 << 7200.0 << 0.0 << false;
    QTest::newRow("RA, below the edge, shifted")
        << "RA" << whole << 2 << 3.0 << 7000.0 << 0.5 << false;
    // Element runs: Fe and Cu both in use, Cu's edge beyond the scan.
    QTest::newRow("elements, every pixel") << "Elems" << whole << 0 << 0.0 << 0.0 << 0.0 << false;
    QTest::newRow("elements, main element of dmut 0")
        << "ElemsMainZero" << whole << 0 << 0.0 << 0.0 << 0.0 << false;
    QTest::newRow("elements at bin 1, beyond the image")
        << "Elems" << QRect(30, 30, 20, 20) << 1 << 0.0 << 0.0 << 0.0 << false;
}

void TestAreaRun::sameAsBlockByBlock()
{
    QFETCH(QString, kind);
    QFETCH(QRect, area);
    QFETCH(int, bin);
    QFETCH(double, shift);
    QFETCH(double, raEnergy);
    QFETCH(double, raFactor);
    QFETCH(bool, oneReference);

    const bool ra = kind == "RA";
    const bool mlcf = kind == "MLCF";
    const bool elems = kind.startsWith("Elems");
    // The main element Cu, above an unreachable threshold, reads the background 0 as its jump.
    const bool mainZero = kind == "ElemsMainZero";
    exec("analyzer_target_elements \"Fe Cu\"");
    exec(QStringLiteral("analyzer_elems_bg_dMut 0 %1").arg(mainZero ? 0 : -1));
    exec(QStringLiteral("analyzer_elems_thdmut Cu-K %1").arg(mainZero ? 100 : 0.1));
    exec(QStringLiteral("analyzer_elems_select_target %1").arg(mainZero ? "Cu-K" : "Fe-K"));
    exec("analyzer_elems_set_use Fe-K 1");
    exec("analyzer_elems_set_use Cu-K 1");
    mAnalyzer->refs().at(1)->fileSelect()->setUse(!oneReference);
    mAnalyzer->refs().at(1)->changedUse(!oneReference);
    exec(QStringLiteral("select_region %1 %2 %3 %4")
             .arg(area.left())
             .arg(area.top())
             .arg(area.right() + 1)
             .arg(area.bottom() + 1));
    exec(QStringLiteral("set_band_w %1").arg(bin));
    exec(QStringLiteral("set_band_h %1").arg(bin));

    // The energy shift map: the shift on the left half of the image, none on the right.
    Analyzed2DRes shifts("shifts");
    shifts.reset(sampleSize, sampleSize);
    for (int y = 0; y < sampleSize; ++y)
        shifts.setData(0, y, sampleSize / 2 - 1, 0, shift);
    BlockRequest request = mBody->blockRequest();
    request.takeEnergyShifts(shifts);
    if (elems)
        request.walk = request.walk.everyPixel();
    if (area.width() == 10)
        QCOMPARE(request.walk.count(), qint64(6));

    const QVector<LCFReferenceData> references = mAnalyzer->referenceData();
    const QVector<ElemParams> params = mAnalyzer->elemsParams();
    const ElemBackgrounds bg = mAnalyzer->elemsBackgrounds();
    const int mainT = mAnalyzer->mainTargetId();
    const QVector<Analyzed2DRes *> maps = ra      ? QVector<Analyzed2DRes *>{mAnalyzer->raMap(0),
                                                                             mAnalyzer->raMap(1),
                                                                             mAnalyzer->raMap(2)}
                                          : elems ? mAnalyzer->elemsMaps()
                                                  : mAnalyzer->lcfMaps();
    AreaRun *run = mBody->areaRunController()->areaRun();
    QSignalSpy ended(run, &AreaRun::ended);
    if (ra)
        QVERIFY(run->startRA(request, 0, raEnergy, raFactor, maps, false));
    else if (elems)
        QVERIFY(run->startElems(request, params, mainT, bg, 0.5, 0.9, maps, false));
    else
        QVERIFY(run->startLCF(request, references, mlcf, 0, LCFFitOptions(), maps, false));
    // Ticking a use box and editing a shift mid-run must not change what is recorded.
    mAnalyzer->refs().at(1)->fileSelect()->setUse(oneReference);
    mAnalyzer->refs().at(1)->changedUse(oneReference);
    mAnalyzer->refs().at(0)->findChild<QLineEdit *>("DeltaE")->setText("4");
    emit mAnalyzer->refs().at(0)->findChild<QLineEdit *>("DeltaE")->editingFinished();
    waitForTheEnd();
    QCOMPARE(ended.count(), 1);
    QVERIFY(ended.first().at(1).toBool());
    if (ra)
        mBody->areaRunController()->generateRAResImage();

    // Every block alone, through the spectrum and fit of the cursor's path.
    QVector<Analyzed2DRes *> expected;
    for (Analyzed2DRes *map : maps) {
        expected << new Analyzed2DRes(map->name(), this);
        expected.last()->reset(request.walk);
    }
    AreaWalk walk = request.walk;
    bool newRow = false;
    double correlation = 0.5;
    // LCF: the maps of the references in use and the quality maps the fit fills.
    QSet<int> filledByFit;
    do {
        const XafsSpectrum sample = request.spectra.xafsSpectrumAt(
            walk.cx, walk.cy, walk.xw, walk.yw, 0, request.energyShiftAt(walk.cx, walk.cy));
        if (elems) {
            const ElemResults r = ElemAnalysis::analyze(sample, params, mainT, bg);
            const int n = params.size();
            for (int k = 0; k < 7 * n; ++k)
                expected.at(k)->setData(walk.cx, walk.cy, 0, 0, r.values[k / n].at(k % n));
            correlation = r.hasCorrelation ? r.correlation : correlation;
            expected.at(7 * n)->setData(walk.cx, walk.cy, 0, 0, correlation);
            expected.at(7 * n + 1)->setData(
                walk.cx, walk.cy, 0, 0, ElemAnalysis::thresholded(correlation, 0.9));
            continue;
        }
        if (sample.isEmpty())
            continue;
        if (ra) {
            const double pre = sample.preEdge.valueAt(raEnergy);
            const double dmut = sample.postEdge.valueAt(raEnergy) - pre;
            expected.at(0)->record(walk, dmut);
            expected.at(1)->record(walk, pre - raFactor * dmut);
            continue;
        }
        const LCFFit fit = fitLCF(sample, references, mlcf, true);
        const int n = references.size();
        for (int d = 0; d < fit.used.size(); ++d) {
            for (int kind = 0; kind < 3; ++kind)
                filledByFit.insert(fit.used.at(d) + kind * n);
            expected.at(fit.used.at(d))->record(walk, fit.dmuts.at(d));
            expected.at(fit.used.at(d) + n)->record(walk, fit.ratios.at(d));
            expected.at(fit.used.at(d) + 2 * n)->record(walk, fit.errors.at(d));
        }
        // The quality maps; the subset map is a best-subset run's alone.
        filledByFit << 3 * n << 3 * n + 1;
        expected.at(3 * n)->record(walk, fit.rFactor);
        expected.at(3 * n + 1)->record(walk, fit.redChi2);
    } while (walk.next(newRow));
    if (ra) {
        double minRes = 1e300;
        for (int y = 0; y < sampleSize; ++y)
            for (int x = 0; x < sampleSize; ++x)
                minRes = qMin(minRes, expected.at(1)->value(x, y));
        for (int y = 0; y < sampleSize; ++y)
            for (int x = 0; x < sampleSize; ++x) {
                const double rest = expected.at(1)->value(x, y) - minRes;
                expected.at(2)->setData(x, y, 0, 0, rest / (expected.at(0)->value(x, y) + rest));
            }
    }
    for (int k = 0; k < maps.size(); ++k) {
        // Maps the run does not fill (rows not in use, the subset map) hold no memory.
        if (!ra && !elems && !filledByFit.contains(k)) {
            QVERIFY2(!maps.at(k)->hasData(), qPrintable(maps.at(k)->name()));
            continue;
        }
        const QString difference = firstDifference(*maps.at(k), *expected.at(k));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(maps.at(k)->min(), expected.at(k)->min());
        QCOMPARE(maps.at(k)->max(), expected.at(k)->max());
        QCOMPARE(maps.at(k)->no(), ra ? -1 : k);
        // Each map of the two references in use holds the six blocks' squares and nothing else.
        int written = 0;
        for (int c = 0; c < sampleSize * sampleSize; ++c)
            written += maps.at(k)->value(c % sampleSize, c / sampleSize) != 0.0;
        if (area.width() == 10)
            QCOMPARE(written, k % references.size() < 2 ? 6 * 3 * 3 : 0);
        // Regression: infinite and undefined ratios must leave ranges, images and exports whole.
        if (mainZero) {
            QVERIFY(std::isfinite(maps.at(k)->min()) && std::isfinite(maps.at(k)->max()));
            maps.at(k)->genImg();
            QVERIFY(maps.at(k)->imageValid());
            QCOMPARE(maps.at(k)->tiffDataForSave(false, 0, 0, true).size(),
                     int(request.walk.count()));
        }
    }
    if (mainZero)
        QVERIFY(std::isnan(maps.at(3)->value(24, 24)) && std::isinf(maps.at(2)->value(24, 24)));
    qDeleteAll(expected);
    mAnalyzer->refs().at(0)->findChild<QLineEdit *>("DeltaE")->setText("0");
    emit mAnalyzer->refs().at(0)->findChild<QLineEdit *>("DeltaE")->editingFinished();
    mAnalyzer->refs().at(1)->fileSelect()->setUse(true);
    mAnalyzer->refs().at(1)->changedUse(true);
}

void TestAreaRun::mapsMatchTheTruth_data()
{
    QTest::addColumn<bool>("mlcf");
    QTest::newRow("LCF") << false;
    QTest::newRow("MLCF") << true;
}

void TestAreaRun::mapsMatchTheTruth()
{
    QFETCH(bool, mlcf);
    exec(QStringLiteral("analyzer_set_LCF_mode %1").arg(int(mlcf)));
    exec(QStringLiteral("select_region 0 0 %1 %1").arg(sampleSize));
    exec("set_band_w 1");
    exec("set_band_h 1");
    mBody->areaRunController()->startAreaRun(AreaRun::LCFRun);
    QVERIFY(mBody->areaRunController()->analysisRunning());
    waitForTheEnd();
    QVERIFY(!mBody->areaRunController()->analysisRunning());

    const QVector<double> truth = truthMap(mSample + "/fraction_A.txt");
    QCOMPARE(truth.size(), sampleSize * sampleSize);
    const Analyzed2DRes *fractionA = mAnalyzer->refs().at(0)->map(1);
    const Analyzed2DRes *dmutB = mAnalyzer->refs().at(1)->map(0);
    int compared = 0;
    int clipped = 0;
    for (int y = 4; y < sampleSize - 4; y += 3) {
        for (int x = 4; x < sampleSize - 4; x += 3) {
            // Away from the rims of the discs, which drift by up to 3 pixels.
            bool inside = true;
            for (int dy = -3; dy <= 3; ++dy)
                for (int dx = -3; dx <= 3; ++dx)
                    inside = inside
                             && truth.at((y + dy) * sampleSize + x + dx)
                                    == truth.at(y * sampleSize + x);
            if (!inside || truth.at(y * sampleSize + x) < 0)
                continue;
            ++compared;
            const double f = truth.at(y * sampleSize + x);
            QVERIFY2(std::abs(fractionA->value(x, y) - f) < 0.1,
                     qPrintable(QStringLiteral("(%1, %2): %3, truth %4")
                                    .arg(x)
                                    .arg(y)
                                    .arg(fractionA->value(x, y))
                                    .arg(f)));
            clipped += f == 1.0 && dmutB->value(x, y) == 0.0;
        }
    }
    QVERIFY(compared >= 5);
    // MLCF gives no negative dmut: where B is absent its fit is clipped to 0 in places.
    QCOMPARE(clipped > 0, mlcf);
    if (mlcf)
        QVERIFY(dmutB->min() >= 0.0);
    exec("analyzer_set_LCF_mode 0");
}

void TestAreaRun::stop_data()
{
    QTest::addColumn<bool>("byBatch");
    QTest::addColumn<QString>("stopBy");
    QTest::addColumn<int>("finishes");

    // finishes: finishBatchExec() emitted by the start and the stop together.
    QTest::newRow("stop") << false << "stop" << 0;
    QTest::newRow("second start") << false << "start" << 0;
    QTest::newRow("second residual-absorption start") << false << "ra" << 0;
    QTest::newRow("batch command stops a run by hand") << false << "batch" << 1;
    // Regression: a stopped batch run left its script waiting forever.
    QTest::newRow("batch run stopped by hand") << true << "start" << 1;
    QTest::newRow("batch run stopped") << true << "stop" << 1;
    // Regression: a run by hand released a script waiting for something else.
    QTest::newRow("run by hand completes") << false << "" << 0;
    QTest::newRow("batch run completes") << true << "" << 1;
    QTest::newRow("batch element run stopped") << true << "elems" << 1;
    // Regression: new element rows deleted the maps that the run was writing.
    QTest::newRow("batch element run, rows rebuilt") << true << "elems rebuilt" << 1;
    // Regression: Stop waited behind the run and started a second one; closing left it going.
    QTest::newRow("Stop button") << false << "button" << 0;
    QTest::newRow("main window closed") << false << "close" << 0;
}

void TestAreaRun::stop()
{
    QFETCH(bool, byBatch);
    QFETCH(QString, stopBy);
    QFETCH(int, finishes);

    exec(QStringLiteral("select_region 0 0 %1 %1").arg(sampleSize));
    exec("set_band_w 0");
    exec("set_band_h 0");
    const bool ra = stopBy == "ra";
    const bool elems = stopBy.startsWith("elems");
    const bool rebuilt = stopBy == "elems rebuilt";
    exec("analyzer_target_elements Fe");
    auto *analyze = mAnalyzer->findChild<QPushButton *>("AskAnalyze");
    QString buttonText;
    // Stops as soon as the first row has been recorded.
    QMetaObject::Connection stopper
        = connect(mBody->blockEngine(), &BlockEngine::rowRecorded, this, [&] {
              disconnect(stopper);
              buttonText = analyze->text();
              if (stopBy == "button")
                  QTest::mouseClick(analyze, Qt::LeftButton);
              else if (stopBy == "close")
                  mBody->close();
              else if (stopBy == "stop")
                  mBody->areaRunController()->stop2DAnalysis();
              else if (stopBy == "start")
                  mBody->areaRunController()->startAreaRun(AreaRun::LCFRun);
              else if (rebuilt)
                  mAnalyzer->setTargetElements("Fe Cu");
              else if (elems)
                  mBody->areaRunController()->stop2DAnalysis();
              else if (stopBy == "ra")
                  mBody->areaRunController()->startAreaRun(AreaRun::RARun);
              else if (stopBy == "batch")
                  exec("analyzer_exec_LCF");
          });
    logged.clear();
    const int before = mFinished->count();
    if (byBatch)
        QCOMPARE(exec(ra      ? "analyzer_exec_ra"
                      : elems ? "analyzer_exec_elems"
                              : "analyzer_exec_LCF"),
                 0);
    else if (ra)
        mBody->areaRunController()->startAreaRun(AreaRun::RARun);
    else
        mBody->areaRunController()->startAreaRun(AreaRun::LCFRun);
    waitForTheEnd();
    QTest::qWait(20);
    disconnect(stopper);
    QCOMPARE(mFinished->count() - before, finishes);
    QVERIFY(!mBody->areaRunController()->analysisRunning());

    const bool stopped = !stopBy.isEmpty();
    QCOMPARE(buttonText == "Stop", !ra && !elems);
    QCOMPARE(analyze->text(), QString("Analyze"));
    // Regression: a stopped batch run let its script go on without a word.
    if (stopped) {
        const QString message = "run stopped after 48 of 2304 blocks";
        QCOMPARE(mBody->messageLine(), message);
        QCOMPARE(mBody->batchCtrl()->logText().contains(message), byBatch || stopBy == "batch");
        mBody->batchCtrl()->clearLog();
    }
    QCOMPARE(logged.filter("2da 4:").size(), stopped ? 1 : 0);
    QCOMPARE(logged.filter("2da 3:").size(), stopped || ra ? 0 : 1);
    if (rebuilt) {
        QCOMPARE(mAnalyzer->elems().size(), 2);
        return;
    }
    // A stopped run keeps its first row and nothing after it.
    const Analyzed2DRes *map = ra      ? mAnalyzer->raMap(0)
                               : elems ? mAnalyzer->elems().at(0)->map(0)
                                       : mAnalyzer->refs().at(0)->map(1);
    QVERIFY(map->value(12, 0) != 0.0 || map->value(36, 0) != 0.0);
    QCOMPARE(map->value(12, sampleSize - 1) == 0.0, stopped);
}

void TestAreaRun::mapOnTheDisplay()
{
    exec(QStringLiteral("select_region 0 0 %1 %1").arg(sampleSize));
    exec("set_band_w 1");
    exec("set_band_h 1");
    mBody->areaRunController()->startAreaRun(AreaRun::LCFRun);
    waitForTheEnd();
    exec("analyzer_select_image 0");
    exec("analyzer_select_image_type 1");
    auto *showRes = mBody->findChild<QRadioButton *>("ShowResAnalysis");
    showRes->click();
    ImgDispA *display = mBody->findChild<ImgDispA *>("dispA");
    Analyzed2DRes *map = mAnalyzer->refs().at(0)->map(1);
    QCOMPARE(display->overlayer(), map);
    QVERIFY(display->showOverlayer());
    QVERIFY(map->imageValid());

    // The value under the cursor is the map's, and deglitching shows the processed map.
    display->placeCursor(12, 12);
    emit display->mouseMoved0();
    QCOMPARE(mBody->findChild<QLineEdit *>("Value")->text(), groupedNumberText(map->value(12, 12)));
    mBody->findChild<QPushButton *>("DeGlitch")->click();
    QVERIFY(map->showProc());
    mBody->findChild<QCheckBox *>("ShowProcImg")->setChecked(true);
    mBody->findChild<QCheckBox *>("ShowProcImg")->setChecked(false);
    QVERIFY(!map->showProc());
    // "Set All" regenerates the map shown.
    map->clear();
    map->reset(sampleSize, sampleSize);
    QVERIFY(!map->imageValid());
    mBody->findChild<QPushButton *>("CBarAll")->click();
    QVERIFY(map->imageValid());
    mBody->findChild<QRadioButton *>("ShowData")->click();
    QVERIFY(!display->showOverlayer());
}

void TestAreaRun::dispOnTimeRedrawsTheShownMapOnly_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("LCF box") << 0;
    QTest::newRow("element box") << 2;
}

// Regression: "Disp. on Time" recoloured every map at every row and held the window still.
void TestAreaRun::dispOnTimeRedrawsTheShownMapOnly()
{
    QFETCH(int, mode);
    exec(QStringLiteral("select_region 0 0 %1 %1").arg(sampleSize));
    exec("set_band_w 0");
    exec("set_band_h 0");
    exec("analyzer_target_elements Fe");
    exec(QStringLiteral("analyzer_select_analysis_mode %1").arg(mode));
    auto *onTime = mAnalyzer->findChild<QCheckBox *>(mode ? "ElemsDispOnTime" : "DispOnTime");
    onTime->setChecked(true);
    const QVector<Analyzed2DRes *> maps = mode ? mAnalyzer->elemsMaps() : mAnalyzer->lcfMaps();
    QVector<QSignalSpy *> recoloured;
    for (Analyzed2DRes *map : maps)
        recoloured << new QSignalSpy(map, &Analyzed2DRes::imageGenerated);
    QElapsedTimer clock;
    clock.start();
    mode ? mBody->areaRunController()->startAreaRun(AreaRun::ElemRun)
         : mBody->areaRunController()->startAreaRun(AreaRun::LCFRun);
    waitForTheEnd();
    // The map shown at the first row, at most every interval after it and at the end.
    const qint64 most = 2 + clock.elapsed() / AreaRun::redrawIntervalMs;
    for (int k = 0; k < maps.size(); ++k) {
        const int count = recoloured.at(k)->count();
        const bool shown = maps.at(k) == mAnalyzer->selectedMap();
        QVERIFY2(shown ? count >= 2 && count <= most : count <= 1,
                 qPrintable(QStringLiteral("%1: %2").arg(maps.at(k)->name()).arg(count)));
    }
    qDeleteAll(recoloured);
    onTime->setChecked(false);
    exec("analyzer_select_analysis_mode 0");
}

void TestAreaRun::batchWaitsForTheRuns()
{
    const QString script = mDir.filePath("runs.bat");
    QString errors;
    QCOMPARE(runBatchScript(script,
                            sampleDataSetLoadLines(mSample)
                                << sampleReferenceLines(mSample) << "select_region 0 0 48 48"
                                << "set_band_w 2"
                                << "set_band_h 2"
                                << "analyzer_exec_LCF"
                                << ":echo lcf-over"
                                << "analyzer_set_ra_energy 7300"
                                << "analyzer_exec_ra"
                                << ":echo ra-over"
                                << "quit",
                            &errors),
             0);
    const QStringList lines = errors.split('\n');
    const auto indexOf = [&lines](const QString &text) {
        for (int i = lines.size() - 1; i >= 0; --i)
            if (lines.at(i).startsWith(text))
                return i;
        return -1;
    };
    // The residual-absorption run ends with one line on its blocks and rows.
    QVERIFY(indexOf("2da 3:") > 0);
    QVERIFY(indexOf("2da 3:") < indexOf("echo lcf-over"));
    const int raEnd = indexOf("residual absorption: 100 blocks in 10 rows");
    QVERIFY(indexOf("echo lcf-over") < raEnd);
    QVERIFY(raEnd < indexOf("echo ra-over"));
}

// Regression: "Save Data" after an LCF run wrote the residual ratio map of an earlier run.
void TestAreaRun::saveDataWritesTheRunsMap()
{
    QTemporaryDir out;
    QString errors;
    QCOMPARE(runBatchScript(out.filePath("save.bat"),
                            sampleDataSetLoadLines(mSample)
                                << sampleReferenceLines(mSample) << "saveDataCfg_save_as_text"
                                << "set_band_w 1"
                                << "set_band_h 1"
                                << "analyzer_set_ra_energy 7200"
                                << "analyzer_select_analysis_mode 1"
                                << "analyzer_exec_ra"
                                << "analyzer_select_image 6"
                                << "select_region 6 6 18 12"
                                << "analyzer_exec_LCF"
                                << "save_data " + quoted(out.filePath("frac.dat")) << "quit",
                            &errors),
             0);
    QFile saved(out.filePath("frac-0.dat"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    // The 4 x 2 blocks of the LCF walk, not the 16 x 16 of the residual-absorption one.
    QCOMPARE(saved.readAll().count('\n'), 8);
    QVERIFY2(errors.contains("Saved dmut of Ref1 to " + QDir::toNativeSeparators(saved.fileName())),
             qPrintable(errors));
}

// Regression: scripts could not deglitch a map, set the deglitch fields or switch to its
// deglitched values.
void TestAreaRun::deglitchCommands()
{
    QTemporaryDir out;
    const auto save = [&out](const QString &name) {
        return "save_data " + quoted(out.filePath(name + ".tif"));
    };
    QString errors;
    QCOMPARE(runBatchScript(
                 out.filePath("deglitch.bat"),
                 sampleDataSetLoadLines(mSample)
                     << sampleReferenceLines(mSample) << "saveDataCfg_save_as_tiff"
                     << "select_region 0 0 48 48"
                     << "set_band_w 1"
                     << "set_band_h 1"
                     << "analyzer_exec_LCF"
                     << save("raw")
                     // No block differs from its neighbours a million times the mean.
                     << "analyzer_set_deglitch_factor 1e6"
                     << "analyzer_set_deglitch_ratio 0.5"
                     << "analyzer_deglitch"
                     << save("highFactor")
                     // No value lies below the smallest or above the largest.
                     << "analyzer_set_deglitch_factor 0"
                     << "analyzer_set_deglitch_ratio 0"
                     << "analyzer_deglitch" << save("noRatio") << "analyzer_set_deglitch_ratio 0.5"
                     << "analyzer_deglitch" << save("deglitched") << "analyzer_show_deglitched 0"
                     << save("shownRaw") << "analyzer_show_deglitched 1" << save("shownDeglitched")
                     << "quit",
                 &errors),
             0);
    QVERIFY2(!errors.contains("Err:"), qPrintable(errors));
    const auto bytes = [&out](const QString &name) {
        QFile file(out.filePath(name + "-0.tif"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray raw = bytes("raw");
    QVERIFY(!raw.isEmpty());
    QCOMPARE(bytes("highFactor"), raw);
    QCOMPARE(bytes("noRatio"), raw);
    QVERIFY(!bytes("deglitched").isEmpty());
    QVERIFY(bytes("deglitched") != raw);
    QCOMPARE(bytes("shownRaw"), raw);
    QCOMPARE(bytes("shownDeglitched"), bytes("deglitched"));
}

QTEST_MAIN(TestAreaRun)
#include "tst_arearun.moc"
