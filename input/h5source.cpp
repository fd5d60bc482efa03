#include "h5source.h"

#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

#include <hdf5.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <numeric>

#include <unistd.h>

namespace {

// Closes an HDF5 identifier when it goes out of scope.
class Id
{
public:
    Id(hid_t id, herr_t (*close)(hid_t))
        : mId(id)
        , mClose(close)
    {}
    ~Id()
    {
        if (mId >= 0)
            mClose(mId);
    }
    Id(const Id &) = delete;
    Id &operator=(const Id &) = delete;
    operator hid_t() const { return mId; }
    bool valid() const { return mId >= 0; }

private:
    hid_t mId;
    herr_t (*mClose)(hid_t);
};

// Turns off the library's printing of its error stack; its innermost message is taken into our
// own messages instead.
void silenceLibrary()
{
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
}

herr_t innermostError(unsigned n, const H5E_error2_t *error, void *data)
{
    if (n == 0 && error->desc)
        *static_cast<QString *>(data) = QString::fromUtf8(error->desc);
    return 0;
}

// The library's own words for its last failure, or nothing.
QString libraryError()
{
    QString text;
    H5Ewalk2(H5E_DEFAULT, H5E_WALK_UPWARD, innermostError, &text);
    H5Eclear2(H5E_DEFAULT);
    return text.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(text);
}

QString typeName(hid_t type)
{
    const size_t bytes = H5Tget_size(type);
    switch (H5Tget_class(type)) {
    case H5T_INTEGER:
        return QStringLiteral("%1int%2")
            .arg(H5Tget_sign(type) == H5T_SGN_NONE ? "u" : "")
            .arg(bytes * 8);
    case H5T_FLOAT:
        return QStringLiteral("float%1").arg(bytes * 8);
    case H5T_STRING:
        return QStringLiteral("string");
    case H5T_COMPOUND:
        return QStringLiteral("compound");
    case H5T_ENUM:
        return QStringLiteral("enum");
    case H5T_ARRAY:
        return QStringLiteral("array");
    case H5T_VLEN:
        return QStringLiteral("vlen");
    case H5T_OPAQUE:
        return QStringLiteral("opaque");
    case H5T_REFERENCE:
        return QStringLiteral("reference");
    case H5T_BITFIELD:
        return QStringLiteral("bitfield");
    default:
        return QStringLiteral("unknown");
    }
}

// The sample types read, and how each is stored: 8- and 16-bit unsigned as 16-bit samples,
// exactly; the others as float.
bool isSampleType(hid_t type, TiffData::SampleKind *kind)
{
    const size_t bytes = H5Tget_size(type);
    const H5T_class_t typeClass = H5Tget_class(type);
    const bool isUnsigned = typeClass == H5T_INTEGER && H5Tget_sign(type) == H5T_SGN_NONE;
    bool known = false;
    if (typeClass == H5T_INTEGER)
        known = bytes == 4 || bytes == 2 || (bytes == 1 && isUnsigned);
    else if (typeClass == H5T_FLOAT)
        known = bytes == 4 || bytes == 8;
    *kind = typeClass == H5T_INTEGER && isUnsigned && bytes <= 2 ? TiffData::TiffRows
                                                                 : TiffData::FloatRows;
    return known;
}

// Names of filters whose plugin may be missing, for files that do not name them.
QString knownFilterName(H5Z_filter_t id)
{
    switch (id) {
    case 307:
        return QStringLiteral("bzip2");
    case 32001:
        return QStringLiteral("blosc");
    case 32004:
        return QStringLiteral("lz4");
    case 32008:
        return QStringLiteral("bitshuffle");
    case 32015:
        return QStringLiteral("zstd");
    default:
        return QStringLiteral("unnamed");
    }
}

qint64 physicalMemory()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? qint64(pages) * pageSize : qint64(1) << 62;
}

qint64 bytesOf(TiffData::SampleKind kind)
{
    return kind == TiffData::FloatRows ? qint64(sizeof(float)) : qint64(sizeof(quint16));
}

} // namespace

struct H5Source::Dataset
{
    QString path;
    hid_t id = -1;
    hid_t space = -1;
    int rank = 0;
    hsize_t dims[3] = {0, 0, 0};
    TiffData::SampleKind kind = TiffData::NoRows;
    // Where the samples of a contiguous dataset start in the file; HADDR_UNDEF when chunked.
    haddr_t offset = HADDR_UNDEF;

    // Frames of the dataset: one for a 2-D dataset.
    qint64 frames() const { return rank == 3 ? qint64(dims[0]) : 1; }
    hsize_t height() const { return dims[rank - 2]; }
    hsize_t width() const { return dims[rank - 1]; }
};

struct H5Source::Progress
{
    int done;
    int total;
    const std::function<bool(int, int)> *report;
};

H5Source::H5Source() = default;

H5Source::~H5Source()
{
    QMutexLocker lock(&libraryLock());
    closeAll();
}

QMutex &H5Source::libraryLock()
{
    static QMutex lock;
    return lock;
}

void H5Source::useFileImage(const QByteArray &bytes)
{
    mFileImage = bytes;
}

bool H5Source::fail(const QString &message)
{
    mError = message;
    return false;
}

void H5Source::closeAll()
{
    for (const std::unique_ptr<Dataset> &dataset : mDatasets) {
        H5Sclose(dataset->space);
        H5Dclose(dataset->id);
    }
    mDatasets.clear();
    mSample = mFlat = mDark = nullptr;
    if (mFileId >= 0)
        H5Fclose(mFileId);
    mFileId = -1;
}

bool H5Source::open(const QString &file)
{
    silenceLibrary();
    closeAll();
    mFile = file;
    mError.clear();
    if (mFileImage.isEmpty()) {
        const QFileInfo info(file);
        if (!info.isFile())
            return fail(tr("%1: no such file").arg(file));
        mFileId = H5Fopen(QFile::encodeName(file).constData(), H5F_ACC_RDONLY, H5P_DEFAULT);
    } else {
        const Id access(H5Pcreate(H5P_FILE_ACCESS), H5Pclose);
        H5Pset_fapl_core(access, 1 << 20, 0);
        H5Pset_file_image(access, mFileImage.data(), size_t(mFileImage.size()));
        mFileId = H5Fopen(QFile::encodeName(file).constData(), H5F_ACC_RDONLY, access);
    }
    if (mFileId < 0)
        return fail(tr("%1: not an HDF5 file or damaged%2").arg(file, libraryError()));
    return true;
}

namespace {

// Objects are visited through hard links only: soft and external links may lead out of the file
// or round in circles. (The library's walk over links, H5Lvisit, crashes on some damaged local
// heaps where this walk reports the damage.)
herr_t listObject(hid_t group, const char *name, const H5O_info_t *info, void *data)
{
    if (info->type != H5O_TYPE_DATASET)
        return 0;
    auto *datasets = static_cast<QVector<H5Source::DatasetInfo> *>(data);
    // Guards against a damaged file that lists links without end.
    if (datasets->size() >= 100000)
        return 1;
    const Id dataset(H5Dopen2(group, name, H5P_DEFAULT), H5Dclose);
    if (!dataset.valid()) {
        H5Eclear2(H5E_DEFAULT);
        return 0;
    }
    const Id space(H5Dget_space(dataset), H5Sclose);
    const Id type(H5Dget_type(dataset), H5Tclose);
    H5Source::DatasetInfo entry;
    entry.path = QLatin1Char('/') + QString::fromUtf8(name);
    const int rank = space.valid() ? H5Sget_simple_extent_ndims(space) : -1;
    if (rank > 0 && rank <= 32) {
        hsize_t dims[32];
        H5Sget_simple_extent_dims(space, dims, nullptr);
        for (int i = 0; i < rank; ++i)
            entry.shape.append(qint64(dims[i]));
    }
    entry.type = type.valid() ? typeName(type) : QStringLiteral("unknown");
    datasets->append(entry);
    return 0;
}

} // namespace

bool H5Source::listDatasets(const QString &file, QVector<DatasetInfo> *datasets)
{
    QMutexLocker lock(&libraryLock());
    datasets->clear();
    if (!open(file))
        return false;
    const herr_t status = H5Ovisit(mFileId, H5_INDEX_NAME, H5_ITER_INC, listObject, datasets);
    closeAll();
    if (status < 0)
        return fail(tr("%1: the list of datasets is damaged%2").arg(file, libraryError()));
    return true;
}

bool H5Source::recognise(const QString &file, Paths *paths)
{
    QMutexLocker lock(&libraryLock());
    if (!open(file))
        return false;
    const auto exists = [this](const char *path) {
        const htri_t found = H5Lexists(mFileId, path, H5P_DEFAULT);
        H5Eclear2(H5E_DEFAULT);
        return found > 0;
    };
    const auto optional = [&exists](const char *path) {
        return exists(path) ? QString::fromLatin1(path) : QString();
    };
    *paths = Paths();
    if (exists("/exchange") && exists("/exchange/data")) {
        paths->sample = QStringLiteral("/exchange/data");
        paths->flat = optional("/exchange/data_white");
        paths->dark = optional("/exchange/data_dark");
        paths->energy = optional("/exchange/energy");
    } else if (exists("/img_xanes")) {
        paths->sample = QStringLiteral("/img_xanes");
        paths->flat = optional("/img_bkg");
        paths->dark = optional("/img_dark");
        paths->energy = optional("/X_eng");
    }
    closeAll();
    if (paths->sample.isEmpty()) {
        return fail(tr("%1: neither /exchange/data nor /img_xanes: name the datasets "
                       "(load_h5_datasets, or the HDF5 dialog)")
                        .arg(file));
    }
    if (paths->energy.isEmpty()) {
        return fail(tr("%1: no energies beside %2 (%3)")
                        .arg(file,
                             paths->sample,
                             paths->sample.startsWith(QLatin1String("/exchange"))
                                 ? QStringLiteral("/exchange/energy")
                                 : QStringLiteral("/X_eng")));
    }
    return true;
}

bool H5Source::openDataset(
    const QString &path, int minRank, int maxRank, bool sampleType, Dataset *out)
{
    out->path = path;
    const QByteArray name = path.toUtf8();
    // H5Dopen on a path whose groups are missing fails on its own; H5Lexists would fail on the
    // first missing group as well, so the open says it all.
    out->id = H5Dopen2(mFileId, name.constData(), H5P_DEFAULT);
    if (out->id < 0)
        return fail(tr("%1: no dataset %2%3").arg(mFile, path, libraryError()));
    out->space = H5Dget_space(out->id);
    out->offset = H5Dget_offset(out->id);
    H5Eclear2(H5E_DEFAULT);
    const Id type(H5Dget_type(out->id), H5Tclose);
    if (out->space < 0 || !type.valid())
        return fail(tr("%1: %2 is damaged%3").arg(mFile, path, libraryError()));
    const H5T_class_t typeClass = H5Tget_class(type);
    if (typeClass != H5T_INTEGER && typeClass != H5T_FLOAT)
        return fail(tr("%1: %2 holds %3, not numbers").arg(mFile, path, typeName(type)));
    if (sampleType && !isSampleType(type, &out->kind)) {
        return fail(tr("%1: %2 holds %3; images must be uint8/16/32, int16/32 or float32/64")
                        .arg(mFile, path, typeName(type)));
    }
    out->rank = H5Sget_simple_extent_ndims(out->space);
    if (out->rank < minRank || out->rank > maxRank) {
        const QString wanted = minRank == maxRank
                                   ? QString::number(minRank)
                                   : QStringLiteral("%1 or %2").arg(minRank).arg(maxRank);
        return fail(tr("%1: %2 has %3 dimensions, not %4")
                        .arg(mFile, path)
                        .arg(qMax(out->rank, 0))
                        .arg(wanted));
    }
    H5Sget_simple_extent_dims(out->space, out->dims, nullptr);
    for (int i = 0; i < out->rank; ++i) {
        if (out->dims[i] == 0)
            return fail(tr("%1: %2 is empty").arg(mFile, path));
    }
    if (out->rank >= 2
        && (out->height() > hsize_t(INT_MAX) || out->width() > hsize_t(INT_MAX)
            || out->height() * out->width() > hsize_t(TiffData::maxPixels))) {
        return fail(tr("%1: the frames of %2 (%3 x %4) are larger than an image can be")
                        .arg(mFile, path)
                        .arg(out->width())
                        .arg(out->height()));
    }
    return checkFilters(*out);
}

bool H5Source::checkFilters(const Dataset &dataset)
{
    const Id creation(H5Dget_create_plist(dataset.id), H5Pclose);
    if (!creation.valid())
        return fail(tr("%1: %2 is damaged%3").arg(mFile, dataset.path, libraryError()));
    const int filters = H5Pget_nfilters(creation);
    for (int i = 0; i < filters; ++i) {
        unsigned flags = 0;
        size_t values = 0;
        char name[256] = {0};
        unsigned config = 0;
        const H5Z_filter_t id = H5Pget_filter2(
            creation, unsigned(i), &flags, &values, nullptr, sizeof name - 1, name, &config);
        if (id < 0)
            return fail(tr("%1: %2 is damaged%3").arg(mFile, dataset.path, libraryError()));
        // Looks for a plugin too when the filter is not built in.
        if (H5Zfilter_avail(id) <= 0) {
            H5Eclear2(H5E_DEFAULT);
            const QString filterName = name[0] ? QString::fromUtf8(name) : knownFilterName(id);
            return fail(tr("%1: %2 is compressed with filter %3 (id %4), which is not installed")
                            .arg(mFile, dataset.path, filterName)
                            .arg(id));
        }
    }
    return true;
}

bool H5Source::check(const QString &file, const Paths &paths)
{
    QMutexLocker lock(&libraryLock());
    mEnergies.clear();
    mOrder.clear();
    if (open(file) && checkStack(file, paths))
        return true;
    closeAll();
    return false;
}

bool H5Source::checkStack(const QString &file, const Paths &paths)
{
    const auto add = [this](const QString &path, int minRank, int maxRank, bool sampleType) {
        mDatasets.push_back(std::make_unique<Dataset>());
        Dataset *dataset = mDatasets.back().get();
        return openDataset(path, minRank, maxRank, sampleType, dataset) ? dataset : nullptr;
    };
    if (paths.sample.isEmpty())
        return fail(tr("%1: no sample dataset named").arg(file));
    if (!(mSample = add(paths.sample, 3, 3, true)))
        return false;
    if (mSample->dims[0] > hsize_t(INT_MAX) / 4)
        return fail(tr("%1: %2 holds too many frames").arg(file, paths.sample));
    mFrames = qint64(mSample->dims[0]);
    mHeight = int(mSample->height());
    mWidth = int(mSample->width());
    const auto sameFrameSize = [this](const Dataset *dataset) {
        if (dataset->height() == mSample->height() && dataset->width() == mSample->width())
            return true;
        return fail(tr("%1: the frames of %2 are %3 x %4, those of %5 %6 x %7")
                        .arg(mFile, dataset->path)
                        .arg(dataset->width())
                        .arg(dataset->height())
                        .arg(mSample->path)
                        .arg(mWidth)
                        .arg(mHeight));
    };
    if (!paths.flat.isEmpty() && (!(mFlat = add(paths.flat, 2, 3, true)) || !sameFrameSize(mFlat)))
        return false;
    if (!paths.dark.isEmpty() && (!(mDark = add(paths.dark, 2, 3, true)) || !sameFrameSize(mDark)))
        return false;

    // What the images will hold, against what the machine has, before anything is allocated.
    const qint64 pixels = qint64(mWidth) * mHeight;
    qint64 bytes = mFrames * pixels * bytesOf(mSample->kind);
    if (mFlat)
        bytes += mFlat->frames() == mFrames ? mFrames * pixels * bytesOf(mFlat->kind)
                                            : pixels * qint64(sizeof(float) + sizeof(double));
    if (mDark)
        bytes += pixels * qint64(sizeof(float) + sizeof(double));
    const qint64 memory = mMemoryLimit > 0 ? mMemoryLimit : physicalMemory();
    if (bytes > memory) {
        return fail(tr("%1: %2 would take %3 MiB as images, more than the %4 MiB of this machine")
                        .arg(file, paths.sample)
                        .arg(bytes >> 20)
                        .arg(memory >> 20));
    }

    if (!paths.energy.isEmpty()) {
        Dataset *energy = add(paths.energy, 1, 1, false);
        if (!energy || !readEnergies(*energy, mFrames))
            return false;
    }
    mOrder.resize(size_t(mFrames));
    std::iota(mOrder.begin(), mOrder.end(), 0);
    // Frames of equal energy keep their order in the file.
    if (!mEnergies.empty()) {
        std::stable_sort(mOrder.begin(), mOrder.end(), [this](qint64 a, qint64 b) {
            return mEnergies[size_t(a)] < mEnergies[size_t(b)];
        });
    }
    return true;
}

namespace {

// The text of a string attribute, fixed or variable in length; empty when there is none.
QString stringAttribute(hid_t object, const char *name)
{
    if (H5Aexists(object, name) <= 0) {
        H5Eclear2(H5E_DEFAULT);
        return QString();
    }
    const Id attribute(H5Aopen(object, name, H5P_DEFAULT), H5Aclose);
    const Id type(attribute.valid() ? H5Aget_type(attribute) : -1, H5Tclose);
    const Id space(attribute.valid() ? H5Aget_space(attribute) : -1, H5Sclose);
    if (!type.valid() || !space.valid() || H5Tget_class(type) != H5T_STRING
        || H5Sget_simple_extent_npoints(space) != 1) {
        H5Eclear2(H5E_DEFAULT);
        return QStringLiteral("?");
    }
    const Id memoryType(H5Tcopy(H5T_C_S1), H5Tclose);
    QString text;
    if (H5Tis_variable_str(type) > 0) {
        H5Tset_size(memoryType, H5T_VARIABLE);
        char *value = nullptr;
        if (H5Aread(attribute, memoryType, &value) >= 0 && value) {
            text = QString::fromUtf8(value);
            H5free_memory(value);
        }
    } else {
        const size_t size = H5Tget_size(type);
        if (size > 0 && size < 4096) {
            QByteArray value(int(size) + 1, '\0');
            H5Tset_size(memoryType, size + 1);
            if (H5Aread(attribute, memoryType, value.data()) >= 0)
                text = QString::fromUtf8(value.constData());
        }
    }
    H5Eclear2(H5E_DEFAULT);
    return text.trimmed();
}

} // namespace

bool H5Source::readEnergies(const Dataset &dataset, qint64 count)
{
    if (qint64(dataset.dims[0]) != count) {
        return fail(tr("%1: %2 holds %3 energies for the %4 frames of %5")
                        .arg(mFile, dataset.path)
                        .arg(dataset.dims[0])
                        .arg(count)
                        .arg(mSample->path));
    }
    std::vector<double> energies(static_cast<size_t>(count));
    if (H5Dread(dataset.id, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, energies.data())
        < 0) {
        return fail(tr("%1: %2 can not be read%3").arg(mFile, dataset.path, libraryError()));
    }
    for (double energy : energies) {
        if (!std::isfinite(energy) || energy <= 0)
            return fail(tr("%1: %2 holds an energy of %3").arg(mFile, dataset.path).arg(energy));
    }
    // A units attribute says keV or eV; without one, energies below 100 can only be keV.
    const QString units = stringAttribute(dataset.id, "units");
    double factor = 1.0;
    if (units.compare(QLatin1String("keV"), Qt::CaseInsensitive) == 0)
        factor = 1000.0;
    else if (units.isEmpty())
        factor = *std::max_element(energies.begin(), energies.end()) < 100 ? 1000.0 : 1.0;
    else if (units.compare(QLatin1String("eV"), Qt::CaseInsensitive) != 0)
        return fail(tr("%1: %2 is in units \"%3\", not keV or eV").arg(mFile, dataset.path, units));
    for (double &energy : energies)
        energy *= factor;
    mEnergies = std::move(energies);
    return true;
}

int H5Source::framesToRead() const
{
    if (!mSample)
        return 0;
    return int(mFrames + (mFlat ? mFlat->frames() : 0) + (mDark ? mDark->frames() : 0));
}

bool H5Source::readFrameInto(const Dataset &dataset, qint64 index, qint64 memoryType, void *out)
{
    QMutexLocker lock(&libraryLock());
    const hsize_t frame[2] = {dataset.height(), dataset.width()};
    const Id memory(H5Screate_simple(2, frame, nullptr), H5Sclose);
    herr_t status = -1;
    if (dataset.rank == 2) {
        status = H5Dread(dataset.id, hid_t(memoryType), memory, H5S_ALL, H5P_DEFAULT, out);
    } else {
        const hsize_t start[3] = {hsize_t(index), 0, 0};
        const hsize_t count[3] = {1, frame[0], frame[1]};
        if (H5Sselect_hyperslab(dataset.space, H5S_SELECT_SET, start, nullptr, count, nullptr) >= 0)
            status
                = H5Dread(dataset.id, hid_t(memoryType), memory, dataset.space, H5P_DEFAULT, out);
    }
    if (status >= 0)
        return true;
    return fail(tr("%1: frame %2 of %3 can not be read%4")
                    .arg(mFile)
                    .arg(index)
                    .arg(dataset.path, libraryError()));
}

bool H5Source::step(Progress &progress)
{
    ++progress.done;
    if ((*progress.report)(progress.done, progress.total))
        return true;
    return fail(tr("%1: loading stopped").arg(mFile));
}

bool H5Source::readMean(const Dataset &dataset, std::vector<double> *mean, Progress &progress)
{
    const size_t pixels = size_t(mWidth) * size_t(mHeight);
    std::vector<double> frame(pixels);
    mean->assign(pixels, 0.0);
    const qint64 frames = dataset.frames();
    for (qint64 k = 0; k < frames; ++k) {
        if (!readFrameInto(dataset, k, H5T_NATIVE_DOUBLE, frame.data()))
            return false;
        for (size_t i = 0; i < pixels; ++i)
            (*mean)[i] += frame[i];
        if (!step(progress))
            return false;
    }
    for (double &value : *mean)
        value /= double(frames);
    return true;
}

void H5Source::subtractDark(TiffData *image) const
{
    if (mDarkMean.empty())
        return;
    // Clipped at the smallest positive sample, so that ln(I0 / I1) stays finite: 1 for 16-bit
    // samples (rounded to the nearest count), the smallest normal float for float samples.
    const size_t pixels = mDarkMean.size();
    if (image->sampleKind == TiffData::FloatRows) {
        float *samples = image->samplesFloat.data();
        for (size_t i = 0; i < pixels; ++i) {
            const float value = samples[i] - mDarkMean[i];
            samples[i] = value < FLT_MIN ? FLT_MIN : value;
        }
    } else {
        quint16 *samples = image->samples16.data();
        for (size_t i = 0; i < pixels; ++i) {
            const float value = std::nearbyint(float(samples[i]) - mDarkMean[i]);
            samples[i] = value < 1.0f ? quint16(1) : quint16(value);
        }
    }
}

bool H5Source::readStack(const Dataset &dataset, bool i1, Progress &progress)
{
    std::vector<std::unique_ptr<TiffData>> &images = mImages[i1 ? 0 : 1];
    for (qint64 k : mOrder) {
        auto image = std::make_unique<TiffData>();
        // Samples read uncompressed land at the same offset within a cache line as they lie
        // in the file: the kernel's copy is then fastest.
        if (dataset.offset != HADDR_UNDEF && dataset.kind == TiffData::TiffRows)
            image->samples16.alignLike(dataset.offset + quint64(k) * quint64(mWidth) * mHeight * 2);
        if (!image->prepareSamples(
                dataset.kind, mWidth, mHeight, QStringLiteral("%1 [%2]").arg(mFile).arg(k)))
            return fail(tr("%1: %2 does not fit in memory").arg(mFile, dataset.path));
        const bool floats = dataset.kind == TiffData::FloatRows;
        void *out = floats ? static_cast<void *>(image->samplesFloat.data())
                           : static_cast<void *>(image->samples16.data());
        if (!readFrameInto(dataset, k, floats ? H5T_NATIVE_FLOAT : H5T_NATIVE_UINT16, out))
            return false;
        subtractDark(image.get());
        image->finishSamples();
        image->energy = mEnergies.empty() ? 0.0 : mEnergies[size_t(k)];
        images.push_back(std::move(image));
        if (!step(progress))
            return false;
    }
    return true;
}

bool H5Source::read(const std::function<bool(int, int)> &report)
{
    Progress progress{0, framesToRead(), &report};
    mImages[0].clear();
    mImages[1].clear();
    const bool done = readAll(progress);
    if (!done) {
        mImages[0].clear();
        mImages[1].clear();
    }
    mDarkMean = std::vector<float>();
    QMutexLocker lock(&libraryLock());
    closeAll();
    return done;
}

bool H5Source::readAll(Progress &progress)
{
    if (!mSample)
        return fail(tr("%1: nothing to read").arg(mFile));
    if (mDark) {
        std::vector<double> mean;
        if (!readMean(*mDark, &mean, progress))
            return false;
        mDarkMean.assign(mean.begin(), mean.end());
    }
    if (!readStack(*mSample, true, progress))
        return false;
    if (!mFlat)
        return true;
    if (mFlat->frames() == mFrames)
        return readStack(*mFlat, false, progress);
    // Any other number of flats: their mean serves every energy.
    std::vector<double> mean;
    if (!readMean(*mFlat, &mean, progress))
        return false;
    auto image = std::make_unique<TiffData>();
    if (!image->prepareSamples(
            TiffData::FloatRows, mWidth, mHeight, mFile + QLatin1String(averagedFlatSuffix)))
        return fail(tr("%1: %2 does not fit in memory").arg(mFile, mFlat->path));
    std::copy(mean.begin(), mean.end(), image->samplesFloat.data());
    subtractDark(image.get());
    image->finishSamples();
    image->energy = mEnergies.empty() ? 0.0 : mEnergies[size_t(mOrder.front())];
    mImages[1].push_back(std::move(image));
    return true;
}

std::vector<std::unique_ptr<TiffData>> H5Source::takeImages(bool i1)
{
    return std::move(mImages[i1 ? 0 : 1]);
}
