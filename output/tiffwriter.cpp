#include "tiffwriter.h"

#include "input/tiffmessages.h"
#include "output/savefile.h"

#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <QtEndian>

#include <tiffio.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

// libtiff writes through these callbacks into a SaveFile, which only replaces the target
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

// The layout of one image: samples of bitsPerSample bits, samplesPerPixel to a pixel.
struct Layout
{
    int width;
    int height;
    uint16_t samplesPerPixel;
    uint16_t bitsPerSample;
    uint16_t photometric;
    // Bytes from one row to the next in the caller's data.
    qint64 rowStride;
};

bool setTags(TIFF *tif, const Layout &layout)
{
    // Strips of "width" rows: the strip layout the program has always written.
    return TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(layout.width))
           && TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(layout.height))
           && TIFFSetField(tif, TIFFTAG_COMPRESSION, uint16_t(COMPRESSION_NONE))
           && TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, layout.photometric)
           && TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(layout.width))
           && TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, layout.samplesPerPixel)
           && TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, layout.bitsPerSample)
           && TIFFSetField(tif, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG))
           && TIFFSetField(tif, TIFFTAG_ORIENTATION, uint16_t(ORIENTATION_TOPLEFT));
}

bool writeStrips(TIFF *tif, const Layout &layout, const uchar *data)
{
    uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    if (rowsPerStrip == 0)
        return false;
    const qint64 rowBytes
        = qint64(layout.width) * layout.samplesPerPixel * layout.bitsPerSample / 8;
    std::vector<uchar> strip;
    uint32_t stripNo = 0;
    for (qint64 row = 0; row < layout.height; row += rowsPerStrip, ++stripNo) {
        const uint32_t rows = uint32_t(qMin<qint64>(rowsPerStrip, layout.height - row));
        const tmsize_t bytes = TIFFVStripSize(tif, rows);
        // Rows padded in the caller's data are packed into one strip first.
        strip.resize(size_t(rowBytes) * rows);
        for (uint32_t r = 0; r < rows; ++r)
            std::memcpy(
                strip.data() + r * rowBytes, data + (row + r) * layout.rowStride, size_t(rowBytes));
        if (TIFFWriteEncodedStrip(tif, stripNo, strip.data(), bytes) < 0)
            return false;
    }
    return true;
}

// ImageJ keeps the labels of a stack's slices in two private tags of the first page.
constexpr ttag_t imageJByteCountsTag = 50838;
constexpr ttag_t imageJMetadataTag = 50839;

// The ImageJ description and slice labels of a stack of `pages` images, on the current page.
bool setImageJTags(TIFF *tif, int pages, const QStringList &labels)
{
    static const TIFFFieldInfo fields[] = {
        {imageJByteCountsTag,
         TIFF_VARIABLE2,
         TIFF_VARIABLE2,
         TIFF_LONG,
         FIELD_CUSTOM,
         1,
         1,
         const_cast<char *>("IJMetadataByteCounts")},
        {imageJMetadataTag,
         TIFF_VARIABLE2,
         TIFF_VARIABLE2,
         TIFF_BYTE,
         FIELD_CUSTOM,
         1,
         1,
         const_cast<char *>("IJMetadata")},
    };
    if (TIFFMergeFieldInfo(tif, fields, 2) != 0)
        return false;
    const QByteArray description
        = QStringLiteral("ImageJ=1.54f\nimages=%1\nslices=%1\n").arg(pages).toLatin1();
    if (!TIFFSetField(tif, TIFFTAG_IMAGEDESCRIPTION, description.constData()))
        return false;
    if (labels.isEmpty())
        return true;
    // A header block ("IJIJ", then the type "labl" and the number of labels) followed by one
    // block per label in UTF-16, all big-endian as ImageJ writes them.
    QByteArray metadata("IJIJlabl", 8);
    metadata.append(4, '\0');
    qToBigEndian<quint32>(quint32(labels.size()), metadata.data() + 8);
    std::vector<uint32_t> counts{uint32_t(metadata.size())};
    for (const QString &label : labels) {
        QByteArray block(label.size() * 2, '\0');
        qToBigEndian<quint16>(label.utf16(), label.size(), block.data());
        counts.push_back(uint32_t(block.size()));
        metadata += block;
    }
    return TIFFSetField(tif, imageJByteCountsTag, uint32_t(counts.size()), counts.data())
           && TIFFSetField(tif, imageJMetadataTag, uint32_t(metadata.size()), metadata.data());
}

// Writes `pages` images of one layout, page(i) giving the data of image i; more than one page
// makes an ImageJ stack with the given slice labels.
bool writeTiffPages(const QString &path,
                    const Layout &layout,
                    int pages,
                    const std::function<const uchar *(int)> &page,
                    const QStringList &labels = {})
{
    const auto fail = [&path] {
        qDebug().noquote() << "Can't write" << path;
        return false;
    };
    if (layout.width <= 0 || layout.height <= 0 || pages <= 0)
        return fail();
    routeTiffMessagesToDebug();
    SaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    // libtiff reads back what it wrote to link the pages of a multi-page file, which a file
    // open for writing only cannot give: those are built in memory and written out whole.
    QBuffer pagesInMemory;
    pagesInMemory.open(QIODevice::ReadWrite);
    QIODevice *device = pages > 1 ? static_cast<QIODevice *>(&pagesInMemory) : &file;
    TIFF *tif = TIFFClientOpen(QFile::encodeName(path).constData(),
                               "w",
                               device,
                               readProc,
                               writeProc,
                               seekProc,
                               closeProc,
                               sizeProc,
                               mapProc,
                               unmapProc);
    if (!tif) {
        file.cancelWriting();
        return fail();
    }
    bool written = true;
    for (int i = 0; i < pages && written; ++i) {
        const uchar *data = page(i);
        written = data && setTags(tif, layout)
                  && (pages == 1 || i > 0 || setImageJTags(tif, pages, labels))
                  && writeStrips(tif, layout, data)
                  && (i + 1 < pages ? TIFFWriteDirectory(tif) != 0 : TIFFFlush(tif) != 0);
    }
    TIFFClose(tif);
    if (written && pages > 1)
        written = file.write(pagesInMemory.data()) == pagesInMemory.size();
    if (!written) {
        file.cancelWriting();
        return fail();
    }
    return file.commitWhole() || fail();
}

bool writeTiff(const QString &path, const Layout &layout, const uchar *data)
{
    return writeTiffPages(path, layout, 1, [data](int) { return data; });
}

} // namespace

bool writeTiff16(const QString &path, int width, int height, const quint16 *values)
{
    const Layout layout{width, height, 1, 16, PHOTOMETRIC_MINISBLACK, qint64(width) * 2};
    return writeTiff(path, layout, reinterpret_cast<const uchar *>(values));
}

bool writeTiff16Pages(const QString &path,
                      int width,
                      int height,
                      int pages,
                      const std::function<const quint16 *(int)> &page,
                      const QStringList &labels)
{
    const Layout layout{width, height, 1, 16, PHOTOMETRIC_MINISBLACK, qint64(width) * 2};
    return writeTiffPages(
        path,
        layout,
        pages,
        [&page](int i) { return reinterpret_cast<const uchar *>(page(i)); },
        labels);
}

bool writeTiffImage(const QString &path, const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const Layout layout{rgb.width(), rgb.height(), 3, 8, PHOTOMETRIC_RGB, rgb.bytesPerLine()};
    return writeTiff(path, layout, rgb.constBits());
}
