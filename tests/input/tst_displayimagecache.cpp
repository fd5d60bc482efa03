#include "display/colorscale.h"
#include "display/colortables.h"
#include "input/displayimagecache.h"
#include "input/tiffdata.h"

#include <QtTest>

#include <memory>

// Which images keep their display images (the colours they take are checked with the main
// window's stack).
class TestDisplayImageCache : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void imagesHoldingDisplayImages_data();
    void imagesHoldingDisplayImages();

private:
    ColorScale mScale;
    std::vector<std::unique_ptr<TiffData>> mImages;
    QVector<TiffData *> mStack;
};

void TestDisplayImageCache::initTestCase()
{
    ColorTables::build();
    ColorScale::setCurrent(&mScale);
    for (int n = 0; n < 4; ++n) {
        auto image = std::make_unique<TiffData>();
        image->width = 16;
        image->height = 8;
        image->sampleKind = TiffData::ImgRows;
        image->samples16.resize(16 * 8);
        for (int i = 0; i < 16 * 8; ++i)
            image->samples16[i] = quint16(i * (n + 1));
        image->minValue = 0;
        image->maxValue = 16 * 8 * (n + 1);
        mStack << image.get();
        mImages.push_back(std::move(image));
    }
}

void TestDisplayImageCache::cleanupTestCase()
{
    ColorScale::setCurrent(nullptr);
}

void TestDisplayImageCache::imagesHoldingDisplayImages_data()
{
    // Steps on a cache for two over four images: uN shows image N, RN is "Set All" while image
    // N is shown, fN forgets image N, mN makes image N's display image outside the cache.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("holding");
    QTest::newRow("the last two shown") << "u0 u1 u2"
                                        << "12";
    QTest::newRow("shown again counts as new") << "u0 u1 u0 u2"
                                               << "02";
    QTest::newRow("the same image twice") << "u0 u0 u1"
                                          << "01";
    QTest::newRow("Set All keeps the shown one") << "u0 u1 R1"
                                                 << "1";
    QTest::newRow("Set All releases those made outside") << "m3 u0 R0"
                                                         << "0";
    QTest::newRow("a forgotten image is left alone") << "u0 f0 u1 u2"
                                                     << "012";
}

void TestDisplayImageCache::imagesHoldingDisplayImages()
{
    QFETCH(QString, steps);
    QFETCH(QString, holding);
    for (TiffData *image : mStack)
        image->releaseDisplayImage();
    DisplayImageCache cache(2);
    for (const QString &step : steps.split(' ')) {
        TiffData *image = mStack.at(step.mid(1).toInt());
        switch (step.at(0).toLatin1()) {
        case 'u':
            cache.use(image);
            break;
        case 'R':
            cache.recolourAll(mStack, image);
            break;
        case 'f':
            cache.forget(image);
            break;
        default:
            image->makeDisplayImage();
        }
    }
    QString held;
    for (int n = 0; n < mStack.size(); ++n) {
        if (mStack.at(n)->hasDisplayImage())
            held += QString::number(n);
    }
    QCOMPARE(held, holding);
}

QTEST_MAIN(TestDisplayImageCache)
#include "tst_displayimagecache.moc"
