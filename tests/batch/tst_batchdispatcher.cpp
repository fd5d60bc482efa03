#include "batch/batchdispatcher.h"

#include <QtTest>

// Stands in for the main window: records every line the dispatcher hands over and reports it
// finished, unless told to hold a command back as a long-running one would.
class Responder : public QObject
{
    Q_OBJECT

public:
    QStringList received; // "cmd args..." or "skip:cmd"
    QString holdCommand;
    bool holding = false;

signals:
    void finishBatchExec();

public slots:
    void execCmdSlot(CmdLine cmd, bool inRem)
    {
        QString entry = inRem ? "skip:" + cmd.cmd : (QStringList{cmd.cmd} + cmd.args).join(' ');
        received << entry;
        if (!inRem && !holdCommand.isEmpty() && cmd.cmd == holdCommand) {
            holding = true;
            return;
        }
        emit finishBatchExec();
    }
    void release()
    {
        holding = false;
        emit finishBatchExec();
    }
};

class TestBatchDispatcher : public QObject
{
    Q_OBJECT

signals:
    void dispatch(QStringList lines);
    void stop();

private slots:
    void init();
    void cleanup();
    void runs_data();
    void runs();
    void logEntries();
    void stopWaitsForTheRunningCommand();
    void emptyScript();
    void newRunLeavesAnOpenCommentBlock();

private:
    void run(const QString &script);
    // Lets a few more round trips between the two threads happen, so that a line emitted
    // after the expected ones would be seen.
    void settle();

    QThread *mThread = nullptr;
    BatchDispatcher *mDispatcher = nullptr;
    Responder *mResponder = nullptr;
    QStringList mLog;
};

void TestBatchDispatcher::init()
{
    qRegisterMetaType<CmdLine>("CmdLine");
    mThread = new QThread;
    mDispatcher = new BatchDispatcher;
    mDispatcher->moveToThread(mThread);
    mResponder = new Responder;
    mLog.clear();
    connect(this, &TestBatchDispatcher::dispatch, mDispatcher, &BatchDispatcher::doDispatchCmds);
    connect(this, &TestBatchDispatcher::stop, mDispatcher, &BatchDispatcher::batchStopSlot);
    connect(mDispatcher, &BatchDispatcher::execCmdSig, mResponder, &Responder::execCmdSlot);
    connect(
        mResponder, &Responder::finishBatchExec, mDispatcher, &BatchDispatcher::finishBatchExec);
    connect(
        mDispatcher, &BatchDispatcher::Log, this, [this](const QString &entry) { mLog << entry; });
    mThread->start();
}

void TestBatchDispatcher::cleanup()
{
    mThread->quit();
    mThread->wait();
    delete mDispatcher;
    delete mThread;
    delete mResponder;
}

void TestBatchDispatcher::run(const QString &script)
{
    emit dispatch(script.split('\n'));
}

void TestBatchDispatcher::settle()
{
    for (int i = 0; i < 5; ++i) {
        QVERIFY(QMetaObject::invokeMethod(
            mDispatcher, [] {}, Qt::BlockingQueuedConnection));
        QCoreApplication::processEvents();
    }
}

void TestBatchDispatcher::runs_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("rising loop and the value after it")
        << ":for i %i 1 3\nseek_image %i\n:next i\nseek_image %i"
        << QStringList{":for i %i 1 3",
                       "seek_image 1",
                       ":next i",
                       "seek_image 2",
                       ":next i",
                       "seek_image 3",
                       ":next i",
                       "seek_image 3"};
    QTest::newRow("falling loop") << ":for j %j 3 1\nseek_image %j\n:next j"
                                  << QStringList{":for j %j 3 1",
                                                 "seek_image 3",
                                                 ":next j",
                                                 "seek_image 2",
                                                 ":next j",
                                                 "seek_image 1",
                                                 ":next j"};
    QTest::newRow("zero-padded") << ":for n %n 08 11 2\nsave_image f%n.png\n:next n"
                                 << QStringList{":for n %n 08 11 2",
                                                "save_image f08.png",
                                                ":next n",
                                                "save_image f10.png",
                                                ":next n"};
    // Regression: the step past the end overflowed int and the loop never ended.
    QTest::newRow("step past the integer range")
        << ":for s %s 0 2000000000 1500000000\nseek_image %s\n:next s"
        << QStringList{":for s %s 0 2000000000 1500000000",
                       "seek_image 0",
                       ":next s",
                       "seek_image 1500000000",
                       ":next s"};
    QTest::newRow("falling step past the integer range")
        << ":for s %s 0 -2000000000 1500000000\nseek_image %s\n:next s"
        << QStringList{":for s %s 0 -2000000000 1500000000",
                       "seek_image 0",
                       ":next s",
                       "seek_image -1500000000",
                       ":next s"};
    QTest::newRow("nested loop restarts")
        << ":for a %a 1 2\n:for b %b 1 2\nmove_position %a %b\n:next b\n:next a"
        << QStringList{":for a %a 1 2",
                       ":for b %b 1 2",
                       "move_position 1 1",
                       ":next b",
                       "move_position 1 2",
                       ":next b",
                       ":next a",
                       ":for b %b 1 2",
                       "move_position 2 1",
                       ":next b",
                       "move_position 2 2",
                       ":next b",
                       ":next a"};
    QTest::newRow("case of words and names")
        << ":FOR k %k 1 2\nSEEK_IMAGE %k %K\n:Next k"
        << QStringList{":FOR k %k 1 2", "SEEK_IMAGE 1 %K", ":Next k", "SEEK_IMAGE 2 %K", ":Next k"};
    QTest::newRow("next of an unknown loop")
        << ":next nothing\nquit" << QStringList{":next nothing", "quit"};
    QTest::newRow("end stops the run")
        << "seek_image 1\n:end\nseek_image 2" << QStringList{"seek_image 1"};
    QTest::newRow("comment block")
        << "seek_image 1\n:rem_start\nseek_image 2\nbogus\n:rem_end\nseek_image 3"
        << QStringList{"seek_image 1",
                       "skip::rem_start",
                       "skip:seek_image",
                       "skip:bogus",
                       ":rem_end",
                       "seek_image 3"};
    QTest::newRow("end inside a comment block")
        << ":rem_start\nseek_image 1\n:end\nseek_image 2"
        << QStringList{"skip::rem_start", "skip:seek_image"};
    QTest::newRow("continuation") << "move_position 1 \\   \n2\nseek_image 4"
                                  << QStringList{"move_position 1 2", "seek_image 4"};
    QTest::newRow("last line continued")
        << "seek_image 1\nseek_image 2 \\" << QStringList{"seek_image 1", "seek_image 2"};
    QTest::newRow("comments and blanks")
        << "# header\n\n   \nunknown_word x" << QStringList{"skip:", "skip:", "", "unknown_word x"};
}

void TestBatchDispatcher::runs()
{
    QFETCH(QString, script);
    QFETCH(QStringList, expected);

    run(script);
    QTRY_VERIFY(mResponder->received.size() >= expected.size());
    settle();
    QCOMPARE(mResponder->received, expected);
}

void TestBatchDispatcher::logEntries()
{
    run(":for i %i 1 3\n:echo \"a b\" c\nseek_image %i # note\n:next i\nmystery 1");
    QTRY_COMPARE(mResponder->received.size(), 11);
    QCOMPARE(mLog,
             QStringList({"for i : %i = 1\n",
                          "echo a b\n",
                          "seek_image : 1 # note\n",
                          "next i : %i = 2\n",
                          "echo a b\n",
                          "seek_image : 2 # note\n",
                          "next i : %i = 3\n",
                          "echo a b\n",
                          "seek_image : 3 # note\n",
                          "next i : %i = 3\n"}));
}

void TestBatchDispatcher::stopWaitsForTheRunningCommand()
{
    mResponder->holdCommand = "load_I1_files";
    run("seek_image 1\nload_I1_files new a.tif\nseek_image 2\nseek_image 3");
    QTRY_VERIFY(mResponder->holding);
    emit stop();
    settle();
    mResponder->release();
    settle();
    QCOMPARE(mResponder->received, QStringList({"seek_image 1", "load_I1_files new a.tif"}));
    QVERIFY(!mDispatcher->isRunning());

    // A new run starts from the first line.
    mResponder->holdCommand.clear();
    run("seek_image 9");
    QTRY_COMPARE(mResponder->received.size(), 3);
    QCOMPARE(mResponder->received.last(), QString("seek_image 9"));
}

void TestBatchDispatcher::emptyScript()
{
    run("");
    QTRY_COMPARE(mResponder->received, QStringList{"skip:"});
    run("\n\n");
    QTRY_COMPARE(mResponder->received.size(), 4);
}

void TestBatchDispatcher::newRunLeavesAnOpenCommentBlock()
{
    // Regression: a script that ended inside a comment block made every later run skip all
    // of its lines.
    run(":rem_start\nseek_image 1");
    QTRY_COMPARE(mResponder->received.size(), 2);
    run("seek_image 2");
    QTRY_COMPARE(mResponder->received.size(), 3);
    QCOMPARE(mResponder->received.last(), QString("seek_image 2"));
}

QTEST_GUILESS_MAIN(TestBatchDispatcher)
#include "tst_batchdispatcher.moc"
