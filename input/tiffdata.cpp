#include "tiffdata.h"

#include "display/colorscale.h"
#include "display/colortables.h"

TiffData::~TiffData()
{
    clear();
}

bool TiffData::read(const QString &fileName)
{
    Q_UNUSED(fileName)
    return false;
}

double TiffData::shiftedValue(int column, int row) const
{
    const unsigned c = unsigned(column - shiftX);
    const unsigned r = unsigned(row - shiftY);
    if (c >= unsigned(width) || r >= unsigned(height))
        return 0.0;
    const qsizetype index = qsizetype(r) * width + c;
    return sampleKind == FloatRows ? double(samplesFloat.at(index)) : double(samples16.at(index));
}

double TiffData::binSum(int x, int y, int halfWidth, int halfHeight) const
{
    const int hw = qAbs(halfWidth);
    const int hh = qAbs(halfHeight);
    double sum = 0.0;
    for (int j = -hh; j <= hh; ++j) {
        for (int i = x - hw; i <= x + hw; ++i)
            sum += shiftedValue(i, y + j);
    }
    return sum;
}

void TiffData::makeDisplayImage()
{
    displayImage = QImage();
    displayBuffer.clear();
    const ColorScale *scale = ColorScale::current();
    if (!scale)
        return;
    // The buffer follows the scale's pixel size so that a colour scale can never write past it.
    displayFormat = scale->format();
    displayBuffer = allocPixels(displayFormat, width, height);
    if (displayBuffer.isEmpty())
        return;
    const int stride = rowBytes(displayFormat, width);
    uchar *pixels = reinterpret_cast<uchar *>(displayBuffer.data());
    for (int r = 0; r < height; ++r) {
        uchar *out = pixels + qsizetype(r) * stride;
        for (int c = 0; c < width; ++c)
            out = scale->colourBytes((shiftedValue(c, r) - minValue) / (maxValue - minValue), out);
    }
    displayImage = wrapImage(displayFormat, pixels, width, height);
}

void TiffData::pushRangeToColorBar()
{
    if (colorBar)
        colorBar->setValueRange(minValue, maxValue);
}

void TiffData::clear()
{
    samples16 = QVector<quint16>();
    samplesFloat = QVector<float>();
    displayImage = QImage();
    displayBuffer = QByteArray();
}
