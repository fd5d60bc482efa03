#include "app/body.h"
#include "display/colorbar.h"
#include "display/colorscale.h"
#include "display/crosssview.h"
#include "display/imgdispa.h"
#include "input/stackloader.h"
#include "input/tiffdata.h"
#include "resources/resourceinit.h"
#include "displaytesting.h"

#include <QPaintEvent>
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
    void scaledViewAndRepaintAfterAChange_data();
    void scaledViewAndRepaintAfterAChange();
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

// Gathers the areas that a widget paints.
class PaintedArea : public QObject
{
public:
    QRegion area;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            area += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

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

void TestBodyDisplay::scaledViewAndRepaintAfterAChange_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("remade");
    QTest::addColumn<bool>("whole");
    QTest::newRow("cursor move") << "move" << false << false;
    QTest::newRow("colour bar dragged") << "colour" << true << true;
    QTest::newRow("zoom") << "zoom" << true << true;
    QTest::newRow("widget size") << "resize" << true << true;
}

void TestBodyDisplay::scaledViewAndRepaintAfterAChange()
{
    // The image is scaled to the widget once; a cursor move repaints its marks, not the image.
    QFETCH(QString, change);
    QFETCH(bool, remade);
    QFETCH(bool, whole);
    Body body;
    body.resize(900, 700);
    body.show();
    QVERIFY(QTest::qWaitForWindowExposed(&body));
    auto *data = new TiffData;
    fillImage(*data);
    body.stackLoader()->loadedI1(data, 0);
    body.execCmdSlot(CmdLine("set_band_w 1"), false);
    auto disp = body.findChild<ImgDispA *>("dispA");
    const QPoint from(disp->width() / 3, disp->height() / 3);
    DisplayTesting::moveMouse(disp, from);
    QTRY_VERIFY(!disp->scaledView().isNull());
    QCoreApplication::processEvents();
    const qint64 scaled = disp->scaledView().cacheKey();
    const int oldLineX = ChCoord::toPixel(disp->coord().realToScreenX(body.cursorX()));
    PaintedArea painted;
    disp->installEventFilter(&painted);

    const QPoint to = from + QPoint(40, 30);
    if (change == "move") {
        DisplayTesting::moveMouse(disp, to);
    } else if (change == "colour") {
        ColorScale::current()->setLimits(0.2, 0.4);
        emit body.findChild<ColorBar *>("CBar")->cBarUpdating();
    } else if (change == "zoom") {
        DisplayTesting::turnWheel(disp, from, 120);
    } else {
        body.resize(body.width() + 200, body.height() + 100);
    }
    QTRY_VERIFY(!painted.area.isEmpty());
    QCOMPARE(disp->scaledView().cacheKey() != scaled, remade);
    QCOMPARE(QRegion(disp->rect()).subtracted(painted.area).isEmpty(), whole);
    if (change == "move") {
        // The marks where they were and where they are now, not the far corner.
        QVERIFY(painted.area.contains(QPoint(oldLineX, 2)));
        QVERIFY(painted.area.contains(
            QPoint(2, ChCoord::toPixel(disp->coord().realToScreenY(body.cursorY())))));
        QVERIFY(!painted.area.contains(QPoint(disp->width() - 3, disp->height() - 3)));
    }
}

QTEST_MAIN(TestBodyDisplay)
#include "tst_bodydisplay.moc"
