#include "h5file.h"

#include "input/h5source.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QTemporaryFile>

#include <cstdio>
#include <vector>

namespace {

// A handle of the HDF5 library, closed with its own close function.
struct Handle
{
    hid_t id;
    herr_t (*close)(hid_t);
    ~Handle()
    {
        if (id >= 0)
            close(id);
    }
};

// A variable-length UTF-8 text type.
hid_t textType()
{
    const hid_t type = H5Tcopy(H5T_C_S1);
    H5Tset_size(type, H5T_VARIABLE);
    H5Tset_cset(type, H5T_CSET_UTF8);
    return type;
}

// Every call into the HDF5 library holds its lock, since the library is not built
// thread-safe and a stack may be loading from HDF5 meanwhile; a method that calls another of
// this class's takes it once.
class LibraryLock
{
public:
    LibraryLock()
    {
        if (sDepth++ == 0)
            H5Source::libraryLock().lock();
    }
    ~LibraryLock()
    {
        if (--sDepth == 0)
            H5Source::libraryLock().unlock();
    }
    LibraryLock(const LibraryLock &) = delete;
    LibraryLock &operator=(const LibraryLock &) = delete;

private:
    static thread_local int sDepth;
};

thread_local int LibraryLock::sDepth = 0;

// Texts as the UTF-8 strings a variable-length text type writes, alive as long as this is.
struct Utf8Texts
{
    explicit Utf8Texts(const QStringList &values)
    {
        for (const QString &value : values)
            bytes.push_back(value.toUtf8());
        for (const QByteArray &text : bytes)
            pointers.push_back(text.constData());
    }

    std::vector<QByteArray> bytes;
    std::vector<const char *> pointers;
};

} // namespace

H5File::H5File(const QString &path)
    : mPath(QFileInfo(path).absoluteFilePath())
{
    const LibraryLock lock;
    // The library's own messages would name no file: failures are reported here instead.
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
    QTemporaryFile temporary(mPath + QStringLiteral(".XXXXXX.part"));
    temporary.setAutoRemove(false);
    if (!temporary.open()) {
        fail(QStringLiteral("Can't write %1").arg(mPath));
        return;
    }
    mTemporary = temporary.fileName();
    temporary.close();
    mFile = H5Fcreate(
        QFile::encodeName(mTemporary).constData(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT);
    if (mFile < 0)
        fail(QStringLiteral("Can't write %1").arg(mPath));
}

H5File::~H5File()
{
    const LibraryLock lock;
    if (mRowsSet >= 0)
        H5Dclose(mRowsSet);
    if (mFile >= 0)
        H5Fclose(mFile);
    if (!mTemporary.isEmpty())
        QFile::remove(mTemporary);
}

void H5File::fail(const QString &what)
{
    if (!mOk)
        return;
    mOk = false;
    mError = what;
    qDebug().noquote() << what;
}

hid_t H5File::openObject(const QString &path)
{
    return H5Oopen(mFile, path.toUtf8().constData(), H5P_DEFAULT);
}

void H5File::addGroup(const QString &path, const char *nxClass)
{
    const LibraryLock lock;
    if (!mOk)
        return;
    const Handle group{
        H5Gcreate2(mFile, path.toUtf8().constData(), H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT),
        H5Gclose};
    if (group.id < 0)
        fail(QStringLiteral("Can't write group %1 of %2").arg(path, mPath));
    else if (nxClass)
        setAttribute(path, "NX_class", QString::fromLatin1(nxClass));
}

void H5File::setAttribute(const QString &path, const char *name, const QString &value)
{
    const LibraryLock lock;
    if (!mOk)
        return;
    // Variable-length UTF-8, as h5py writes texts: readers get them back as texts.
    const QByteArray text = value.toUtf8();
    const char *pointer = text.constData();
    const Handle object{openObject(path), H5Oclose};
    const Handle type{textType(), H5Tclose};
    const Handle space{H5Screate(H5S_SCALAR), H5Sclose};
    const Handle attribute{H5Acreate2(object.id, name, type.id, space.id, H5P_DEFAULT, H5P_DEFAULT),
                           H5Aclose};
    if (object.id < 0 || attribute.id < 0 || H5Awrite(attribute.id, type.id, &pointer) < 0)
        fail(QStringLiteral("Can't write attribute %1 of %2 in %3").arg(name, path, mPath));
}

void H5File::setAttribute(const QString &path, const char *name, double value)
{
    const LibraryLock lock;
    if (!mOk)
        return;
    const Handle object{openObject(path), H5Oclose};
    const Handle space{H5Screate(H5S_SCALAR), H5Sclose};
    const Handle attribute{
        H5Acreate2(object.id, name, H5T_NATIVE_DOUBLE, space.id, H5P_DEFAULT, H5P_DEFAULT),
        H5Aclose};
    if (object.id < 0 || attribute.id < 0 || H5Awrite(attribute.id, H5T_NATIVE_DOUBLE, &value) < 0)
        fail(QStringLiteral("Can't write attribute %1 of %2 in %3").arg(name, path, mPath));
}

void H5File::setAttribute(const QString &path, const char *name, const QStringList &values)
{
    const LibraryLock lock;
    if (!mOk)
        return;
    const Utf8Texts texts(values);
    const Handle object{openObject(path), H5Oclose};
    const Handle type{textType(), H5Tclose};
    const hsize_t count = hsize_t(values.size());
    const Handle space{H5Screate_simple(1, &count, nullptr), H5Sclose};
    const Handle attribute{H5Acreate2(object.id, name, type.id, space.id, H5P_DEFAULT, H5P_DEFAULT),
                           H5Aclose};
    if (object.id < 0 || attribute.id < 0
        || H5Awrite(attribute.id, type.id, texts.pointers.data()) < 0)
        fail(QStringLiteral("Can't write attribute %1 of %2 in %3").arg(name, path, mPath));
}

void H5File::writeDoubles(
    const QString &path, const double *values, qint64 rows, qint64 columns, const char *units)
{
    const LibraryLock lock;
    if (!mOk)
        return;
    const hsize_t dims[2] = {hsize_t(rows), hsize_t(columns)};
    const Handle space{rows > 0 ? H5Screate_simple(2, dims, nullptr)
                                : H5Screate_simple(1, dims + 1, nullptr),
                       H5Sclose};
    const Handle set{H5Dcreate2(mFile,
                                path.toUtf8().constData(),
                                H5T_IEEE_F64LE,
                                space.id,
                                H5P_DEFAULT,
                                H5P_DEFAULT,
                                H5P_DEFAULT),
                     H5Dclose};
    if (set.id < 0
        || ((rows > 0 ? rows * columns : columns) > 0
            && H5Dwrite(set.id, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, values) < 0)) {
        fail(QStringLiteral("Can't write %1 of %2").arg(path, mPath));
        return;
    }
    if (units)
        setAttribute(path, "units", QString::fromLatin1(units));
}

void H5File::writeInts(const QString &path, const QVector<qint64> &values)
{
    const LibraryLock lock;
    if (!mOk)
        return;
    const hsize_t count = hsize_t(values.size());
    const Handle space{H5Screate_simple(1, &count, nullptr), H5Sclose};
    const Handle set{H5Dcreate2(mFile,
                                path.toUtf8().constData(),
                                H5T_STD_I64LE,
                                space.id,
                                H5P_DEFAULT,
                                H5P_DEFAULT,
                                H5P_DEFAULT),
                     H5Dclose};
    if (set.id < 0
        || (count > 0
            && H5Dwrite(set.id, H5T_NATIVE_INT64, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.constData())
                   < 0))
        fail(QStringLiteral("Can't write %1 of %2").arg(path, mPath));
}

void H5File::writeTexts(const QString &path, const QStringList &values)
{
    const LibraryLock lock;
    if (!mOk)
        return;
    const Utf8Texts texts(values);
    const hsize_t count = hsize_t(values.size());
    const Handle type{textType(), H5Tclose};
    const Handle space{H5Screate_simple(1, &count, nullptr), H5Sclose};
    const Handle set{H5Dcreate2(mFile,
                                path.toUtf8().constData(),
                                type.id,
                                space.id,
                                H5P_DEFAULT,
                                H5P_DEFAULT,
                                H5P_DEFAULT),
                     H5Dclose};
    if (set.id < 0
        || (count > 0
            && H5Dwrite(set.id, type.id, H5S_ALL, H5S_ALL, H5P_DEFAULT, texts.pointers.data()) < 0))
        fail(QStringLiteral("Can't write %1 of %2").arg(path, mPath));
}

void H5File::createFloatRows(const QString &path, qint64 rows, qint64 columns, qint64 chunkRows)
{
    const LibraryLock lock;
    if (!mOk)
        return;
    const hsize_t dims[2] = {hsize_t(rows), hsize_t(columns)};
    const hsize_t chunk[2] = {hsize_t(qBound<qint64>(1, chunkRows, qMax<qint64>(rows, 1))),
                              hsize_t(qMax<qint64>(columns, 1))};
    const Handle space{H5Screate_simple(2, dims, nullptr), H5Sclose};
    const Handle properties{H5Pcreate(H5P_DATASET_CREATE), H5Pclose};
    if (rows > 0 && columns > 0)
        H5Pset_chunk(properties.id, 2, chunk);
    mRowsSet = H5Dcreate2(mFile,
                          path.toUtf8().constData(),
                          H5T_IEEE_F32LE,
                          space.id,
                          H5P_DEFAULT,
                          properties.id,
                          H5P_DEFAULT);
    mRowsWritten = 0;
    mRowsColumns = columns;
    if (mRowsSet < 0)
        fail(QStringLiteral("Can't write %1 of %2").arg(path, mPath));
}

void H5File::appendRows(const float *values, qint64 rows)
{
    const LibraryLock lock;
    if (!mOk || mRowsSet < 0 || rows <= 0)
        return;
    const Handle fileSpace{H5Dget_space(mRowsSet), H5Sclose};
    const hsize_t start[2] = {hsize_t(mRowsWritten), 0};
    const hsize_t count[2] = {hsize_t(rows), hsize_t(mRowsColumns)};
    const Handle memorySpace{H5Screate_simple(2, count, nullptr), H5Sclose};
    if (H5Sselect_hyperslab(fileSpace.id, H5S_SELECT_SET, start, nullptr, count, nullptr) < 0
        || H5Dwrite(mRowsSet, H5T_NATIVE_FLOAT, memorySpace.id, fileSpace.id, H5P_DEFAULT, values)
               < 0) {
        fail(QStringLiteral("Can't write %1").arg(mPath));
        return;
    }
    mRowsWritten += rows;
}

bool H5File::commit()
{
    const LibraryLock lock;
    if (mRowsSet >= 0) {
        H5Dclose(mRowsSet);
        mRowsSet = -1;
    }
    if (mFile >= 0) {
        if (H5Fclose(mFile) < 0)
            fail(QStringLiteral("Can't write %1").arg(mPath));
        mFile = -1;
    }
    // The temporary file was made for the owner alone; the result is an ordinary file.
    QFile::setPermissions(mTemporary,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                              | QFileDevice::ReadOther);
    // rename() replaces an old file of the target's name in one step.
    if (mOk
        && std::rename(QFile::encodeName(mTemporary).constData(),
                       QFile::encodeName(mPath).constData())
               != 0)
        fail(QStringLiteral("Can't write %1").arg(mPath));
    if (mOk)
        mTemporary.clear();
    return mOk;
}
