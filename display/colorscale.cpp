#include "colorscale.h"

#include "display/colortables.h"

#include <cmath>

namespace {
ColorScale *currentScale = nullptr;
}

ColorScale::ColorScale(QObject *parent)
    : QObject(parent)
    , mFormat(defaultFormat())
{}

ColorScale::~ColorScale()
{
    // The program-wide scale must never point at a scale that is gone.
    if (currentScale == this)
        currentScale = nullptr;
}

ColorScale *ColorScale::current()
{
    return currentScale;
}

void ColorScale::setCurrent(ColorScale *scale)
{
    currentScale = scale;
}

QImage::Format ColorScale::defaultFormat()
{
    return QImage::Format_Grayscale8;
}

void ColorScale::setFormat(QImage::Format format)
{
    if (format == mFormat)
        return;
    mFormat = format;
    emit formatChanged();
}

void ColorScale::setLimits(double lower, double upper)
{
    if (lower == mLowerLimit && upper == mUpperLimit)
        return;
    mLowerLimit = lower;
    mUpperLimit = upper;
    emit limitsChanged();
}

void ColorScale::setValueRange(double min, double max)
{
    // Images push their range before every paint; only a real change repaints the bar.
    if (min == mValueMin && max == mValueMax)
        return;
    mValueMin = min;
    mValueMax = max;
    emit rangeChanged();
}

int ColorScale::bytesPerPixel() const
{
    switch (mFormat) {
    case QImage::Format_RGB888:
        return 3;
    case QImage::Format_Grayscale8:
        return 1;
    default:
        return 0;
    }
}

int ColorScale::tableIndex(double x, int scale, int last) const
{
    double t = (x - mLowerLimit) / (mUpperLimit - mLowerLimit);
    if (std::isnan(t))
        t = 0.0;
    // Coinciding limits give an infinite t, which the clamp turns into the first or last entry.
    t = qBound(0.0, t, 1.0);
    return qBound(0, int(t * scale), last);
}

int ColorScale::colourIndex(double x) const
{
    switch (mFormat) {
    case QImage::Format_RGB888:
        return tableIndex(x, 766, 766);
    case QImage::Format_Grayscale8:
        return tableIndex(x, 256, 255);
    default:
        return 0;
    }
}

int ColorScale::lastColourIndex() const
{
    switch (mFormat) {
    case QImage::Format_RGB888:
        return 766;
    case QImage::Format_Grayscale8:
        return 255;
    default:
        return 0;
    }
}

uchar *ColorScale::entryBytes(int index, uchar *out) const
{
    switch (mFormat) {
    case QImage::Format_RGB888: {
        const uchar *entry = ColorTables::hotEntry(index);
        out[0] = entry[0];
        out[1] = entry[1];
        out[2] = entry[2];
        return out + 3;
    }
    case QImage::Format_Grayscale8:
        *out = ColorTables::greyEntry(index);
        return out + 1;
    default:
        return out;
    }
}

QColor ColorScale::colourOfValue(double x) const
{
    uchar bytes[3] = {0, 0, 0};
    colourBytes(x, bytes);
    switch (mFormat) {
    case QImage::Format_RGB888:
        return QColor(bytes[0], bytes[1], bytes[2]);
    case QImage::Format_Grayscale8:
        return QColor(bytes[0], bytes[0], bytes[0]);
    default:
        return QColor(Qt::black);
    }
}
