#include "analyzed2dres.h"

#include "display/colorscale.h"
#include "display/colortables.h"

#include <QDebug>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// A 16-bit level of a scale fraction: clamped to 0 .. 1, not a number giving 0.
quint16 levelOf(double fraction)
{
    if (std::isnan(fraction))
        return 0;
    return quint16(qBound(0.0, fraction, 1.0) * 65535);
}

} // namespace

Analyzed2DRes::Analyzed2DRes(const QString &name, QObject *parent)
    : QObject(parent)
    , mName(name)
{}

void Analyzed2DRes::reset(const AreaWalk &walk)
{
    mWalk = walk;
    mWalk.width = qMax(0, walk.width);
    mWalk.height = qMax(0, walk.height);
    mProcMin = 0.0;
    mProcMax = 1.0;
    mMin = 1e300;
    mMax = -1e300;
    mImage = QImage();
    mImageBuffer = QByteArray();
    const qint64 cells = qint64(mWalk.width) * mWalk.height;
    const bool sized = cells > 0 && cells < std::numeric_limits<int>::max();
    // Fresh zeroed memory: the cells are cleared page by page as the run first writes them,
    // not all before it starts. The processed values wait for a deglitch.
    mData.release();
    mProc.release();
    if (sized)
        mData.allocate(cells);
    mImageValid = false;
}

void Analyzed2DRes::reset(int width, int height)
{
    reset(AreaWalk(width, height, 0, 0, 0, 0, width, height));
}

void Analyzed2DRes::clear()
{
    reset(AreaWalk());
}

double Analyzed2DRes::cell(const MapCells &values, qint64 x, qint64 y) const
{
    if (values.isEmpty() || !inside(x, y))
        return 0.0;
    return values.at(y * mWalk.width + x);
}

MapCells &Analyzed2DRes::procCells()
{
    if (mProc.isEmpty() && !mData.isEmpty())
        mProc.allocate(mData.size());
    return mProc;
}

double Analyzed2DRes::scaleMin() const
{
    if (mFixedScale)
        return mFixedMin;
    return mShowProc ? mProcMin : mMin;
}

double Analyzed2DRes::scaleMax() const
{
    if (mFixedScale)
        return mFixedMax;
    return mShowProc ? mProcMax : mMax;
}

void Analyzed2DRes::updateColorBar() const
{
    if (ColorScale *scale = ColorScale::current())
        scale->setValueRange(scaleMin(), scaleMax());
}

double Analyzed2DRes::scaleFraction(double v, double lo, double hi)
{
    if (!std::isfinite(lo) || !std::isfinite(hi) || lo == hi || std::isnan(v))
        return std::numeric_limits<double>::quiet_NaN();
    return (v - lo) / (hi - lo);
}

void Analyzed2DRes::fillBlock(MapCells &values, qint64 x, qint64 y, qint64 xw, qint64 yw, double t)
{
    if (values.isEmpty())
        return;
    const qint64 c0 = qMax<qint64>(0, x - xw);
    const qint64 c1 = qMin<qint64>(mWalk.width - 1, x + xw);
    const qint64 r0 = qMax<qint64>(0, y - yw);
    const qint64 r1 = qMin<qint64>(mWalk.height - 1, y + yw);
    for (qint64 r = r0; r <= r1; ++r) {
        double *row = values.data() + r * mWalk.width;
        for (qint64 c = c0; c <= c1; ++c)
            row[c] = t;
    }
}

void Analyzed2DRes::setData(int ix, int iy, int xw, int yw, double t)
{
    widen(mMin, mMax, t);
    fillBlock(mData, ix, iy, xw, yw, t);
}

void Analyzed2DRes::record(const AreaWalk &walk, double t)
{
    // Single cells without the block loop: an area walked at bin 0 records millions of them.
    if (walk.xw == 0 && walk.yw == 0) {
        recordCell(walk.cx, walk.cy, t);
        return;
    }
    widen(mMin, mMax, t);
    fillBlock(mData, walk.cx, walk.cy, walk.xw, walk.yw, t);
}

void Analyzed2DRes::genImg()
{
    mImage = QImage();
    mImageValid = false;
    mImageBuffer = allocPixels(mFormat, width(), height());
    const MapCells &source = mShowProc ? procCells() : mData;
    if (mImageBuffer.isEmpty() || source.isEmpty())
        return;

    // Colours follow the limits of the current colour bar, but the bytes follow this map's
    // own format, so that a bar in another format cannot write past the buffer.
    ColorScale scale;
    scale.setFormat(mFormat);
    if (const ColorScale *current = ColorScale::current())
        scale.setLimits(current->lowerLimit(), current->upperLimit());

    const double lo = scaleMin();
    const double hi = scaleMax();
    const int w = width();
    uchar *pixels = reinterpret_cast<uchar *>(mImageBuffer.data());
    // Fractions that are not a number come out as the bottom colour of the bar.
    scale.colourPixels(pixels, w, height(), 0.0, 1.0, [&](int x, int y) {
        return scaleFraction(source.at(y * w + x), lo, hi);
    });
    mImage = wrapImage(mFormat, pixels, w, height());
    // Cells without a value (a fit that was not defined) take a colour of their own, which
    // a grey image needs colour for.
    const auto undefined = [](double v) { return std::isnan(v); };
    if (!mImage.isNull()
        && (!mClassColours.isEmpty() || std::any_of(source.cbegin(), source.cend(), undefined))) {
        mImage = mImage.convertToFormat(QImage::Format_RGB888);
        for (int y = 0; y < height(); ++y) {
            for (int x = 0; x < w; ++x) {
                const double v = source.at(y * w + x);
                if (std::isnan(v))
                    mImage.setPixelColor(x, y, noFitColour());
                else if (v >= 0.0 && v < mClassColours.size() && v == std::floor(v))
                    mImage.setPixelColor(x, y, mClassColours.at(int(v)));
            }
        }
    }
    mImageValid = !mImage.isNull();
    emit imageGenerated();
}

QImage *Analyzed2DRes::img()
{
    return mImage.isNull() ? nullptr : &mImage;
}

template<typename Visit>
void Analyzed2DRes::walkBlocks(Visit visit)
{
    mWalk.rewind();
    bool newRow = false;
    do {
        visit();
    } while (mWalk.next(newRow));
    mWalk.rewind();
}

void Analyzed2DRes::logReplaced(const char *tag, qint64 replaced, qint64 blocks) const
{
    qDebug().noquote() << QStringLiteral("%1 %2: %3 of %4 blocks replaced")
                              .arg(QLatin1String(tag), mName)
                              .arg(replaced)
                              .arg(blocks);
}

QVector<quint16>
Analyzed2DRes::tiffDataForSave(bool fixedScale, double scaleMin, double scaleMax, bool asAnalyzed)
{
    const MapCells &source = mShowProc ? procCells() : mData;
    if (source.isEmpty())
        return {};
    double lo = scaleMin;
    double hi = scaleMax;
    if (!fixedScale) {
        lo = mShowProc ? mProcMin : mMin;
        hi = mShowProc ? mProcMax : mMax;
    }
    if (!asAnalyzed) {
        QVector<quint16> levels(int(source.size()));
        for (int i = 0; i < levels.size(); ++i)
            levels[i] = levelOf(scaleFraction(source.at(i), lo, hi));
        return levels;
    }

    const qint64 count = mWalk.count();
    if (count >= std::numeric_limits<int>::max()) {
        qDebug() << "Too many blocks to save:" << count;
        return {};
    }
    QVector<quint16> levels(int(count), 0);
    int written = 0;
    walkBlocks([&] {
        levels[written++] = levelOf(scaleFraction(cell(source, mWalk.cx, mWalk.cy), lo, hi));
    });
    mSavedCount = written;
    return levels;
}

void Analyzed2DRes::deglitch()
{
    if (mData.isEmpty())
        return;
    procCells();
    const qint64 count = mWalk.count();
    if (count >= std::numeric_limits<int>::max())
        return;
    const qint64 sx = mWalk.stepX;
    const qint64 sy = mWalk.stepY;
    const auto v = [this](qint64 x, qint64 y) { return cell(mData, x, y); };

    // The glitch measure of every block is kept by block, not read back from the processed
    // cells, which overlapping blocks would overwrite.
    std::vector<double> measures;
    measures.reserve(size_t(count));
    double sum = 0.0;
    walkBlocks([&] {
        const qint64 x = mWalk.cx;
        const qint64 y = mWalk.cy;
        const double centre = 2 * v(x, y);
        const bool horizontal = inside(x - sx, y) && inside(x + sx, y);
        const bool vertical = inside(x, y - sy) && inside(x, y + sy);
        double e = 0.0;
        if (horizontal)
            e = std::fabs(centre - v(x - sx, y) - v(x + sx, y));
        if (vertical) {
            const double ev = std::fabs(centre - v(x, y - sy) - v(x, y + sy));
            e = horizontal ? (ev + e) / 2 : ev;
        }
        measures.push_back(e);
        sum += e;
    });
    const double mean = sum / double(measures.size());

    const double span = (mMax - mMin) * mRangeRatio;
    mProcMin = 1e300;
    mProcMax = -1e300;
    size_t block = 0;
    qint64 replaced = 0;
    walkBlocks([&] {
        const qint64 x = mWalk.cx;
        const qint64 y = mWalk.cy;
        double h = v(x, y);
        if (mean * mGlitchFactor < measures[block++] && (h < mMin + span || h > mMax - span)) {
            ++replaced;
            double neighbours = 0.0;
            int n = 0;
            const qint64 around[4][2] = {{x - sx, y}, {x + sx, y}, {x, y - sy}, {x, y + sy}};
            for (const auto &p : around) {
                if (inside(p[0], p[1])) {
                    neighbours += v(p[0], p[1]);
                    ++n;
                }
            }
            if (n > 0)
                h = neighbours / n;
        }
        widen(mProcMin, mProcMax, h);
        fillBlock(mProc, x, y, mWalk.xw, mWalk.yw, h);
    });
    logReplaced("deglitch", replaced, qint64(measures.size()));
    if (mShowProc)
        genImg();
}

void Analyzed2DRes::setDeglitchConds(double f, double r)
{
    mGlitchFactor = f;
    mRangeRatio = r;
}

void Analyzed2DRes::deglitch2(double limit)
{
    if (mData.isEmpty())
        return;
    procCells();
    const qint64 sx = mWalk.stepX;
    const qint64 sy = mWalk.stepY;
    const auto v = [this](qint64 x, qint64 y) { return cell(mData, x, y); };

    double sum = 0.0;
    qint64 within = 0;
    walkBlocks([&] {
        const double c = v(mWalk.cx, mWalk.cy);
        if (std::fabs(c) < limit) {
            sum += c;
            ++within;
        }
    });
    const double mean = within > 0 ? sum / double(within) : 0.0;

    mProcMin = 1e300;
    mProcMax = -1e300;
    qint64 blocks = 0;
    qint64 replaced = 0;
    walkBlocks([&] {
        const qint64 x = mWalk.cx;
        const qint64 y = mWalk.cy;
        double c = v(x, y);
        ++blocks;
        if (std::fabs(c - mean) > limit) {
            ++replaced;
            double neighbours = 0.0;
            int n = 0;
            for (int dx = -1; dx <= 1; ++dx) {
                for (int dy = -1; dy <= 1; ++dy) {
                    const qint64 nx = x + dx * sx;
                    const qint64 ny = y + dy * sy;
                    if ((dx || dy) && inside(nx, ny) && std::fabs(v(nx, ny) - mean) < limit) {
                        neighbours += v(nx, ny);
                        ++n;
                    }
                }
            }
            c = n > 0 ? neighbours / n : 0.0;
        }
        widen(mProcMin, mProcMax, c);
        fillBlock(mProc, x, y, mWalk.xw, mWalk.yw, c);
    });
    logReplaced("deglitch2", replaced, blocks);
    if (mShowProc)
        genImg();
}

void Analyzed2DRes::copyProc2Data()
{
    // Without a deglitch there is nothing processed to take over.
    if (mData.isEmpty() || mProc.isEmpty())
        return;
    mData = mProc;
    mMin = mProcMin;
    mMax = mProcMax;
}

void Analyzed2DRes::selectProcImg(bool f)
{
    mShowProc = f;
    genImg();
}

void Analyzed2DRes::setFixedScale(bool f)
{
    mFixedScale = f;
    genImg();
    updateColorBar();
}

void Analyzed2DRes::setScale(double min, double max)
{
    mFixedMin = min;
    mFixedMax = max;
    genImg();
    updateColorBar();
}
