#include "calib/alignimage.h"
#include "calib/imgproc.h"
#include "input/tiffdata.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

#include <cmath>
#include <functional>

// Edge images, binarisation, the score and the shift search, and the image processor window
// that drives them.
class TestAlignment : public QObject
{
    Q_OBJECT

private slots:
    void edge_data();
    void edge();
    void search_data();
    void search();
    void window_data();
    void window();
};

namespace {

void fill(TiffData &data, int w, int h, const std::function<double(int, int)> &value)
{
    data.width = w;
    data.height = h;
    data.sampleKind = TiffData::FloatRows;
    data.samplesFloat.clear();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            data.samplesFloat.append(float(value(x, y)));
    }
}

// Three soft blobs: their binarised edges are thick rings, whose overlap falls off smoothly.
double blobs(int x, int y, int size)
{
    const double centres[][2] = {{0.3, 0.35}, {0.7, 0.4}, {0.45, 0.75}};
    double v = 0.0;
    for (const auto &c : centres) {
        const double dx = x - c[0] * size;
        const double dy = y - c[1] * size;
        v += 1000.0 * std::exp(-(dx * dx + dy * dy) / (2.0 * 0.01 * size * size));
    }
    return v;
}

} // namespace

void TestAlignment::edge_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("shiftX");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("max");
    // kind 0: a step from 0 to 10 at column 2; kind 1: all 10, framed by zeros; kind 2: zeros.
    QTest::newRow("step") << 0 << 0 << QPoint(1, 2) << 30.0 << 30.0;
    QTest::newRow("step moved by the shift") << 0 << 1 << QPoint(2, 2) << 30.0 << 30.0;
    QTest::newRow("flat inside") << 1 << 0 << QPoint(2, 2) << 0.0 << 30.0;
    QTest::newRow("corner against the frame") << 1 << 0 << QPoint(0, 0) << 20.0 << 30.0;
    QTest::newRow("all zero reports the smallest double")
        << 2 << 0 << QPoint(2, 2) << 0.0 << 2.2250738585072014e-308;
}

void TestAlignment::edge()
{
    QFETCH(int, kind);
    QFETCH(int, shiftX);
    QFETCH(QPoint, at);
    QFETCH(double, expected);
    QFETCH(double, max);
    TiffData data;
    fill(data, 5, 5, [kind](int x, int) {
        return kind == 0 ? (x >= 2 ? 10 : 0) : 10 * (kind == 1);
    });
    data.shiftX = shiftX;
    const AlignImage edge = AlignImage::edgeOf(data);
    QCOMPARE(edge.at(at.x(), at.y()), expected);
    QCOMPARE(edge.max, max);
    // The threshold test is strictly greater: a pixel at the threshold is background.
    const AlignImage bin = edge.binarized(expected);
    QCOMPARE(bin.at(at.x(), at.y()), 0.0);
    QCOMPARE(edge.binarized(expected - 0.5).at(at.x(), at.y()), 1.0);
}

void TestAlignment::search_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QPoint>("moved");
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<QPoint>("found");
    QTest::newRow("moved by (5, -3)") << 96 << QPoint(5, -3) << QPoint(0, 0) << QPoint(-5, 3);
    QTest::newRow("moved by (-2, 4) from a guess")
        << 64 << QPoint(-2, 4) << QPoint(1, -2) << QPoint(2, -4);
    QTest::newRow("no improving neighbour keeps the shift")
        << 64 << QPoint(0, 0) << QPoint(0, 0) << QPoint(0, 0);
}

void TestAlignment::search()
{
    QFETCH(int, size);
    QFETCH(QPoint, moved);
    QFETCH(QPoint, start);
    QFETCH(QPoint, found);
    TiffData reference;
    TiffData drifted;
    fill(reference, size, size, [size](int x, int y) { return blobs(x, y, size); });
    fill(drifted, size, size, [size](int x, int y) { return blobs(x, y, size); });
    drifted.shiftX = moved.x();
    drifted.shiftY = moved.y();
    const AlignImage refEdge = AlignImage::edgeOf(reference);
    const double threshold = 0.1 * refEdge.max;
    const AlignImage ref = refEdge.binarized(threshold);
    const AlignImage bin = AlignImage::edgeOf(drifted).binarized(threshold);
    const QPoint at
        = AlignImage::search(bin, ref, start, AlignImage::score(bin, ref, start.x(), start.y()));
    QCOMPARE(at, found);
}

void TestAlignment::window_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");
    // Steps: d data, D other-sized data, b binary on, r set ref, c compare on, s slider 999,
    // t threshold typed, a auto shift, R right arrow.
    QTest::newRow("search without images") << "ca"
                                           << "no bin image"
                                           << "NormScolarP"
                                           << "";
    QTest::newRow("compare without reference") << "dbc"
                                               << "no ref bin image"
                                               << "NormScolarP"
                                               << "";
    QTest::newRow("reference of another size") << "dbrDc"
                                               << "size mis-match"
                                               << "NormScolarP"
                                               << "";
    QTest::newRow("slider 999 just below the maximum") << "ds"
                                                       << ""
                                                       << "BinThV"
                                                       << "999";
    QTest::newRow("threshold typed before any data") << "t"
                                                     << ""
                                                     << "slider"
                                                     << "0";
    QTest::newRow("aligned images score 1") << "dbrc"
                                            << ""
                                            << "NormScolarP"
                                            << "1";
    QTest::newRow("auto shift without a better neighbour") << "dbrca"
                                                           << ""
                                                           << "ShiftX"
                                                           << "0";
    QTest::newRow("arrow moves the trial shift") << "dbrcR"
                                                 << ""
                                                 << "ShiftX"
                                                 << "1";
}

void TestAlignment::window()
{
    QFETCH(QString, steps);
    QFETCH(QString, message);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    TiffData data;
    TiffData other;
    fill(data, 48, 48, [](int x, int y) { return blobs(x, y, 48); });
    fill(other, 40, 40, [](int x, int y) { return blobs(x, y, 40); });
    ImgProc proc;
    TiffData *given = nullptr;
    connect(&proc, &ImgProc::askGiveData, &proc, [&] { proc.setProcData(given); });
    proc.findChild<QAbstractButton *>("EdgeDetect")->setChecked(true);
    QSlider *slider = proc.findChild<QSlider *>("BinThVSlider");
    QLineEdit *threshold = proc.findChild<QLineEdit *>("BinThV");
    if (!message.isEmpty())
        QTest::ignoreMessage(QtDebugMsg, qPrintable(message));
    for (const QChar step : steps) {
        switch (step.toLatin1()) {
        case 'd':
        case 'D':
            given = step == 'd' ? &data : &other;
            proc.setProcData(given);
            break;
        case 'b':
            slider->setValue(100);
            proc.newBinThV();
            proc.findChild<QAbstractButton *>("BinaryImage")->setChecked(true);
            break;
        case 'r':
            QTest::mouseClick(proc.findChild<QAbstractButton *>("SetRef"), Qt::LeftButton);
            break;
        case 'c':
            proc.findChild<QAbstractButton *>("Compare")->setChecked(true);
            break;
        case 's':
            slider->setValue(999);
            proc.movedBinThVSlider();
            break;
        case 't':
            threshold->setText("5");
            proc.setBinThV();
            break;
        case 'a':
            QTest::mouseClick(proc.findChild<QAbstractButton *>("ShiftAuto"), Qt::LeftButton);
            break;
        case 'R':
            QTest::mouseClick(proc.findChild<QAbstractButton *>("ShiftR"), Qt::LeftButton);
            break;
        }
    }
    if (field == "slider") {
        QCOMPARE(QString::number(slider->value()), expected);
    } else if (field == "BinThV") {
        const double edgeMax = proc.findChild<QLineEdit *>("MaxEdgeV")->text().toDouble();
        const double edgeMin = proc.findChild<QLineEdit *>("MinEdgeV")->text().toDouble();
        QCOMPARE(threshold->text(), QString::number(0.999 * (edgeMax - edgeMin) + edgeMin, 'g', 6));
        QVERIFY(threshold->text().toDouble() < proc.edgeImage().max);
    } else {
        QCOMPARE(proc.findChild<QLineEdit *>(field)->text(), expected);
    }
    // "Set Shift" hands the trial shift to the main window.
    QSignalSpy shifted(&proc, &ImgProc::imgShift);
    QTest::mouseClick(proc.findChild<QAbstractButton *>("SetShift"), Qt::LeftButton);
    QCOMPARE(shifted.count(), 1);
    QCOMPARE(shifted.first().at(0).toInt(), proc.shift().x());
}

QTEST_MAIN(TestAlignment)
#include "tst_alignment.moc"
