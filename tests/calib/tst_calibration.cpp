#include "analysis/arearun.h"
#include "analysis/blockengine.h"
#include "app/body.h"
#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "calib/calibctrl.h"
#include "calib/calibration.h"
#include "calib/calibrationcontroller.h"
#include "calib/energyshiftmap.h"
#include "input/tiffdata.h"
#include "spectra/stackspectra.h"
#include "tests/sampledataset.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

// The energy calibration: a stack whose edges are moved by a known field gives that field
// back, with its statistics, on any number of threads; and the program's own batch run
// calibrates, saves, clears, loads and saves the map again.
class TestCalibration : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void recovers_data();
    void recovers();
    void batchRoundTrip();
    void mainWindow_data();
    void mainWindow();
    void refusedRunKeepsTheMaps();
    void batchHugeAreasAndCrystals();
    void controllerRefusals_data();
    void controllerRefusals();
    void batchNormalizeMap();

private:
    QTemporaryDir mDir;
    QString mSample;
};

namespace {

constexpr int W = 12;
constexpr int H = 10;
constexpr double edge = 7112.0;

using Field = std::function<double(int, int)>;

// mu*t a straight ramp from 0 to 1 over edge +- 10 eV, moved by the pixel's shift: its
// half-height crossing is the moved edge exactly.
struct ShiftedStack
{
    explicit ShiftedStack(const Field &shift)
    {
        for (int k = 0; k <= 60; ++k) {
            const double e = edge - 30.0 + k;
            owned.push_back(std::make_unique<TiffData>());
            TiffData *image = owned.back().get();
            image->width = W;
            image->height = H;
            image->energy = e;
            image->sampleKind = TiffData::FloatRows;
            for (int y = 0; y < H; ++y) {
                for (int x = 0; x < W; ++x) {
                    const double mu = qBound(0.0, (e - edge - shift(x, y) + 10.0) / 20.0, 1.0);
                    image->samplesFloat.append(float(std::exp(-mu)));
                }
            }
            images.append(image);
        }
    }
    std::vector<std::unique_ptr<TiffData>> owned;
    QVector<TiffData *> images;
};

} // namespace

Q_DECLARE_METATYPE(Field)

void TestCalibration::initTestCase()
{
    buildBatchTables();
    QVERIFY(mDir.isValid());
    mSample = mDir.filePath("sample");
    QVERIFY(writeSampleDataSet(mSample, {"--size", "32", "--energies", "60", "--eshift", "3"}));
    QVERIFY(QFile::exists(mSample + "/energy_shift.txt"));
}

void TestCalibration::recovers_data()
{
    QTest::addColumn<Field>("shift");
    QTest::addColumn<int>("threads");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<qint64>("blocks");
    const Field uniform = [](int, int) { return 2.5; };
    const Field field = [](int x, int y) { return 0.5 * x - 0.3 * y + 0.1 * ((x * y) % 3); };
    QTest::newRow("uniform, sigma 0") << uniform << 0 << QRect(0, 0, W, H) << qint64(W * H);
    QTest::newRow("field, all threads") << field << 0 << QRect(0, 0, W, H) << qint64(W * H);
    QTest::newRow("field, one thread") << field << 1 << QRect(0, 0, W, H) << qint64(W * H);
    // Blocks centred outside the image have no spectrum: nothing is recorded for them.
    QTest::newRow("area beyond the image")
        << field << 0 << QRect(-3, -2, W + 6, H + 3) << qint64(W * H);
}

void TestCalibration::recovers()
{
    QFETCH(Field, shift);
    QFETCH(int, threads);
    QFETCH(QRect, area);
    QFETCH(qint64, blocks);
    const ShiftedStack stack(shift);
    BlockEngine engine;
    if (threads > 0)
        engine.setMaxThreads(threads);
    EnergyShiftMap map;
    Calibration calibration(&engine, &map);
    BlockRequest request;
    request.walk = AreaWalk(W, H, 0, 0, area.x(), area.y(), area.width(), area.height());
    request.spectra = StackSpectra(stack.images, {}, W, H, false);
    QSignalSpy finished(&calibration, &Calibration::finished);
    QVERIFY(calibration.start(request, edge));
    QVERIFY(calibration.isRunning());
    QVERIFY(finished.wait(600000));
    QCOMPARE(finished.first().first().toBool(), true);

    double sum = 0.0, min = 1e300, max = -1e300;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const double expected = shift(x, y);
            QVERIFY2(std::abs(map.value(x, y) - expected) < 1e-4,
                     qPrintable(QString("(%1, %2): %3, expected %4")
                                    .arg(x)
                                    .arg(y)
                                    .arg(map.value(x, y))
                                    .arg(expected)));
            sum += expected;
            min = std::min(min, expected);
            max = std::max(max, expected);
        }
    }
    double squares = 0.0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x)
            squares += std::pow(shift(x, y) - sum / (W * H), 2);
    }
    const Calibration::Stats &stats = calibration.stats();
    QCOMPARE(stats.count, blocks);
    QVERIFY(std::abs(stats.average - sum / (W * H)) < 1e-4);
    QVERIFY(std::abs(stats.min - min) < 1e-4);
    QVERIFY(std::abs(stats.max - max) < 1e-4);
    QVERIFY(std::abs(stats.sigma - std::sqrt(squares / (W * H))) < 1e-4);
}

void TestCalibration::batchRoundTrip()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString &sample = mSample;
    const QString first = dir.filePath("first.emp");
    const QString second = dir.filePath("second.emp");
    const QString script = dir.filePath("calib.bat");
    QString errors;
    const int exitCode
        = runBatchScript(script,
                         sampleDataSetLoadLines(sample)
                             << "set_band_w 1"
                             << "set_band_h 1"
                             << "calib_load_std \"" + sample + "/ref_FeA_7112.dat\""
                             << "calib_exec"
                             << "calib_save_map \"" + first + "\""
                             << "calib_clear_map"
                             // The edge of the file, not that of the standard's normalisation.
                             << "calib_set_edge_eV 0"
                             << "calib_load_map \"" + first + "\""
                             << "calib_save_map \"" + second + "\""
                             << "quit",
                         &errors);
    QVERIFY2(exitCode == 0, qPrintable(errors.right(2000)));

    QFile a(first), b(second);
    QVERIFY(a.open(QIODevice::ReadOnly | QIODevice::Text));
    QVERIFY(b.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList linesA = QString(a.readAll()).split('\n');
    const QStringList linesB = QString(b.readAll()).split('\n');
    QCOMPARE(linesA.size(), linesB.size());
    const int data = linesA.indexOf("##-----------------") + 1;
    QVERIFY(data > 0);
    for (int i = 0; i < linesA.size(); ++i) {
        if (linesA.at(i).startsWith("Record Date"))
            continue;
        if (i < data) {
            QCOMPARE(linesB.at(i), linesA.at(i));
            continue;
        }
        const QStringList va = linesA.at(i).split(' ', Qt::SkipEmptyParts);
        const QStringList vb = linesB.at(i).split(' ', Qt::SkipEmptyParts);
        QCOMPARE(vb.size(), va.size());
        for (int k = 0; k < va.size(); ++k) {
            const double x = va.at(k).toDouble();
            QVERIFY2(std::abs(vb.at(k).toDouble() - x) <= 2e-5 * std::abs(x) + 1e-12,
                     qPrintable(QString("line %1: %2 then %3").arg(i).arg(va.at(k), vb.at(k))));
        }
    }
    QCOMPARE(linesA.mid(data).join(' ').split(' ', Qt::SkipEmptyParts).size(), 32 * 32);
}

void TestCalibration::mainWindow_data()
{
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("expected");
    // Without a standard the map would hold absolute energies, and its file angles from 0 eV.
    QTest::newRow("calibration without a standard")
        << "calib_exec"
        << "MessageLine"
        << "No standard spectrum: calibration not started";
    QTest::newRow("save without a standard") << "calib_save_map %1/none"
                                             << "MessageLine"
                                             << "No standard spectrum: %1/none not saved";
    QTest::newRow("loaded map under the cursor")
        << "calib_set_edge_eV 7112; calib_load_map %1/uniform.emp; move_position 5 6"
        << "EShiftOnTbl"
        << " 1.50";
    QTest::newRow("cleared map under the cursor")
        << "calib_load_map %1/uniform.emp; calib_clear_map; move_position 5 6"
        << "EShiftOnTbl"
        << " 0.00";
    // Regression: the map saved while a calibration wrote it held the blocks done so far.
    QTest::newRow("save during a calibration")
        << "calib_load_std %1/sample/ref_FeA_7112.dat; calib_exec; calib_save_map %1/none"
        << "MessageLine"
        << "A calibration is writing the energy-shift map";
    QTest::newRow("map of another size")
        << "calib_load_map %1/small.emp"
        << "MessageLine"
        << "Energy map size does not match the images: %1/small.emp";
}

void TestCalibration::mainWindow()
{
    QFETCH(QString, commands);
    QFETCH(QString, object);
    QFETCH(QString, expected);
    const QString folder = mDir.path();
    for (const int size : {32, 16}) {
        EnergyShiftMap uniform;
        uniform.resize(size, size);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x)
                uniform.map().setData(x, y, 0, 0, 1.5);
        }
        QVERIFY(uniform.save(folder + (size == 32 ? "/uniform" : "/small"), 7112, 3.1355316, ""));
    }
    Body body;
    QSignalSpy finished(&body, &Body::finishBatchExec);
    body.execCmdSlot(CmdLine("set_i1_energy_pattern \\d\\d\\d\\d_\\d\\deV"), false);
    body.execCmdSlot(CmdLine("load_I1_files_of_pattern new \"" + mSample + "/I1/\" *.tif"), false);
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 2, 600000);
    for (const QString &command : commands.split("; ")) {
        const int before = finished.count();
        body.execCmdSlot(CmdLine(command.arg(folder)), false);
        QCOMPARE(finished.count(),
                 before + (body.calibrating() && command == "calib_exec" ? 0 : 1));
    }
    QCOMPARE(body.findChild<QLabel *>(object)->text(), expected.arg(folder));
    QVERIFY(!QFile::exists(folder + "/none.emp"));
}

void TestCalibration::refusedRunKeepsTheMaps()
{
    // Regression: a run refused as too wide cleared the maps and set their walk to its area.
    const ShiftedStack stack([](int, int) { return 1.0; });
    BlockEngine engine;
    EnergyShiftMap map;
    map.resize(W, H);
    map.map().setData(3, 4, 0, 0, 2.5);
    BlockRequest request;
    request.walk = AreaWalk(W, H, 0, 0, -2147483648.0, 0, 4294967295.0, H);
    request.spectra = StackSpectra(stack.images, {}, W, H, false);
    Calibration calibration(&engine, &map);
    AreaRun area(&engine);
    const QVector<Analyzed2DRes *> maps(3, &map.map());
    QVERIFY(!calibration.start(request, edge));
    QVERIFY(!area.startLCF(request, {}, false, 0, LCFFitOptions(), maps, false));
    QVERIFY(!area.startRA(request, 0, edge, 1.0, maps, false));
    QVERIFY(!area.startElems(request, {}, 0, {}, 0.0, 0.0, maps, false));
    QCOMPARE(map.value(3, 4), 2.5);
    QCOMPARE(map.map().walk().x1, qint64(W));
}

void TestCalibration::batchHugeAreasAndCrystals()
{
    // Regression: areas far beyond the image were walked for hours, or refused with the maps
    // cleared; no command picked a crystal that reaches the edge.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QStringList lines = sampleDataSetLoadLines(mSample)
                        << "set_band_w 0"
                        << "set_band_h 0"
                        << "saveDataCfg_save_as_text"
                        << "analyzer_set_LCF_std 0 1 0 " + quoted(mSample + "/ref_FeA_7112.dat")
                        << "calib_load_std " + quoted(mSample + "/ref_FeA_7112.dat");
    const QStringList areas{"0 0 32 32",
                            "-2147483648 -2147483648 2147483647 2147483647",
                            "-100000 -100000 100000 100000"};
    for (int k = 0; k < areas.size(); ++k)
        lines << "select_region " + areas.at(k) << "calib_exec"
              << "calib_save_map " + quoted(dir.filePath(QString("%1.emp").arg(k)))
              << "analyzer_exec_LCF"
              << "save_data " + quoted(dir.filePath(QString("%1.txt").arg(k)));
    lines << "calib_load_map " + quoted(dir.filePath("1.emp")) << "calib_set_crystal quartz"
          << "calib_set_crystal 0.8"
          << "calib_save_map " + quoted(dir.filePath("d08.emp")) << "calib_set_crystal ge(111)"
          << "calib_save_map " + quoted(dir.filePath("ge.emp")) << "calib_set_crystal 20"
          << "calib_save_map " + quoted(dir.filePath("d20.emp")) << "quit";
    QString errors;
    QVERIFY2(runBatchScript(dir.filePath("huge.bat"), lines, &errors) == 0,
             qPrintable(errors.right(2000)));
    const auto content = [&dir](const QString &name) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly)
                   ? QString(file.readAll()).remove(QRegExp("Record Date[^\n]*"))
                   : QString();
    };
    const QStringList written = QDir(dir.path()).entryList({"0.emp", "0-*"});
    QVERIFY2(written.size() >= 2, qPrintable(written.join(' ')));
    for (const QString &name : written) {
        for (int k = 1; k < areas.size(); ++k)
            QCOMPARE(content(QString::number(k) + name.mid(1)), content(name));
    }
    QVERIFY(errors.contains("No such crystal: quartz"));
    QVERIFY(!QFile::exists(dir.filePath("d08.emp")));
    QVERIFY(content("ge.emp").contains("Spacing [nm]            : 3.26638\n"));
    QVERIFY(content("d20.emp").contains("Spacing [nm]            : 20\n"));
}

void TestCalibration::controllerRefusals_data()
{
    QTest::addColumn<bool>("images");
    QTest::addColumn<bool>("standard");
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QStringList>("messages");
    const QString busy = "A calibration is writing the energy-shift map";
    QTest::newRow("no images") << false << true << "exec" << QStringList();
    QTest::newRow("no standard") << true << false << "exec"
                                 << QStringList{"No standard spectrum: calibration not started"};
    QTest::newRow("save during a run") << true << true << "exec save" << QStringList{busy};
    QTest::newRow("load during a run") << true << true << "exec load" << QStringList{busy};
    QTest::newRow("clear during a run") << true << true << "exec clear" << QStringList{busy};
    QTest::newRow("normalise during a run")
        << true << true << "exec normalize" << QStringList{busy};
    QTest::newRow("run to its end, then save") << true << true << "exec wait save" << QStringList();
}

void TestCalibration::controllerRefusals()
{
    // The controller alone: a run over a fake stack, and what it refuses while the run writes
    // the map.
    QFETCH(bool, images);
    QFETCH(bool, standard);
    QFETCH(QString, actions);
    QFETCH(QStringList, messages);
    const ShiftedStack stack([](int, int) { return 2.0; });
    BlockEngine engine;
    CalibrationController controller(&engine);
    controller.setBlockRequestProvider([&] {
        BlockRequest request;
        request.walk = AreaWalk(W, H, 0, 0, 0, 0, W, H);
        request.spectra
            = StackSpectra(images ? stack.images : QVector<TiffData *>(), {}, W, H, false);
        return request;
    });
    controller.setImageSizeProvider([] { return QSize(W, H); });
    if (standard)
        controller.window()->loadStd(mSample + "/ref_FeA_7112.dat");
    QStringList posted;
    connect(&controller,
            &CalibrationController::message,
            this,
            [&posted](MessageLine::Kind, const QString &text) { posted << text; });
    QSignalSpy ended(&controller, &CalibrationController::calibrationEnded);
    const QString file = QDir(mDir.path()).filePath("controller.emp");
    QFile::remove(file);
    for (const QString &action : actions.split(' ')) {
        if (action == "exec")
            controller.execCalibration();
        else if (action == "wait")
            QVERIFY(ended.wait(600000));
        else if (action == "save")
            controller.saveEMap(file);
        else if (action == "load")
            controller.loadEMap(file);
        else if (action == "clear")
            controller.clearShiftMap();
        else if (action == "normalize")
            controller.normalizeEShift();
    }
    QCOMPARE(posted, messages);
    QCOMPARE(QFile::exists(file), actions.endsWith("wait save"));
    if (controller.isRunning())
        QVERIFY(ended.wait(600000));
    QCOMPARE(ended.size(), images && standard ? 1 : 0);
}

void TestCalibration::batchNormalizeMap()
{
    // calib_normalize_map writes the map that a press of "NES" writes.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    EnergyShiftMap glitched;
    glitched.resize(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x)
            glitched.map().setData(x, y, 0, 0, x == 7 && y == 9 ? 1000.0 : 1.0 + 0.01 * x);
    }
    QVERIFY(glitched.save(dir.filePath("glitched"), 7112, 3.1355316, ""));
    const QStringList setup{"calib_set_edge_eV 7112",
                            "calib_load_map " + quoted(dir.filePath("glitched.emp")),
                            "calib_load_std " + quoted(mSample + "/ref_FeA_7112.dat")};
    QString errors;
    QVERIFY2(runBatchScript(dir.filePath("nes.bat"),
                            QStringList(setup)
                                << "calib_save_map " + quoted(dir.filePath("raw.emp"))
                                << "calib_normalize_map"
                                << "calib_save_map " + quoted(dir.filePath("batch.emp")) << "quit",
                            &errors)
                 == 0,
             qPrintable(errors.right(2000)));

    Body body;
    for (const QString &command : setup)
        body.execCmdSlot(CmdLine(command), false);
    body.findChild<QAbstractButton *>("NormalizeEShift")->click();
    body.execCmdSlot(CmdLine("calib_save_map " + quoted(dir.filePath("pressed.emp"))), false);

    const auto content = [&dir](const QString &name) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly)
                   ? QString(file.readAll()).remove(QRegExp("Record Date[^\n]*"))
                   : QString();
    };
    QVERIFY(!content("pressed.emp").isEmpty());
    QVERIFY(content("raw.emp") != content("pressed.emp"));
    QCOMPARE(content("batch.emp"), content("pressed.emp"));
}

QTEST_MAIN(TestCalibration)
#include "tst_calibration.moc"
