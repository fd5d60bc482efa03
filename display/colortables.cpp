#include "colortables.h"

#include <QVector>

#include <array>

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

int rowBytes(QImage::Format format, int width)
{
    int bytes = 0;
    if (format == QImage::Format_RGB888)
        bytes = width * 3;
    else if (format == QImage::Format_Grayscale8)
        bytes = width;
    return (bytes + 3) / 4 * 4;
}

QByteArray allocPixels(QImage::Format format, int width, int height)
{
    const qint64 size = qint64(rowBytes(format, width)) * height;
    if (size <= 0 || width <= 0 || height <= 0)
        return QByteArray();
    return QByteArray(int(size), '\0');
}

QImage wrapImage(QImage::Format format, uchar *pixels, int width, int height)
{
    if (format != QImage::Format_RGB888 && format != QImage::Format_Grayscale8)
        return QImage();
    return QImage(pixels, width, height, rowBytes(format, width), format);
}
