#include "h5loader.h"

#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "batch/commandregistry.h"
#include "input/h5datasetdialog.h"
#include "input/loadh5.h"
#include "input/tiffdata.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QThread>

H5Loader::H5Loader(StackModel *stacks, QObject *parent)
    : QObject(parent)
    , mStacks(stacks)
{
    mThread = new QThread(this);
    mWorker = new LoadH5;
    mWorker->moveToThread(mThread);
    mThread->start(QThread::InheritPriority);
    connect(this, &H5Loader::listRequested, mWorker, &LoadH5::listDatasets);
    connect(this, &H5Loader::recognisedLoadRequested, mWorker, &LoadH5::loadRecognised);
    connect(this, &H5Loader::datasetsLoadRequested, mWorker, &LoadH5::loadDatasets);
    // Results queue up at their own receiver, so that the destructor can take in what is still
    // queued without running anything else.
    mResults = new QObject(this);
    connect(mWorker,
            &LoadH5::loaded,
            mResults,
            [this](QVector<TiffData *> i1, QVector<TiffData *> i0, bool withEnergies) {
                emit imagesRead(i1, i0, withEnergies);
            });
    connect(mWorker, &LoadH5::refused, mResults, [this](const QString &reason) {
        emit report(reason, mBatchLoad == mFinished + 1);
    });
    connect(mWorker, &LoadH5::progress, mResults, [this](int done, int total, QString file) {
        showProgress(done, total, file);
    });
    connect(mWorker, &LoadH5::finished, mResults, [this] { finishedLoad(); });
    connect(mWorker,
            &LoadH5::listed,
            mResults,
            [this](QString file, QVector<H5Source::DatasetInfo> datasets, QString error) {
                if (!error.isEmpty()) {
                    emit message(error);
                    return;
                }
                H5DatasetDialog dialog(file, datasets, mDialogParent);
                if (dialog.exec() == QDialog::Accepted)
                    loadDatasets(file, dialog.paths());
            });
}

H5Loader::~H5Loader()
{
    mThread->requestInterruption();
    mThread->quit();
    mThread->wait();
    // Images read before the loader stopped would be lost with their queued calls.
    QCoreApplication::sendPostedEvents(mResults, QEvent::MetaCall);
    delete mWorker;
}

void H5Loader::registerCommands(CommandRegistry &commands)
{
    // A started load finishes the command when the loader is done with it.
    commands.add(QStringLiteral("load_h5"),
                 LoadH5File,
                 CommandRegistry::WaitsForWork,
                 [this](const CmdLine &cmd) {
                     if (!loadFile(cmd.arg(0)))
                         return false;
                     mBatchLoad = mRequested;
                     return true;
                 });
    commands.add(QStringLiteral("load_h5_datasets"),
                 LoadH5Datasets,
                 CommandRegistry::WaitsForWork,
                 [this](const CmdLine &cmd) {
                     if (!loadDatasets(cmd.arg(0), cmd.args.mid(1)))
                         return false;
                     mBatchLoad = mRequested;
                     return true;
                 });
}

bool H5Loader::startLoad()
{
    if (mStacks->inUse()) {
        emit message(tr("Images in use by an area analysis: not cleared or loaded"));
        return false;
    }
    ++mRequested;
    return true;
}

bool H5Loader::loadFile(const QString &file)
{
    if (!startLoad())
        return false;
    emit recognisedLoadRequested(file);
    return true;
}

bool H5Loader::loadDatasets(const QString &file, const QStringList &paths)
{
    if (!startLoad())
        return false;
    QStringList named;
    for (const QString &path : paths)
        named << (path == QLatin1String("-") ? QString() : path);
    // The batch command names them sample, I0, energy, dark.
    while (named.size() < 4)
        named << QString();
    emit datasetsLoadRequested(file, {named.at(0), named.at(1), named.at(3), named.at(2)});
    return true;
}

void H5Loader::chooseFile(QWidget *parent)
{
    const QString file = QFileDialog::getOpenFileName(parent,
                                                      tr("HDF5 file"),
                                                      QString(),
                                                      tr("HDF5 files (*.h5 *.hdf5 *.nxs *.hdf)")
                                                          + QStringLiteral(";;* (*)"));
    if (file.isEmpty())
        return;
    mDialogParent = parent;
    emit listRequested(file);
}

void H5Loader::showProgress(int done, int total, const QString &file)
{
    const QString name = QFileInfo(file).fileName();
    emit progress(StackModel::I1, tr("Loading %1").arg(name), 100.0 * done / qMax(total, 1));
    const int tenths = done * 10 / qMax(total, 1);
    if (tenths > mReportedTenths) {
        mReportedTenths = tenths;
        emit report(tr("%1: %2 of %3 frames").arg(name).arg(done).arg(total),
                    mBatchLoad == mFinished + 1);
    }
}

void H5Loader::finishedLoad()
{
    ++mFinished;
    mReportedTenths = 0;
    emit progressEnded(StackModel::I1);
    if (mBatchLoad != 0 && mFinished >= mBatchLoad) {
        mBatchLoad = 0;
        emit batchLoadFinished();
    }
}
