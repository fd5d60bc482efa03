#include "app/body.h"
#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "display/colorbar.h"
#include "display/colorscale.h"
#include "display/crosssview.h"
#include "display/imagebrowser.h"
#include "display/imgdispa.h"
#include "display/xafsview.h"
#include "input/selectdatafiles.h"
#include "input/tiffdata.h"
#include "resources/resourceinit.h"
#include "spectra/numbertext.h"
#include "spectra/stackspectra.h"
#include "tests/sampledataset.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <tiffio.h>

#include <cmath>

// The spectrum and the profiles under the cursor in the main window, the bin box, the
// commands that move the cursor and save the spectra, and a batch run of the program on the
// generated sample data set.
class TestSpectrumAtCursor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void movePositionEqualsMouseMove_data();
    void movePositionEqualsMouseMove();
    void movePositionReachesPixelsTheMouseCannot();
    void labelsAndBand();
    void profilesOfTheI0Stack();
    void binBoxAndCrossHair();
    void binBoxReachingFarOut_data();
    void binBoxReachingFarOut();
    void sliderSetsTheEnergyMarker();
    void spectrumFollowsTheLoading();
    void colourBarRegeneratesImages_data();
    void colourBarRegeneratesImages();
    void viewCommands();
    void batchRunSavesTheSpectrumOfThePixel();

private:
    // Runs one batch line; returns how many times it finished at once.
    int exec(const QString &line);
    void loadSample();
    // What the main window shows for the cursor, for comparison.
    struct Shown
    {
        QVector<QPointF> spectrum;
        QVector<QPointF> horizontal;
        QVector<QPointF> vertical;
        int horizontalMarker;
        int verticalMarker;
        QStringList labels;
    };
    Shown shown() const;
    void zoomOut(int notches);
    template<typename T>
    T *child(const char *name) const
    {
        return mBody->findChild<T *>(QLatin1String(name));
    }

    QTemporaryDir mDir;
    QString mSample;
    Body *mBody = nullptr;
    QSignalSpy *mFinished = nullptr;
};

namespace {

constexpr int sampleSize = 48;

// Samples of a 16-bit greyscale TIFF, row by row.
QVector<quint16> readTiff(const QString &path, int *width, int *height)
{
    QVector<quint16> samples;
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tif)
        return samples;
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    samples.resize(int(w * h));
    for (uint32_t row = 0; row < h; ++row) {
        if (TIFFReadScanline(tif, samples.data() + row * w, row) < 0) {
            samples.clear();
            break;
        }
    }
    TIFFClose(tif);
    *width = int(w);
    *height = int(h);
    return samples;
}

// Energy from a sample file name such as I1_7112_50eV.tif.
double energyOfName(const QString &name)
{
    const QRegularExpressionMatch m = QRegularExpression("(\\d\\d\\d\\d)_(\\d\\d)eV").match(name);
    return m.captured(1).toDouble() + m.captured(2).toDouble() / 100;
}

} // namespace

void TestSpectrumAtCursor::initTestCase()
{
    initMarvolentiResources();
    buildBatchTables();
    QVERIFY(mDir.isValid());
    mSample = mDir.filePath("sample");
    QVERIFY(
        writeSampleDataSet(mSample, {"--size", QString::number(sampleSize), "--energies", "24"}));
}

void TestSpectrumAtCursor::init()
{
    mBody = new Body;
    mFinished = new QSignalSpy(mBody, &Body::finishBatchExec);
    mBody->resize(1000, 800);
    mBody->show();
    QVERIFY(QTest::qWaitForWindowExposed(mBody));
    loadSample();
}

void TestSpectrumAtCursor::cleanup()
{
    delete mFinished;
    delete mBody;
    mBody = nullptr;
}

int TestSpectrumAtCursor::exec(const QString &line)
{
    const int before = mFinished->count();
    mBody->execCmdSlot(CmdLine(line), false);
    return mFinished->count() - before;
}

void TestSpectrumAtCursor::loadSample()
{
    for (const QString &line : sampleDataSetLoadLines(mSample)) {
        const int before = mFinished->count();
        exec(line);
        QTRY_VERIFY(mFinished->count() > before);
    }
    QVERIFY(mBody->stacks()->i1Images().size() >= 20);
    QCOMPARE(mBody->stacks()->i0Images().size(), mBody->stacks()->i1Images().size());
    QCOMPARE(mBody->stacks()->width(), sampleSize);
    // A fixed image on display, whichever the loads left there.
    QCOMPARE(exec("seek_image 5"), 1);
    QVERIFY(child<ImgDispA>("dispA")->imageData());
}

TestSpectrumAtCursor::Shown TestSpectrumAtCursor::shown() const
{
    Shown s;
    s.spectrum = mBody->xafsView()->spectrum().points;
    const CrossSView *h = child<CrossSView>("HCross");
    const CrossSView *v = child<CrossSView>("VCross");
    s.horizontal = h->profile().points;
    s.vertical = v->profile().points;
    s.horizontalMarker = h->marker();
    s.verticalMarker = v->marker();
    for (const char *name : {"Position", "EShiftOnTbl", "EShiftFromStd"})
        s.labels << child<QLabel>(name)->text();
    s.labels << child<QLineEdit>("Value")->text();
    return s;
}

void TestSpectrumAtCursor::zoomOut(int notches)
{
    ImgDispA *disp = child<ImgDispA>("dispA");
    const QPoint centre(disp->width() / 2, disp->height() / 2);
    for (int i = 0; i < notches; ++i) {
        QWheelEvent wheel(centre,
                          disp->mapToGlobal(centre),
                          QPoint(),
                          QPoint(0, -120),
                          Qt::NoButton,
                          Qt::NoModifier,
                          Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(disp, &wheel);
    }
}

void TestSpectrumAtCursor::movePositionEqualsMouseMove_data()
{
    QTest::addColumn<int>("notches");
    QTest::newRow("image pixels larger than screen pixels") << 0;
    QTest::newRow("zoomed out: screen pixels cover several image pixels") << 40;
}

void TestSpectrumAtCursor::movePositionEqualsMouseMove()
{
    QFETCH(int, notches);
    zoomOut(notches);
    exec("set_band_w 2");
    exec("set_band_h 1");
    ImgDispA *disp = child<ImgDispA>("dispA");
    const QRectF window = disp->viewWindow();
    // A screen pixel over the image's inner part, and the image pixel it lies on.
    const QPoint screen(int(disp->width() * (0.3 * sampleSize - window.x()) / window.width()),
                        int(disp->height() * (0.6 * sampleSize - window.y()) / window.height()));
    const int x = int(disp->imageX(screen.x()));
    const int y = int(disp->imageY(screen.y()));
    QVERIFY2(x > 2 && x < sampleSize - 2 && y > 2 && y < sampleSize - 2,
             qPrintable(QStringLiteral("pixel (%1, %2)").arg(x).arg(y)));

    QMouseEvent move(QEvent::MouseMove,
                     screen,
                     disp->mapToGlobal(screen),
                     Qt::NoButton,
                     Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(disp, &move);
    const Shown byMouse = shown();
    QCOMPARE(mBody->cursorX(), x);
    QCOMPARE(mBody->cursorY(), y);
    QCOMPARE(byMouse.spectrum.size(), mBody->stacks()->i1Images().size());
    QCOMPARE(byMouse.horizontal.size(), sampleSize);

    // Elsewhere first, so that nothing is left over from the mouse move.
    QCOMPARE(exec("move_position 1 1"), 1);
    QVERIFY(shown().spectrum != byMouse.spectrum);
    QCOMPARE(exec(QStringLiteral("move_position %1 %2").arg(x).arg(y)), 1);
    const Shown byCommand = shown();
    QCOMPARE(byCommand.spectrum, byMouse.spectrum);
    QCOMPARE(byCommand.horizontal, byMouse.horizontal);
    QCOMPARE(byCommand.vertical, byMouse.vertical);
    QCOMPARE(byCommand.horizontalMarker, x);
    QCOMPARE(byCommand.verticalMarker, y);
    QCOMPARE(byCommand.labels, byMouse.labels);
}

void TestSpectrumAtCursor::movePositionReachesPixelsTheMouseCannot()
{
    // Zoomed out so far that one screen pixel covers about three image pixels, move_position
    // still shows the spectrum of the pixel it names, not of a neighbour.
    zoomOut(40);
    ImgDispA *disp = child<ImgDispA>("dispA");
    QVERIFY(disp->viewWindow().width() / disp->width() > 2);
    exec("set_band_w 0");
    exec("set_band_h 0");
    const StackSpectra spectra(
        mBody->stacks()->i1Images(), mBody->stacks()->i0Images(), sampleSize, sampleSize, false);
    for (int x = 20; x < 24; ++x) {
        exec(QStringLiteral("move_position %1 17").arg(x));
        QCOMPARE(mBody->cursorX(), x);
        QCOMPARE(mBody->xafsView()->spectrum().points, spectra.spectrumAt(x, 17, 0, 0).points);
        QCOMPARE(child<CrossSView>("HCross")->marker(), x);
    }
}

void TestSpectrumAtCursor::labelsAndBand()
{
    exec("set_band_w 3");
    exec("set_band_h -2");
    QCOMPARE(child<QLineEdit>("HWidth")->text(), QStringLiteral("3"));
    QCOMPARE(child<QLineEdit>("VWidth")->text(), QStringLiteral("-2"));
    exec("move_position 21 7");
    QCOMPARE(child<QLabel>("Position")->text(), QStringLiteral("(  21,    7)"));
    QCOMPARE(child<QLabel>("EShiftOnTbl")->text(), QStringLiteral(" 0.00"));
    // Regression: without a standard the label showed an absolute energy (7112.08).
    QCOMPARE(child<QLabel>("EShiftFromStd")->text(), QStringLiteral(" 0.00"));

    // The bin of a negative half height is as tall as that of its absolute value.
    const StackSpectra spectra(
        mBody->stacks()->i1Images(), mBody->stacks()->i0Images(), sampleSize, sampleSize, false);
    QCOMPARE(mBody->xafsView()->spectrum().points, spectra.spectrumAt(21, 7, 3, 2).points);

    // The value under the cursor is the shown image's sample, digits grouped.
    const int index = child<SelectDataFiles>("SelectI1Files")->currentIndex();
    const TiffData *image = mBody->stacks()->i1Images().at(index);
    QCOMPARE(child<QLineEdit>("Value")->text(), groupedNumberText(image->shiftedValue(21, 7)));

    // Outside the image: no spectrum, empty profiles across, value 0.
    exec(QStringLiteral("move_position %1 7").arg(sampleSize));
    QVERIFY(mBody->xafsView()->spectrum().isEmpty());
    QVERIFY(child<CrossSView>("VCross")->profile().isEmpty());
    QCOMPARE(child<QLineEdit>("Value")->text(), QStringLiteral("0"));
}

void TestSpectrumAtCursor::profilesOfTheI0Stack()
{
    // With I0 shown the profiles are plain bin sums of the current I0 image, not absorption.
    exec("set_band_w 1");
    exec("set_band_h 2");
    QCOMPARE(exec("select_disp_image 1"), 1);
    QVERIFY(child<QRadioButton>("ShowI0")->isChecked());
    exec("move_position 10 30");
    const int index = child<SelectDataFiles>("SelectI0Files")->currentIndex();
    QVERIFY(index >= 0);
    const TiffData *image = mBody->stacks()->i0Images().at(index);
    const QVector<QPointF> horizontal = child<CrossSView>("HCross")->profile().points;
    const QVector<QPointF> vertical = child<CrossSView>("VCross")->profile().points;
    QCOMPARE(horizontal.size(), sampleSize);
    QCOMPARE(vertical.size(), sampleSize);
    for (int i = 0; i < sampleSize; ++i) {
        QCOMPARE(horizontal.at(i).y(), image->binSum(i, 30, 1, 2));
        QCOMPARE(vertical.at(i).y(), image->binSum(10, i, 1, 1));
    }
    // An id that names no button changes nothing.
    QCOMPARE(exec("select_disp_image 7"), 1);
    QVERIFY(child<QRadioButton>("ShowI0")->isChecked());
}

void TestSpectrumAtCursor::binBoxAndCrossHair()
{
    exec("set_band_w 4");
    exec("set_band_h 3");
    exec("move_position 20 25");
    ImgDispA *disp = child<ImgDispA>("dispA");
    const QImage picture = disp->grab().toImage();
    const ChCoord &c = disp->coord();
    const QColor red(255, 0, 0);
    const QColor crossHair(192, 192, 0);
    // The box covers columns 16 .. 24 and rows 22 .. 28: its left and right edges, half-way
    // down it, are red.
    const int middle = int(c.realToScreenY(25.5));
    const int left = int(c.realToScreenX(16));
    const int right = left + int(c.realToScreenDX(9)) - 1;
    const auto redNear = [&](int x, int y) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (QColor(picture.pixel(x + dx, y)) == red)
                return true;
        }
        return false;
    };
    QVERIFY(redNear(left, middle));
    QVERIFY(redNear(right, middle));
    QVERIFY(!redNear(int(c.realToScreenX(20)), int(c.realToScreenY(5))));
    // The cross-hair runs through the cursor pixel, far outside the box too.
    QCOMPARE(QColor(picture.pixel(int(c.realToScreenX(20)), int(c.realToScreenY(5)))), crossHair);
    QCOMPARE(QColor(picture.pixel(int(c.realToScreenX(40)), int(c.realToScreenY(25)))), crossHair);

    // A selected area is framed too.
    QCOMPARE(exec("select_region 30 5 44 15"), 1);
    const QImage selected = disp->grab().toImage();
    const auto areaNear = [&](const QImage &image, int x, int y) {
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                if (QColor(image.pixel(x + dx, y + dy)) == QColor(192, 192, 255))
                    return true;
            }
        }
        return false;
    };
    QVERIFY(areaNear(selected, int(c.realToScreenX(37)), int(c.realToScreenY(5))));
    QVERIFY(areaNear(selected, int(c.realToScreenX(44)), int(c.realToScreenY(10))));
    QVERIFY(!areaNear(picture, int(c.realToScreenX(44)), int(c.realToScreenY(10))));
}

void TestSpectrumAtCursor::binBoxReachingFarOut_data()
{
    QTest::addColumn<QString>("band");
    QTest::newRow("millions") << "3000000";
    QTest::newRow("largest int") << "2147483647";
    QTest::newRow("smallest int") << "-2147483648";
}

void TestSpectrumAtCursor::binBoxReachingFarOut()
{
    // Regression: an edge far off screen was limited on its own, and the size from it, so the
    // far edge came out on screen (or twice the largest int bin size overflowed). A box that
    // reaches past the view on every side shows no edge.
    QFETCH(QString, band);
    exec("set_band_w " + band);
    exec("set_band_h " + band);
    exec("move_position 20 25");
    const QImage picture = child<ImgDispA>("dispA")->grab().toImage();
    int redPixels = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            redPixels += QColor(picture.pixel(x, y)) == QColor(255, 0, 0) ? 1 : 0;
    }
    QCOMPARE(redPixels, 0);
}

void TestSpectrumAtCursor::sliderSetsTheEnergyMarker()
{
    QSignalSpy updated(mBody->xafsView(), &XafsView::updated);
    mBody->imageBrowser()->showData(3);
    QCOMPARE(mBody->xafsView()->shownImageEnergy(), mBody->stacks()->i1Images().at(3)->energy);
    QVERIFY(updated.count() >= 1);
    // The spectrum under the cursor takes the energy of the shown image too.
    exec("move_position 5 5");
    QCOMPARE(mBody->xafsView()->shownImageEnergy(), mBody->stacks()->i1Images().at(3)->energy);
}

void TestSpectrumAtCursor::spectrumFollowsTheLoading()
{
    // The spectrum at the cursor follows the loading: already the first image, which sets the
    // image size, gives a spectrum without a mouse move.
    Body fresh;
    QSignalSpy finished(&fresh, &Body::finishBatchExec);
    const QString first
        = QDir(mSample + "/I1").entryList({"*.tif"}, QDir::Files, QDir::Name).first();
    fresh.execCmdSlot(CmdLine("load_I1_files new " + mSample + "/I1/" + first), false);
    QTRY_VERIFY(finished.count() > 0);
    QCOMPARE(fresh.stacks()->width(), sampleSize);
    QCOMPARE(fresh.stacks()->i1Images().size(), 1);
    const StackSpectra spectra(fresh.stacks()->i1Images(), {}, sampleSize, sampleSize, false);
    QCOMPARE(fresh.xafsView()->spectrum().points, spectra.spectrumAt(0, 0, 10, 10).points);
    QCOMPARE(fresh.xafsView()->spectrum().size(), 1);
}

void TestSpectrumAtCursor::colourBarRegeneratesImages_data()
{
    QTest::addColumn<bool>("all");
    QTest::newRow("dragging: the current image") << false;
    QTest::newRow("Set All: every image") << true;
}

void TestSpectrumAtCursor::colourBarRegeneratesImages()
{
    QFETCH(bool, all);
    const int current = child<SelectDataFiles>("SelectI1Files")->currentIndex();
    QVERIFY(current > 0);
    for (TiffData *image : mBody->stacks()->i1Images())
        image->makeDisplayImage();
    const QImage before0 = mBody->stacks()->i1Images().first()->displayImage.copy();
    const QImage beforeCurrent = mBody->stacks()->i1Images().at(current)->displayImage.copy();

    ColorScale::current()->setLimits(0.2, 0.6);
    if (all)
        child<QPushButton>("CBarAll")->click();
    else
        emit child<ColorBar>("CBar")->cBarUpdating();
    QVERIFY(mBody->stacks()->i1Images().at(current)->displayImage != beforeCurrent);
    QCOMPARE(mBody->stacks()->i1Images().first()->displayImage != before0, all);
}

void TestSpectrumAtCursor::viewCommands()
{
    XafsView *view = mBody->xafsView();
    QCOMPARE(view->windowTitle(), QStringLiteral("Spectrum at the position"));
    QVERIFY(view->isVisible());
    QCOMPARE(exec("xafs_view_normalize 1"), 1);
    QVERIFY(view->normalize());
    exec("xafs_view_normalize 2");
    QVERIFY(!view->normalize());
    exec("xafs_view_enerugy_correction 1");
    QVERIFY(view->energyCorrection());
    exec("xafs_view_enerugy_correction");
    QVERIFY(!view->energyCorrection());

    QCOMPARE(exec("seek_image 2"), 1);
    QCOMPARE(child<ImgDispA>("dispA")->imageData(), mBody->stacks()->i1Images().at(2));
}

void TestSpectrumAtCursor::batchRunSavesTheSpectrumOfThePixel()
{
    // The program itself loads the sample, moves to a pixel and saves the spectra; the raw
    // column must be ln(I0 / I1) of the bin, summed here from the image files.
    const int x = 30, y = 18, hw = 2, hh = 1;
    const QString out = mDir.filePath("batch-out");
    QVERIFY(QDir().mkpath(out));
    const QString script = mDir.filePath("spectra.bat");
    QCOMPARE(runBatchScript(script,
                            sampleDataSetLoadLines(mSample)
                                << QString("set_band_w %1").arg(hw)
                                << QString("set_band_h %1").arg(hh)
                                << QString("move_position %1 %2").arg(x).arg(y)
                                << "save_spectra \"" + out + "/pixel.dat\""
                                << "quit"),
             0);
    QVERIFY(QFile::exists(out + "/pixel-std.dat"));

    QFile saved(out + "/pixel-T.dat");
    QVERIFY(saved.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList lines = QString::fromUtf8(saved.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.value(0), QStringLiteral("###Marvolenti::XafsSpectrum"));
    lines = lines.mid(2);

    const QStringList names = QDir(mSample + "/I1").entryList({"*.tif"}, QDir::Files, QDir::Name);
    QCOMPARE(lines.size(), names.size());
    for (int k = 0; k < names.size(); ++k) {
        const QString i1Name = mSample + "/I1/" + names.at(k);
        const QString i0Name = mSample + "/I0/" + QString(names.at(k)).replace("I1", "I0");
        int w1 = 0, h1 = 0, w0 = 0, h0 = 0;
        const QVector<quint16> i1 = readTiff(i1Name, &w1, &h1);
        const QVector<quint16> i0 = readTiff(i0Name, &w0, &h0);
        QVERIFY2(!i1.isEmpty() && !i0.isEmpty(), qPrintable(i1Name + " / " + i0Name));
        double s1 = 0.0, s0 = 0.0;
        for (int j = y - hh; j <= y + hh; ++j) {
            for (int i = x - hw; i <= x + hw; ++i) {
                s1 += i1.at(j * w1 + i);
                s0 += i0.at(j * w0 + i);
            }
        }
        const double expected = std::log(s0 / s1);
        const QStringList fields = lines.at(k).split('\t');
        QCOMPARE(fields.size(), 5);
        const double energy = fields.at(0).toDouble();
        const double mu = fields.at(2).toDouble();
        QVERIFY2(std::abs(energy - energyOfName(names.at(k))) < 1e-6,
                 qPrintable(QStringLiteral("%1: energy %2").arg(names.at(k)).arg(energy)));
        // The file holds six significant digits.
        QVERIFY2(std::abs(mu - expected) <= 1e-5 * std::abs(expected) + 1e-9,
                 qPrintable(QStringLiteral("%1: mu %2, ln(I0/I1) = ln(%3 / %4) = %5")
                                .arg(names.at(k))
                                .arg(mu)
                                .arg(s0)
                                .arg(s1)
                                .arg(expected)));
    }
}

QTEST_MAIN(TestSpectrumAtCursor)
#include "tst_spectrumatcursor.moc"
