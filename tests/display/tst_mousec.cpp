#include "display/mousec.h"

#include <QtTest>

// What a mouse gesture means.
class TestMouseC : public QObject
{
    Q_OBJECT

private slots:
    void mouseAction_data();
    void mouseAction();
};

void TestMouseC::mouseAction_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("code");

    const int left = Qt::LeftButton;
    const int right = Qt::RightButton;
    const int shift = Qt::ShiftModifier;
    const int control = Qt::ControlModifier;
    const int alt = Qt::AltModifier;
    QTest::newRow("left") << left << 0 << 0;
    QTest::newRow("Shift+left") << left << shift << 1;
    QTest::newRow("Control+left") << left << control << 2;
    QTest::newRow("Alt+left") << left << alt << 3;
    QTest::newRow("Shift+Control+left") << left << (shift | control) << 4;
    QTest::newRow("Shift+Alt+left") << left << (shift | alt) << 5;
    QTest::newRow("Control+Alt+left") << left << (control | alt) << 6;
    QTest::newRow("Shift+Control+Alt+left") << left << (shift | control | alt) << 7;
    QTest::newRow("right") << right << 0 << 8;
    QTest::newRow("Shift+right") << right << shift << 9;
    QTest::newRow("Shift+Control+Alt+right") << right << (shift | control | alt) << 15;
    QTest::newRow("middle") << int(Qt::MiddleButton) << 0 << 16;
    QTest::newRow("middle with Shift") << int(Qt::MiddleButton) << shift << 16;
    QTest::newRow("no button") << int(Qt::NoButton) << 0 << 16;
    QTest::newRow("keypad flag is no modifier") << left << int(Qt::KeypadModifier) << 0;
}

void TestMouseC::mouseAction()
{
    QFETCH(int, button);
    QFETCH(int, modifiers);
    QFETCH(int, code);
    QCOMPARE(::mouseAction(Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers)), code);
}

QTEST_GUILESS_MAIN(TestMouseC)
#include "tst_mousec.moc"
