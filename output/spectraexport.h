#pragma once

#include "analysis/blockrequest.h"

#include <QObject>
#include <QString>
#include <QTextStream>

#include <memory>

class BlockEngine;
class SaveFile;

// Writes the normalised spectrum of every block of an area walk into one text file: a header
// describing the walk, then one line per block centre in walk order with the centre, its
// energy shift and the (energy, double-normalised value) pairs. The spectra are computed by
// the block engine; the file appears only when the whole walk has been written.
class SpectraExport : public QObject
{
    Q_OBJECT

public:
    explicit SpectraExport(BlockEngine *engine, QObject *parent = nullptr);
    ~SpectraExport() override;

    // The file a name is written to: made absolute, "dat" as suffix when it has none.
    static QString fileNameFor(const QString &fname);
    bool isRunning() const { return mFile != nullptr; }
    // Starts writing; false, with nothing started, when the file cannot be opened or the
    // engine is busy.
    bool start(BlockRequest request, const Background &background, const QString &fname);

signals:
    // The run is over: written tells whether the file is complete and in place.
    void finished(bool written, const QString &path);

private:
    void record(const AreaWalk &walk, const double *values);
    void runEnded(bool completed);

    BlockEngine *mEngine;
    std::unique_ptr<SaveFile> mFile;
    QTextStream mOut;
    QMetaObject::Connection mFinished;
};
