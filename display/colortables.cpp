#include "colortables.h"

#include <QDebug>
#include <QVector>

#include <array>
#include <limits>

namespace ColorTables {
namespace {

struct Tables
{
    Tables()
    {
        // Storage for 768 entries; the last one stays unused.
        hot.fill(0);
        for (int i = 0; i < 256; ++i)
            setHot(i, i, 0, 0);
        for (int k = 1; k <= 255; ++k) {
            setHot(255 + k, 255, k, 0);
            setHot(510 + k, 255, 255, k);
        }
        setHot(766, 255, 255, 255);
        palette = {QColor(255, 0, 0),
                   QColor(0, 255, 0),
                   QColor(0, 0, 255),
                   QColor(255, 200, 0),
                   QColor(255, 0, 200),
                   QColor(200, 255, 0),
                   QColor(200, 0, 255),
                   QColor(0, 255, 200),
                   QColor(0, 200, 255)};
    }

    void setHot(int index, int r, int g, int b)
    {
        hot[3 * index] = uchar(r);
        hot[3 * index + 1] = uchar(g);
        hot[3 * index + 2] = uchar(b);
    }

    std::array<uchar, 768 * 3> hot;
    QVector<QColor> palette;
};

const Tables &tables()
{
    static const Tables instance;
    return instance;
}

} // namespace

void build()
{
    tables();
}

const uchar *hotEntry(int index)
{
    return tables().hot.data() + 3 * qBound(0, index, hotEntries - 1);
}

uchar greyEntry(int index)
{
    return uchar(qBound(0, index, greyEntries - 1));
}

QColor curveColour(int k)
{
    const QVector<QColor> &palette = tables().palette;
    if (palette.isEmpty())
        return Qt::black;
    const int n = palette.size();
    return palette.at(((k % n) + n) % n);
}

} // namespace ColorTables

namespace {

// Row length in bytes before rounding; 0 for formats without a colour scale.
qint64 rawRowBytes(QImage::Format format, int width)
{
    if (width <= 0)
        return 0;
    if (format == QImage::Format_RGB888)
        return qint64(width) * 3;
    if (format == QImage::Format_Grayscale8)
        return width;
    return 0;
}

qint64 paddedRowBytes(QImage::Format format, int width)
{
    return (rawRowBytes(format, width) + 3) / 4 * 4;
}

} // namespace

int rowBytes(QImage::Format format, int width)
{
    const qint64 bytes = paddedRowBytes(format, width);
    return bytes <= std::numeric_limits<int>::max() ? int(bytes) : 0;
}

QByteArray allocPixels(QImage::Format format, int width, int height)
{
    if (width <= 0 || height <= 0)
        return QByteArray();
    const qint64 size = paddedRowBytes(format, width) * height;
    if (size <= 0)
        return QByteArray();
    // QByteArray holds at most MaxAllocSize bytes; a larger image cannot be built.
    if (size >= qint64(std::numeric_limits<int>::max()) - 64) {
        qDebug() << "image buffer too large:" << width << "x" << height;
        return QByteArray();
    }
    return QByteArray(int(size), '\0');
}

QImage wrapImage(QImage::Format format, uchar *pixels, int width, int height)
{
    if (format != QImage::Format_RGB888 && format != QImage::Format_Grayscale8)
        return QImage();
    const int stride = rowBytes(format, width);
    if (!pixels || height <= 0 || stride <= 0)
        return QImage();
    return QImage(pixels, width, height, stride, format);
}

QImage wrapBuffer(QImage::Format format, const QByteArray &buffer, int width, int height)
{
    const int stride = rowBytes(format, width);
    if ((format != QImage::Format_RGB888 && format != QImage::Format_Grayscale8) || width <= 0
        || height <= 0 || stride <= 0 || buffer.size() < qint64(stride) * height)
        return QImage();
    auto *share = new QByteArray(buffer);
    uchar *pixels = reinterpret_cast<uchar *>(const_cast<char *>(share->constData()));
    return QImage(
        pixels,
        width,
        height,
        stride,
        format,
        [](void *info) { delete static_cast<QByteArray *>(info); },
        share);
}
