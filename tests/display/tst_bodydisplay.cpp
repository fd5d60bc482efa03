#include "app/body.h"
#include "display/colorbar.h"
#include "display/colorscale.h"
#include "display/crosssview.h"
#include "display/imgdispa.h"
#include "input/tiffdata.h"
#include "resources/resourceinit.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

// The main window's display: its colour bar as the program-wide scale, the profile views,
// the zoom buttons and the display batch commands.
class TestBodyDisplay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void colourBarAndProfiles();
    void zoomButtons();
    void batchCommands_data();
    void batchCommands();
};

namespace {

// A 60 x 40 image record of zeros.
void fillImage(TiffData &data)
{
    data.width = 60;
    data.height = 40;
    data.sampleKind = TiffData::ImgRows;
    data.samples16.fill(0, 60 * 40);
    data.minValue = 0;
    data.maxValue = 1;
}

} // namespace

void TestBodyDisplay::initTestCase()
{
    initMarvolentiResources();
}

void TestBodyDisplay::colourBarAndProfiles()
{
    {
        Body body;
        auto bar = body.findChild<ColorBar *>("CBar");
        QVERIFY(bar);
        QCOMPARE(ColorScale::current(), bar->scale());
        QCOMPARE(bar->format(), QImage::Format_Grayscale8);
        QCOMPARE(body.findChild<CrossSView *>("HCross")->orientation(), 0);
        QCOMPARE(body.findChild<CrossSView *>("VCross")->orientation(), 1);
        QVERIFY(body.findChild<ImgDispA *>("dispA"));
    }
    // Regression: the program-wide scale pointed at the destroyed window's bar.
    QCOMPARE(ColorScale::current(), nullptr);
}

void TestBodyDisplay::zoomButtons()
{
    Body body;
    auto disp = body.findChild<ImgDispA *>("dispA");
    TiffData data;
    fillImage(data);
    disp->setImageData(&data);
    disp->setSelectedArea(5, 6, 25, 16);

    QTest::mouseClick(body.findChild<QPushButton *>("ZoomIn"), Qt::LeftButton);
    QCOMPARE(disp->viewWindow(), QRectF(5, 6, 20, 10));
    QTest::mouseClick(body.findChild<QPushButton *>("ResetScale"), Qt::LeftButton);
    QCOMPARE(disp->viewWindow(), QRectF(0, 0, 60, 40));
    disp->setImageData(nullptr);
}

void TestBodyDisplay::batchCommands_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QRectF>("area");
    QTest::addColumn<QRectF>("view");

    const QRectF whole(0, 0, 60, 40);
    QTest::newRow("select_region")
        << QStringList{"select_region 10 5 40 25"} << true << QRectF(10, 5, 30, 20) << whole;
    QTest::newRow("select_region, zoom_in")
        << QStringList{"select_region 10 5 40 25", "zoom_in"} << true << QRectF(10, 5, 30, 20)
        << QRectF(10, 5, 30, 20);
    QTest::newRow("upper-case names, zoom_in, scale_reset")
        << QStringList{"SELECT_REGION 10 5 40 25", "Zoom_In", "SCALE_RESET"} << true
        << QRectF(10, 5, 30, 20) << whole;
    QTest::newRow("zoom_in without a region")
        << QStringList{"zoom_in"} << false << QRectF() << whole;
    QTest::newRow("missing arguments read as 0")
        << QStringList{"select_region 10 5"} << true << QRectF(0, 0, 10, 5) << whole;
    QTest::newRow("text arguments read as 0, extra ones ignored")
        << QStringList{"select_region a 7 20 17 99"} << true << QRectF(0, 7, 20, 10) << whole;
}

void TestBodyDisplay::batchCommands()
{
    QFETCH(QStringList, lines);
    QFETCH(bool, selected);
    QFETCH(QRectF, area);
    QFETCH(QRectF, view);

    Body body;
    auto disp = body.findChild<ImgDispA *>("dispA");
    TiffData data;
    fillImage(data);
    disp->setImageData(&data);
    QSignalSpy finished(&body, &Body::finishBatchExec);

    for (const QString &line : lines)
        body.execCmdSlot(CmdLine(line), false);
    // Every command finishes at once.
    QCOMPARE(finished.count(), lines.size());
    QCOMPARE(disp->areaSelected(), selected);
    QCOMPARE(disp->selectedArea(), area);
    QCOMPARE(disp->viewWindow(), view);
    disp->setImageData(nullptr);
}

QTEST_MAIN(TestBodyDisplay)
#include "tst_bodydisplay.moc"
