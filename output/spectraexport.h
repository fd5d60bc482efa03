#pragma once

#include "analysis/blockrequest.h"

#include <QObject>
#include <QString>
#include <QTextStream>

#include <memory>

class BlockEngine;
class H5File;
class SaveFile;

// Writes the normalised spectrum of every block of an area walk into one text file: a header
// describing the walk, then one line per block centre in walk order with the centre, its
// energy shift and the (energy, double-normalised value) pairs. A name ending in ".h5" gives an
// HDF5 file instead: one float dataset of blocks x energies, written a row of blocks at a time,
// with the energies, the block centres and their shifts beside it. The spectra are computed by
// the block engine; the file appears only when the whole walk has been written.
class SpectraExport : public QObject
{
    Q_OBJECT

public:
    explicit SpectraExport(BlockEngine *engine, QObject *parent = nullptr);
    ~SpectraExport() override;

    // The file a name is written to: made absolute, "dat" as suffix when it has none.
    static QString fileNameFor(const QString &fname);
    bool isRunning() const { return mFile != nullptr || mH5 != nullptr; }
    // Starts writing; false, with nothing started, when the file cannot be opened or the
    // engine is busy.
    bool start(BlockRequest request, const Background &background, const QString &fname);

signals:
    // The run is over: written tells whether the file is complete and in place.
    void finished(bool written, const QString &path);

private:
    void record(const AreaWalk &walk, const double *values);
    void runEnded(bool completed);
    // The HDF5 form: the file with everything but the spectra, then their rows.
    bool startH5(const BlockRequest &request, const QString &path);
    void recordH5(const AreaWalk &walk, const double *values);

    BlockEngine *mEngine;
    std::unique_ptr<SaveFile> mFile;
    QTextStream mOut;
    QMetaObject::Connection mFinished;
    std::unique_ptr<H5File> mH5;
    // The spectra of the row of blocks being recorded, and its blocks recorded so far.
    std::vector<float> mRow;
    qint64 mRowBlocks = 0;
    qint64 mColumns = 0;
    int mPoints = 0;
    std::vector<double> mCentresX;
    std::vector<double> mCentresY;
    std::vector<double> mShifts;
};
