#include "tiffdata.h"

#include "app/takefirstitem.h"
#include "display/colorscale.h"
#include "display/colortables.h"
#include "display/samplecolouring.h"
#include "input/tiffmessages.h"
#include "input/tiffpages.h"
#include "spectra/vectorclones.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QtEndian>

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr int magicBytes = 15;
constexpr int imgHeaderBytes = 64;
constexpr double qnrbScale = 500.0;

// Closes a libtiff handle when it goes out of scope.
struct TiffCloser
{
    TIFF *tif;
    ~TiffCloser() { TIFFClose(tif); }
};

// The decimal integer after a "key=" in an IMG comment token: its first blank-separated word.
int valueAfterKey(const QString &token, const QString &key)
{
    const QString rest = token.mid(key.size()).simplified();
    return rest.section(QLatin1Char(' '), 0, 0).toInt();
}

} // namespace

TiffData::~TiffData()
{
    clear();
}

void TiffData::fail(const char *message, const QString &path)
{
    failureReason = QString::fromLatin1(message);
    qDebug().noquote() << message << path;
}

void TiffData::failWithCode(const char *message, const QString &path, const QFile &file)
{
    failureReason = QString::fromLatin1(message);
    qDebug().noquote() << message << path << "[" << int(file.error()) << "]";
}

bool TiffData::read(const QString &fileName, int page)
{
    const QFileInfo info(fileName);
    // Opening a named pipe or a device waits for a writer that may never come.
    if (info.exists() && !info.isDir() && !info.isFile()) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Not a regular file"), fileName);
        return false;
    }
    QFile file(fileName);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Can not open (1)"), fileName);
        return false;
    }
    const QByteArray head = file.read(magicBytes);
    file.close();
    if (head.size() < magicBytes) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Error on reading file (1)"), fileName);
        return false;
    }
    if (head.startsWith("II") || head.startsWith("MM"))
        return readTiff(fileName, page);
    if (page > 0) {
        fail(QT_TRANSLATE_NOOP("TiffData", "No such page"), fileName);
        return false;
    }
    if (head.startsWith("IM"))
        return readImg(fileName);
    const int zero = head.indexOf('\0');
    if (head.left(zero < 0 ? magicBytes : zero).startsWith("#QNRB-CTImg"))
        return readQnrb(fileName);
    fail(QT_TRANSLATE_NOOP("TiffData", "Unknown image format"), fileName);
    return false;
}

void TiffData::resetRange()
{
    minValue = std::numeric_limits<double>::max();
    maxValue = std::numeric_limits<double>::min();
}

void TiffData::updateRange(qsizetype from, qsizetype count)
{
    if (count <= 0)
        return;
    if (sampleKind == FloatRows) {
        const float *p = samplesFloat.constData() + from;
        float lo = p[0];
        float hi = p[0];
        for (qsizetype i = 1; i < count; ++i) {
            lo = p[i] < lo ? p[i] : lo;
            hi = p[i] > hi ? p[i] : hi;
        }
        minValue = qMin(minValue, double(lo));
        maxValue = qMax(maxValue, double(hi));
        return;
    }
    // This pass runs over every sample of every loaded image: eight lanes at a time.
    const quint16 *p = samples16.constData() + from;
    constexpr int lanes = 8;
    quint16 lo[lanes];
    quint16 hi[lanes];
    qsizetype i = 0;
#ifdef __SSE2__
    // Unsigned 16-bit minimum and maximum from saturating subtraction (plain SSE2 has no
    // unsigned 16-bit min/max instructions).
    __m128i vlo = _mm_set1_epi16(-1);
    __m128i vhi = _mm_setzero_si128();
    for (; i + lanes <= count; i += lanes) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        vlo = _mm_subs_epu16(vlo, _mm_subs_epu16(vlo, v));
        vhi = _mm_adds_epu16(v, _mm_subs_epu16(vhi, v));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i *>(lo), vlo);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(hi), vhi);
#else
    for (int k = 0; k < lanes; ++k) {
        lo[k] = 0xffff;
        hi[k] = 0;
    }
    for (; i + lanes <= count; i += lanes) {
        for (int k = 0; k < lanes; ++k) {
            const quint16 v = p[i + k];
            lo[k] = v < lo[k] ? v : lo[k];
            hi[k] = v > hi[k] ? v : hi[k];
        }
    }
#endif
    for (; i < count; ++i) {
        lo[0] = p[i] < lo[0] ? p[i] : lo[0];
        hi[0] = p[i] > hi[0] ? p[i] : hi[0];
    }
    quint16 lowest = lo[0];
    quint16 highest = hi[0];
    for (int k = 1; k < lanes; ++k) {
        lowest = qMin(lowest, lo[k]);
        highest = qMax(highest, hi[k]);
    }
    minValue = qMin(minValue, double(lowest));
    maxValue = qMax(maxValue, double(highest));
}

void TiffData::storeNonFinite(qsizetype index)
{
    samplesFloat[index] = 0.0f;
    if (mNonFiniteBits.empty())
        mNonFiniteBits.assign(size_t((qint64(width) * height + 63) / 64), 0);
    mNonFiniteBits[size_t(index / 64)] |= quint64(1) << (index % 64);
    ++nonFiniteCount;
}

bool TiffData::allocateSamples(SampleKind kind, const QString &path, bool readerFillsAll, int rows)
{
    const qint64 pixels = qint64(width) * height;
    if (width <= 0 || height <= 0) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Empty image"), path);
        return false;
    }
    if (pixels > maxPixels) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Image too large"), path);
        return false;
    }
    sampleKind = kind;
    samples16.clear();
    samplesFloat.clear();
    mNonFiniteBits.clear();
    nonFiniteCount = 0;
    growSamples(rows, readerFillsAll);
    return true;
}

void TiffData::growSamples(int rows, bool readerFillsAll)
{
    const qsizetype size = qsizetype(qBound(0, rows, height)) * width;
    const auto grow = [&](auto &store) {
        if (store.size() >= size)
            return;
        if (readerFillsAll)
            store.resizeForOverwrite(size);
        else
            store.resize(size);
    };
    if (sampleKind == FloatRows)
        grow(samplesFloat);
    else
        grow(samples16);
}

QString TiffData::listedName() const
{
    return page < 0 ? fileName : TiffPages::listedName(fileName, page);
}

bool TiffData::readTiff(const QString &path, int page)
{
    routeTiffMessagesToDebug();
    // Without memory mapping, libtiff reads uncompressed strips straight into our buffer; without
    // strip chopping ("c"), a single-strip image is read whole in one call instead of as many
    // small strips.
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "rmc");
    if (!tif) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Can not open TIFF"), path);
        return false;
    }
    const TiffCloser closer{tif};
    if (page > 0 && !TIFFSetDirectory(tif, tdir_t(page))) {
        fail(QT_TRANSLATE_NOOP("TiffData", "No such page"), path);
        return false;
    }
    this->page = page;
    fileName = path;
    resetRange();

    uint32_t tagWidth = 0;
    uint32_t tagHeight = 0;
    uint16_t bitsPerSample = 1;
    uint16_t samplesPerPixel = 1;
    uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &tagHeight);
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &tagWidth);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);

    if (TIFFIsTiled(tif)) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Tiled TIFF is not supported"), path);
        return false;
    }
    if (samplesPerPixel != 1 || photometric == PHOTOMETRIC_PALETTE
        || photometric == PHOTOMETRIC_RGB) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Not a greyscale TIFF"), path);
        return false;
    }
    // 16-bit is the native form; 8-bit counts are widened and 32-bit float kept as float.
    SampleKind kind;
    if (bitsPerSample == 16 && sampleFormat == SAMPLEFORMAT_UINT)
        kind = TiffRows;
    else if (bitsPerSample == 8 && sampleFormat == SAMPLEFORMAT_UINT)
        kind = TiffRows;
    else if (bitsPerSample == 32 && sampleFormat == SAMPLEFORMAT_IEEEFP)
        kind = FloatRows;
    else {
        fail(QT_TRANSLATE_NOOP("TiffData", "Unsupported TIFF sample format"), path);
        return false;
    }
    if (tagWidth > uint32_t(std::numeric_limits<int>::max())
        || tagHeight > uint32_t(std::numeric_limits<int>::max())) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Image too large"), path);
        return false;
    }
    width = int(tagWidth);
    height = int(tagHeight);
    const int bytesPerSample = bitsPerSample / 8;
    const tmsize_t lineSize = TIFFScanlineSize(tif);
    if (lineSize < tmsize_t(width) * bytesPerSample || lineSize > std::numeric_limits<int>::max()) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Error on reading TIFF"), path);
        return false;
    }
    scanlineBytes = int(lineSize);
    // Uncompressed data cannot be smaller than the image it declares: a truncated file or a
    // forged header is refused before anything is allocated for it.
    if (compression == COMPRESSION_NONE
        && qint64(width) * height * bytesPerSample > QFileInfo(path).size()) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Error on reading TIFF"), path);
        return false;
    }
    // Every row is read or the read fails. What compressed strips decode to is known only once
    // they have decoded: their rows are stored as they arrive, so that a small file declaring a
    // huge image costs no more than it holds.
    const bool compressed = compression != COMPRESSION_NONE;
    // Uncompressed samples are placed in memory as they lie in the file, relative to a cache
    // line, so that reading them is a straight copy.
    uint64_t *offsets = nullptr;
    if (!compressed && TIFFGetField(tif, TIFFTAG_STRIPOFFSETS, &offsets) && offsets)
        samples16.alignLike(offsets[0]);
    if (!allocateSamples(kind, path, true, compressed ? 0 : height))
        return false;

    if (!compressed && kind == TiffRows && bitsPerSample == 16 && scanlineBytes == width * 2)
        return readTiffStrips(tif, path);

    QByteArray line(scanlineBytes, '\0');
    void *lineData = line.data();
    for (int r = 0; r < height; ++r) {
        if (TIFFReadScanline(tif, lineData, uint32_t(r), 0) < 0) {
            fail(QT_TRANSLATE_NOOP("TiffData", "Error on reading TIFF"), path);
            clear();
            return false;
        }
        growSamples(r + 1, true);
        const qsizetype offset = qsizetype(r) * width;
        if (kind == FloatRows) {
            float *out = samplesFloat.data() + offset;
            memcpy(out, lineData, size_t(width) * sizeof(float));
            for (int c = 0; c < width; ++c) {
                if (!std::isfinite(out[c]))
                    storeNonFinite(offset + c);
            }
        } else if (bitsPerSample == 8) {
            const uchar *in = static_cast<const uchar *>(lineData);
            quint16 *out = samples16.data() + offset;
            for (int c = 0; c < width; ++c)
                out[c] = in[c];
        } else {
            memcpy(samples16.data() + offset, lineData, size_t(width) * sizeof(quint16));
        }
        updateRange(offset, width);
    }
    return true;
}

bool TiffData::readTiffStrips(TIFF *tif, const QString &path)
{
    uint32_t rowsPerStrip = uint32_t(height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    rowsPerStrip = qBound<uint32_t>(1, rowsPerStrip, uint32_t(height));
    const qint64 rowBytes = qint64(width) * 2;
    for (qint64 row = 0; row < height; row += rowsPerStrip) {
        const qint64 rows = qMin<qint64>(rowsPerStrip, height - row);
        const tmsize_t wanted = tmsize_t(rows * rowBytes);
        quint16 *out = samples16.data() + row * width;
        const uint32_t strip = TIFFComputeStrip(tif, uint32_t(row), 0);
        if (TIFFReadEncodedStrip(tif, strip, out, wanted) != wanted) {
            fail(QT_TRANSLATE_NOOP("TiffData", "Error on reading TIFF"), path);
            clear();
            return false;
        }
    }
    updateRange(0, samples16.size());
    return true;
}

bool TiffData::readImg(const QString &path)
{
    width = 0;
    height = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failWithCode(QT_TRANSLATE_NOOP("TiffData", "Can not open"), path, file);
        return false;
    }
    const QByteArray header = file.read(10);
    if (header.size() < 10) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Error on reading"), path);
        return false;
    }
    const uchar *h = reinterpret_cast<const uchar *>(header.constData());
    const int commentLength = qFromLittleEndian<quint16>(h + 2);
    const int headerWidth = qFromLittleEndian<quint16>(h + 4);
    const int headerHeight = qFromLittleEndian<quint16>(h + 6);

    // The comment is a list of "key=value" tokens; a token counts only when a comma ends it.
    if (!file.seek(imgHeaderBytes)) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Error on reading"), path);
        return false;
    }
    const QByteArray comment = file.read(commentLength);
    if (comment.size() < commentLength) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Error on reading"), path);
        return false;
    }
    const QString widthKey = QStringLiteral("Prop_ImageWidth=");
    const QString heightKey = QStringLiteral("Prop_ImageHeight=");
    QString token;
    for (const char ch : comment) {
        if (ch != ',') {
            token += QLatin1Char(ch);
            continue;
        }
        if (token.startsWith(widthKey))
            width = valueAfterKey(token, widthKey);
        else if (token.startsWith(heightKey))
            height = valueAfterKey(token, heightKey);
        token.clear();
    }
    if (width == 0)
        width = headerWidth;
    if (height == 0)
        height = headerHeight;
    const qint64 dataOffset = imgHeaderBytes + commentLength;

    fileName = path;
    resetRange();
    if (width <= 0 || height <= 0) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Empty image"), path);
        return false;
    }
    const qint64 dataBytes = qint64(width) * height * 2;
    if (dataOffset + dataBytes > file.size()) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Error on reading (2)"), path);
        return false;
    }
    if (!allocateSamples(ImgRows, path, true, height))
        return false;
    char *out = reinterpret_cast<char *>(samples16.data());
    if (!file.seek(dataOffset) || file.read(out, dataBytes) != dataBytes) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Error on reading (2)"), path);
        clear();
        return false;
    }
    qFromLittleEndian<quint16>(out, samples16.size(), out);
    updateRange(0, samples16.size());
    return true;
}

bool TiffData::readQnrb(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        failWithCode(QT_TRANSLATE_NOOP("TiffData", "Can not open"), path, file);
        return false;
    }
    QTextStream in(&file);
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    int headerLines = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        TextItem item1 = takeFirstItem(line);
        if (!item1.item.startsWith(QLatin1Char('#')))
            break;
        ++headerLines;
        const TextItem item2 = takeFirstItem(item1.rest);
        const TextItem item3 = takeFirstItem(item2.rest);
        const TextItem item4 = takeFirstItem(item3.rest);
        const QString key = item2.item.toUpper();
        if (key == QLatin1String("RANGE_X0"))
            x0 = item4.item.toInt();
        else if (key == QLatin1String("RANGE_X1"))
            x1 = item4.item.toInt();
        else if (key == QLatin1String("RANGE_Y0"))
            y0 = item4.item.toInt();
        else if (key == QLatin1String("RANGE_Y1"))
            y1 = item4.item.toInt();
    }
    file.close();
    const qint64 w = qint64(x1) - x0;
    const qint64 h = qint64(y1) - y0;
    if (w <= 0 || h <= 0 || w > std::numeric_limits<int>::max()
        || h > std::numeric_limits<int>::max()) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Empty image"), path);
        return false;
    }
    width = int(w);
    height = int(h);

    fileName = path;
    resetRange();
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        fail(QT_TRANSLATE_NOOP("TiffData", "Can not open (2)"), path);
        return false;
    }
    if (!allocateSamples(FloatRows, path, false, height))
        return false;
    in.setDevice(&file);
    for (int i = 0; i < headerLines; ++i)
        in.readLine();
    // A file that ends early leaves the remaining samples at the 0 they were allocated with.
    float *out = samplesFloat.data();
    const qsizetype pixels = samplesFloat.size();
    QString line;
    for (qsizetype i = 0; i < pixels && in.readLineInto(&line); ++i) {
        const TextItem item1 = takeFirstItem(line);
        const TextItem item2 = takeFirstItem(item1.rest);
        const TextItem item3 = takeFirstItem(item2.rest);
        // Scaled in double and rounded to float once.
        const float value = float(item3.item.toDouble() * qnrbScale);
        if (std::isfinite(value))
            out[i] = value > 0.0f ? value : 0.0f;
        else
            storeNonFinite(i);
    }
    updateRange(0, pixels);
    return true;
}

double TiffData::shiftedValue(int column, int row) const
{
    const unsigned c = unsigned(column - shiftX);
    const unsigned r = unsigned(row - shiftY);
    if (c >= unsigned(width) || r >= unsigned(height))
        return 0.0;
    const qsizetype index = qsizetype(r) * width + c;
    if (sampleKind == FloatRows)
        return index < samplesFloat.size() ? double(samplesFloat.at(index)) : 0.0;
    return index < samples16.size() ? double(samples16.at(index)) : 0.0;
}

double TiffData::binSum(int x, int y, int halfWidth, int halfHeight) const
{
    return binSum(x, y, halfWidth, halfHeight, shiftX, shiftY);
}

double TiffData::binSum(
    qint64 x, qint64 y, qint64 halfWidth, qint64 halfHeight, int shiftX, int shiftY) const
{
    const qint64 hw = qAbs(halfWidth);
    const qint64 hh = qAbs(halfHeight);
    // The block in stored coordinates, clipped once; pixels outside the image count 0.
    const qint64 c0 = qMax<qint64>(x - hw - shiftX, 0);
    const qint64 c1 = qMin<qint64>(x + hw - shiftX, qint64(width) - 1);
    const qint64 r0 = qMax<qint64>(y - hh - shiftY, 0);
    const qint64 r1 = qMin<qint64>(y + hh - shiftY, qint64(height) - 1);
    if (c0 > c1 || r0 > r1)
        return 0.0;
    const int columns = int(c1 - c0 + 1);
    if (sampleKind == FloatRows) {
        if (samplesFloat.size() < qsizetype(width) * height)
            return 0.0;
        double sum = 0.0;
        for (qint64 r = r0; r <= r1; ++r) {
            const float *p = samplesFloat.constData() + r * width + c0;
            for (int i = 0; i < columns; ++i)
                sum += double(p[i]);
        }
        return sum;
    }
    if (samples16.size() < qsizetype(width) * height)
        return 0.0;
    // Integer sums are exact, so the order of adding does not matter.
    quint64 sum = 0;
    for (qint64 r = r0; r <= r1; ++r) {
        const quint16 *p = samples16.constData() + r * width + c0;
        quint64 rowSum = 0;
        for (int i = 0; i < columns; ++i)
            rowSum += p[i];
        sum += rowSum;
    }
    return double(sum);
}

namespace {

// n samples, every step-th from p, as doubles.
MARVOLENTI_VECTOR_CLONES
void samplesAsDoubles(const quint16 *p, int n, qint64 step, double *out)
{
    if (step == 1) {
        for (int i = 0; i < n; ++i)
            out[i] = p[i];
        return;
    }
    for (int i = 0; i < n; ++i)
        out[i] = p[i * step];
}

// Adds a row of n samples to n running column sums.
MARVOLENTI_VECTOR_CLONES
void addRow(const quint16 *p, qint64 n, quint64 *sums)
{
    for (qint64 j = 0; j < n; ++j)
        sums[j] += p[j];
}

// Asks the processor to fetch n samples from p into its caches, without waiting for them.
void prefetchSamples(const quint16 *p, qint64 n)
{
    constexpr qint64 lineSamples = 32;
    for (qint64 j = 0; j < n; j += lineSamples)
        __builtin_prefetch(p + j);
    if (n > 0)
        __builtin_prefetch(p + n - 1);
}

} // namespace

void TiffData::blockSums(qint64 firstX,
                         qint64 stepX,
                         int count,
                         qint64 y,
                         qint64 halfWidth,
                         qint64 halfHeight,
                         int shiftX,
                         int shiftY,
                         double *out) const
{
    if (count <= 0)
        return;
    const auto centre = [&](int i) { return firstX + i * stepX; };
    // Float sums depend on the order of adding: they are taken block by block as binSum does.
    // So is a single block (the spectrum under the cursor), which needs no running sums.
    if (count == 1 || sampleKind == FloatRows || samples16.size() < qsizetype(width) * height
        || stepX <= 0) {
        for (int i = 0; i < count; ++i)
            out[i] = binSum(centre(i), y, halfWidth, halfHeight, shiftX, shiftY);
        return;
    }
    const qint64 hw = qAbs(halfWidth);
    const qint64 hh = qAbs(halfHeight);
    const qint64 r0 = qMax<qint64>(y - hh - shiftY, 0);
    const qint64 r1 = qMin<qint64>(y + hh - shiftY, qint64(height) - 1);
    // The stored columns that any of the blocks covers.
    const qint64 lo = qMax<qint64>(centre(0) - hw - shiftX, 0);
    const qint64 hi = qMin<qint64>(centre(count - 1) + hw - shiftX, qint64(width) - 1);
    if (r0 > r1 || lo > hi) {
        std::fill(out, out + count, 0.0);
        return;
    }
    // An area walk asks for the blocks that follow these along the row next: their samples
    // come from memory while these are summed.
    const qint64 ahead = qMin<qint64>(hi - lo + 1, qint64(width) - 1 - hi);
    for (qint64 r = r0; r <= r1; ++r)
        prefetchSamples(samples16.constData() + r * width + hi + 1, ahead);
    if (hw == 0 && r0 == r1) {
        // Blocks of one pixel: the samples themselves, 0 for the blocks left and right of the
        // stored columns.
        const qint64 first = centre(0) - shiftX;
        // Blocks i with lo <= first + i * stepX <= hi; no division for the usual step 1.
        const auto blocksBefore = [stepX](qint64 columns) {
            return stepX == 1 ? columns : (columns + stepX - 1) / stepX;
        };
        const int begin = int(qMin<qint64>(count, blocksBefore(lo - first)));
        const int end = int(qMin<qint64>(count, blocksBefore(hi - first + 1)));
        std::fill(out, out + begin, 0.0);
        samplesAsDoubles(samples16.constData() + r0 * width + first + begin * stepX,
                         end - begin,
                         stepX,
                         out + begin);
        std::fill(out + end, out + count, 0.0);
        return;
    }
    // Column sums over the block's rows, then running sums along the row: every block is a
    // difference of two exact integers. The sums stay with the thread from call to call.
    const qint64 span = hi - lo + 1;
    thread_local std::vector<quint64> running;
    running.assign(span + 1, 0);
    for (qint64 r = r0; r <= r1; ++r)
        addRow(samples16.constData() + r * width + lo, span, running.data() + 1);
    for (qint64 j = 0; j < span; ++j)
        running[j + 1] += running[j];
    for (int i = 0; i < count; ++i) {
        const qint64 c0 = qMax(centre(i) - hw - shiftX, lo);
        const qint64 c1 = qMin(centre(i) + hw - shiftX, hi);
        out[i] = c0 > c1 ? 0.0 : double(running[c1 - lo + 1] - running[c0 - lo]);
    }
}

void TiffData::rowBlockSums(int x, int firstY, int count, int halfWidth, double *out) const
{
    if (sampleKind == FloatRows || samples16.size() < qsizetype(width) * height) {
        for (int i = 0; i < count; ++i)
            out[i] = binSum(x, firstY + i, halfWidth, 0);
        return;
    }
    // The columns once, clipped to the stored image; then a short integer sum a row.
    const qint64 hw = qAbs(qint64(halfWidth));
    const qint64 c0 = qMax<qint64>(x - hw - shiftX, 0);
    const qint64 c1 = qMin<qint64>(x + hw - shiftX, qint64(width) - 1);
    for (int i = 0; i < count; ++i) {
        const qint64 r = qint64(firstY) + i - shiftY;
        if (c0 > c1 || r < 0 || r >= height) {
            out[i] = 0.0;
            continue;
        }
        const quint16 *p = samples16.constData() + r * width;
        quint64 sum = 0;
        for (qint64 c = c0; c <= c1; ++c)
            sum += p[c];
        out[i] = double(sum);
    }
}

void TiffData::makeDisplayImage()
{
    const ColorScale *scale = ColorScale::current();
    const QImage::Format format = scale ? scale->format() : displayFormat;
    // This runs at every move of the colour bar's limits: the buffer of the last colouring is
    // written over when no copy of the image is held elsewhere, which spares clearing pages.
    const bool reuse = scale && format == displayFormat && displayImage.isDetached()
                       && displayBuffer.size() == qint64(rowBytes(format, width)) * height;
    displayImage = QImage();
    if (!scale) {
        displayBuffer.clear();
        return;
    }
    // The buffer follows the scale's pixel size so that a colour scale can never write past it.
    displayFormat = format;
    if (!reuse)
        displayBuffer = allocPixels(displayFormat, width, height);
    if (displayBuffer.isEmpty())
        return;
    uchar *pixels = reinterpret_cast<uchar *>(displayBuffer.data());
    const qsizetype pixelCount = qsizetype(width) * height;
    if (sampleKind == FloatRows || samples16.size() < pixelCount || scale->bytesPerPixel() == 0) {
        scale->colourPixels(pixels, width, height, minValue, maxValue, [this](int c, int r) {
            return shiftedValue(c, r);
        });
        displayImage = wrapBuffer(displayFormat, displayBuffer, width, height);
        return;
    }
    const SampleColouring colouring(*scale, minValue, maxValue);
    const int pixelBytes = colouring.bytesPerPixel();
    // Pixels whose shifted source lies outside the stored image show the value 0.
    const uchar *zeroColour = colouring.zeroColour();
    const int stride = rowBytes(displayFormat, width);
    const quint16 *samples = samples16.constData();
    for (int r = 0; r < height; ++r) {
        uchar *out = pixels + qsizetype(r) * stride;
        const qint64 sourceRow = qint64(r) - shiftY;
        // Columns [first, last) of this row have a stored source sample, at rowStart + column.
        qint64 first = qBound<qint64>(0, shiftX, width);
        qint64 last = qBound<qint64>(0, qint64(width) + shiftX, width);
        if (sourceRow < 0 || sourceRow >= height)
            first = last = width;
        for (qint64 c = 0; c < first; ++c)
            memcpy(out + c * pixelBytes, zeroColour, size_t(pixelBytes));
        if (last > first) {
            const qsizetype rowStart = qsizetype(sourceRow) * width - shiftX;
            colouring.colour(samples + rowStart + first, last - first, out + first * pixelBytes);
        }
        for (qint64 c = last; c < width; ++c)
            memcpy(out + c * pixelBytes, zeroColour, size_t(pixelBytes));
    }
    displayImage = wrapBuffer(displayFormat, displayBuffer, width, height);
}

void TiffData::pushRangeToColorBar()
{
    if (colorBar)
        colorBar->setValueRange(minValue, maxValue);
}

void TiffData::releaseDisplayImage()
{
    displayImage = QImage();
    displayBuffer = QByteArray();
}

bool TiffData::prepareSamples(SampleKind kind, int imageWidth, int imageHeight, const QString &name)
{
    width = imageWidth;
    height = imageHeight;
    fileName = name;
    resetRange();
    return allocateSamples(kind, name, true, imageHeight);
}

void TiffData::finishSamples()
{
    if (sampleKind == FloatRows) {
        for (qsizetype i = 0; i < samplesFloat.size(); ++i) {
            if (!std::isfinite(samplesFloat[i]))
                storeNonFinite(i);
        }
    }
    updateRange(0, sampleKind == FloatRows ? samplesFloat.size() : samples16.size());
}

void TiffData::clear()
{
    samples16.clear();
    samplesFloat.clear();
    mNonFiniteBits = std::vector<quint64>();
    nonFiniteCount = 0;
    releaseDisplayImage();
}
