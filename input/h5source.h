#pragma once

#include "input/tiffdata.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

class QMutex;

// An image stack held in one HDF5 file: the sample frames (N, H, W) become the I1 images,
// flats the I0 images (one per energy when there are N of them, else their mean for every
// energy), darks are averaged and subtracted from both, and the energies (N, keV or eV) sort
// the frames rising. Every shape, type, filter and size is checked with the library's own
// queries before a sample is read; the frames are then read one by one straight into the
// images' sample memory. Widget-free; one instance serves one load.
class H5Source
{
    Q_DECLARE_TR_FUNCTIONS(H5Source)

public:
    // Dataset paths of a stack; flat, dark and energy may be empty.
    struct Paths
    {
        QString sample;
        QString flat;
        QString dark;
        QString energy;
    };
    // One dataset of a file, for choosing among them.
    struct DatasetInfo
    {
        QString path;
        QVector<qint64> shape;
        QString type;
    };

    H5Source();
    ~H5Source();
    H5Source(const H5Source &) = delete;
    H5Source &operator=(const H5Source &) = delete;

    // The HDF5 library of the system is built without thread safety: every call into it,
    // from any class and thread, holds this lock.
    static QMutex &libraryLock();

    // Reads the file from these bytes through the library's in-memory driver instead of from
    // disk; the name passed to the other calls still names it in messages.
    void useFileImage(const QByteArray &bytes);

    // Refuses stacks whose images would take more than this many bytes; the machine's
    // physical memory unless set.
    void setMemoryLimit(qint64 bytes) { mMemoryLimit = bytes; }

    // Every dataset of the file with its shape and type.
    bool listDatasets(const QString &file, QVector<DatasetInfo> *datasets);
    // The datasets of a layout recognised by its names: /exchange/data with data_white,
    // data_dark and energy beside it, or img_xanes, img_bkg, img_dark and X_eng at the root.
    bool recognise(const QString &file, Paths *paths);
    // Checks the datasets of a stack and reads its energies, without reading a sample.
    bool check(const QString &file, const Paths &paths);
    // Frames read() reads after a successful check().
    int framesToRead() const;
    // Reads the checked stack; progress(done, total) follows every frame and stops the read
    // when it returns false. On failure no image is kept.
    bool read(const std::function<bool(int, int)> &progress);
    // The images read, in rising energy, with their energies in eV unless the stack has
    // none; the caller takes them over.
    std::vector<std::unique_ptr<TiffData>> takeImages(bool i1);
    bool hasEnergies() const { return !mEnergies.empty(); }
    // Why the last call failed, naming the file and the dataset.
    const QString &error() const { return mError; }

    // The I0 image of averaged flats: the mean of all frames, taken to hold every energy.
    static constexpr const char *averagedFlatSuffix = " [mean]";

private:
    struct Dataset;
    struct Progress;

    bool open(const QString &file);
    bool fail(const QString &message);
    bool openDataset(const QString &path, int minRank, int maxRank, bool sampleType, Dataset *out);
    bool checkFilters(const Dataset &dataset);
    bool checkStack(const QString &file, const Paths &paths);
    bool readEnergies(const Dataset &dataset, qint64 count);
    // One frame of a dataset (the whole of a 2-D one) converted to memoryType into out.
    bool readFrameInto(const Dataset &dataset, qint64 index, qint64 memoryType, void *out);
    // Counts a frame read; false when the reader of the progress stops the load.
    bool step(Progress &progress);
    bool readMean(const Dataset &dataset, std::vector<double> *mean, Progress &progress);
    bool readStack(const Dataset &dataset, bool i1, Progress &progress);
    bool readAll(Progress &progress);
    void subtractDark(TiffData *image) const;
    void closeAll();

    QString mFile;
    QByteArray mFileImage;
    qint64 mFileId = -1;
    std::vector<std::unique_ptr<Dataset>> mDatasets;
    Dataset *mSample = nullptr;
    Dataset *mFlat = nullptr;
    Dataset *mDark = nullptr;
    qint64 mFrames = 0;
    int mHeight = 0;
    int mWidth = 0;
    std::vector<double> mEnergies;
    std::vector<qint64> mOrder;
    std::vector<float> mDarkMean;
    std::vector<std::unique_ptr<TiffData>> mImages[2];
    qint64 mMemoryLimit = 0;
    QString mError;
};
