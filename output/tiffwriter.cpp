#include "tiffwriter.h"

#include "input/tiffmessages.h"

#include <QDebug>
#include <QFile>
#include <QSaveFile>

#include <tiffio.h>

#include <cstdio>

// libtiff writes through these callbacks into a QSaveFile, which only replaces the target
// when everything has been written.
namespace {

QIODevice *deviceOf(thandle_t handle)
{
    return static_cast<QIODevice *>(handle);
}

tmsize_t readProc(thandle_t handle, void *data, tmsize_t size)
{
    return deviceOf(handle)->read(static_cast<char *>(data), size);
}

tmsize_t writeProc(thandle_t handle, void *data, tmsize_t size)
{
    return deviceOf(handle)->write(static_cast<const char *>(data), size);
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence)
{
    QIODevice *device = deviceOf(handle);
    qint64 target = qint64(offset);
    if (whence == SEEK_CUR)
        target += device->pos();
    else if (whence == SEEK_END)
        target += device->size();
    if (!device->seek(target))
        return toff_t(-1);
    return toff_t(device->pos());
}

int closeProc(thandle_t)
{
    return 0;
}

toff_t sizeProc(thandle_t handle)
{
    return toff_t(deviceOf(handle)->size());
}

int mapProc(thandle_t, void **, toff_t *)
{
    return 0;
}

void unmapProc(thandle_t, void *, toff_t) {}

bool setTags(TIFF *tif, int width, int height)
{
    // Strips of "width" rows: the strip layout the program has always written.
    return TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(width))
           && TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(height))
           && TIFFSetField(tif, TIFFTAG_COMPRESSION, uint16_t(COMPRESSION_NONE))
           && TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_MINISBLACK))
           && TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(width))
           && TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1))
           && TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(16))
           && TIFFSetField(tif, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG))
           && TIFFSetField(tif, TIFFTAG_ORIENTATION, uint16_t(ORIENTATION_TOPLEFT));
}

bool writeStrips(TIFF *tif, int width, int height, const quint16 *values)
{
    uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    if (rowsPerStrip == 0)
        return false;
    const char *data = reinterpret_cast<const char *>(values);
    const qint64 rowBytes = qint64(width) * 2;
    uint32_t strip = 0;
    for (qint64 row = 0; row < height; row += rowsPerStrip, ++strip) {
        const uint32_t rows = uint32_t(qMin<qint64>(rowsPerStrip, height - row));
        const tmsize_t bytes = TIFFVStripSize(tif, rows);
        void *stripData = const_cast<char *>(data + row * rowBytes);
        if (TIFFWriteEncodedStrip(tif, strip, stripData, bytes) < 0)
            return false;
    }
    return true;
}

} // namespace

bool writeTiff16(const QString &path, int width, int height, const quint16 *values)
{
    const auto fail = [&path] {
        qDebug().noquote() << "Can't write" << path;
        return false;
    };
    if (width <= 0 || height <= 0 || !values)
        return fail();
    routeTiffMessagesToDebug();
    QSaveFile file(path);
    // A writable file in a folder that is not writable is written in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    TIFF *tif = TIFFClientOpen(QFile::encodeName(path).constData(),
                               "w",
                               &file,
                               readProc,
                               writeProc,
                               seekProc,
                               closeProc,
                               sizeProc,
                               mapProc,
                               unmapProc);
    if (!tif)
        return fail();
    const bool written
        = setTags(tif, width, height) && writeStrips(tif, width, height, values) && TIFFFlush(tif);
    TIFFClose(tif);
    if (!written) {
        file.cancelWriting();
        return fail();
    }
    return file.commit() || fail();
}
