#include "calib/energyshiftmap.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

// The energy-shift map file: written and read back at the same and at another edge energy,
// and refused, with the old map kept, when it is not a map this program can take.
class TestEnergyShiftMap : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void refused_data();
    void refused();
    void shortData();

private:
    QTemporaryDir mDir;
};

namespace {

constexpr double si111 = 3.1355316;
constexpr double hc = 12398.424360387684;
constexpr double pi = 3.1415926535;

QStringList gLog;

void capture(QtMsgType, const QMessageLogContext &, const QString &message)
{
    gLog << message;
}

double shiftOf(int x, int y)
{
    return 0.5 * x - 0.25 * y + 0.125;
}

// A 6 x 4 map of known shifts.
void fillMap(EnergyShiftMap &map)
{
    map.resize(6, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x)
            map.map().setData(x, y, 0, 0, shiftOf(x, y));
    }
}

double angle(double e)
{
    return std::asin(hc / e / (2 * si111)) * 180 / pi;
}

void writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray header(int w, int h, const char *extra = "")
{
    return QByteArray("###Marvolenti::MRVT\nStd Edge Energy [eV]    : 7112\n"
                      "Spacing [nm]            : 3.13553\nWidth [pix]             : ")
           + QByteArray::number(w) + "\nHeight [pix]            : " + QByteArray::number(h) + "\n"
           + extra + "##-----------------\n";
}

} // namespace

void TestEnergyShiftMap::initTestCase()
{
    QVERIFY(mDir.isValid());
}

void TestEnergyShiftMap::roundTrip_data()
{
    QTest::addColumn<double>("savedAt");
    QTest::addColumn<double>("loadedAt");
    QTest::newRow("same edge") << 7112.0 << 7112.0;
    QTest::newRow("edge of the file (0 typed)") << 7112.0 << 0.0;
    QTest::newRow("another edge") << 7112.0 << 8979.0;
}

void TestEnergyShiftMap::roundTrip()
{
    QFETCH(double, savedAt);
    QFETCH(double, loadedAt);
    EnergyShiftMap map;
    fillMap(map);
    const QString path = mDir.filePath("map");
    QVERIFY(map.save(path, savedAt, si111, "std.dat"));
    QVERIFY(QFile::exists(path + ".emp"));

    EnergyShiftMap loaded;
    int w = 6;
    int h = 4;
    QVERIFY(loaded.load(path + ".emp", loadedAt, w, h));
    const double e1 = loadedAt > 0 ? loadedAt : savedAt;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            // The same angle offset read at the new edge.
            const double offset = angle(savedAt - shiftOf(x, y)) - angle(savedAt);
            const double expected
                = e1 - hc / (2 * std::sin((offset + angle(e1)) / 180 * pi) * si111);
            const double got = loaded.value(x, y);
            QVERIFY2(
                std::abs(got - expected) < 1e-3 * std::max(1.0, std::abs(expected)),
                qPrintable(
                    QString("(%1, %2): %3, expected %4").arg(x).arg(y).arg(got).arg(expected)));
        }
    }
}

void TestEnergyShiftMap::refused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("imageWidth");
    QTest::newRow("empty first line")
        << QByteArray("\n") + header(6, 4).mid(20) << "Not a emp file." << 6;
    QTest::newRow("other magic") << QByteArray("###MRVX\n")
                                 << "Invalid Energy Map Data File : " << 6;
    QTest::newRow("no separator") << header(6, 4).replace("##-----------------\n", "")
                                  << "Invalid Energy Map Data File : " << 6;
    QTest::newRow("size mismatch") << header(5, 4)
                                   << "Loading Energy Map size : 5 x 4 : is not matched to the "
                                      "current image size : 6 x 4"
                                   << 6;
    QTest::newRow("zero width before any image") << header(0, 4) << "out of range" << -1;
    QTest::newRow("huge size before any image") << header(1 << 20, 1 << 20) << "out of range" << -1;
    QTest::newRow("hostile area") << header(6, 4, "Area X1                 : 2000000000\n")
                                  << "out of range" << -1;
    QTest::newRow("edge beyond the crystal")
        << header(6, 4).replace("7112", "100") << "crystal's reach" << 6;
    // Regression: hostile files aborted on allocation or put non-finite shifts into the map.
    QTest::newRow("16384 x 16384 in a few bytes before any image") << header(16384, 16384) + "0.1\n"
                                                                   << "larger than its file" << -1;
    QTest::newRow("nan") << header(6, 4) + "0.1 nan\n"
                         << "Not a finite number at line 7" << 6;
    QTest::newRow("-inf on the second line") << header(6, 4) + "0 0 0 0 0 0\n0 -inf\n"
                                             << "Not a finite number at line 8" << 6;
}

void TestEnergyShiftMap::refused()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    QFETCH(int, imageWidth);
    EnergyShiftMap map;
    fillMap(map);
    const QString path = mDir.filePath("refused.emp");
    writeFile(path, text);
    int w = imageWidth;
    int h = 4;
    gLog.clear();
    const QtMessageHandler old = qInstallMessageHandler(capture);
    const bool loaded = map.load(path, 0.0, w, h);
    qInstallMessageHandler(old);
    QVERIFY(!loaded);
    if (message.contains("line"))
        QCOMPARE(map.failureMessage(),
                 QString("Energy map value that is not a finite number at line %1: %2")
                     .arg(message.right(1), path));
    QVERIFY2(gLog.join('\n').contains(message), qPrintable(gLog.join('\n')));
    QCOMPARE(w, imageWidth);
    QCOMPARE(map.width(), 6);
    QCOMPARE(map.value(5, 3), shiftOf(5, 3));

    // A save at an edge out of reach would lose the map: refused, the old file kept.
    QVERIFY(!map.save(path, 100.0, si111, "std.dat"));
    QFile kept(path);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), text);
}

void TestEnergyShiftMap::shortData()
{
    // A short data section of a map the images vouch for: one line for all missing numbers,
    // which read as zero shifts.
    const QString path = mDir.filePath("short.emp");
    writeFile(path, header(300, 200) + "0.01 0.02\n");
    EnergyShiftMap map;
    int w = 300;
    int h = 200;
    gLog.clear();
    const QtMessageHandler old = qInstallMessageHandler(capture);
    QVERIFY(map.load(path, 0.0, w, h));
    qInstallMessageHandler(old);
    QCOMPARE(gLog.filter("run out!").size(), 1);
    QVERIFY(gLog.filter("run out!").first().contains("59998"));
    QCOMPARE(w, 300);
    QCOMPARE(h, 200);
    QVERIFY(map.value(0, 0) > 0.0);
    QVERIFY(std::abs(map.value(299, 199)) < 1e-6);
}

QTEST_MAIN(TestEnergyShiftMap)
#include "tst_energyshiftmap.moc"
