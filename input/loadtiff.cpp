#include "loadtiff.h"

#include "input/tiffdata.h"

#include <QThread>

LoadTiff::LoadTiff(QObject *parent)
    : QObject(parent)
{}

void LoadTiff::loadTiffs(QStringList files, int skip, int cutFirst, int cutLast)
{
    mBusy = true;
    const int step = qMax(skip, 1);
    const int end = files.size() - qMax(cutLast, 0);
    for (int i = qMax(cutFirst, 0); i < end; i += step) {
        // Leave the remaining files when the program is shutting down.
        if (QThread::currentThread()->isInterruptionRequested())
            break;
        auto *data = new TiffData;
        if (data->read(files.at(i))) {
            emit loaded(data, i);
        } else {
            data->clear();
            delete data;
        }
    }
    mBusy = false;
    emit finishLoadFiles();
}
