#include "analysis/analyzer.h"
#include "analysis/blockengine.h"
#include "input/tiffdata.h"
#include "output/exportcontroller.h"
#include "output/savedatacfg.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The export controller without a main window: the image in view and the image size come from
// fake sources, and its saves, failures and the clearing of an old failure are seen through its
// signals.
class TstExportController : public QObject
{
    Q_OBJECT

private slots:
    void saves_data();
    void saves();
};

void TstExportController::saves_data()
{
    QTest::addColumn<QString>("save");
    QTest::addColumn<QSize>("imageSize");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("message");
    QTest::newRow("image and colour bar")
        << "image v.png" << QSize(3, 2) << QStringList{"v-cBar.png", "v.png"} << "";
    QTest::newRow("image into a missing folder")
        << "image none/v.png" << QSize(3, 2) << QStringList{} << "Can't write ";
    QTest::newRow("flat and dark of the image size")
        << "flatdark" << QSize(3, 2) << QStringList{"dark.dat", "flat.dat"} << "";
    QTest::newRow("no image, no flat and dark")
        << "flatdark" << QSize(-1, 0) << QStringList{} << "No image loaded";
}

void TstExportController::saves()
{
    QFETCH(QString, save);
    QFETCH(QSize, imageSize);
    QFETCH(QStringList, written);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString oldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));

    Analyzer analyzer;
    SaveDataCfg settings;
    BlockEngine engine;
    QLabel colorBar(QStringLiteral("bar"));
    colorBar.resize(20, 40);
    ExportController::Sources sources;
    sources.shownImage = [] {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        return image;
    };
    sources.imageSize = [imageSize] { return imageSize; };
    ExportController controller(&analyzer, &settings, &engine, &colorBar, sources);
    QSignalSpy messages(&controller, &ExportController::message);
    QSignalSpy saved(&controller, &ExportController::saved);

    if (save == "flatdark")
        controller.saveFlatDark();
    else
        controller.saveImage(dir.filePath(save.mid(6)));
    QDir::setCurrent(oldCurrent);

    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), written);
    QCOMPARE(saved.count(), written.isEmpty() ? 0 : 1);
    QCOMPARE(controller.writeFailures(), message.startsWith("Can't") ? 2 : 0);
    QCOMPARE(messages.isEmpty(), message.isEmpty());
    if (!message.isEmpty())
        QVERIFY2(messages.first().first().toString().startsWith(message),
                 qPrintable(messages.first().first().toString()));
    if (save == "flatdark" && !written.isEmpty()) {
        TiffData flat;
        QVERIFY(flat.read(dir.filePath("flat.dat")));
        QCOMPARE(QSize(flat.width, flat.height), imageSize);
        QCOMPARE(int(flat.samples16[0]), 1);
    }
}

QTEST_MAIN(TstExportController)
#include "tst_exportcontroller.moc"
