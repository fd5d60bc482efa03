#include "analysis/analyzed2dres.h"
#include "analysis/analyzer.h"
#include "analysis/arearuncontroller.h"
#include "analysis/blockengine.h"
#include "analysis/lcfreference.h"
#include "app/body.h"
#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "display/statusprogress.h"
#include "input/tiffdata.h"
#include "output/exportcontroller.h"
#include "output/savedatacfg.h"
#include "output/tiffwriter.h"
#include "resources/resourceinit.h"
#include "tests/sampledataset.h"
#include "../analysis/referencespectra.h"

#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <tiffio.h>

// The main window's exports, driven by batch commands: with the save-data settings, the files of
// result maps, images and colour bars, and the flat and dark files; and a whole batch script run
// by the program over the sample data set.
class TstExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void files_data();
    void files();
    void batchScript_data();
    void batchScript();
    void laterSuccessClearsTheFailure_data();
    void laterSuccessClearsTheFailure();
    void fullDisk();
    void progressAndStop_data();
    void progressAndStop();
    void xafsSpectraCommand();
    void resultsFileReadsBackInH5py();

private:
    void exec(const QString &commands);

    QTemporaryDir mDir;
    QString mOldCurrent;
    Body *mBody = nullptr;
};

void TstExport::exec(const QString &commands)
{
    for (const QString &line : commands.split(QStringLiteral("; ")))
        mBody->execCmdSlot(CmdLine(line), false);
}

void TstExport::initTestCase()
{
    initMarvolentiResources();
    buildBatchTables();
    mOldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(mDir.path()));
    mBody = new Body;
    // Flat and dark files are refused until an image gives their size.
    mBody->exportController()->saveFlatDark();
    QVERIFY(mBody->messageLine().contains("No image loaded"));
    QVERIFY(!QFile::exists("flat.dat"));

    const QVector<quint16> pixels(8 * 6, 1000);
    QVERIFY(writeTiff16(mDir.filePath("i1.tif"), 8, 6, pixels.constData()));
    QSignalSpy finished(mBody, &Body::finishBatchExec);
    exec("load_I1_files new " + mDir.filePath("i1.tif"));
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 600000);

    // Two references in use and a third without a file, each with both maps drawn.
    for (int i = 0; i < 3; ++i) {
        const QString file = mDir.filePath(QStringLiteral("ref%1.dat").arg(i));
        QVERIFY(ReferenceSpectra::writeSpectrum(file, ReferenceSpectra::mixture(false, 1, 0)));
        if (i < 2)
            exec(QStringLiteral("analyzer_set_LCF_std %1 1 0 %2").arg(i).arg(file));
        for (int kind = 0; kind < 2; ++kind) {
            Analyzed2DRes *map = mBody->analyzer()->refs().at(i)->map(kind);
            map->reset(AreaWalk(8, 6, 0, 0, 0, 0, 8, 6, 2, 3));
            for (int c = 0; c < 48; ++c)
                map->setData(c % 8, c / 8, 0, 0, c + 10 * i + 100 * kind);
            map->genImg();
        }
    }
    exec("analyzer_select_image 2");
    QVERIFY(writeSampleDataSet(mDir.filePath("sample"), {"--size", "48", "--energies", "120"}));
    QVERIFY(QDir(mDir.path()).mkpath("sub"));
}

void TstExport::cleanupTestCase()
{
    delete mBody;
    QDir::setCurrent(mOldCurrent);
}

void TstExport::files_data()
{
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("image with number")
        << "save_image_w_num img.png 007" << QStringList{"img-007.png", "img-007-cBar.png"} << ""
        << "";
    QTest::newRow("all images")
        << "save_all_images all.png"
        << QStringList{"all-0-0.png", "all-1-0.png", "all-0-1.png", "all-1-1.png"} << ""
        << "";
    // What Save Data wrote, and of which map, is named on the message line.
    const auto saved = [this](const QStringList &files) {
        QStringList paths;
        for (const QString &file : files)
            paths << QDir::toNativeSeparators(mDir.filePath(file));
        return "Saved dmut of Ref3 to " + paths.join(", ");
    };
    QTest::newRow("data as tiff") << "save_data map.png"
                                  << QStringList{"map-2.tif", "map-2--cBar.png"}
                                  << saved({"map-2.tif", "map-2--cBar.png"}) << "";
    QTest::newRow("data as tiff, no suffix: no colour bar")
        << "save_data nosuffix" << QStringList{"nosuffix-2.tif"} << "nosuffix-2--cBar."
        << "";
    QTest::newRow("data as tiff, no colour bar")
        << "save_data_as_tiff bare.png" << QStringList{"bare-2.tif"} << saved({"bare-2.tif"}) << "";
    QTest::newRow("data as text") << "saveDataCfg_save_as_text; save_data t.txt"
                                  << QStringList{"t-2.dat"} << saved({"t-2.dat"}) << "0,0,20";
    QTest::newRow("text, space separated rows")
        << "saveDataCfg_save_as_text; saveDataCfg_text_as_ssv; saveDataCfg_text_as_vals; "
           "save_data r.txt"
        << QStringList{"r-2.dat"} << saved({"r-2.dat"}) << "20 22 24 26";
    QTest::newRow("tiff of the analysed blocks")
        << "saveDataCfg_tiff_as_analyzed 1; saveDataCfg_tiff_fix_scale 1; save_data_as_tiff a"
        << QStringList{"a-2.tif"} << saved({"a-2.tif"}) << "";
    QTest::newRow("flat and dark") << "" << QStringList{"flat.dat", "dark.dat"} << ""
                                   << "";
    QTest::newRow("colour bar as TIFF")
        << "save_data c.tif" << QStringList{"c-2.tif", "c-2--cBar.tif"}
        << saved({"c-2.tif", "c-2--cBar.tif"}) << "";
    QTest::newRow("number with folder separators: neither file")
        << "save_image_w_num sub/q.png ../../../escaped" << QStringList{}
        << "its colour bar not written"
        << "";
    QTest::newRow("missing folder") << "saveDataCfg_save_as_text; save_data none/t.txt"
                                    << QStringList{} << "Can't write none/t-2.dat"
                                    << "";
}

void TstExport::files()
{
    QFETCH(QString, commands);
    QFETCH(QStringList, written);
    QFETCH(QString, message);
    QFETCH(QString, firstLine);
    mBody->showMessage(QString(), false);
    QDir dir(mDir.path());
    const QStringList before = dir.entryList(QDir::Files);
    if (commands.isEmpty())
        mBody->exportController()->saveFlatDark();
    else
        exec(commands);
    exec("saveDataCfg_save_as_tiff; saveDataCfg_text_as_csv; saveDataCfg_text_as_xyz; "
         "saveDataCfg_tiff_as_analyzed 0; saveDataCfg_tiff_fix_scale 0");
    QStringList added = dir.entryList(QDir::Files);
    for (const QString &old : before)
        added.removeOne(old);
    written.sort();
    QCOMPARE(added, written);
    QVERIFY2(message.isEmpty() ? mBody->messageLine().isEmpty()
                               : mBody->messageLine().endsWith(message),
             qPrintable(mBody->messageLine()));
    if (!firstLine.isEmpty()) {
        QFile text(written.first());
        QVERIFY(text.open(QIODevice::ReadOnly | QIODevice::Text));
        QCOMPARE(QString::fromLatin1(text.readLine()).trimmed(), firstLine);
    }
    if (written.contains("c-2--cBar.tif")) {
        // Regression: Qt has no TIFF writer here, so the colour bar was not written as TIFF.
        TIFF *tif = TIFFOpen("c-2--cBar.tif", "r");
        QVERIFY(tif);
        uint32_t width = 0;
        uint16_t samples = 0;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFClose(tif);
        QCOMPARE(int(width), mBody->findChild<QWidget *>("CBar")->width());
        QCOMPARE(samples, uint16_t(3));
    }
    if (written.contains("flat.dat")) {
        TiffData flat;
        QVERIFY(flat.read("flat.dat"));
        QCOMPARE(flat.samples16, QVector<quint16>(8 * 6, 1));
    }
}

void TstExport::batchScript_data()
{
    QTest::addColumn<QString>("tiffSettings");
    QTest::addColumn<bool>("asAnalyzed");
    QTest::newRow("map's scale, full size")
        << "saveDataCfg_tiff_fix_scale 0\nsaveDataCfg_tiff_as_analyzed 0" << false;
    QTest::newRow("fixed scale, analysed size")
        << "saveDataCfg_tiff_fix_scale 1\nsaveDataCfg_tiff_scale_min -0.5\n"
           "saveDataCfg_tiff_scale_max 1.5\nsaveDataCfg_tiff_as_analyzed 1"
        << true;
}

void TstExport::batchScript()
{
    QFETCH(QString, tiffSettings);
    QFETCH(bool, asAnalyzed);
    QTemporaryDir out;
    const QString sample = mDir.filePath("sample");
    QCOMPARE(runBatchScript(out.filePath("export.bat"),
                            sampleDataSetLoadLines(sample)
                                << "analyzer_set_LCF_std 0 1 0 " + sample + "/ref_FeA_7112.dat 0"
                                << "analyzer_set_LCF_std 1 1 0 " + sample + "/ref_FeB_7117.dat 0"
                                << "select_region 0 0 48 48\nset_band_w 1\nset_band_h 1"
                                << "analyzer_exec_LCF\nanalyzer_select_image 0"
                                << "analyzer_select_image_type 1\nselect_disp_image 3"
                                << "saveDataCfg_save_as_tiff\n" + tiffSettings
                                << "save_data " + out.filePath("f.png")
                                << "saveDataCfg_save_as_text\nsaveDataCfg_text_as_csv"
                                << "saveDataCfg_text_as_xyz\nsave_data " + out.filePath("f.dat")
                                << "save_image_w_num " + out.filePath("v.png") + " 007"
                                << "save_all_images " + out.filePath("all.png") << "quit"),
             0);
    QCOMPARE(QDir(out.path()).entryList({"*.tif", "*.dat", "*.png"}, QDir::Files),
             QStringList({"all-0-0.png",
                          "all-0-1.png",
                          "all-0-2.png",
                          "all-1-0.png",
                          "all-1-1.png",
                          "all-1-2.png",
                          "f-0--cBar.png",
                          "f-0.dat",
                          "f-0.tif",
                          "v-007-cBar.png",
                          "v-007.png"}));
    for (const QString &png : QDir(out.path()).entryList({"*.png"}))
        QVERIFY2(!QImage(out.filePath(png)).isNull(), qPrintable(png));

    // The fraction map of compound A as text: one "x,y,value" line per block centre, each value
    // of six digits; the TIFF holds each, scaled to 0 .. 65535, cut to an integer.
    QFile text(out.filePath("f-0.dat"));
    QVERIFY(text.open(QIODevice::ReadOnly | QIODevice::Text));
    QVector<QStringList> centres;
    double lo = asAnalyzed ? -0.5 : 1e300;
    double hi = asAnalyzed ? 1.5 : -1e300;
    while (!text.atEnd()) {
        centres << QString::fromLatin1(text.readLine()).trimmed().split(',');
        if (!asAnalyzed) {
            lo = qMin(lo, centres.last().at(2).toDouble());
            hi = qMax(hi, centres.last().at(2).toDouble());
        }
    }
    QCOMPARE(centres.size(), 16 * 16);
    TiffData tiff;
    QVERIFY(tiff.read(out.filePath("f-0.tif")));
    QCOMPARE(tiff.width, asAnalyzed ? 16 : 48);
    QCOMPARE(tiff.height, tiff.width);
    for (int i = 0; i < centres.size(); ++i) {
        const int x = centres.at(i).at(0).toInt();
        const int y = centres.at(i).at(1).toInt();
        const double level
            = qBound(0.0, (centres.at(i).at(2).toDouble() - lo) / (hi - lo), 1.0) * 65535;
        const int saved = tiff.samples16[asAnalyzed ? i : x + y * 48];
        QVERIFY2(
            saved < level + 0.1 && saved > level - 1.1,
            qPrintable(
                QStringLiteral("(%1, %2): %3, expected %4").arg(x).arg(y).arg(saved).arg(level)));
    }

    const QString tiffinfo = QStandardPaths::findExecutable("tiffinfo");
    if (tiffinfo.isEmpty())
        QSKIP("tiffinfo is not installed (scripts/setup installs it)");
    QProcess reader;
    reader.start(tiffinfo, {out.filePath("f-0.tif")});
    QVERIFY(reader.waitForFinished(-1));
    QCOMPARE(reader.exitCode(), 0);
    QCOMPARE(reader.readAllStandardError(), QByteArray());
}

void TstExport::laterSuccessClearsTheFailure_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("success");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("failed save, then a save") << "save_image none/a.png"
                                              << "save_image ok.png" << true;
    QTest::newRow("failed save, then another kind of save")
        << "saveDataCfg_save_as_text; save_data none/t.txt"
        << "saveDataCfg_save_as_tiff; save_data_as_tiff ok.tif" << true;
    QTest::newRow("refused calibration stays after a save") << "calib_exec"
                                                            << "save_image ok.png" << false;
}

void TstExport::laterSuccessClearsTheFailure()
{
    // Regression: the message line kept an old failure after a later success.
    QFETCH(QString, failure);
    QFETCH(QString, success);
    QFETCH(bool, cleared);
    exec(failure);
    const QString failed = mBody->messageLine();
    QVERIFY(!failed.isEmpty());
    exec(success);
    QVERIFY2((mBody->messageLine() != failed) == cleared, qPrintable(mBody->messageLine()));
}

void TstExport::fullDisk()
{
    // Regression: on a full disk the savers left truncated files and reported success.
    QTemporaryDir out;
    const QString sample = mDir.filePath("sample");
    const QStringList saves = {"calib_save_map " + out.filePath("m.emp"),
                               "save_image " + out.filePath("v.png"),
                               "save_image_w_num " + out.filePath("n.png") + " 7",
                               "save_all_images " + out.filePath("all.png"),
                               "save_data " + out.filePath("f.png"),
                               "save_data " + out.filePath("f.tif")};
    const QStringList files = {"m.emp",
                               "v.png",
                               "v-cBar.png",
                               "n-7.png",
                               "n-7-cBar.png",
                               "all-0-0.png",
                               "all-1-1.png",
                               "f-0.tif",
                               "f-0--cBar.png",
                               "f-0--cBar.tif"};
    for (const QString &name : files) {
        QFile old(out.filePath(name));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    }
    QFile script(out.filePath("full.bat"));
    QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Text));
    QTextStream(&script) << (sampleDataSetLoadLines(sample)
                             << "calib_load_std " + sample + "/ref_FeA_7112.dat"
                             << "analyzer_set_LCF_std 0 1 0 " + sample + "/ref_FeA_7112.dat 0"
                             << "analyzer_set_LCF_std 1 1 0 " + sample + "/ref_FeB_7117.dat 0"
                             << "select_region 0 0 48 48\nset_band_w 1\nset_band_h 1"
                             << "analyzer_exec_LCF\nselect_disp_image 3" << saves << "quit")
                                .join('\n')
                         << '\n';
    script.close();
    // No file may grow, as on a full disk (the sample's pictures are too small for a limit
    // above 0); the signal that would end the program is ignored, so writes just fail.
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start("/bin/sh",
                  {"-c",
                   "trap '' XFSZ; ulimit -f 0 || exit 77; exec \"$0\" -e -b \"$1\" -x",
                   MARVOLENTI_EXECUTABLE,
                   script.fileName()});
    QVERIFY(program.waitForFinished(-1));
    if (program.exitCode() == 77)
        QSKIP("no file size limit can be set here");
    QCOMPARE(program.exitCode(), 0);
    const QString log = QString::fromUtf8(program.readAllStandardError());
    for (const QString &name : files) {
        QFile kept(out.filePath(name));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QVERIFY2(kept.readAll() == "old", qPrintable(name));
        // Save Data writes no colour bar beside a map it could not write.
        if (name.startsWith("f-0--cBar"))
            continue;
        const QString failure = name == "m.emp" ? "Can not write " : "Can't write ";
        QVERIFY2(log.contains(failure + out.filePath(name) + '\n'), qPrintable(name));
    }
    QVERIFY(!log.contains("EMap Write End"));
}

void TstExport::progressAndStop_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("task");
    QTest::newRow("spectra of an area") << ""
                                        << "Saving spectra";
    QTest::newRow("area analysis") << "analyzer_exec_LCF"
                                   << "Area analysis";
    QTest::newRow("calibration") << "calib_exec"
                                 << "Calibration";
}

void TstExport::progressAndStop()
{
    // Regression: long operations showed no progress in the window and no way to stop them.
    QFETCH(QString, command);
    QFETCH(QString, task);
    const QString sample = mDir.filePath("sample");
    if (mBody->stacks()->width() != 48) {
        // Every line finishes once, the two pattern lines at once and the loads at their end.
        QSignalSpy finished(mBody, &Body::finishBatchExec);
        const QStringList lines = sampleDataSetLoadLines(sample);
        for (const QString &line : lines)
            exec(line);
        QTRY_VERIFY_WITH_TIMEOUT(finished.count() == lines.size(), 600000);
        exec("calib_load_std " + sample
             + "/ref_FeA_7112.dat; select_region 0 0 48 48; "
               "set_band_w 0; set_band_h 0");
    }
    auto *progress = mBody->findChild<StatusProgress *>("StatusProgress");
    auto *stop = mBody->findChild<QPushButton *>("StatusStop");
    QVERIFY(progress && stop);
    QVERIFY(!progress->isVisibleTo(mBody));
    // Nothing the runs send back is taken in before Stop is clicked.
    if (command.isEmpty())
        mBody->exportController()->saveXafsSpectra(mDir.filePath("spectra.dat"));
    else
        exec(command);
    QVERIFY2(progress->isVisibleTo(mBody) && stop->isVisibleTo(mBody),
             qPrintable(mBody->messageLine()));
    QCOMPARE(progress->text(), task);
    stop->click();
    QTRY_VERIFY_WITH_TIMEOUT(!mBody->blockEngine()->isRunning(), 600000);
    QTRY_VERIFY(!progress->isVisibleTo(mBody));
    QVERIFY(!mBody->areaRunController()->analysisRunning() && !mBody->calibrating());
    QVERIFY(!QFile::exists(mDir.filePath("spectra.dat")));
}

void TstExport::xafsSpectraCommand()
{
    // Regression: scripts could not save the spectra of an area.
    QTemporaryDir out;
    const QString sample = mDir.filePath("sample");
    QString errors;
    // The second save is refused unless the first has ended before the next line runs.
    QCOMPARE(runBatchScript(out.filePath("spectra.bat"),
                            sampleDataSetLoadLines(sample)
                                << "select_region 0 0 48 48\nset_band_w 1\nset_band_h 1"
                                << "save_xafs_spectra " + out.filePath("a")
                                << "save_xafs_spectra " + out.filePath("b.txt")
                                << "save_xafs_spectra " + out.filePath("none/c.dat") << "quit",
                            &errors),
             0);
    QVERIFY2(errors.contains("Can't write " + out.filePath("none/c.dat") + '\n'),
             qPrintable(errors));
    QVERIFY2(!errors.contains("spectra not saved"), qPrintable(errors));
    QFile first(out.filePath("a.dat"));
    QFile second(out.filePath("b.txt"));
    QVERIFY(first.open(QIODevice::ReadOnly | QIODevice::Text));
    QVERIFY(second.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromLatin1(first.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(QString::fromLatin1(second.readAll()).split('\n', Qt::SkipEmptyParts), lines);
    // Seven header lines, then one line per block centre of a 16 x 16 walk, each with its
    // centre, shift and an (energy, value) pair per image.
    QCOMPARE(lines.size(), 7 + 16 * 16);
    QCOMPARE(lines.at(0), QString("# Marvolenti Save Xafs Spectra 1.0"));
    QCOMPARE(lines.at(1), QString("# X-Range (x0, x1), steps : 0 48 16"));
    QCOMPARE(lines.at(7).split(' ').mid(0, 3), QStringList({"1", "1", "0"}));
    const int images = QDir(sample + "/I1").entryList({"*.tif"}).size();
    QCOMPARE(lines.last().split(' ').size(), 3 + 2 * images);
}

// Every map of the results file, read back with h5py, holds the text export's values at the
// same block centres (NaN kept), and its settings are those of the script.
void TstExport::resultsFileReadsBackInH5py()
{
    // The system's Python, which scripts/setup gives h5py, before any other on the path.
    QString python;
    for (const QString &candidate : {QStandardPaths::findExecutable("python3", {"/usr/bin"}),
                                     QStandardPaths::findExecutable("python3")}) {
        if (python.isEmpty() && !candidate.isEmpty()
            && QProcess::execute(candidate, {"-c", "import h5py"}) == 0)
            python = candidate;
    }
    if (python.isEmpty())
        QSKIP("python3 with h5py is not installed (scripts/setup installs it)");
    QTemporaryDir out;
    const QString sample = mDir.filePath("sample");
    QStringList lines = sampleDataSetLoadLines(sample) + sampleReferenceLines(sample);
    lines << "select_region 0 0 48 48\nset_band_w 1\nset_band_h 1\nanalyzer_exec_LCF"
          << "saveDataCfg_save_as_text\nsaveDataCfg_text_as_csv\nsaveDataCfg_text_as_xyz";
    QStringList checks;
    for (int ref = 0; ref < 2; ++ref) {
        for (int kind = 0; kind < 2; ++kind) {
            const QString name = QStringLiteral("m%1%2").arg(ref).arg(kind);
            lines << QStringLiteral("analyzer_select_image %1\nanalyzer_select_image_type %2")
                         .arg(ref)
                         .arg(kind)
                  << "save_data " + out.filePath(name + ".dat");
            checks
                << QStringLiteral("lcf_ref%1_%2").arg(ref + 1).arg(kind == 0 ? "dmut" : "fraction")
                << out.filePath(QStringLiteral("%1-%2.dat").arg(name).arg(ref));
        }
    }
    lines << "save_results_h5 " + out.filePath("results.h5")
          << "save_xafs_spectra " + out.filePath("s.dat")
          << "save_xafs_spectra " + out.filePath("s.h5") << "quit";
    QCOMPARE(runBatchScript(out.filePath("results.bat"), lines), 0);
    QVERIFY(QFile::exists(out.filePath("results.h5")));
    QCOMPARE(QDir(out.path()).entryList({"*.part"}, QDir::Files), QStringList());

    QFile script(out.filePath("check.py"));
    QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Text));
    script.write(R"(import sys, math, h5py, numpy
path, tifs, refa, refb = sys.argv[1:5]
pairs = sys.argv[5:]
with h5py.File(path, "r") as f:
    assert f.attrs["NX_class"] == "NXroot", f.attrs["NX_class"]
    entry = f["entry"]
    for group, text in zip(pairs[::2], pairs[1::2]):
        g = entry[group]
        assert g.attrs["NX_class"] == "NXdata" and g.attrs["signal"] == "data"
        data, x, y = g["data"][()], list(g["x"][()]), list(g["y"][()])
        assert data.shape == (16, 16), data.shape
        for line in open(text):
            cx, cy, v = line.strip().split(",")
            got = data[y.index(float(cy)), x.index(float(cx))]
            want = float(v)
            # The text holds six significant digits.
            same = math.isclose(got, want, rel_tol=5.1e-6, abs_tol=1e-300)
            assert same or (math.isnan(got) and math.isnan(want)), (group, cx, cy, got, want)
        assert list(g["bin_half_width"][()]) == [1, 1] and list(g["area"][()]) == [0, 48, 0, 48]
    s = entry["settings"]
    assert len(s["i1_files"]) == int(tifs) and len(s["i0_files"]) == int(tifs)
    e = s["energies"][()]
    assert len(e) == int(tifs) and numpy.all(numpy.diff(e) > 0), e
    refs = s["references"]
    assert refs["ref1"].attrs["file"] == refa and refs["ref2"].attrs["file"] == refb
    assert refs["ref1"].attrs["used"] == 1 and len(refs["ref1"]["energy"]) > 100
    assert s["normalisation"].attrs["form"] in ("Victoreen", "straight lines")
    assert s.attrs["program_version"]
    assert refs.attrs["constraint"] == "none" and refs.attrs["best_subset"] == 0
    assert list(s["normalisation"]["pre_edge"][()]) == [-100, -10]
    shifts = entry["energy_shift"]["data"][()]
    assert shifts.ndim == 2 and numpy.all(shifts == 0), shifts.shape
    print("checked", len(pairs) // 2, "maps")
# The area spectra in HDF5 hold the text file's values (six digits there, floats here).
rows = [l.split() for l in open(path.replace("results.h5", "s.dat")) if not l.startswith("#")]
with h5py.File(path.replace("results.h5", "s.h5"), "r") as f:
    g = f["entry/spectra"]
    data, x, y, shift = g["data"][()], g["x"][()], g["y"][()], g["energy_shift"][()]
    assert data.shape == (len(rows), len(g["energy"])), data.shape
    for b, row in enumerate(rows):
        assert (x[b], y[b], shift[b]) == (float(row[0]), float(row[1]), float(row[2]))
        values = [float(v) for v in row[4::2]]
        assert len(values) == data.shape[1], (b, len(values))
        for got, want in zip(data[b], values):
            assert math.isclose(got, want, rel_tol=1e-5, abs_tol=1e-6), (b, got, want)
print("checked", len(rows), "spectra")
)");
    script.close();
    const int tifs = QDir(sample + "/I1").entryList({"*.tif"}, QDir::Files).size();
    QProcess reader;
    reader.setProcessChannelMode(QProcess::MergedChannels);
    reader.start(python,
                 QStringList{script.fileName(),
                             out.filePath("results.h5"),
                             QString::number(tifs),
                             sample + "/ref_FeA_7112.dat",
                             sample + "/ref_FeB_7117.dat"}
                     + checks);
    QVERIFY(reader.waitForFinished(-1));
    const QByteArray said = reader.readAll();
    QVERIFY2(reader.exitCode() == 0, said.constData());
    QVERIFY2(said.contains("checked 4 maps") && said.contains("checked 256 spectra"),
             said.constData());
}

QTEST_MAIN(TstExport)
#include "tst_export.moc"
