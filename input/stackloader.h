#pragma once

#include "stack/stackmodel.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

class CmdLine;
class CommandRegistry;
class H5Loader;
class LoadTiff;
class QThread;
class SelectDataFiles;
class TiffData;

// Fills the stack model from the file lists of the two selectors: a loader thread for each
// stack, the take-over of arrived images, the progress and the report of what went wrong in
// a load, and the batch commands of loading and of the energy settings. The window follows
// through signals; a batch load command is finished when its own load ends.
class StackLoader : public QObject
{
    Q_OBJECT

public:
    StackLoader(StackModel *stacks,
                SelectDataFiles *i1Selector,
                SelectDataFiles *i0Selector,
                QObject *parent = nullptr);
    // Stops the loader threads and takes over the images they sent before stopping.
    ~StackLoader() override;

    void registerCommands(CommandRegistry &commands);

    // Deletes the images of a stack and empties its file list, unless they are in use.
    void clear(StackModel::Stack stack);
    // Loads files with the selector's skip and cut settings; newFile replaces the stack.
    void read(StackModel::Stack stack, const QStringList &files, bool newFile);
    // A new batch run waits for its own loads only, not for those of a run it replaced.
    void forgetBatchLoads();
    // The loader of stacks held in HDF5 files, whose images replace both stacks.
    H5Loader *h5Loader() const { return mH5Loader; }
    // Replaces both stacks by images read whole with their energies (when withEnergies; else
    // they get them as files do, from their index).
    void
    replaceStacks(const QVector<TiffData *> &i1, const QVector<TiffData *> &i0, bool withEnergies);

public slots:
    // An image from a loader; ownership passes to the stack model.
    void loadedI1(TiffData *data, int fNo);
    void loadedI0(TiffData *data, int fNo);

signals:
    void loadI1Files(QStringList files, int skip, int cutFirst, int cutLast);
    void loadI0Files(QStringList files, int skip, int cutFirst, int cutLast);
    // Arrived images of a stack have been taken over; for I1 the image size is known then.
    void takenOver(StackModel::Stack stack);
    // A failure or a notice; report: a load report, with batchLog when it belongs to the
    // load of a batch command.
    void message(const QString &message);
    void report(const QString &message, bool batchLog);
    // The newest arrived file, for the message line only.
    void progressNote(const QString &note);
    void progress(StackModel::Stack stack, const QString &label, double percent);
    void progressEnded(StackModel::Stack stack);
    // The load a batch command started has ended.
    void batchLoadFinished();

private:
    SelectDataFiles *selector(int stack) const;
    // True, with a message, while something reads the images.
    bool imagesInUse();
    // asListed: every file, whatever the skip and cut settings (a reload of listed images).
    void requestLoad(bool i1, const QStringList &files, bool asListed = false);
    // Runs one of the load commands; false when it started nothing and so finishes at once.
    bool execLoadCommand(const CmdLine &cmd, bool i1, bool ofPattern);
    void arrived(int stack, TiffData *data, int fNo);
    void finishedLoad(bool i1);
    void takeOver(int stack);
    // Whether the images of a stack that have arrived wait to be taken over: later images of
    // the load are queued already, or the loader still reads and "Show Latest" is off or the
    // newest image was taken over a moment ago.
    bool deferTakeOver(int stack);
    // Names an arrived image and the count so far on the message line; every tenth of a load
    // also goes to the batch log (or the debug output).
    void showLoadProgress(int stack, const TiffData *image);
    // Shows what went wrong in the load that has just ended.
    void reportLoad(bool i1, bool batchLog);
    // Names the first image whose size differs from that of the first I1 image; empty when
    // all agree.
    QString sizeMismatch() const;

    StackModel *mStacks;
    SelectDataFiles *mSelectors[2];
    QThread *mThreads[2] = {nullptr, nullptr};
    LoadTiff *mLoaders[2] = {nullptr, nullptr};
    H5Loader *mH5Loader = nullptr;
    QObject *mLoaderResults = nullptr;
    // Loads are counted so that a batch load command finishes with its own load, not with
    // one the user started by hand before it.
    quint64 mLoadsRequested[2] = {0, 0};
    quint64 mLoadsFinished[2] = {0, 0};
    quint64 mBatchLoad[2] = {0, 0};
    // Images arrived while their loader was busy and have not been taken over yet.
    bool mTakeOverPending[2] = {false, false};
    // Since the last take-over during the running load of each stack.
    QElapsedTimer mTakenOverDuringLoad[2];
    // Files the requested loads of a stack will try, and images arrived from them so far.
    struct LoadProgress
    {
        int expected = 0;
        int arrived = 0;
        int reportedTenths = 0;
    };
    LoadProgress mLoadProgress[2];
    // What went wrong in the load of each stack that is running, reported when it ends.
    struct LoadNotes
    {
        QStringList refused;
        QStringList reasons;
        int tried = 0;
        QStringList namesWithoutEnergy;
        qint64 nonFiniteSamples = 0;
        int nonFiniteImages = 0;
        QStringList multiPageFiles;
        int multiPageImages = 0;
        // Multi-page files whose pages all got the one energy of the file's name.
        QStringList oneEnergyFiles;
    };
    LoadNotes mLoadNotes[2];
};
