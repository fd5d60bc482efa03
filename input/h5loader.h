#pragma once

#include "stack/stackmodel.h"

#include <QObject>
#include <QStringList>
#include <QVector>

class CmdLine;
class CommandRegistry;
class LoadH5;
class QThread;
class QWidget;
class TiffData;

// Loads whole stacks from HDF5 files on a loader thread of its own: the batch commands, the
// dialog that names the datasets of a file, and the progress of a load. Images of a load that
// succeeded go to imagesRead(), whose receiver fills the stack model; a refused load leaves
// the stacks as they were.
class H5Loader : public QObject
{
    Q_OBJECT

public:
    explicit H5Loader(StackModel *stacks, QObject *parent = nullptr);
    ~H5Loader() override;

    void registerCommands(CommandRegistry &commands);
    // A file in a recognised layout; false when the images are in use.
    bool loadFile(const QString &file);
    // Dataset paths: sample, then flat, dark and energy, empty or "-" for none.
    bool loadDatasets(const QString &file, const QStringList &paths);
    // Asks for a file, then for its datasets, and loads them.
    void chooseFile(QWidget *parent);
    void forgetBatchLoads() { mBatchLoad = 0; }

signals:
    void imagesRead(QVector<TiffData *> i1, QVector<TiffData *> i0, bool withEnergies);
    void message(const QString &message);
    void report(const QString &message, bool batchLog);
    void progress(StackModel::Stack stack, const QString &label, double percent);
    void progressEnded(StackModel::Stack stack);
    void batchLoadFinished();
    // Asks the loader thread for the datasets of a file, and for loads.
    void listRequested(QString file);
    void recognisedLoadRequested(QString file);
    void datasetsLoadRequested(QString file, QStringList paths);

private:
    bool startLoad();
    void showProgress(int done, int total, const QString &file);
    void finishedLoad();

    StackModel *mStacks;
    QThread *mThread = nullptr;
    LoadH5 *mWorker = nullptr;
    QObject *mResults = nullptr;
    QWidget *mDialogParent = nullptr;
    quint64 mRequested = 0;
    quint64 mFinished = 0;
    quint64 mBatchLoad = 0;
    int mReportedTenths = 0;
};
