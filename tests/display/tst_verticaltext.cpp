#include "display/vlabel.h"
#include "display/vpushbutton.h"

#include <QtTest>

// Buttons and labels whose text reads downwards.
class TestVerticalText : public QObject
{
    Q_OBJECT

private slots:
    void sizeHintsAreTurned();
    void textIsDrawnUpright_data();
    void textIsDrawnUpright();
    void buttonDrawsItsTextOnce();
    void buttonStillClicks();
};

namespace {

// Bounding box of the dark pixels (the text).
QRect darkBox(const QImage &picture)
{
    QRect box;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qGray(picture.pixel(x, y)) < 80)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

int darkCount(const QImage &picture)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            count += qGray(picture.pixel(x, y)) < 80 ? 1 : 0;
    }
    return count;
}

} // namespace

void TestVerticalText::sizeHintsAreTurned()
{
    VPushButton button;
    button.setText(QStringLiteral("Set All"));
    QPushButton plainButton;
    plainButton.setText(QStringLiteral("Set All"));
    QCOMPARE(button.sizeHint(), plainButton.sizeHint().transposed());
    QCOMPARE(button.minimumSizeHint(), plainButton.minimumSizeHint().transposed());
    QVERIFY(button.sizeHint().height() > button.sizeHint().width());

    VLabel label;
    label.setText(QStringLiteral("Absorption"));
    QLabel plainLabel;
    plainLabel.setText(QStringLiteral("Absorption"));
    QCOMPARE(label.sizeHint(), plainLabel.sizeHint().transposed());
    QCOMPARE(label.minimumSizeHint(), plainLabel.minimumSizeHint().transposed());
}

void TestVerticalText::textIsDrawnUpright_data()
{
    QTest::addColumn<bool>("button");
    QTest::newRow("button") << true;
    QTest::newRow("label") << false;
}

void TestVerticalText::textIsDrawnUpright()
{
    QFETCH(bool, button);
    std::unique_ptr<QWidget> widget;
    if (button)
        widget = std::make_unique<VPushButton>();
    else
        widget = std::make_unique<VLabel>();
    widget->setProperty("text", QStringLiteral("Set All Images"));
    widget->resize(30, 160);
    const QRect text = darkBox(widget->grab().toImage());
    // Once, turned: a tall narrow run of ink in the middle of the widget.
    QVERIFY(!text.isEmpty());
    QVERIFY2(text.height() > 3 * text.width(),
             qPrintable(QStringLiteral("text %1x%2").arg(text.width()).arg(text.height())));
    QVERIFY(qAbs(text.center().y() - 80) < 8);
    QVERIFY(qAbs(text.center().x() - 15) < 6);
}

void TestVerticalText::buttonDrawsItsTextOnce()
{
    // Regression: the button drew its text twice, turned and, across it, unturned.
    const QString text = QStringLiteral("Set All Images");
    VPushButton button;
    button.setText(text);
    button.resize(30, 160);
    VLabel label;
    label.setText(text);
    label.resize(30, 160);
    // Inside the button's frame.
    const QRect inside(4, 4, 22, 152);
    const int buttonInk = darkCount(button.grab().toImage().copy(inside));
    const int labelInk = darkCount(label.grab().toImage().copy(inside));
    QVERIFY(labelInk > 0);
    QVERIFY2(qAbs(buttonInk - labelInk) < labelInk / 20,
             qPrintable(QStringLiteral("%1 dark pixels on the button, %2 on the label")
                            .arg(buttonInk)
                            .arg(labelInk)));
}

void TestVerticalText::buttonStillClicks()
{
    VPushButton button;
    button.resize(30, 100);
    QSignalSpy clicked(&button, &QPushButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
}

QTEST_MAIN(TestVerticalText)
#include "tst_verticaltext.moc"
