#include "analysis/analyzed2dres.h"
#include "analysis/blockengine.h"
#include "analysis/edgepositionkernel.h"
#include "app/body.h"
#include "input/stackloader.h"
#include "input/tiffdata.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

constexpr int Width = 13;
constexpr int Height = 9;

// I1 images whose absorption edge lies at an energy that varies over the image, and I0
// images at other energies. Variants: "one smaller" (one I1 image smaller than the rest),
// "fluorescence", "one I0" and "no I0". Owned here.
struct Stacks
{
    explicit Stacks(const QString &variant = QString(), int width = Width)
        : width(width)
        , fluorescence(variant == QLatin1String("fluorescence"))
    {
        for (int k = 0; k < 8; ++k) {
            const bool small = variant == QLatin1String("one smaller") && k == 3;
            add(i1, 7000.0 + 10 * k, small ? 7 : width, small ? 5 : Height, [k](int x, int y) {
                return k * 3 < x % 50 + y ? 900 + 13 * (x % 50) : 3000 + 7 * y + x * y;
            });
        }
        i1[5]->shiftX = 1;
        i1[6]->shiftY = -2;
        const int i0Count = variant == QLatin1String("no I0")    ? 0
                            : variant == QLatin1String("one I0") ? 1
                                                                 : 3;
        for (int k = 0; k < i0Count; ++k)
            add(i0, 6990.0 + 35 * k, width, Height, [k](int x, int y) { return 9000 + k * x + y; });
    }
    template<typename Sample>
    void add(QVector<TiffData *> &stack, double energy, int w, int h, Sample sample)
    {
        owned.push_back(std::make_unique<TiffData>());
        TiffData *image = owned.back().get();
        image->width = w;
        image->height = h;
        image->energy = energy;
        image->sampleKind = TiffData::ImgRows;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                image->samples16.append(quint16(sample(x, y)));
        }
        stack.append(image);
    }
    int width;
    bool fluorescence;
    std::vector<std::unique_ptr<TiffData>> owned;
    QVector<TiffData *> i1;
    QVector<TiffData *> i0;
};

BlockRequest edgeRequest(const Stacks &stacks, const AreaWalk &walk)
{
    BlockRequest request;
    request.walk = walk;
    request.spectra = StackSpectra(stacks.i1, stacks.i0, stacks.width, Height, stacks.fluorescence);
    EdgePositionKernel::setUp(request);
    return request;
}

} // namespace

// The parallel engine of the area analyses against a walk of one block at a time.
class TestBlockEngine : public QObject
{
    Q_OBJECT

private slots:
    void sameMapAsOneBlockAtATime_data();
    void sameMapAsOneBlockAtATime();
    void cancelledRunRecordsNothingMore_data();
    void cancelledRunRecordsNothingMore();
    void mainWindowKeepsTheImagesOfARun();
};

void TestBlockEngine::sameMapAsOneBlockAtATime_data()
{
    QTest::addColumn<int>("threads");
    QTest::addColumn<int>("xw");
    QTest::addColumn<int>("yw");
    QTest::addColumn<QRectF>("area");
    QTest::addColumn<int>("blockStep");
    QTest::addColumn<QString>("stack");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("waiting");

    const QRectF image(0, 0, Width, Height);
    // The calling thread waits and records (Python bindings): the same maps in the same order.
    QTest::newRow("waiting, 2 threads, bin 1 x 2")
        << 2 << 1 << 2 << image << -1 << QString() << Width << true;
    QTest::newRow("waiting, rows of many parts")
        << 2 << 0 << 0 << QRectF(0, 0, 5000, Height) << -1 << QString() << 5000 << true;
    QTest::newRow("1 thread, bin 0") << 1 << 0 << 0 << image << -1 << QString() << Width << false;
    QTest::newRow("2 threads, bin 0") << 2 << 0 << 0 << image << -1 << QString() << Width << false;
    QTest::newRow("4 threads, bin 1 x 2")
        << 4 << 1 << 2 << image << -1 << QString() << Width << false;
    QTest::newRow("area past the image")
        << 3 << 1 << 1 << QRectF(-4, -3, 22, 17) << -1 << QString() << Width << false;
    QTest::newRow("bin 0, every third pixel, past the image")
        << 2 << 0 << 0 << QRectF(-3, -2, 20, 12) << 3 << QString() << Width << false;
    for (const char *stack : {"one smaller", "fluorescence", "one I0", "no I0"})
        QTest::newRow(stack) << 2 << 1 << 0 << image << -1 << QString(stack) << Width << false;
    // Rows too long for the caches are computed in parts.
    QTest::newRow("rows of many parts")
        << 2 << 0 << 0 << QRectF(0, 0, 5000, Height) << -1 << QString() << 5000 << false;
}

void TestBlockEngine::sameMapAsOneBlockAtATime()
{
    QFETCH(int, threads);
    QFETCH(int, xw);
    QFETCH(int, yw);
    QFETCH(QRectF, area);
    QFETCH(int, blockStep);
    QFETCH(QString, stack);
    QFETCH(int, width);
    QFETCH(bool, waiting);

    const Stacks stacks(stack, width);
    const AreaWalk walk(width,
                        Height,
                        xw,
                        yw,
                        area.x(),
                        area.y(),
                        area.width(),
                        area.height(),
                        blockStep,
                        blockStep);
    const BlockRequest request = edgeRequest(stacks, walk);

    // One block at a time through the spectrum under the cursor.
    Analyzed2DRes expected(QStringLiteral("one by one"));
    expected.reset(walk);
    QVector<QPoint> expectedOrder;
    AreaWalk step = walk;
    bool newRow = false;
    do {
        const Spectrum raw = request.spectra.spectrumAt(int(step.cx), int(step.cy), xw, yw);
        expected.record(step, raw.crossingEnergy(0.5, 0));
        expectedOrder.append(QPoint(int(step.cx), int(step.cy)));
    } while (step.next(newRow));

    Analyzed2DRes map(QStringLiteral("engine"));
    map.reset(walk);
    QVector<QPoint> order;
    BlockEngine engine;
    engine.setMaxThreads(threads);
    QSignalSpy finished(&engine, &BlockEngine::finished);
    QSignalSpy rows(&engine, &BlockEngine::rowRecorded);
    engine.setWaiting(waiting);
    QVERIFY(engine.start(request, [&](const AreaWalk &at, const double *values) {
        map.record(at, values[0]);
        order.append(QPoint(int(at.cx), int(at.cy)));
    }));
    QVERIFY(!engine.start(request, [](const AreaWalk &, const double *) {}));
    if (waiting)
        QVERIFY(engine.waitForFinished());
    else
        QVERIFY(finished.wait());
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(rows.size(), int(walk.rows()));
    QCOMPARE(order, expectedOrder);
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < width; ++x) {
            QVERIFY2(map.value(x, y) == expected.value(x, y),
                     qPrintable(QStringLiteral("(%1, %2): %3, one by one %4")
                                    .arg(x)
                                    .arg(y)
                                    .arg(map.value(x, y), 0, 'g', 17)
                                    .arg(expected.value(x, y), 0, 'g', 17)));
        }
    }
    QCOMPARE(map.min(), expected.min());
    QVERIFY(map.max() >= 7000);
}

void TestBlockEngine::cancelledRunRecordsNothingMore_data()
{
    QTest::addColumn<bool>("waiting");
    QTest::newRow("event loop") << false;
    QTest::newRow("waiting") << true;
}

void TestBlockEngine::cancelledRunRecordsNothingMore()
{
    QFETCH(bool, waiting);
    const Stacks stacks;
    const AreaWalk walk(Width, Height, 0, 0, 0, 0, Width, Height);
    BlockEngine engine;
    engine.setMaxThreads(2);
    engine.setWaiting(waiting);
    const auto wait = [&engine, waiting](QSignalSpy &finished) {
        return waiting ? (engine.waitForFinished(), finished.size() > 0) : finished.wait();
    };
    int recorded = 0;
    QSignalSpy finished(&engine, &BlockEngine::finished);
    // Cancelled from the first recorded row on: no block of a later row may be recorded.
    connect(&engine, &BlockEngine::rowRecorded, &engine, &BlockEngine::cancel);
    QVERIFY(engine.start(edgeRequest(stacks, walk),
                         [&](const AreaWalk &, const double *) { ++recorded; }));
    QVERIFY(wait(finished));
    QCOMPARE(finished.first().first().toBool(), false);
    QCOMPARE(recorded, Width);
    QVERIFY(!engine.isRunning());

    // The engine takes the next run.
    disconnect(&engine, &BlockEngine::rowRecorded, &engine, &BlockEngine::cancel);
    recorded = 0;
    QVERIFY(engine.start(edgeRequest(stacks, walk),
                         [&](const AreaWalk &, const double *) { ++recorded; }));
    QVERIFY(wait(finished));
    QCOMPARE(finished.last().first().toBool(), true);
    QCOMPARE(recorded, Width * Height);
    if (!waiting)
        return;
    // Interrupted while waiting (Ctrl-C in Python): the run ends cancelled, its threads gone.
    QVERIFY(engine.start(edgeRequest(stacks, walk), [](const AreaWalk &, const double *) {}));
    QVERIFY(!engine.waitForFinished([] { return true; }));
    QCOMPARE(finished.last().first().toBool(), false);
    QVERIFY(!engine.isRunning());
}

void TestBlockEngine::mainWindowKeepsTheImagesOfARun()
{
    Body body;
    Stacks stacks;
    for (auto &image : stacks.owned) {
        const bool i1 = stacks.i1.contains(image.get());
        body.stacks()->append(i1 ? StackModel::I1 : StackModel::I0, image.release());
    }
    body.stacks()->setSize(Width, Height);

    BlockRequest request = body.blockRequest();
    EdgePositionKernel::setUp(request);
    QSignalSpy finished(body.blockEngine(), &BlockEngine::finished);
    QVERIFY(body.blockEngine()->start(request, [](const AreaWalk &, const double *) {}));
    // The run reads the images: clearing and loading anew are refused until it has ended.
    body.stackLoader()->clear(StackModel::I1);
    body.stackLoader()->read(StackModel::I0, {QStringLiteral("none.tif")}, true);
    QCOMPARE(body.stacks()->i1Images().size(), 8);
    QCOMPARE(body.stacks()->i0Images().size(), 3);
    QVERIFY(!body.messageLine().isEmpty());
    QVERIFY(finished.wait());
    body.stackLoader()->clear(StackModel::I1);
    QVERIFY(body.stacks()->i1Images().isEmpty());
}

QTEST_MAIN(TestBlockEngine)
#include "tst_blockengine.moc"
