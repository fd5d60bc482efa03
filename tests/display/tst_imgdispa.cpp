#include "analysis/analyzed2dres.h"
#include "display/colorbar.h"
#include "display/colorscale.h"
#include "display/imgdispa.h"
#include "displaytesting.h"
#include "input/tiffdata.h"

#include <QSignalSpy>
#include <QtTest>

#include <limits>

#include <memory>

using DisplayTesting::moveMouse;
using DisplayTesting::turnWheel;

// The main image area: selection, zoom, pan, the cursor signal and the drawn image. The
// widget is 200 x 100 pixels over a 100 x 50 image, so a widget pixel is half an image pixel.
class TestImgDispA : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstImageSetsTheViewWindow();
    void selection_data();
    void selection();
    void selectionFollowsTheCursorWhileDragging();
    void clickWithoutDragging_data();
    void clickWithoutDragging();
    void shiftDragPans_data();
    void shiftDragPans();
    void wheelKeepsThePointUnderTheCursor_data();
    void wheelKeepsThePointUnderTheCursor();
    void wheelRefusedWhenZoomIsDisabled();
    void cursorSignal();
    void altMovesAreIgnored();
    void rightClick_data();
    void rightClick();
    void setSelectedAreaAndZoom_data();
    void setSelectedAreaAndZoom();
    void resetImageViewWindow();
    void cursorFromImageCoordinates();
    void forgetTheImage();
    void shownImage();
    void zoomedOutShowsWhiteAround();
    void overlayMapIsDrawnWithItsScale();

private:
    static std::unique_ptr<TiffData> makeImage(int width, int height);

    std::unique_ptr<ColorBar> mBar;
    std::unique_ptr<TiffData> mData;
    std::unique_ptr<ImgDispA> mDisp;
};

std::unique_ptr<TiffData> TestImgDispA::makeImage(int width, int height)
{
    auto data = std::make_unique<TiffData>();
    data->width = width;
    data->height = height;
    data->sampleKind = TiffData::ImgRows;
    data->samples16.resize(width * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            data->samples16[y * width + x] = quint16(x + y);
    }
    data->minValue = 0;
    data->maxValue = width + height - 2;
    data->colorBar = ColorScale::current();
    return data;
}

void TestImgDispA::init()
{
    mBar = std::make_unique<ColorBar>();
    ColorScale::setCurrent(mBar->scale());
    mData = makeImage(100, 50);
    mDisp = std::make_unique<ImgDispA>();
    mDisp->resize(200, 100);
    mDisp->setImageData(mData.get());
}

void TestImgDispA::cleanup()
{
    mDisp.reset();
    mData.reset();
    mBar.reset();
}

void TestImgDispA::firstImageSetsTheViewWindow()
{
    QCOMPARE(mDisp->viewWindow(), QRectF(0, 0, 100, 50));
    QVERIFY(mData->hasDisplayImage());
    QVERIFY(!mDisp->areaSelected());
    QVERIFY(!mDisp->selecting());

    // A later image of the same size keeps the window the user chose and the selection.
    mDisp->setSelectedArea(10, 10, 30, 20);
    mDisp->setViewWAsSelectedArea();
    auto same = makeImage(100, 50);
    mDisp->setImageData(same.get());
    QCOMPARE(mDisp->viewWindow(), QRectF(10, 10, 20, 10));
    QVERIFY(mDisp->areaSelected());
    // Regression: a data set of another size was drawn in the old window, small in a corner.
    auto other = makeImage(30, 60);
    mDisp->setImageData(other.get());
    QCOMPARE(mDisp->viewWindow(), QRectF(0, 0, 30, 60));
    QVERIFY(!mDisp->areaSelected());
    mDisp->setImageData(mData.get());

    // A region a script selects before its first image is kept.
    ImgDispA fresh;
    fresh.setSelectedArea(10, 10, 30, 20);
    fresh.setImageData(mData.get());
    QVERIFY(fresh.areaSelected());
}

void TestImgDispA::selection_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QRectF>("area");
    QTest::addColumn<QRectF>("view");

    const QRectF whole(0, 0, 100, 50);
    QTest::newRow("left, top-left to bottom-right")
        << QPoint(20, 10) << QPoint(60, 50) << 0 << QRectF(10, 5, 20, 20) << whole;
    QTest::newRow("left, bottom-right to top-left")
        << QPoint(60, 50) << QPoint(20, 10) << 0 << QRectF(10, 5, 20, 20) << whole;
    QTest::newRow("left, bottom-left to top-right")
        << QPoint(20, 50) << QPoint(60, 10) << 0 << QRectF(10, 5, 20, 20) << whole;
    QTest::newRow("Control+left zooms to the area")
        << QPoint(20, 10) << QPoint(60, 50) << int(Qt::ControlModifier) << QRectF(10, 5, 20, 20)
        << QRectF(10, 5, 20, 20);
    QTest::newRow("Control+left, dragged backwards")
        << QPoint(60, 50) << QPoint(20, 10) << int(Qt::ControlModifier) << QRectF(10, 5, 20, 20)
        << QRectF(10, 5, 20, 20);
}

void TestImgDispA::selection()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(int, modifiers);
    QFETCH(QRectF, area);
    QFETCH(QRectF, view);
    const auto mods = Qt::KeyboardModifiers(modifiers);

    QTest::mousePress(mDisp.get(), Qt::LeftButton, mods, from);
    QVERIFY(mDisp->selecting());
    moveMouse(mDisp.get(), to, Qt::LeftButton, mods);
    QTest::mouseRelease(mDisp.get(), Qt::LeftButton, mods, to);

    QVERIFY(!mDisp->selecting());
    QVERIFY(mDisp->areaSelected());
    QCOMPARE(mDisp->selectedArea(), area);
    QCOMPARE(mDisp->viewWindow(), view);
}

void TestImgDispA::selectionFollowsTheCursorWhileDragging()
{
    QTest::mousePress(mDisp.get(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 50));
    moveMouse(mDisp.get(), QPoint(20, 10), Qt::LeftButton);
    // Until the release the size may be negative.
    QCOMPARE(mDisp->selectedArea(), QRectF(30, 25, -20, -20));
    QVERIFY(mDisp->selecting());
    QVERIFY(!mDisp->areaSelected());
    moveMouse(mDisp.get(), QPoint(80, 70), Qt::LeftButton);
    QCOMPARE(mDisp->selectedArea(), QRectF(30, 25, 10, 10));
    QTest::mouseRelease(mDisp.get(), Qt::LeftButton, Qt::NoModifier, QPoint(80, 70));
    QCOMPARE(mDisp->selectedArea(), QRectF(30, 25, 10, 10));
}

void TestImgDispA::clickWithoutDragging_data()
{
    QTest::addColumn<bool>("selectedBefore");
    QTest::newRow("with an area selected before") << true;
    QTest::newRow("without an area selected before") << false;
}

void TestImgDispA::clickWithoutDragging()
{
    QFETCH(bool, selectedBefore);
    if (selectedBefore)
        mDisp->setSelectedArea(1, 2, 3, 4);

    QTest::mouseClick(mDisp.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 80));
    // The area moves to the click point with zero size; whether an area counts as selected
    // does not change.
    QCOMPARE(mDisp->selectedArea(), QRectF(50, 40, 0, 0));
    QCOMPARE(mDisp->areaSelected(), selectedBefore);
    QVERIFY(!mDisp->selecting());
    QCOMPARE(mDisp->viewWindow(), QRectF(0, 0, 100, 50));

    // Control+click: no zoom to an empty area.
    QTest::mouseClick(mDisp.get(), Qt::LeftButton, Qt::ControlModifier, QPoint(40, 20));
    QCOMPARE(mDisp->viewWindow(), QRectF(0, 0, 100, 50));
}

void TestImgDispA::shiftDragPans_data()
{
    QTest::addColumn<bool>("panEnabled");
    QTest::addColumn<QRectF>("view");
    QTest::newRow("pan enabled") << true << QRectF(-10, -5, 100, 50);
    QTest::newRow("pan disabled") << false << QRectF(0, 0, 100, 50);
}

void TestImgDispA::shiftDragPans()
{
    QFETCH(bool, panEnabled);
    QFETCH(QRectF, view);
    mDisp->setPanEnabled(panEnabled);

    QTest::mousePress(mDisp.get(), Qt::LeftButton, Qt::ShiftModifier, QPoint(100, 50));
    moveMouse(mDisp.get(), QPoint(110, 55), Qt::LeftButton, Qt::ShiftModifier);
    moveMouse(mDisp.get(), QPoint(120, 60), Qt::LeftButton, Qt::ShiftModifier);
    QTest::mouseRelease(mDisp.get(), Qt::LeftButton, Qt::ShiftModifier, QPoint(120, 60));

    QCOMPARE(mDisp->viewWindow(), view);
    QVERIFY(!mDisp->selecting());
    QVERIFY(!mDisp->areaSelected());
    if (panEnabled) {
        // The image point first grabbed (50, 25) is under the cursor again.
        QCOMPARE(mDisp->imageX(120), 50.0);
        QCOMPARE(mDisp->imageY(60), 25.0);
    }
}

void TestImgDispA::wheelKeepsThePointUnderTheCursor_data()
{
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<int>("delta");
    QTest::addColumn<double>("factor");

    QTest::newRow("away from the user zooms out") << QPoint(50, 30) << -120 << 1.1;
    QTest::newRow("towards the user zooms in") << QPoint(50, 30) << 120 << 1 / 1.1;
    QTest::newRow("delta 0 counts as towards the user") << QPoint(150, 80) << 0 << 1 / 1.1;
    QTest::newRow("at the top-left corner") << QPoint(0, 0) << 120 << 1 / 1.1;
    QTest::newRow("at the bottom-right corner") << QPoint(199, 99) << -240 << 1.1;
}

void TestImgDispA::wheelKeepsThePointUnderTheCursor()
{
    QFETCH(QPoint, cursor);
    QFETCH(int, delta);
    QFETCH(double, factor);

    // Start from a zoomed, moved view so that every term of the mapping counts.
    mDisp->setSelectedArea(20, 10, 60, 30);
    mDisp->setViewWAsSelectedArea();
    moveMouse(mDisp.get(), cursor);
    const QPointF before(mDisp->imageX(cursor.x()), mDisp->imageY(cursor.y()));
    const QRectF oldView = mDisp->viewWindow();

    for (int turn = 0; turn < 3; ++turn) {
        turnWheel(mDisp.get(), cursor, delta);
        const QPointF after(mDisp->imageX(cursor.x()), mDisp->imageY(cursor.y()));
        QVERIFY2(qAbs(after.x() - before.x()) < 1e-9 && qAbs(after.y() - before.y()) < 1e-9,
                 qPrintable(QStringLiteral("turn %1: image point (%2, %3) moved to (%4, %5)")
                                .arg(turn)
                                .arg(before.x())
                                .arg(before.y())
                                .arg(after.x())
                                .arg(after.y())));
    }
    const double scale = factor * factor * factor;
    QVERIFY(qAbs(mDisp->viewWindow().width() - oldView.width() * scale) < 1e-9);
    QVERIFY(qAbs(mDisp->viewWindow().height() - oldView.height() * scale) < 1e-9);
    QCOMPARE(mDisp->zoomFactor(), factor);
    QCOMPARE(mDisp->wheelSteps(), delta / 120.0);
}

void TestImgDispA::wheelRefusedWhenZoomIsDisabled()
{
    mDisp->setZoomEnabled(false);
    moveMouse(mDisp.get(), QPoint(50, 30));
    turnWheel(mDisp.get(), QPoint(50, 30), 120);
    QCOMPARE(mDisp->viewWindow(), QRectF(0, 0, 100, 50));
}

void TestImgDispA::cursorSignal()
{
    QSignalSpy moved(mDisp.get(), &ImgDispA::mouseMoved);
    QSignalSpy moved0(mDisp.get(), &DispA::mouseMoved0);
    moveMouse(mDisp.get(), QPoint(31, 17));
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(0).toDouble(), 15.5);
    QCOMPARE(moved.at(0).at(1).toDouble(), 8.5);
    QCOMPARE(moved0.count(), 1);

    // No image coordinates are reported while a button is down.
    QTest::mousePress(mDisp.get(), Qt::LeftButton, Qt::NoModifier, QPoint(31, 17));
    moveMouse(mDisp.get(), QPoint(40, 20), Qt::LeftButton);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved0.count(), 2);
    QTest::mouseRelease(mDisp.get(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 20));
}

void TestImgDispA::altMovesAreIgnored()
{
    QSignalSpy moved(mDisp.get(), &ImgDispA::mouseMoved);
    QSignalSpy moved0(mDisp.get(), &DispA::mouseMoved0);
    moveMouse(mDisp.get(), QPoint(10, 10));
    moveMouse(mDisp.get(), QPoint(90, 70), Qt::NoButton, Qt::AltModifier);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved0.count(), 1);
    QCOMPARE(mDisp->mouse().currentPos, QPoint(10, 10));

    // An Alt move during a drag does not change the area either.
    QTest::mousePress(mDisp.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    moveMouse(mDisp.get(), QPoint(60, 50), Qt::LeftButton);
    moveMouse(mDisp.get(), QPoint(180, 90), Qt::LeftButton, Qt::AltModifier);
    QCOMPARE(mDisp->selectedArea(), QRectF(10, 5, 20, 20));
    QTest::mouseRelease(mDisp.get(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 50));
    QCOMPARE(mDisp->selectedArea(), QRectF(10, 5, 20, 20));
}

void TestImgDispA::rightClick_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("clears");
    QTest::newRow("no modifier clears") << 0 << true;
    QTest::newRow("Shift does nothing") << int(Qt::ShiftModifier) << false;
    QTest::newRow("Control does nothing") << int(Qt::ControlModifier) << false;
    QTest::newRow("Alt does nothing") << int(Qt::AltModifier) << false;
    QTest::newRow("Shift+Control does nothing")
        << int(Qt::ShiftModifier | Qt::ControlModifier) << false;
    QTest::newRow("Shift+Control+Alt does nothing")
        << int(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier) << false;
}

void TestImgDispA::rightClick()
{
    QFETCH(int, modifiers);
    QFETCH(bool, clears);
    mDisp->setSelectedArea(10, 5, 30, 25);

    QTest::mouseClick(
        mDisp.get(), Qt::RightButton, Qt::KeyboardModifiers(modifiers), QPoint(100, 50));
    QCOMPARE(mDisp->areaSelected(), !clears);
    QCOMPARE(mDisp->selectedArea(), clears ? QRectF() : QRectF(10, 5, 20, 20));
    QVERIFY(!mDisp->selecting());
    QCOMPARE(mDisp->viewWindow(), QRectF(0, 0, 100, 50));
}

void TestImgDispA::setSelectedAreaAndZoom_data()
{
    QTest::addColumn<QLine>("corners");
    QTest::addColumn<QRectF>("area");
    QTest::addColumn<QRectF>("view");

    QTest::newRow("corners in order")
        << QLine(10, 5, 40, 25) << QRectF(10, 5, 30, 20) << QRectF(10, 5, 30, 20);
    // Regression: reversed corners gave a negative area, and zooming to it a mirrored view.
    QTest::newRow("corners reversed")
        << QLine(40, 25, 10, 5) << QRectF(10, 5, 30, 20) << QRectF(10, 5, 30, 20);
    // Regression: a zero-width area zoomed to nothing.
    QTest::newRow("zero width does not zoom")
        << QLine(10, 5, 10, 25) << QRectF(10, 5, 0, 20) << QRectF(0, 0, 100, 50);
    // Regression: the int range end to end overflowed the width and height.
    const int lo = std::numeric_limits<int>::min();
    const int hi = std::numeric_limits<int>::max();
    const QRectF whole(lo, lo, 4294967295.0, 4294967295.0);
    QTest::newRow("the whole int range") << QLine(lo, lo, hi, hi) << whole << whole;
}

void TestImgDispA::setSelectedAreaAndZoom()
{
    QFETCH(QLine, corners);
    QFETCH(QRectF, area);
    QFETCH(QRectF, view);

    // Without a selected area zooming does nothing.
    mDisp->setViewWAsSelectedArea();
    QCOMPARE(mDisp->viewWindow(), QRectF(0, 0, 100, 50));

    mDisp->setSelectedArea(corners.x1(), corners.y1(), corners.x2(), corners.y2());
    QVERIFY(mDisp->areaSelected());
    QCOMPARE(mDisp->selectedArea(), area);
    mDisp->setViewWAsSelectedArea();
    QCOMPARE(mDisp->viewWindow(), view);
}

void TestImgDispA::resetImageViewWindow()
{
    mDisp->setSelectedArea(10, 5, 40, 25);
    mDisp->setViewWAsSelectedArea();
    QCOMPARE(mDisp->viewWindow(), QRectF(10, 5, 30, 20));
    mDisp->resetImageViewWindow();
    QCOMPARE(mDisp->viewWindow(), QRectF(0, 0, 100, 50));
    // The selection stays.
    QVERIFY(mDisp->areaSelected());
}

void TestImgDispA::cursorFromImageCoordinates()
{
    mDisp->setSelectedArea(10, 5, 60, 30);
    mDisp->setViewWAsSelectedArea();
    QSignalSpy moved(mDisp.get(), &ImgDispA::mouseMoved);
    moveMouse(mDisp.get(), QPoint(3, 4));

    // A batch command places the cursor in image coordinates before anything is painted.
    mDisp->setRealMousePos(35, 17);
    QCOMPARE(mDisp->mouse().previousPos, QPoint(3, 4));
    QCOMPARE(mDisp->mouse().currentPos, QPoint(100, 48));
    QCOMPARE(mDisp->cursorImagePos(), QPointF(35, 17));
    QCOMPARE(moved.count(), 2);
    QCOMPARE(moved.at(1).at(0).toDouble(), 35.0);
    QCOMPARE(moved.at(1).at(1).toDouble(), 17.0);
}

void TestImgDispA::forgetTheImage()
{
    mDisp->setImageData(nullptr);
    QVERIFY(mDisp->imageData() == nullptr);
    QVERIFY(mDisp->shownImage().isNull());
    // Drawing and dragging without an image are harmless; the window is kept.
    const QImage picture = mDisp->grab().toImage();
    QCOMPARE(QColor(picture.pixel(100, 50)), QColor(Qt::white));
    QTest::mousePress(mDisp.get(), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 10));
    moveMouse(mDisp.get(), QPoint(50, 50), Qt::LeftButton, Qt::ShiftModifier);
    QTest::mouseRelease(mDisp.get(), Qt::LeftButton, Qt::ShiftModifier, QPoint(50, 50));
    QCOMPARE(mDisp->viewWindow(), QRectF(0, 0, 100, 50));

    // Reset without an image empties the window, so the next image is shown whole.
    mDisp->resetImageViewWindow();
    auto other = makeImage(30, 20);
    mDisp->setImageData(other.get());
    QCOMPARE(mDisp->viewWindow(), QRectF(0, 0, 30, 20));
    mDisp->setImageData(nullptr);
}

void TestImgDispA::shownImage()
{
    QImage shown = mDisp->shownImage();
    QCOMPARE(shown.size(), QSize(100, 50));
    QCOMPARE(shown, mData->displayImage);

    mDisp->setSelectedArea(10, 5, 30, 25);
    mDisp->setViewWAsSelectedArea();
    shown = mDisp->shownImage();
    QCOMPARE(shown.size(), QSize(20, 20));
    QCOMPARE(shown.pixel(0, 0), mData->displayImage.pixel(10, 5));
    QCOMPARE(shown.pixel(19, 19), mData->displayImage.pixel(29, 24));

    // A zoomed window with fractional edges: every partly shown pixel is included.
    turnWheel(mDisp.get(), QPoint(0, 0), 120);
    const QRectF view = mDisp->viewWindow();
    shown = mDisp->shownImage();
    QCOMPARE(shown.width(), int(std::ceil(view.right())) - int(std::floor(view.left())));
    QCOMPARE(shown.height(), int(std::ceil(view.bottom())) - int(std::floor(view.top())));

    // Regression: a zoomed-out view copied its white surroundings too, as black pixels, and
    // a far zoomed-out one asked for an image too large to make.
    mDisp->resetImageViewWindow();
    moveMouse(mDisp.get(), QPoint(100, 50));
    for (int turn = 0; turn < 200; ++turn)
        turnWheel(mDisp.get(), QPoint(100, 50), -120);
    QVERIFY(mDisp->viewWindow().width() > 1e9);
    QCOMPARE(mDisp->shownImage(), mData->displayImage);

    // A view beside the image shows none of it.
    mDisp->setSelectedArea(200, 200, 220, 210);
    mDisp->setViewWAsSelectedArea();
    QVERIFY(mDisp->shownImage().isNull());
}

void TestImgDispA::zoomedOutShowsWhiteAround()
{
    // One notch out around the centre: the image covers x 9..190 and y 4..95 of the widget.
    moveMouse(mDisp.get(), QPoint(100, 50));
    turnWheel(mDisp.get(), QPoint(100, 50), -120);
    QImage picture = mDisp->grab().toImage();
    QCOMPARE(QColor(picture.pixel(3, 50)), QColor(Qt::white));
    QCOMPARE(QColor(picture.pixel(196, 50)), QColor(Qt::white));
    QCOMPARE(QColor(picture.pixel(100, 1)), QColor(Qt::white));
    // Pixel (100, 50) shows image pixel (50, 25), value 75 of 148.
    const int grey = int(75.0 / 148 * 256);
    QCOMPARE(QColor(picture.pixel(100, 50)), QColor(grey, grey, grey));

    // Far out the image shrinks to nothing; drawing stays harmless.
    for (int turn = 0; turn < 200; ++turn)
        turnWheel(mDisp.get(), QPoint(100, 50), -120);
    picture = mDisp->grab().toImage();
    QCOMPARE(QColor(picture.pixel(3, 50)), QColor(Qt::white));
}

void TestImgDispA::overlayMapIsDrawnWithItsScale()
{
    Analyzed2DRes map(QStringLiteral("LCF Ref 1"));
    map.reset(100, 50);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 100; ++x)
            map.setData(x, y, 0, 0, x < 50 ? 2.0 : 4.0);
    }
    map.genImg();
    mDisp->setOverlayer(&map);
    mDisp->setShowOverlayer(true);

    const QImage picture = mDisp->grab().toImage();
    QCOMPARE(QColor(picture.pixel(10, 10)), QColor(0, 0, 0));
    QCOMPARE(QColor(picture.pixel(190, 90)), QColor(255, 255, 255));
    // The colour bar shows the map's scale.
    QCOMPARE(mBar->valueMin(), 2.0);
    QCOMPARE(mBar->valueMax(), 4.0);
    QCOMPARE(mDisp->shownImage(), *map.img());

    // A fixed scale is handed over as well.
    map.setFixedScale(true);
    map.setScale(0.0, 8.0);
    mDisp->grab();
    QCOMPARE(mBar->valueMin(), 0.0);
    QCOMPARE(mBar->valueMax(), 8.0);

    // A map without values shows nothing.
    map.clear();
    const QImage empty = mDisp->grab().toImage();
    QCOMPARE(QColor(empty.pixel(190, 90)), QColor(Qt::white));

    mDisp->setShowOverlayer(false);
    mDisp->grab();
    QCOMPARE(mBar->valueMin(), 0.0);
    QCOMPARE(mBar->valueMax(), 148.0);
}

QTEST_MAIN(TestImgDispA)
#include "tst_imgdispa.moc"
