#include "loadtiff.h"

#include "input/tiffdata.h"

#include <QThread>

LoadTiff::LoadTiff(QObject *parent)
    : QObject(parent)
{}

int LoadTiff::filesToTry(int fileCount, int skip, int cutFirst, int cutLast)
{
    const qint64 step = qMax(skip, 1);
    const qint64 first = qMax(cutFirst, 0);
    const qint64 end = qint64(fileCount) - qMax(cutLast, 0);
    return end > first ? int((end - first + step - 1) / step) : 0;
}

void LoadTiff::loadTiffs(QStringList files, int skip, int cutFirst, int cutLast)
{
    mBusy = true;
    QStringList refused;
    QStringList reasons;
    int tried = 0;
    qint64 nonFinite = 0;
    int imagesWithNonFinite = 0;
    // In 64 bits: a step near the int range ends the walk instead of wrapping the index.
    const qint64 step = qMax(skip, 1);
    const qint64 end = qint64(files.size()) - qMax(cutLast, 0);
    for (qint64 i = qMax(cutFirst, 0); i < end; i += step) {
        // Leave the remaining files when the program is shutting down.
        if (QThread::currentThread()->isInterruptionRequested())
            break;
        ++tried;
        auto *data = new TiffData;
        if (data->read(files.at(int(i)))) {
            nonFinite += data->nonFiniteCount;
            imagesWithNonFinite += data->hasNonFinite() ? 1 : 0;
            ++mInFlight;
            emit loaded(data, int(i));
        } else {
            refused << files.at(int(i));
            reasons << data->failureReason;
            data->clear();
            delete data;
        }
    }
    mBusy = false;
    if (!refused.isEmpty())
        emit filesRefused(refused, reasons, tried);
    if (nonFinite > 0)
        emit nonFiniteSamples(nonFinite, imagesWithNonFinite);
    emit finishLoadFiles();
}
