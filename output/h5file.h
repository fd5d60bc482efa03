#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <hdf5.h>

// An HDF5 file being written, for the result and spectra files. It is written under a
// temporary name beside the target and takes the target's name only in commit(), so that a
// failure leaves no half-written file; until then the destructor removes it. Every call after
// a failure does nothing, and ok() tells whether all went well.
class H5File
{
public:
    explicit H5File(const QString &path);
    ~H5File();
    H5File(const H5File &) = delete;
    H5File &operator=(const H5File &) = delete;

    bool ok() const { return mOk; }
    // The target's name, made absolute.
    QString path() const { return mPath; }
    // What failed first, for the message line; empty while all went well.
    QString error() const { return mError; }

    // A group (its parents must exist), with an NX_class attribute when nxClass is given.
    void addGroup(const QString &path, const char *nxClass = nullptr);
    // Attributes of the group or dataset at path.
    void setAttribute(const QString &path, const char *name, const QString &value);
    void setAttribute(const QString &path, const char *name, double value);
    void setAttribute(const QString &path, const char *name, const QStringList &values);
    // Datasets of doubles of the given shape (rows x columns, or columns alone when rows is 0),
    // of texts and of integers; units is set as an attribute when given.
    void writeDoubles(const QString &path,
                      const double *values,
                      qint64 rows,
                      qint64 columns,
                      const char *units = nullptr);
    void
    writeDoubles(const QString &path, const QVector<double> &values, const char *units = nullptr)
    {
        writeDoubles(path, values.constData(), 0, values.size(), units);
    }
    void writeInts(const QString &path, const QVector<qint64> &values);
    void writeTexts(const QString &path, const QStringList &values);
    // A rows x columns float dataset stored in chunks of chunkRows rows, filled in order by
    // appendRows(); its rows are written as they come.
    void createFloatRows(const QString &path, qint64 rows, qint64 columns, qint64 chunkRows);
    void appendRows(const float *values, qint64 rows);
    // Closes the file and gives it the target's name; false when anything failed.
    bool commit();

private:
    void fail(const QString &what);
    hid_t openObject(const QString &path);

    QString mPath;
    QString mTemporary;
    hid_t mFile = -1;
    hid_t mRowsSet = -1;
    qint64 mRowsWritten = 0;
    qint64 mRowsColumns = 0;
    bool mOk = true;
    QString mError;
};
