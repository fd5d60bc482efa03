#include "analysis/blockengine.h"
#include "input/tiffdata.h"
#include "output/spectraexport.h"
#include "spectra/xafsspectrum.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

// The spectra of every block of an area in one file, against the spectra of those blocks
// taken one at a time.
class TstSpectraExport : public QObject
{
    Q_OBJECT

private slots:
    void areaFile_data();
    void areaFile();
};

void TstSpectraExport::areaFile_data()
{
    QTest::addColumn<bool>("withShifts");
    QTest::addColumn<int>("threads");
    QTest::newRow("no shift map, one thread") << false << 1;
    QTest::newRow("shift map, two threads") << true << 2;
}

void TstSpectraExport::areaFile()
{
    QFETCH(bool, withShifts);
    QFETCH(int, threads);
    constexpr int W = 100, H = 50;
    std::vector<std::unique_ptr<TiffData>> owned;
    QVector<TiffData *> i1, i0;
    const auto add = [&](QVector<TiffData *> &stack, double energy, auto sample) {
        owned.push_back(std::make_unique<TiffData>());
        TiffData *image = owned.back().get();
        image->width = W;
        image->height = H;
        image->energy = energy;
        image->sampleKind = TiffData::ImgRows;
        for (int p = 0; p < W * H; ++p)
            image->samples16.append(quint16(sample(p % W, p / W)));
        stack.append(image);
    };
    for (int k = 0; k < 30; ++k)
        add(i1, 7000.0 + 8 * k, [k](int x, int y) {
            return k < 12 + x / 20 ? 9000 - y : 2000 + x;
        });
    add(i0, 6990.0, [](int x, int) { return 10000 + x; });
    add(i0, 7300.0, [](int, int y) { return 10100 + y; });

    BlockRequest request;
    request.walk = AreaWalk(W, H, 10, 10, 0, 0, W, H);
    request.spectra = StackSpectra(i1, i0, W, H, false);
    if (withShifts) {
        request.shiftMapWidth = W;
        request.shiftMapHeight = H;
        for (int p = 0; p < W * H; ++p)
            request.energyShifts.append(p % W * 0.25 - 3);
    }
    BlockEngine engine;
    engine.setMaxThreads(threads);
    SpectraExport exporter(&engine);
    QSignalSpy finished(&exporter, &SpectraExport::finished);
    QTemporaryDir dir;
    QVERIFY(exporter.start(request, 1, dir.filePath("spectra")));
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 600000);
    QCOMPARE(finished.at(0).at(0).toBool(), true);

    QFile file(dir.filePath("spectra.dat"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromLatin1(file.readAll()).split('\n');
    QCOMPARE(lines.size(), 7 + 10 + 1);
    QCOMPARE(lines.mid(0, 7),
             QStringList({"# Marvolenti Save Xafs Spectra 1.0",
                          "# X-Range (x0, x1), steps : 0 100 5",
                          "# Y-Range (y0, y1), steps : 0 50 2",
                          "# Full Width, Height      : 100 50",
                          "# Bin Half Width, Height  : 10 10",
                          "# Step dX, dY             : 21 21",
                          "# End of Header"}));
    for (int block = 0; block < 10; ++block) {
        const int cx = 10 + block % 5 * 21;
        const int cy = 10 + block / 5 * 21;
        const double s = request.energyShiftAt(cx, cy);
        const XafsSpectrum spectrum = request.spectra.xafsSpectrumAt(cx, cy, 10, 10, 1, s);
        QString expected;
        QTextStream out(&expected);
        out << cx << ' ' << cy << ' ' << QString::number(s, 'g', 6);
        for (int i = 0; i < spectrum.points.size(); ++i)
            out << ' ' << spectrum.xAt(i) << ' ' << spectrum.doubleNormPostBase.points.at(i).y();
        out.flush();
        QCOMPARE(lines.at(7 + block), expected);
    }
}

QTEST_GUILESS_MAIN(TstSpectraExport)
#include "tst_spectraexport.moc"
