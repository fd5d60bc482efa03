#pragma once

// Writers of small image files in every input format, for the input tests.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTextStream>
#include <QVector>
#include <QtEndian>

#include <tiffio.h>

#include <cstring>

namespace TestImages {

// Sample value of pixel (x, y) in the test pattern: distinct, row-dependent, not symmetric.
inline quint16 patternValue(int x, int y)
{
    return quint16(100 + 7 * x + 131 * y + (x * y) % 13);
}

inline QVector<quint16> pattern(int width, int height)
{
    QVector<quint16> v(width * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            v[y * width + x] = patternValue(x, y);
    return v;
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(bytes) == bytes.size();
}

// An IMG file: 64-byte header with the given size fields, the comment, then the samples.
inline QByteArray imgBytes(int headerWidth,
                           int headerHeight,
                           const QByteArray &comment,
                           const QVector<quint16> &samples)
{
    QByteArray bytes(64, '\0');
    bytes[0] = 'I';
    bytes[1] = 'M';
    qToLittleEndian<quint16>(quint16(comment.size()), bytes.data() + 2);
    qToLittleEndian<quint16>(quint16(headerWidth), bytes.data() + 4);
    qToLittleEndian<quint16>(quint16(headerHeight), bytes.data() + 6);
    bytes += comment;
    QByteArray data(samples.size() * 2, '\0');
    qToLittleEndian<quint16>(samples.constData(), samples.size(), data.data());
    return bytes + data;
}

// A QNRB text image; `values` are the numbers of the third column, x running fastest.
inline QByteArray qnrbBytes(int x0, int x1, int y0, int y1, const QVector<double> &values)
{
    QByteArray text = "#QNRB-CTImg 1.0\n";
    text += "# RANGE_X0 = " + QByteArray::number(x0) + "\n";
    text += "# range_x1 = " + QByteArray::number(x1) + "\n";
    text += "# RANGE_Y0 = " + QByteArray::number(y0) + "\n";
    text += "# RANGE_Y1 = " + QByteArray::number(y1) + "\n";
    const int width = x1 - x0;
    for (int i = 0; i < values.size(); ++i) {
        const int x = width > 0 ? i % width : 0;
        const int y = width > 0 ? i / width : 0;
        text += QByteArray::number(x) + " " + QByteArray::number(y) + " "
                + QByteArray::number(values.at(i), 'g', 10) + "\n";
    }
    return text;
}

struct TiffLayout
{
    int bitsPerSample = 16;
    int sampleFormat = SAMPLEFORMAT_UINT;
    int samplesPerPixel = 1;
    int photometric = PHOTOMETRIC_MINISBLACK;
    int compression = COMPRESSION_NONE;
    bool tiled = false;
};

// A TIFF of the given layout whose first sample of every pixel is `values` (converted to the
// sample type); further samples of a pixel repeat it.
inline bool writeTiff(const QString &path,
                      int width,
                      int height,
                      const QVector<double> &values,
                      const TiffLayout &layout)
{
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(layout.bitsPerSample));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(layout.samplesPerPixel));
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, uint16_t(layout.sampleFormat));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, uint16_t(layout.photometric));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
    TIFFSetField(tif, TIFFTAG_COMPRESSION, uint16_t(layout.compression));
    const int bytes = layout.bitsPerSample / 8;
    const int pixelBytes = bytes * layout.samplesPerPixel;
    auto put = [&](uchar *out, double v) {
        for (int s = 0; s < layout.samplesPerPixel; ++s, out += bytes) {
            if (layout.sampleFormat == SAMPLEFORMAT_IEEEFP) {
                const float f = float(v);
                std::memcpy(out, &f, 4);
            } else if (bytes == 1) {
                *out = uchar(v);
            } else if (bytes == 2) {
                const quint16 u = quint16(v);
                std::memcpy(out, &u, 2);
            } else {
                const quint32 u = quint32(v);
                std::memcpy(out, &u, 4);
            }
        }
    };
    bool ok = true;
    if (layout.tiled) {
        const int tile = 16;
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, uint32_t(tile));
        TIFFSetField(tif, TIFFTAG_TILELENGTH, uint32_t(tile));
        QByteArray buffer(tile * tile * pixelBytes, '\0');
        for (int ty = 0; ty < height; ty += tile) {
            for (int tx = 0; tx < width; tx += tile) {
                buffer.fill('\0');
                for (int y = ty; y < qMin(ty + tile, height); ++y)
                    for (int x = tx; x < qMin(tx + tile, width); ++x)
                        put(reinterpret_cast<uchar *>(buffer.data())
                                + ((y - ty) * tile + (x - tx)) * pixelBytes,
                            values.at(y * width + x));
                ok = ok && TIFFWriteTile(tif, buffer.data(), uint32_t(tx), uint32_t(ty), 0, 0) >= 0;
            }
        }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(1));
        QByteArray line(width * pixelBytes, '\0');
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                put(reinterpret_cast<uchar *>(line.data()) + x * pixelBytes,
                    values.at(y * width + x));
            ok = ok && TIFFWriteScanline(tif, line.data(), uint32_t(y), 0) >= 0;
        }
    }
    TIFFClose(tif);
    return ok;
}

inline QVector<double> asDoubles(const QVector<quint16> &v)
{
    QVector<double> d(v.size());
    for (int i = 0; i < v.size(); ++i)
        d[i] = v.at(i);
    return d;
}

} // namespace TestImages
