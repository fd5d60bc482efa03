#include "loadtiff.h"

#include "input/tiffdata.h"
#include "input/tiffpages.h"

#include <QFileInfo>
#include <QHash>
#include <QVector>
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

namespace {

// One image to read: a file, or a page of a multi-page file with its label's energy.
struct ImageEntry
{
    QString path;
    int page = -1;
    double energyOfLabel = 0.0;
};

} // namespace

void LoadTiff::loadTiffs(QStringList files, int skip, int cutFirst, int cutLast)
{
    mBusy = true;
    QVector<ImageEntry> entries;
    QStringList multiPage;
    int multiPageImages = 0;
    QHash<QString, QVector<double>> labelsOfListed;
    for (const QString &file : files) {
        QString path;
        int page = -1;
        if (!QFileInfo(file).exists() && TiffPages::splitListedName(file, &path, &page)) {
            if (!labelsOfListed.contains(path))
                labelsOfListed.insert(path, TiffPages::of(path).labelEnergies);
            entries.append({path, page, labelsOfListed.value(path).value(page)});
            continue;
        }
        const TiffPages pages = TiffPages::of(file);
        if (pages.count == 1) {
            entries.append({file});
            continue;
        }
        multiPage << file;
        multiPageImages += pages.count;
        for (int p = 0; p < pages.count; ++p)
            entries.append({file, p, pages.labelEnergies.value(p)});
    }
    if (!multiPage.isEmpty()) {
        emit multiPageFiles(multiPage,
                            multiPageImages,
                            filesToTry(entries.size(), skip, cutFirst, cutLast)
                                - filesToTry(files.size(), skip, cutFirst, cutLast));
    }
    QStringList refused;
    QStringList reasons;
    int tried = 0;
    qint64 nonFinite = 0;
    int imagesWithNonFinite = 0;
    // In 64 bits: a step near the int range ends the walk instead of wrapping the index.
    const qint64 step = qMax(skip, 1);
    const qint64 end = qint64(entries.size()) - qMax(cutLast, 0);
    for (qint64 i = qMax(cutFirst, 0); i < end; i += step) {
        // Leave the remaining files when the program is shutting down.
        if (QThread::currentThread()->isInterruptionRequested())
            break;
        ++tried;
        const ImageEntry &entry = entries.at(int(i));
        auto *data = new TiffData;
        if (data->read(entry.path, entry.page)) {
            data->energyOfLabel = entry.energyOfLabel;
            nonFinite += data->nonFiniteCount;
            imagesWithNonFinite += data->hasNonFinite() ? 1 : 0;
            ++mInFlight;
            emit loaded(data, int(i));
        } else {
            refused << (entry.page < 0 ? entry.path
                                       : TiffPages::listedName(entry.path, entry.page));
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
