#pragma once

#include <QObject>
#include <QStringList>

#include <atomic>

class TiffData;

// Reads the image files of one stack on its own thread, one by one in list order, and hands
// every image that was read to the receiver of loaded(), which takes ownership of it.
class LoadTiff : public QObject
{
    Q_OBJECT

public:
    explicit LoadTiff(QObject *parent = nullptr);

    // True while loadTiffs() runs; read by the main thread without a lock.
    bool isBusy() const { return mBusy.load(); }
    // Images sent with loaded() that the receiver has not taken yet; it calls imageTaken() as
    // it takes each one. Read by the main thread without a lock.
    int imagesInFlight() const { return mInFlight.load(); }
    void imageTaken() { --mInFlight; }
    // The number of files loadTiffs() tries out of fileCount with these settings.
    static int filesToTry(int fileCount, int skip, int cutFirst, int cutLast);

signals:
    void loaded(TiffData *data, int fNo);
    // Sent before finishLoadFiles() when files were refused: each with its reason (text of
    // context "TiffData"), and the number of files the load tried.
    void filesRefused(QStringList files, QStringList reasons, int tried);
    // Sent before finishLoadFiles() when images held samples that are no finite number: their
    // count, and the number of images that held them.
    void nonFiniteSamples(qint64 samples, int images);
    // Sent before the first image when listed files hold more than one image (multi-page
    // TIFF): those files, the images they hold, and how many more images the load tries than
    // it would with one image a file.
    void multiPageFiles(QStringList files, int images, int moreToTry);
    void finishLoadFiles();

public slots:
    // Loads files[cutFirst], files[cutFirst + skip], ... up to the last cutLast files, where
    // every page of a multi-page file counts as a file of its own. A listed name "path [k]"
    // (as the file list shows a page) stands for page k of that file.
    void loadTiffs(QStringList files, int skip, int cutFirst, int cutLast);

private:
    std::atomic<bool> mBusy{false};
    std::atomic<int> mInFlight{0};
};
