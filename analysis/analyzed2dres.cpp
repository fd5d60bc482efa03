#include "analyzed2dres.h"

#include "display/colorscale.h"
#include "display/colortables.h"

#include <limits>

Analyzed2DRes::Analyzed2DRes(const QString &name, QObject *parent)
    : QObject(parent)
    , mName(name)
{}

void Analyzed2DRes::reset(int width, int height)
{
    mWidth = qMax(0, width);
    mHeight = qMax(0, height);
    mProcMin = 0.0;
    mProcMax = 1.0;
    mMin = 1e300;
    mMax = -1e300;
    mImage = QImage();
    mImageBuffer = QByteArray();
    mData = QVector<double>();
    mProc = QVector<double>();
    const qint64 cells = qint64(mWidth) * mHeight;
    if (cells > 0 && cells < std::numeric_limits<int>::max()) {
        mData.fill(0.0, int(cells));
        mProc.fill(0.0, int(cells));
    }
    mImageValid = false;
}

void Analyzed2DRes::clear()
{
    reset(0, 0);
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

void Analyzed2DRes::setData(int ix, int iy, int xw, int yw, double t)
{
    if (t > mMax)
        mMax = t;
    if (t < mMin)
        mMin = t;
    if (mData.isEmpty())
        return;
    const int x0 = qMax(0, ix - xw);
    const int x1 = qMin(mWidth - 1, ix + xw);
    const int y0 = qMax(0, iy - yw);
    const int y1 = qMin(mHeight - 1, iy + yw);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x)
            mData[y * mWidth + x] = t;
    }
}

void Analyzed2DRes::genImg()
{
    mImage = QImage();
    mImageValid = false;
    mImageBuffer = allocPixels(mFormat, mWidth, mHeight);
    const QVector<double> &source = mShowProc ? mProc : mData;
    if (mImageBuffer.isEmpty() || source.isEmpty())
        return;

    // Colours follow the limits of the current colour bar, but the bytes follow this map's
    // own format, so that a bar in another format cannot write past the buffer.
    ColorScale scale;
    scale.setFormat(mFormat);
    if (const ColorScale *current = ColorScale::current())
        scale.setLimits(current->lowerLimit(), current->upperLimit());

    uchar *pixels = reinterpret_cast<uchar *>(mImageBuffer.data());
    scale.colourPixels(pixels, mWidth, mHeight, scaleMin(), scaleMax(), [&](int x, int y) {
        return source.at(y * mWidth + x);
    });
    mImage = wrapImage(mFormat, pixels, mWidth, mHeight);
    mImageValid = !mImage.isNull();
}

QImage *Analyzed2DRes::img()
{
    return mImage.isNull() ? nullptr : &mImage;
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
