#include "display/drawtext.h"

#include <QFont>
#include <QPainter>
#include <QtTest>

// Fitted and turned labels, checked on the pixels they leave in a white picture.
class TestDrawText : public QObject
{
    Q_OBJECT

private slots:
    void fittedTextStaysInItsBox_data();
    void fittedTextStaysInItsBox();
    void maxPointSizeCapsTheFit();
    void boxWithoutRoomDrawsNothing();
    void turnedTextIsCentredOnThePoint_data();
    void turnedTextIsCentredOnThePoint();
    void turnedFillAndPainterState();
};

namespace {

QImage whitePicture()
{
    QImage picture(400, 400, QImage::Format_RGB32);
    picture.fill(Qt::white);
    return picture;
}

// Bounding box of the pixels that are not white.
QRect inkBox(const QImage &picture, QRgb background = qRgb(255, 255, 255))
{
    QRect box;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixel(x, y) != background)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

} // namespace

void TestDrawText::fittedTextStaysInItsBox_data()
{
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<QString>("text");
    QTest::newRow("wide box") << QRectF(50, 50, 300, 40) << QStringLiteral("7123.5");
    QTest::newRow("narrow box") << QRectF(50, 50, 60, 100) << QStringLiteral("7123.5");
    QTest::newRow("negative size is normalised")
        << QRectF(350, 90, -300, -40) << QStringLiteral("-0.25");
}

void TestDrawText::fittedTextStaysInItsBox()
{
    QFETCH(QRectF, rect);
    QFETCH(QString, text);
    QImage picture = whitePicture();
    QRectF bounds;
    {
        QPainter painter(&picture);
        DrawText drawText;
        bounds = drawText.drawFitted(&painter, rect, QFont(), Qt::AlignCenter, true, text, 0);
    }
    const QRectF box = rect.normalized();
    const QRect ink = inkBox(picture);
    QVERIFY(!ink.isEmpty());
    QVERIFY2(box.adjusted(-1, -1, 1, 1).contains(QRectF(ink)),
             qPrintable(QStringLiteral("ink %1,%2 %3x%4 outside the box")
                            .arg(ink.x())
                            .arg(ink.y())
                            .arg(ink.width())
                            .arg(ink.height())));
    QVERIFY(bounds.contains(QRectF(ink).center()));
    // The text fills the box in at least one direction.
    QVERIFY2(bounds.width() > 0.7 * box.width() || bounds.height() > 0.7 * box.height(),
             qPrintable(QStringLiteral("bounds %1x%2 in a box %3x%4")
                            .arg(bounds.width())
                            .arg(bounds.height())
                            .arg(box.width())
                            .arg(box.height())));
}

void TestDrawText::maxPointSizeCapsTheFit()
{
    QImage big = whitePicture();
    QImage capped = whitePicture();
    QImage reference = whitePicture();
    DrawText drawText;
    const QRectF box(0, 0, 400, 400);
    QFont font;
    {
        QPainter painter(&big);
        drawText.drawFitted(&painter, box, font, Qt::AlignCenter, true, "42", 0);
    }
    {
        QPainter painter(&capped);
        drawText.drawFitted(&painter, box, font, Qt::AlignCenter, true, "42", 12);
    }
    {
        QPainter painter(&reference);
        font.setPointSizeF(12);
        drawText.drawFitted(&painter, box, font, Qt::AlignCenter, false, "42", 0);
    }
    QVERIFY(inkBox(big).height() > 3 * inkBox(capped).height());
    QCOMPARE(inkBox(capped), inkBox(reference));
}

void TestDrawText::boxWithoutRoomDrawsNothing()
{
    QImage picture = whitePicture();
    {
        QPainter painter(&picture);
        DrawText drawText;
        drawText.drawFitted(
            &painter, QRectF(10, 10, 0, 30), QFont(), Qt::AlignCenter, true, "9", 0);
        drawText.drawTurned(&painter,
                            90,
                            QRectF(100, 100, 0, 0),
                            QFont(),
                            Qt::AlignCenter,
                            true,
                            "9",
                            10,
                            false,
                            QColor());
        drawText.drawFitted(
            &painter, QRectF(10, 10, 50, 30), QFont(), Qt::AlignCenter, true, "", 0);
    }
    QVERIFY(inkBox(picture).isEmpty());
}

void TestDrawText::turnedTextIsCentredOnThePoint_data()
{
    QTest::addColumn<double>("angle");
    QTest::addColumn<QPointF>("centre");
    QTest::addColumn<bool>("upright"); // the ink is taller than wide
    QTest::newRow("not turned") << 0.0 << QPointF(200, 100) << false;
    QTest::newRow("90 degrees") << 90.0 << QPointF(150, 200) << true;
    QTest::newRow("270 degrees") << 270.0 << QPointF(250, 220) << true;
    QTest::newRow("180 degrees") << 180.0 << QPointF(200, 300) << false;
}

void TestDrawText::turnedTextIsCentredOnThePoint()
{
    QFETCH(double, angle);
    QFETCH(QPointF, centre);
    QFETCH(bool, upright);
    QImage picture = whitePicture();
    {
        QPainter painter(&picture);
        DrawText drawText;
        drawText.drawTurned(&painter,
                            angle,
                            QRectF(centre, QSizeF(160, 30)),
                            QFont(),
                            Qt::AlignCenter,
                            true,
                            "1234567",
                            0,
                            false,
                            QColor());
    }
    const QRect ink = inkBox(picture);
    QVERIFY(!ink.isEmpty());
    const QPointF inkCentre = QRectF(ink).center();
    QVERIFY2(QLineF(inkCentre, centre).length() < 6,
             qPrintable(QStringLiteral("ink centred at (%1, %2), expected (%3, %4)")
                            .arg(inkCentre.x())
                            .arg(inkCentre.y())
                            .arg(centre.x())
                            .arg(centre.y())));
    QCOMPARE(ink.height() > ink.width(), upright);
}

void TestDrawText::turnedFillAndPainterState()
{
    QImage picture = whitePicture();
    QPainter painter(&picture);
    const QTransform before = painter.transform();
    const QFont font = painter.font();
    DrawText drawText;
    drawText.drawTurned(&painter,
                        90,
                        QRectF(200, 200, 100, 20),
                        QFont(),
                        Qt::AlignCenter,
                        true,
                        "5",
                        10,
                        true,
                        QColor(170, 255, 170));
    QCOMPARE(painter.transform(), before);
    QCOMPARE(painter.font(), font);
    painter.end();
    // The filled box stands upright, 20 wide and 100 high around (200, 200).
    const QRect fill = inkBox(picture);
    QVERIFY2(qAbs(fill.width() - 20) <= 1 && qAbs(fill.height() - 100) <= 1,
             qPrintable(QStringLiteral("fill %1x%2").arg(fill.width()).arg(fill.height())));
    QVERIFY(QLineF(QRectF(fill).center(), QPointF(200, 200)).length() < 1.5);
    QCOMPARE(QColor(picture.pixel(200, 160)), QColor(170, 255, 170));
}

QTEST_MAIN(TestDrawText)
#include "tst_drawtext.moc"
