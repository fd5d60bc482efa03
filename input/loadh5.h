#pragma once

#include "input/h5source.h"

#include <QObject>
#include <QStringList>
#include <QVector>

#include <atomic>

class TiffData;

// Reads stacks from HDF5 files on its own thread, one load at a time, and hands the images of a
// load that succeeded to the receiver of loaded(), which takes ownership of them; a load that
// fails hands over nothing. The HDF5 library serialises its calls, so one thread reads.
class LoadH5 : public QObject
{
    Q_OBJECT

public:
    explicit LoadH5(QObject *parent = nullptr);

    bool isBusy() const { return mBusy.load(); }

signals:
    // After every frame read.
    void progress(int done, int total, QString file);
    // I1 and I0 images in rising energy; withEnergies false when the file gave none.
    void loaded(QVector<TiffData *> i1, QVector<TiffData *> i0, bool withEnergies, QString file);
    // Why a load failed, naming the file and the dataset.
    void refused(QString reason);
    // A load has ended, whether it succeeded or not.
    void finished();
    // The datasets of a file, or why they could not be listed.
    void listed(QString file, QVector<H5Source::DatasetInfo> datasets, QString error);

public slots:
    // A file in a recognised layout.
    void loadRecognised(QString file);
    // The datasets named: sample, flat, dark, energy (the last three may be empty).
    void loadDatasets(QString file, QStringList paths);
    void listDatasets(QString file);

private:
    void load(H5Source &source, const QString &file, const H5Source::Paths &paths);

    std::atomic<bool> mBusy{false};
};

Q_DECLARE_METATYPE(QVector<TiffData *>)
Q_DECLARE_METATYPE(QVector<H5Source::DatasetInfo>)
