#include "loadh5.h"

#include "input/tiffdata.h"

#include <QThread>

LoadH5::LoadH5(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<QVector<TiffData *>>();
    qRegisterMetaType<QVector<H5Source::DatasetInfo>>();
}

void LoadH5::loadRecognised(QString file)
{
    mBusy = true;
    H5Source source;
    H5Source::Paths paths;
    if (source.recognise(file, &paths)) {
        load(source, file, paths);
    } else {
        emit refused(source.error());
        mBusy = false;
        emit finished();
    }
}

void LoadH5::loadDatasets(QString file, QStringList paths)
{
    mBusy = true;
    paths += QStringList() << QString() << QString() << QString() << QString();
    H5Source source;
    load(source, file, {paths.at(0), paths.at(1), paths.at(2), paths.at(3)});
}

void LoadH5::load(H5Source &source, const QString &file, const H5Source::Paths &paths)
{
    const auto report = [this, &file](int done, int total) {
        emit progress(done, total, file);
        // The program is shutting down.
        return !QThread::currentThread()->isInterruptionRequested();
    };
    if (source.check(file, paths) && source.read(report)) {
        QVector<TiffData *> stacks[2];
        for (int stack : {0, 1}) {
            for (std::unique_ptr<TiffData> &image : source.takeImages(stack == 0))
                stacks[stack].append(image.release());
        }
        emit loaded(stacks[0], stacks[1], source.hasEnergies(), file);
    } else {
        emit refused(source.error());
    }
    mBusy = false;
    emit finished();
}

void LoadH5::listDatasets(QString file)
{
    H5Source source;
    QVector<H5Source::DatasetInfo> datasets;
    const bool listed = source.listDatasets(file, &datasets);
    emit this->listed(file, datasets, listed ? QString() : source.error());
}
