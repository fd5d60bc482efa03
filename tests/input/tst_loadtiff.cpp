#include "input/loadtiff.h"
#include "input/tiffdata.h"
#include "output/tiffwriter.h"
#include "testimages.h"

#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

// The loader on a real worker thread, with images received on this thread.
class TstLoadTiff : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void selection_data();
    void selection();
    void failingFileKeepsTheOthersAndTheirIndices();
    void busyWhileLoading();

private:
    void collect(TiffData *data, int fNo);

    QTemporaryDir mDir;
    QStringList mFiles;
    QThread *mThread = nullptr;
    LoadTiff *mLoader = nullptr;
    QList<int> mArrived;
    QList<quint16> mFirstSamples;
    QList<QThread *> mArrivalThreads;
    // Counted on this thread: the end arrives after every image queued before it.
    int mFinished = 0;
};

void TstLoadTiff::initTestCase()
{
    qRegisterMetaType<TiffData *>("TiffData*");
    QVERIFY(mDir.isValid());
    // Ten files whose first sample tells their index.
    for (int i = 0; i < 10; ++i) {
        QVector<quint16> values = TestImages::pattern(8, 6);
        values[0] = quint16(1000 + i);
        const QString file = mDir.filePath(QStringLiteral("img_%1.tif").arg(i));
        QVERIFY(writeTiff16(file, 8, 6, values.constData()));
        mFiles << file;
    }
}

void TstLoadTiff::init()
{
    mArrived.clear();
    mFirstSamples.clear();
    mArrivalThreads.clear();
    mFinished = 0;
    mThread = new QThread;
    mLoader = new LoadTiff;
    mLoader->moveToThread(mThread);
    connect(mLoader, &LoadTiff::loaded, this, &TstLoadTiff::collect);
    connect(mLoader, &LoadTiff::finishLoadFiles, this, [this] { ++mFinished; });
    mThread->start();
}

void TstLoadTiff::cleanup()
{
    mThread->quit();
    mThread->wait();
    delete mLoader;
    delete mThread;
}

void TstLoadTiff::collect(TiffData *data, int fNo)
{
    mArrived << fNo;
    mFirstSamples << quint16(data->shiftedValue(0, 0));
    mArrivalThreads << QThread::currentThread();
    delete data;
}

void TstLoadTiff::selection_data()
{
    QTest::addColumn<int>("skip");
    QTest::addColumn<int>("cutFirst");
    QTest::addColumn<int>("cutLast");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("all") << 1 << 0 << 0 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    QTest::newRow("skip 3, cut 1 and 2") << 3 << 1 << 2 << QList<int>{1, 4, 7};
    QTest::newRow("cuts cover the list") << 1 << 6 << 4 << QList<int>{};
    QTest::newRow("skip larger than the list") << 20 << 2 << 0 << QList<int>{2};
}

void TstLoadTiff::selection()
{
    QFETCH(int, skip);
    QFETCH(int, cutFirst);
    QFETCH(int, cutLast);
    QFETCH(QList<int>, expected);
    QMetaObject::invokeMethod(mLoader,
                              [=] { mLoader->loadTiffs(mFiles, skip, cutFirst, cutLast); });
    QTRY_COMPARE(mFinished, 1);
    QCOMPARE(mArrived, expected);
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(int(mFirstSamples.at(i)), 1000 + expected.at(i));
    for (QThread *thread : qAsConst(mArrivalThreads))
        QCOMPARE(thread, QThread::currentThread());
}

void TstLoadTiff::failingFileKeepsTheOthersAndTheirIndices()
{
    QStringList files = mFiles.mid(0, 5);
    const QString broken = mDir.filePath(QStringLiteral("broken.tif"));
    QFile out(broken);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("II*\0", 4);
    out.close();
    files[2] = broken;
    QTest::ignoreMessage(QtDebugMsg,
                         qPrintable(QStringLiteral("Error on reading file (1) ") + broken));
    QMetaObject::invokeMethod(mLoader, [=] { mLoader->loadTiffs(files, 1, 0, 0); });
    QTRY_COMPARE(mFinished, 1);
    QCOMPARE(mArrived, (QList<int>{0, 1, 3, 4}));
    QCOMPARE(int(mFirstSamples.at(2)), 1003);
}

void TstLoadTiff::busyWhileLoading()
{
    // Stop the worker's queue, queue a load, and watch the flag from inside the load.
    QList<bool> busyAtArrival;
    connect(
        mLoader,
        &LoadTiff::loaded,
        mLoader,
        [&] { busyAtArrival << mLoader->isBusy(); },
        Qt::DirectConnection);
    QVERIFY(!mLoader->isBusy());
    QMetaObject::invokeMethod(mLoader, [=] { mLoader->loadTiffs(mFiles.mid(0, 3), 1, 0, 0); });
    QTRY_COMPARE(mFinished, 1);
    QCOMPARE(busyAtArrival, (QList<bool>{true, true, true}));
    QVERIFY(!mLoader->isBusy());
}

QTEST_MAIN(TstLoadTiff)
#include "tst_loadtiff.moc"
