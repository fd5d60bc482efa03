#include "calib/phasecorrelator.h"
#include "calib/shifttable.h"
#include "calib/stackregistration.h"
#include "calib/subpixelshift.h"
#include "input/tiffdata.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <limits>
#include <random>

// Phase correlation of image pairs with known shifts, its refusals, and the registration of a
// whole stack against a reference and chained.
class TestStackRegistration : public QObject
{
    Q_OBJECT

private slots:
    void pair_data();
    void pair();
    void stack_data();
    void stack();
    void subpixel_data();
    void subpixel();
};

namespace {

constexpr int side = 128;

// A scene of particles with soft rims, larger than the image: a shifted image is the scene
// sampled at (x - dx, y - dy), so its content moves by (dx, dy) and the registering shift is
// (-dx, -dy).
double scene(double x, double y, int variant)
{
    struct Particle
    {
        double x, y, radius;
    };
    static std::vector<Particle> particles[2];
    if (particles[variant].empty()) {
        std::mt19937 rng(7 + variant);
        std::uniform_real_distribution<double> place(-60.0, side + 60.0), radius(2.0, 12.0);
        for (int i = 0; i < 120; ++i)
            particles[variant].push_back({place(rng), place(rng), radius(rng)});
    }
    double value = 100.0;
    for (const Particle &p : particles[variant])
        value += 40.0 / (1.0 + std::exp((std::hypot(x - p.x, y - p.y) - p.radius) / 0.6));
    return value;
}

// With the counting noise of some ten thousand counts a pixel.
std::vector<double> sceneImage(double dx, double dy, int variant = 0, int width = side)
{
    static std::mt19937 noiseRng(3);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<double> image(size_t(width) * side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < width; ++x) {
            const double counts = 100.0 * scene(x - dx, y - dy, variant);
            image[size_t(y) * width + x] = counts + std::sqrt(counts) * noise(noiseRng);
        }
    }
    return image;
}

void fillTiff(TiffData &data, const std::vector<double> &image)
{
    data.width = data.height = side;
    data.sampleKind = TiffData::FloatRows;
    data.samplesFloat.clear();
    for (double v : image)
        data.samplesFloat.append(float(v));
}

} // namespace

void TestStackRegistration::pair_data()
{
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("dy");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("refusal");

    QTest::newRow("whole pixels") << 3.0 << 5.0 << ""
                                  << "";
    QTest::newRow("whole pixels, negative") << -7.0 << -2.0 << ""
                                            << "";
    QTest::newRow("sub-pixel") << 1.37 << -2.61 << ""
                               << "";
    QTest::newRow("sub-pixel, negative") << -0.42 << -4.08 << ""
                                         << "";
    QTest::newRow("over a quarter of the image") << 37.25 << -33.5 << ""
                                                 << "";
    QTest::newRow("contrast inverted, gradient") << 2.4 << -1.7 << "invert"
                                                 << "";
    QTest::newRow("NaN samples") << -3.3 << 4.1 << "nan"
                                 << "";
    QTest::newRow("constant") << 0.0 << 0.0 << "constant"
                              << "constant";
    QTest::newRow("NaN only") << 0.0 << 0.0 << "nan only"
                              << "no finite sample";
    QTest::newRow("different sizes") << 0.0 << 0.0 << "size"
                                     << "differ in size";
}

void TestStackRegistration::pair()
{
    QFETCH(double, dx);
    QFETCH(double, dy);
    QFETCH(QString, change);
    QFETCH(QString, refusal);

    const std::vector<double> reference = sceneImage(0.0, 0.0);
    std::vector<double> moving = sceneImage(dx, dy, 0, change == "size" ? side - 8 : side);
    PhaseCorrelator::Options options;
    for (double &v : moving) {
        if (change == "invert") {
            options.gradient = true;
            v = 100000.0 - 3.0 * v;
        } else if (change == "constant") {
            v = 512.0;
        } else if (change == "nan only") {
            v = std::numeric_limits<double>::quiet_NaN();
        }
    }
    if (change == "nan") {
        for (int x = 0; x < side; ++x)
            moving[size_t(40) * side + x] = std::numeric_limits<double>::quiet_NaN();
        moving[size_t(90) * side + 17] = std::numeric_limits<double>::quiet_NaN();
    }
    const QSize movingSize(change == "size" ? side - 8 : side, side);
    const PhaseCorrelator::Result result = PhaseCorrelator::registerImages(
        reference, QSize(side, side), moving, movingSize, options);
    if (!refusal.isEmpty()) {
        QVERIFY2(!result.ok, qPrintable(QString("shift %1 %2").arg(result.dx).arg(result.dy)));
        QVERIFY2(result.error.contains(refusal), qPrintable(result.error));
        return;
    }
    QVERIFY2(result.ok, qPrintable(result.error));
    const double error = std::hypot(result.dx + dx, result.dy + dy);
    QVERIFY2(error <= 0.05,
             qPrintable(QString("moved by (%1, %2), found (%3, %4), error %5 px")
                            .arg(dx)
                            .arg(dy)
                            .arg(result.dx)
                            .arg(result.dy)
                            .arg(error)));
    QVERIFY(result.quality > 5.0);
}

void TestStackRegistration::stack_data()
{
    QTest::addColumn<bool>("chain");
    QTest::newRow("against the reference") << false;
    QTest::newRow("chained, contrast changing") << true;
}

void TestStackRegistration::stack()
{
    QFETCH(bool, chain);
    // A slow drift; chained, the contrast turns from one scene to another along the stack.
    constexpr int count = 12;
    std::vector<std::unique_ptr<TiffData>> owned;
    QVector<TiffData *> images;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / (count - 1);
        std::vector<double> image = sceneImage(0.35 * i, -0.22 * i, 0);
        if (chain) {
            const std::vector<double> other = sceneImage(0.35 * i, -0.22 * i, 1);
            for (size_t k = 0; k < image.size(); ++k)
                image[k] = (1.0 - t) * image[k] + t * other[k];
        }
        owned.push_back(std::make_unique<TiffData>());
        fillTiff(*owned.back(), image);
        owned.back()->energy = 7000.0 + i;
        images.append(owned.back().get());
    }
    StackRegistration registration;
    registration.setMaxThreads(2);
    QSignalSpy finished(&registration, &StackRegistration::finished);
    StackRegistration::Settings settings;
    settings.chain = chain;
    QString error;
    QVERIFY2(registration.start(images, settings, &error), qPrintable(error));
    QVERIFY(finished.wait(60000));
    QCOMPARE(finished.first().first().toBool(), true);
    const ShiftTable &table = registration.table();
    QCOMPARE(table.rows.size(), count);
    for (const ShiftTable::Row &row : table.rows) {
        // The last image has the highest energy and is the reference.
        const double expectedX = 0.35 * (count - 1 - row.image);
        const double expectedY = -0.22 * (count - 1 - row.image);
        QVERIFY2(row.ok && std::hypot(row.dx - expectedX, row.dy - expectedY) <= 0.1,
                 qPrintable(QString("image %1: expected (%2, %3), found (%4, %5) %6")
                                .arg(row.image)
                                .arg(expectedX)
                                .arg(expectedY)
                                .arg(row.dx)
                                .arg(row.dy)
                                .arg(row.error)));
    }
    ShiftTable reread;
    QVERIFY2(ShiftTable::fromText(table.toText(), &reread, &error), qPrintable(error));
    QCOMPARE(reread.rows.size(), count);
    QVERIFY(std::abs(reread.rows.first().dx - table.rows.first().dx) < 1e-4);
}

void TestStackRegistration::subpixel_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<bool>("sixteenBit");
    QTest::newRow("bilinear, float") << int(SubpixelShift::Bilinear) << false;
    QTest::newRow("Fourier, float") << int(SubpixelShift::Fourier) << false;
    QTest::newRow("Fourier, 16-bit rounded") << int(SubpixelShift::Fourier) << true;
}

void TestStackRegistration::subpixel()
{
    QFETCH(int, method);
    QFETCH(bool, sixteenBit);
    // Content moved by (0.3, -0.4): resampled by the registering shift, it meets the reference.
    TiffData image;
    fillTiff(image, sceneImage(0.3, -0.4));
    if (sixteenBit) {
        image.sampleKind = TiffData::TiffRows;
        for (float v : image.samplesFloat)
            image.samples16.append(quint16(std::lround(v)));
        image.samplesFloat.clear();
    }
    SubpixelShift::apply(image, -0.3, 0.4, SubpixelShift::Method(method));
    const QRect whole(0, 0, side, side);
    PhaseCorrelator::Options options;
    const PhaseCorrelator::Result result
        = PhaseCorrelator::registerImages(sceneImage(0.0, 0.0),
                                          QSize(side, side),
                                          StackRegistration::areaSamples(image, whole),
                                          QSize(side, side),
                                          options);
    QVERIFY2(result.ok && std::hypot(result.dx, result.dy) <= 0.05,
             qPrintable(QString("left (%1, %2)").arg(result.dx).arg(result.dy)));
    QVERIFY(image.maxValue > image.minValue);
}

QTEST_GUILESS_MAIN(TestStackRegistration)
#include "tst_stackregistration.moc"
