#include "display/procdispa.h"
#include "displaytesting.h"

#include <QSignalSpy>
#include <QtTest>

using DisplayTesting::moveMouse;
using DisplayTesting::turnWheel;

// The alignment window's image area always shows its whole image.
class TestProcDispA : public QObject
{
    Q_OBJECT

private slots:
    void wholeImageStretched();
    void wheelKeepsTheWholeImage();
    void moveReportsOrigin();
    void noImageLeavesWhite();
};

namespace {

// 4 x 2 image: left half red, right half blue.
QImage halves()
{
    QImage image(4, 2, QImage::Format_RGB888);
    image.fill(Qt::red);
    for (int y = 0; y < 2; ++y) {
        image.setPixelColor(2, y, Qt::blue);
        image.setPixelColor(3, y, Qt::blue);
    }
    return image;
}

} // namespace

void TestProcDispA::wholeImageStretched()
{
    QImage image = halves();
    ProcDispA disp;
    disp.resize(80, 40);
    disp.setImage(&image);
    const QImage picture = disp.grab().toImage();
    QCOMPARE(QColor(picture.pixel(5, 5)), QColor(Qt::red));
    QCOMPARE(QColor(picture.pixel(39, 35)), QColor(Qt::red));
    QCOMPARE(QColor(picture.pixel(40, 5)), QColor(Qt::blue));
    QCOMPARE(QColor(picture.pixel(79, 39)), QColor(Qt::blue));
}

void TestProcDispA::wheelKeepsTheWholeImage()
{
    QImage image = halves();
    ProcDispA disp;
    disp.resize(80, 40);
    disp.setImage(&image);
    moveMouse(&disp, QPoint(10, 10));
    turnWheel(&disp, QPoint(10, 10), 120);
    turnWheel(&disp, QPoint(10, 10), -120);
    QVERIFY(disp.viewWindow().isNull());
    const QImage picture = disp.grab().toImage();
    QCOMPARE(QColor(picture.pixel(79, 39)), QColor(Qt::blue));
}

void TestProcDispA::moveReportsOrigin()
{
    ProcDispA disp;
    disp.resize(80, 40);
    QSignalSpy moved(&disp, &ProcDispA::mouseMoved);
    moveMouse(&disp, QPoint(30, 20));
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(0).toDouble(), 0.0);
    QCOMPARE(moved.at(0).at(1).toDouble(), 0.0);
}

void TestProcDispA::noImageLeavesWhite()
{
    ProcDispA disp;
    disp.resize(20, 20);
    QCOMPARE(QColor(disp.grab().toImage().pixel(10, 10)), QColor(Qt::white));
    QImage empty;
    disp.setImage(&empty);
    QCOMPARE(QColor(disp.grab().toImage().pixel(10, 10)), QColor(Qt::white));
}

QTEST_MAIN(TestProcDispA)
#include "tst_procdispa.moc"
