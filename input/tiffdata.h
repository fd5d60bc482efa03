#pragma once

#include "input/samplestore.h"

#include <QByteArray>
#include <QImage>
#include <QMetaType>
#include <QString>
#include <QVector>

#include <vector>

class ColorScale;
class QFile;
struct tiff;

// One loaded image of one energy: its samples, size, value range, energy, alignment shift
// and, once it is shown, a display image coloured through the current colour scale.
class TiffData
{
public:
    enum SampleKind { TiffRows = 0, ImgRows = 1, FloatRows = 2, NoRows = 3 };

    TiffData() = default;
    ~TiffData();
    TiffData(const TiffData &) = delete;
    TiffData &operator=(const TiffData &) = delete;

    // Reads the file, choosing the format from its first bytes; page >= 0 reads that page of
    // a multi-page TIFF.
    bool read(const QString &fileName, int page = -1);
    // The name the file list shows: the file's, with "[k]" after it for page k - 1 of a
    // multi-page file.
    QString listedName() const;
    // Rebuilds the display image from the samples through the current colour scale.
    void makeDisplayImage();
    bool hasDisplayImage() const { return !displayImage.isNull(); }
    // Frees the display image and its buffer; the samples stay.
    void releaseDisplayImage();
    // Sum of the shifted sample values of the (2|hw|+1) x (2|hh|+1) block centred on (x, y).
    double binSum(int x, int y, int halfWidth, int halfHeight) const;
    // The same with the alignment shift (shiftX, shiftY) in place of the image's own.
    double
    binSum(qint64 x, qint64 y, qint64 halfWidth, qint64 halfHeight, int shiftX, int shiftY) const;
    // Bin sums of count blocks centred on (firstX + i * stepX, y) with the given alignment
    // shift, into out: the numbers binSum gives, 16-bit images summed a row at a time.
    void blockSums(qint64 firstX,
                   qint64 stepX,
                   int count,
                   qint64 y,
                   qint64 halfWidth,
                   qint64 halfHeight,
                   int shiftX,
                   int shiftY,
                   double *out) const;
    // Sums of count single-row blocks centred on (x, firstY + i), into out: the numbers
    // binSum(x, firstY + i, halfWidth, 0) gives.
    void rowBlockSums(int x, int firstY, int count, int halfWidth, double *out) const;
    // Sample at (column, row) after the alignment shift; 0 outside the stored image.
    double shiftedValue(int column, int row) const;
    // Whether the file held samples that are no finite number (NaN, infinite): they are
    // stored as 0 and left out of block spectra.
    bool hasNonFinite() const { return nonFiniteCount > 0; }
    // Calls visit(column) for every non-finite sample of stored row `row` in the stored
    // columns [firstColumn, lastColumn] (clipped to the image).
    template<typename Visit>
    void forEachNonFinite(qint64 row, qint64 firstColumn, qint64 lastColumn, Visit visit) const;
    // Hands (minValue, maxValue) to the colour bar, which repaints itself.
    void pushRangeToColorBar();
    void clear();
    // For sources that write the samples themselves (frames of an HDF5 dataset): names and
    // sizes the image and makes room for its samples of the given kind, left unset.
    bool prepareSamples(SampleKind kind, int imageWidth, int imageHeight, const QString &name);
    // Once the samples are written: float samples that are no finite number are stored as 0
    // and noted, and the value range is taken.
    void finishSamples();

    // Largest image a reader accepts, in pixels: a guard against headers that declare
    // sizes no file of this program holds.
    static constexpr qint64 maxPixels = qint64(1) << 28;

    QImage::Format displayFormat = QImage::Format_Grayscale8;
    QString fileName;
    int width = 0;
    int height = 0;
    int scanlineBytes = 0;
    double minValue = 1.7976931348623157e308;
    double maxValue = 2.2250738585072014e-308;
    double energy = 0.0;
    ColorScale *colorBar = nullptr;
    QByteArray displayBuffer;
    QImage displayImage;
    int shiftX = 0;
    int shiftY = 0;
    SampleKind sampleKind = NoRows;
    // The page of a multi-page TIFF the image is, -1 for a file of one image.
    int page = -1;
    // The energy in eV that the page's slice label gives, 0 when it gives none.
    double energyOfLabel = 0.0;

    // Samples, row by row without padding: 16-bit for TIFF and IMG, float for QNRB text.
    SampleStore<quint16> samples16;
    SampleStore<float> samplesFloat;
    // Number of samples of the file that were no finite number.
    qint64 nonFiniteCount = 0;
    // Why the last read failed, as the untranslated text of context "TiffData".
    QString failureReason;

private:
    // Names a failed read on the debug output and keeps its reason.
    void fail(const char *message, const QString &path);
    void failWithCode(const char *message, const QString &path, const QFile &file);
    bool readTiff(const QString &path, int page);
    bool readTiffStrips(tiff *tif, const QString &path);
    bool readImg(const QString &path);
    bool readQnrb(const QString &path);
    // Checks the size for samples of the given kind, empties the store and makes room for the
    // first rows rows: zero-filled unless the reader writes every sample itself.
    bool allocateSamples(SampleKind kind, const QString &path, bool readerFillsAll, int rows);
    // Makes room for the first rows rows (never fewer than the store holds already).
    void growSamples(int rows, bool readerFillsAll);
    void resetRange();
    // Stores the float sample at index, which is no finite number, as 0 and keeps its position.
    void storeNonFinite(qsizetype index);
    void updateRange(qsizetype from, qsizetype count);

    // One bit per sample, row by row, set where the sample was not finite; empty when none was.
    std::vector<quint64> mNonFiniteBits;
};

template<typename Visit>
void TiffData::forEachNonFinite(qint64 row,
                                qint64 firstColumn,
                                qint64 lastColumn,
                                Visit visit) const
{
    if (mNonFiniteBits.empty() || row < 0 || row >= height)
        return;
    const qint64 first = row * width + qMax<qint64>(firstColumn, 0);
    const qint64 end = row * width + qMin<qint64>(lastColumn, qint64(width) - 1) + 1;
    // A word at a time: the bits are few and mostly in long runs or none.
    for (qint64 word = first / 64; word * 64 < end; ++word) {
        quint64 bits = mNonFiniteBits[size_t(word)];
        while (bits) {
            const qint64 index = word * 64 + __builtin_ctzll(bits);
            bits &= bits - 1;
            if (index >= first && index < end)
                visit(index - row * width);
        }
    }
}

Q_DECLARE_METATYPE(TiffData *)
