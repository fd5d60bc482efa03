#include "batch/batchctrl.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

class TestBatchCtrl : public QObject
{
    Q_OBJECT

private slots:
    void loadAndSaveRoundTrip();
    void unreadableFilesChangeNothing();
    void execSplitsTheEditorText();
    void logAppendsWithoutLineEnds();
};

void TestBatchCtrl::loadAndSaveRoundTrip()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = dir.filePath("in.bat");
    {
        QFile file(source);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
        file.write(":for i %i 1 2\n\nseek_image %i\n:next i");
    }
    BatchCtrl ctrl;
    ctrl.setBatchFile(source);
    QCOMPARE(ctrl.scriptText(), QString(":for i %i 1 2\n\nseek_image %i\n:next i\n"));

    const QString copy = dir.filePath("out.bat");
    ctrl.save(copy);
    ctrl.clear();
    QCOMPARE(ctrl.scriptText(), QString());
    ctrl.load(copy);
    QCOMPARE(ctrl.scriptText(), QString(":for i %i 1 2\n\nseek_image %i\n:next i\n"));
}

void TestBatchCtrl::unreadableFilesChangeNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    BatchCtrl ctrl;
    ctrl.findChild<QPlainTextEdit *>("BatchCmds")->setPlainText("quit");

    QTest::ignoreMessage(QtDebugMsg, qPrintable("Can't open batch file : " + dir.filePath("none")));
    ctrl.load(dir.filePath("none"));
    QCOMPARE(ctrl.scriptText(), QString("quit"));

    // A directory cannot be written as a file.
    QTest::ignoreMessage(QtDebugMsg, qPrintable("Can't write batch file : " + dir.path()));
    ctrl.save(dir.path());
    QCOMPARE(ctrl.scriptText(), QString("quit"));
}

void TestBatchCtrl::execSplitsTheEditorText()
{
    BatchCtrl ctrl;
    ctrl.findChild<QPlainTextEdit *>("BatchCmds")->setPlainText("a\n\nb\n");
    QSignalSpy spy(&ctrl, &BatchCtrl::doDispatchCmds);
    QTest::mouseClick(ctrl.findChild<QPushButton *>("Exec"), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toStringList(), QStringList({"a", "", "b", ""}));

    QSignalSpy stopSpy(&ctrl, &BatchCtrl::batchStop);
    QTest::mouseClick(ctrl.findChild<QPushButton *>("Stop"), Qt::LeftButton);
    QCOMPARE(stopSpy.count(), 1);
}

void TestBatchCtrl::logAppendsWithoutLineEnds()
{
    BatchCtrl ctrl;
    QTest::ignoreMessage(QtDebugMsg, "echo x");
    ctrl.Log("echo x");
    QTest::ignoreMessage(QtDebugMsg, "seek_image : 1");
    ctrl.Log("seek_image : 1\n");
    CmdLine bad("frobnicate 1 # why");
    QTest::ignoreMessage(QtDebugMsg, "Err: frobnicate 1 ");
    ctrl.showCmdErr(bad);
    QCOMPARE(ctrl.logText(), QString("echo xseek_image : 1\nErr: frobnicate 1 \n"));

    QTest::mouseClick(ctrl.findChild<QPushButton *>("ClearLog"), Qt::LeftButton);
    QCOMPARE(ctrl.logText(), QString());
}

QTEST_MAIN(TestBatchCtrl)
#include "tst_batchctrl.moc"
