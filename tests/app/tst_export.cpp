#include "analysis/analyzed2dres.h"
#include "analysis/analyzer.h"
#include "analysis/lcfreference.h"
#include "app/body.h"
#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "input/tiffdata.h"
#include "output/savedatacfg.h"
#include "output/tiffwriter.h"
#include "resources/resourceinit.h"
#include "../analysis/referencespectra.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The main window's exports, driven by batch commands: with the save-data settings, the files of
// result maps, images and colour bars, and the flat and dark files.
class TstExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void files_data();
    void files();

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
    mBody->saveFlatDark();
    QVERIFY(mBody->messageLine().contains("No image loaded"));
    QVERIFY(!QFile::exists("flat.dat"));

    const QVector<quint16> pixels(8 * 6, 1000);
    QVERIFY(writeTiff16(mDir.filePath("i1.tif"), 8, 6, pixels.constData()));
    QSignalSpy finished(mBody, &Body::finishBatchExec);
    exec("load_I1_files new " + mDir.filePath("i1.tif"));
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 600000);

    // Two references in use, each with both maps drawn; a third without a file.
    for (int i = 0; i < 2; ++i) {
        const QString file = mDir.filePath(QStringLiteral("ref%1.dat").arg(i));
        QVERIFY(ReferenceSpectra::writeSpectrum(file, ReferenceSpectra::mixture(false, 1, 0)));
        exec(QStringLiteral("analyzer_set_LCF_std %1 1 0 %2").arg(i).arg(file));
        for (int kind = 0; kind < 2; ++kind) {
            Analyzed2DRes *map = mBody->analyzer()->refs().at(i)->map(kind);
            map->reset(AreaWalk(8, 6, 0, 0, 0, 0, 8, 6, 2, 3));
            for (int c = 0; c < 48; ++c)
                map->setData(c % 8, c / 8, 0, 0, c + 10 * i + 100 * kind);
            map->genImg();
        }
    }
    exec("analyzer_select_image 1");
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
    QTest::newRow("data as tiff") << "save_data map.png"
                                  << QStringList{"map-1.tif", "map-1--cBar.png"} << ""
                                  << "";
    QTest::newRow("data as tiff, no colour bar")
        << "save_data_as_tiff bare.png" << QStringList{"bare-1.tif"} << ""
        << "";
    QTest::newRow("data as text") << "saveDataCfg_save_as_text; save_data t.txt"
                                  << QStringList{"t-1.dat"} << ""
                                  << "0,0,10";
    QTest::newRow("text, space separated rows")
        << "saveDataCfg_save_as_text; saveDataCfg_text_as_ssv; saveDataCfg_text_as_vals; "
           "save_data r.txt"
        << QStringList{"r-1.dat"} << ""
        << "10 12 14 16";
    QTest::newRow("tiff of the analysed blocks")
        << "saveDataCfg_tiff_as_analyzed 1; saveDataCfg_tiff_fix_scale 1; save_data_as_tiff a"
        << QStringList{"a-1.tif"} << ""
        << "";
    QTest::newRow("flat and dark") << "" << QStringList{"flat.dat", "dark.dat"} << ""
                                   << "";
    QTest::newRow("missing folder") << "saveDataCfg_save_as_text; save_data none/t.txt"
                                    << QStringList{} << "Can't write none/t-1.dat"
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
        mBody->saveFlatDark();
    else
        exec(commands);
    exec("saveDataCfg_save_as_tiff; saveDataCfg_text_as_csv; saveDataCfg_text_as_xyz; "
         "saveDataCfg_tiff_as_analyzed 0; saveDataCfg_tiff_fix_scale 0");
    QStringList added = dir.entryList(QDir::Files);
    for (const QString &old : before)
        added.removeOne(old);
    written.sort();
    QCOMPARE(added, written);
    QCOMPARE(mBody->messageLine(), message);
    if (!firstLine.isEmpty()) {
        QFile text(written.first());
        QVERIFY(text.open(QIODevice::ReadOnly | QIODevice::Text));
        QCOMPARE(QString::fromLatin1(text.readLine()).trimmed(), firstLine);
    }
    if (written.contains("flat.dat")) {
        TiffData flat;
        QVERIFY(flat.read("flat.dat"));
        QCOMPARE(flat.samples16, QVector<quint16>(8 * 6, 1));
    }
}

QTEST_MAIN(TstExport)
#include "tst_export.moc"
