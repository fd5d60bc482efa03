#include "stackloader.h"

#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "batch/commandregistry.h"
#include "display/colorscale.h"
#include "input/eofsetup.h"
#include "input/filesofpattern.h"
#include "input/h5loader.h"
#include "input/loadtiff.h"
#include "input/selectdatafiles.h"
#include "input/tiffdata.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QPushButton>
#include <QThread>

namespace {

// While a loader reads, the newest image is taken over at most this often (ms): colouring
// every image of a fast load would cost more than reading it.
constexpr qint64 takeOverInterval = 250;

// The names of the first few files, without their directories, for a message line.
QString someNames(const QStringList &files, const QStringList &reasons = {})
{
    constexpr int shown = 3;
    QStringList names;
    for (int i = 0; i < qMin(int(files.size()), shown); ++i) {
        QString name = QFileInfo(files.at(i)).fileName();
        if (i < reasons.size())
            name += QStringLiteral(" (%1)").arg(
                QCoreApplication::translate("TiffData", reasons.at(i).toUtf8().constData()));
        names << name;
    }
    if (files.size() > shown)
        names << QStringLiteral("...");
    return names.join(QStringLiteral("; "));
}

QString stackName(int stack)
{
    return stack == StackModel::I1 ? QStringLiteral("I1") : QStringLiteral("I0");
}

} // namespace

StackLoader::StackLoader(StackModel *stacks,
                         SelectDataFiles *i1Selector,
                         SelectDataFiles *i0Selector,
                         QObject *parent)
    : QObject(parent)
    , mStacks(stacks)
    , mSelectors{i1Selector, i0Selector}
{
    for (int stack : {StackModel::I1, StackModel::I0}) {
        mThreads[stack] = new QThread(this);
        mLoaders[stack] = new LoadTiff;
        mLoaders[stack]->moveToThread(mThreads[stack]);
        mThreads[stack]->start(QThread::InheritPriority);
    }
    LoadTiff *loaderI1 = mLoaders[StackModel::I1];
    LoadTiff *loaderI0 = mLoaders[StackModel::I0];
    connect(this, &StackLoader::loadI1Files, loaderI1, &LoadTiff::loadTiffs);
    connect(this, &StackLoader::loadI0Files, loaderI0, &LoadTiff::loadTiffs);
    // The loaders' results queue up at their own receiver, so that the destructor can take
    // in what is still queued without running anything else.
    mLoaderResults = new QObject(this);
    connect(loaderI1, &LoadTiff::loaded, mLoaderResults, [this, loaderI1](TiffData *data, int fNo) {
        loaderI1->imageTaken();
        loadedI1(data, fNo);
    });
    connect(loaderI0, &LoadTiff::loaded, mLoaderResults, [this, loaderI0](TiffData *data, int fNo) {
        loaderI0->imageTaken();
        loadedI0(data, fNo);
    });
    connect(loaderI1, &LoadTiff::finishLoadFiles, mLoaderResults, [this] { finishedLoad(true); });
    connect(loaderI0, &LoadTiff::finishLoadFiles, mLoaderResults, [this] { finishedLoad(false); });
    for (const bool i1 : {true, false}) {
        const StackModel::Stack stack = i1 ? StackModel::I1 : StackModel::I0;
        LoadNotes &notes = mLoadNotes[stack];
        SelectDataFiles *selector = mSelectors[stack];
        connect(mLoaders[stack],
                &LoadTiff::filesRefused,
                mLoaderResults,
                [&notes](const QStringList &files, const QStringList &reasons, int tried) {
                    notes.refused = files;
                    notes.reasons = reasons;
                    notes.tried = tried;
                });
        connect(selector, &SelectDataFiles::energyNotInName, this, [&notes](const QString &name) {
            notes.namesWithoutEnergy << name;
        });
        connect(mLoaders[stack],
                &LoadTiff::nonFiniteSamples,
                mLoaderResults,
                [&notes](qint64 samples, int images) {
                    notes.nonFiniteSamples = samples;
                    notes.nonFiniteImages = images;
                });
        connect(mLoaders[stack],
                &LoadTiff::multiPageFiles,
                mLoaderResults,
                [this, &notes, stack](const QStringList &files, int images, int moreToTry) {
                    notes.multiPageFiles << files;
                    notes.multiPageImages += images;
                    mLoadProgress[stack].expected += moreToTry;
                });
        connect(selector,
                &SelectDataFiles::reloadRequested,
                this,
                [this, i1, stack](QStringList files) {
                    if (imagesInUse())
                        return;
                    clear(stack);
                    requestLoad(i1, files, true);
                });
        connect(selector,
                &SelectDataFiles::filesSelected,
                this,
                [this, stack](QStringList files, bool newFile) { read(stack, files, newFile); });
    }
    mH5Loader = new H5Loader(stacks, this);
    connect(mH5Loader, &H5Loader::imagesRead, this, &StackLoader::replaceStacks);
    connect(mH5Loader, &H5Loader::message, this, &StackLoader::message);
    connect(mH5Loader, &H5Loader::report, this, &StackLoader::report);
    connect(mH5Loader, &H5Loader::progress, this, &StackLoader::progress);
    connect(mH5Loader, &H5Loader::progressEnded, this, &StackLoader::progressEnded);
    connect(mH5Loader, &H5Loader::batchLoadFinished, this, &StackLoader::batchLoadFinished);
    // "HDF5..." sits beside the I1 selector's "Select": the file fills both stacks.
    if (auto *grid = qobject_cast<QGridLayout *>(i1Selector->layout())) {
        auto *button = new QPushButton(tr("HDF5..."), i1Selector);
        button->setObjectName(QStringLiteral("LoadHdf5"));
        grid->addWidget(button, 2, 5);
        connect(button, &QPushButton::clicked, this, [this, i1Selector] {
            mH5Loader->chooseFile(i1Selector->window());
        });
    }
}

StackLoader::~StackLoader()
{
    for (QThread *thread : mThreads) {
        thread->requestInterruption();
        thread->quit();
        thread->wait();
    }
    // Images sent before the loaders stopped would be lost with their queued calls.
    QCoreApplication::sendPostedEvents(mLoaderResults, QEvent::MetaCall);
    delete mLoaders[StackModel::I1];
    delete mLoaders[StackModel::I0];
}

void StackLoader::registerCommands(CommandRegistry &commands)
{
    SelectDataFiles *i1 = mSelectors[StackModel::I1];
    SelectDataFiles *i0 = mSelectors[StackModel::I0];
    mH5Loader->registerCommands(commands);
    commands.add(QStringLiteral("clear_I1_files"), ClearI1Files, [this](const CmdLine &) {
        clear(StackModel::I1);
    });
    commands.add(QStringLiteral("clear_I0_files"), ClearI0Files, [this](const CmdLine &) {
        clear(StackModel::I0);
    });
    // A started load finishes the command when the loader is done with it.
    commands.add(QStringLiteral("load_I1_files"),
                 LoadI1Files,
                 CommandRegistry::WaitsForWork,
                 [this](const CmdLine &cmd) { return execLoadCommand(cmd, true, false); });
    commands.add(QStringLiteral("load_I0_files"),
                 LoadI0Files,
                 CommandRegistry::WaitsForWork,
                 [this](const CmdLine &cmd) { return execLoadCommand(cmd, false, false); });
    commands.add(QStringLiteral("load_I1_files_of_pattern"),
                 LoadI1FilesOfPattern,
                 CommandRegistry::WaitsForWork,
                 [this](const CmdLine &cmd) { return execLoadCommand(cmd, true, true); });
    commands.add(QStringLiteral("load_I0_files_of_pattern"),
                 LoadI0FilesOfPattern,
                 CommandRegistry::WaitsForWork,
                 [this](const CmdLine &cmd) { return execLoadCommand(cmd, false, true); });
    commands.add(QStringLiteral("set_i1_energy_pattern"),
                 SetI1EnergyPattern,
                 [i1](const CmdLine &cmd) { i1->setEngByNameRegExp(cmd.arg(0)); });
    commands.add(QStringLiteral("set_i0_energy_pattern"),
                 SetI0EnergyPattern,
                 [i0](const CmdLine &cmd) { i0->setEngByNameRegExp(cmd.arg(0)); });
    commands.add(QStringLiteral("cut_f_i0"), CutFI0, [i0](const CmdLine &cmd) {
        i0->setCutF(cmd.arg(0).toInt());
    });
    commands.add(QStringLiteral("cut_f_i1"), CutFI1, [i1](const CmdLine &cmd) {
        i1->setCutF(cmd.arg(0).toInt());
    });
    commands.add(QStringLiteral("cut_l_i0"), CutLI0, [i0](const CmdLine &cmd) {
        i0->setCutL(cmd.arg(0).toInt());
    });
    commands.add(QStringLiteral("cut_l_i1"), CutLI1, [i1](const CmdLine &cmd) {
        i1->setCutL(cmd.arg(0).toInt());
    });
    commands.add(QStringLiteral("skip_i0"), SkipI0, [i0](const CmdLine &cmd) {
        i0->setSkip(cmd.arg(0).toInt());
    });
    commands.add(QStringLiteral("skip_i1"), SkipI1, [i1](const CmdLine &cmd) {
        i1->setSkip(cmd.arg(0).toInt());
    });
    commands.add(QStringLiteral("show_latest_i0"), ShowLatestI0, [i0](const CmdLine &cmd) {
        i0->setShowLatest(cmd.flagArg(0));
    });
    commands.add(QStringLiteral("show_latest_i1"), ShowLatestI1, [i1](const CmdLine &cmd) {
        i1->setShowLatest(cmd.flagArg(0));
    });
    commands.add(QStringLiteral("eng_by_name_i0"), EngByNameI0, [i0](const CmdLine &) {
        i0->setEngByName(true);
    });
    commands.add(QStringLiteral("eng_by_name_i1"), EngByNameI1, [i1](const CmdLine &) {
        i1->setEngByName(true);
    });
    commands.add(QStringLiteral("eng_by_name_reg_exp_i0"),
                 EngByNameRegExpI0,
                 [i0](const CmdLine &cmd) { i0->setEngByNameRegExp(cmd.arg(0)); });
    commands.add(QStringLiteral("eng_by_name_reg_exp_i1"),
                 EngByNameRegExpI1,
                 [i1](const CmdLine &cmd) { i1->setEngByNameRegExp(cmd.arg(0)); });
    commands.add(QStringLiteral("eng_by_name_factor_i0"),
                 EngByNameFactorI0,
                 [i0](const CmdLine &cmd) { i0->setEngByNameFactor(cmd.arg(0).toDouble()); });
    commands.add(QStringLiteral("eng_by_name_factor_i1"),
                 EngByNameFactorI1,
                 [i1](const CmdLine &cmd) { i1->setEngByNameFactor(cmd.arg(0).toDouble()); });
    commands.add(QStringLiteral("eng_by_calc_i0"), EngByCalcI0, [i0](const CmdLine &cmd) {
        i0->setEngByCalc(cmd.flagArg(0));
    });
    commands.add(QStringLiteral("eng_by_calc_i1"), EngByCalcI1, [i1](const CmdLine &cmd) {
        i1->setEngByCalc(cmd.flagArg(0));
    });
    commands.add(QStringLiteral("eng_calc_base_i0"), EngCalcBaseI0, [i0](const CmdLine &cmd) {
        i0->setEngCalcStart(cmd.arg(0).toDouble());
    });
    commands.add(QStringLiteral("eng_calc_base_i1"), EngCalcBaseI1, [i1](const CmdLine &cmd) {
        i1->setEngCalcStart(cmd.arg(0).toDouble());
    });
    commands.add(QStringLiteral("eng_calc_delta_i0"), EngCalcDeltaI0, [i0](const CmdLine &cmd) {
        i0->setEngCalcDelta(cmd.arg(0).toDouble());
    });
    commands.add(QStringLiteral("eng_calc_delta_i1"), EngCalcDeltaI1, [i1](const CmdLine &cmd) {
        i1->setEngCalcDelta(cmd.arg(0).toDouble());
    });
    commands.add(QStringLiteral("eng_calc_end_i0"), EngCalcEndI0, [i0](const CmdLine &cmd) {
        i0->setEngCalcEnd(cmd.arg(0).toDouble());
    });
    commands.add(QStringLiteral("eng_calc_end_i1"), EngCalcEndI1, [i1](const CmdLine &cmd) {
        i1->setEngCalcEnd(cmd.arg(0).toDouble());
    });
    commands.add(QStringLiteral("eng_calc_num_i0"), EngCalcNumI0, [i0](const CmdLine &cmd) {
        i0->setEngCalcNum(cmd.arg(0).toInt());
    });
    commands.add(QStringLiteral("eng_calc_num_i1"), EngCalcNumI1, [i1](const CmdLine &cmd) {
        i1->setEngCalcNum(cmd.arg(0).toInt());
    });
    commands.add(QStringLiteral("eng_calc_even_in_eng_i0"),
                 EngCalcEvenInEngI0,
                 [i0](const CmdLine &cmd) { i0->setEvenInEng(cmd.flagArg(0)); });
    commands.add(QStringLiteral("eng_calc_even_in_eng_i1"),
                 EngCalcEvenInEngI1,
                 [i1](const CmdLine &cmd) { i1->setEvenInEng(cmd.flagArg(0)); });
    commands.add(QStringLiteral("eng_calc_even_in_deg_i0"),
                 EngCalcEvenInDegI0,
                 [i0](const CmdLine &cmd) { i0->setEvenInDeg(cmd.flagArg(0)); });
    commands.add(QStringLiteral("eng_calc_even_in_deg_i1"),
                 EngCalcEvenInDegI1,
                 [i1](const CmdLine &cmd) { i1->setEvenInDeg(cmd.flagArg(0)); });
    commands.add(QStringLiteral("eng_calc_disp_unit_i0"),
                 EngCalcDispUnitI0,
                 [i0](const CmdLine &cmd) { i0->setDispUnit(cmd.arg(0).toInt()); });
    commands.add(QStringLiteral("eng_calc_disp_unit_i1"),
                 EngCalcDispUnitI1,
                 [i1](const CmdLine &cmd) { i1->setDispUnit(cmd.arg(0).toInt()); });
    commands.add(QStringLiteral("eng_by_ref_i0"), EngByRefI0, [i0](const CmdLine &cmd) {
        i0->setEngByRef(cmd.arg(0));
    });
    commands.add(QStringLiteral("eng_by_ref_i1"), EngByRefI1, [i1](const CmdLine &cmd) {
        i1->setEngByRef(cmd.arg(0));
    });
}

SelectDataFiles *StackLoader::selector(int stack) const
{
    return mSelectors[stack];
}

bool StackLoader::imagesInUse()
{
    if (!mStacks->inUse())
        return false;
    emit message(tr("Images in use by an area analysis: not cleared or loaded"));
    return true;
}

void StackLoader::forgetBatchLoads()
{
    mBatchLoad[StackModel::I1] = 0;
    mBatchLoad[StackModel::I0] = 0;
    mH5Loader->forgetBatchLoads();
}

void StackLoader::replaceStacks(const QVector<TiffData *> &i1,
                                const QVector<TiffData *> &i0,
                                bool withEnergies)
{
    if (imagesInUse()) {
        qDeleteAll(i1);
        qDeleteAll(i0);
        return;
    }
    for (int stack : {StackModel::I1, StackModel::I0}) {
        clear(StackModel::Stack(stack));
        const QVector<TiffData *> &images = stack == StackModel::I1 ? i1 : i0;
        for (int k = 0; k < images.size(); ++k) {
            TiffData *data = images.at(k);
            data->colorBar = ColorScale::current();
            if (withEnergies)
                selector(stack)->addImage(data->fileName, data->energy);
            else
                data->energy = selector(stack)->addFile(data->fileName, k);
            mStacks->append(StackModel::Stack(stack), data);
        }
        takeOver(stack);
    }
}

void StackLoader::clear(StackModel::Stack stack)
{
    if (imagesInUse())
        return;
    selector(stack)->clearFiles();
    mStacks->clear(stack);
}

void StackLoader::read(StackModel::Stack stack, const QStringList &files, bool newFile)
{
    if (imagesInUse())
        return;
    if (newFile)
        clear(stack);
    requestLoad(stack == StackModel::I1, files);
}

void StackLoader::requestLoad(bool i1, const QStringList &files, bool asListed)
{
    const SelectDataFiles *selector = i1 ? mSelectors[StackModel::I1] : mSelectors[StackModel::I0];
    const int skip = selector->skipText() > 0 && !asListed ? selector->skipText() : 1;
    const int cutFirst = asListed ? 0 : qMax(selector->cutFirstText(), 0);
    const int cutLast = asListed ? 0 : qMax(selector->cutLastText(), 0);
    ++mLoadsRequested[i1 ? 0 : 1];
    mLoadProgress[i1 ? 0 : 1].expected
        += LoadTiff::filesToTry(files.size(), skip, cutFirst, cutLast);
    if (i1)
        emit loadI1Files(files, skip, cutFirst, cutLast);
    else
        emit loadI0Files(files, skip, cutFirst, cutLast);
}

bool StackLoader::execLoadCommand(const CmdLine &cmd, bool i1, bool ofPattern)
{
    const bool newFile = cmd.arg(0).toUpper() == QLatin1String("NEW");
    const QStringList files
        = ofPattern ? filesOfPattern(cmd.arg(1), cmd.args.mid(2)) : cmd.args.mid(1);
    if (imagesInUse())
        return false;
    const StackModel::Stack stack = i1 ? StackModel::I1 : StackModel::I0;
    if (files.isEmpty()) {
        if (ofPattern) {
            // A script pointed at the wrong folder must not go on with the old images.
            if (newFile)
                clear(stack);
            const QStringList filters = cmd.args.mid(2);
            emit report(
                tr("No file matches %1 in %2")
                    .arg(filters.isEmpty() ? QStringLiteral("*") : filters.join(' '), cmd.arg(1)),
                true);
        }
        return false;
    }
    read(stack, files, newFile);
    mBatchLoad[stack] = mLoadsRequested[stack];
    return true;
}

void StackLoader::finishedLoad(bool i1)
{
    const int stack = i1 ? 0 : 1;
    // Images that arrived while the loader still read files are taken over now, also when no
    // later image followed them (a last file that failed, or a busy flag read early).
    if (mTakeOverPending[stack]) {
        mTakeOverPending[stack] = false;
        takeOver(stack);
    }
    mTakenOverDuringLoad[stack].invalidate();
    reportLoad(i1, mBatchLoad[stack] == mLoadsFinished[stack] + 1);
    ++mLoadsFinished[stack];
    if (mLoadsFinished[stack] == mLoadsRequested[stack]) {
        mLoadProgress[stack] = LoadProgress();
        emit progressEnded(StackModel::Stack(stack));
    }
    if (mBatchLoad[stack] != 0 && mLoadsFinished[stack] >= mBatchLoad[stack]) {
        mBatchLoad[stack] = 0;
        emit batchLoadFinished();
    }
}

void StackLoader::reportLoad(bool i1, bool batchLog)
{
    QStringList messages;
    LoadNotes &notes = mLoadNotes[i1 ? 0 : 1];
    if (!notes.refused.isEmpty()) {
        messages << tr("%1 of %2 files refused: %3")
                        .arg(notes.refused.size())
                        .arg(notes.tried)
                        .arg(someNames(notes.refused, notes.reasons));
    }
    SelectDataFiles *selector = i1 ? mSelectors[StackModel::I1] : mSelectors[StackModel::I0];
    if (!notes.namesWithoutEnergy.isEmpty()) {
        messages << tr("Pattern %1 found no energy in %2 of the file names, which get their "
                       "index as energy: %3")
                        .arg(selector->energySetup()->assignment().pattern)
                        .arg(notes.namesWithoutEnergy.size())
                        .arg(someNames(notes.namesWithoutEnergy));
    }
    const QStringList patterns = selector->offerPatterns();
    if (!patterns.isEmpty()) {
        messages << tr("Patterns that find an energy in every name: %1 (Setup offers a reload)")
                        .arg(patterns.join(QStringLiteral(", ")));
    }
    if (!notes.multiPageFiles.isEmpty()) {
        messages << tr("%1 multi-page files hold %2 images, each loaded as an image of its own: "
                       "%3")
                        .arg(notes.multiPageFiles.size())
                        .arg(notes.multiPageImages)
                        .arg(someNames(notes.multiPageFiles));
    }
    if (!notes.oneEnergyFiles.isEmpty()) {
        messages << tr("Energy from the file name gives every page of a multi-page file the "
                       "same energy (choose energies by file number or from a reference file): "
                       "%1")
                        .arg(someNames(notes.oneEnergyFiles));
    }
    if (notes.nonFiniteSamples > 0) {
        messages
            << tr("%1 samples in %2 of the images are not finite numbers: left out of the spectra")
                   .arg(notes.nonFiniteSamples)
                   .arg(notes.nonFiniteImages);
    }
    notes = LoadNotes();
    const QString sizes = sizeMismatch();
    if (!sizes.isEmpty())
        messages << sizes;
    if (!messages.isEmpty())
        emit report(messages.join(QStringLiteral(" | ")), batchLog);
}

QString StackLoader::sizeMismatch() const
{
    const TiffData *image = mStacks->mismatchedImage();
    if (!image)
        return QString();
    const TiffData *first = mStacks->i1Images().first();
    return tr("Images of different sizes: %1 is %2 x %3, the first I1 image %4 x %5")
        .arg(QFileInfo(image->listedName()).fileName())
        .arg(image->width)
        .arg(image->height)
        .arg(first->width)
        .arg(first->height);
}

void StackLoader::loadedI1(TiffData *data, int fNo)
{
    arrived(StackModel::I1, data, fNo);
}

void StackLoader::loadedI0(TiffData *data, int fNo)
{
    arrived(StackModel::I0, data, fNo);
}

void StackLoader::arrived(int stack, TiffData *data, int fNo)
{
    if (!data)
        return;
    data->colorBar = ColorScale::current();
    SelectDataFiles *files = selector(stack);
    if (data->energyOfLabel > 0.0) {
        data->energy = files->addImage(data->listedName(), data->energyOfLabel);
    } else {
        data->energy = files->addFile(data->fileName, fNo, data->listedName());
        QStringList &oneEnergy = mLoadNotes[stack].oneEnergyFiles;
        if (data->page >= 0 && !oneEnergy.contains(data->fileName)
            && files->energySetup()->assignment().method == EnergyAssignment::FromFileName)
            oneEnergy << data->fileName;
    }
    mStacks->append(StackModel::Stack(stack), data);
    showLoadProgress(stack, data);
    mTakeOverPending[stack] = deferTakeOver(stack);
    if (!mTakeOverPending[stack])
        takeOver(stack);
}

void StackLoader::takeOver(int stack)
{
    // Taking I1 images over fixes the image size.
    if (stack == StackModel::I1 && !mStacks->takeSizeOfFirstI1())
        return;
    emit takenOver(StackModel::Stack(stack));
}

bool StackLoader::deferTakeOver(int stack)
{
    const LoadTiff *loader = mLoaders[stack];
    if (loader->imagesInFlight() > 0)
        return true;
    if (!loader->isBusy())
        return false;
    if (!selector(stack)->showLatest())
        return true;
    QElapsedTimer &since = mTakenOverDuringLoad[stack];
    if (since.isValid() && since.elapsed() < takeOverInterval)
        return true;
    since.start();
    return false;
}

void StackLoader::showLoadProgress(int stack, const TiffData *image)
{
    LoadProgress &counts = mLoadProgress[stack];
    ++counts.arrived;
    // Images handed over without a load request count as a load of their own.
    counts.expected = qMax(counts.expected, counts.arrived);
    const QString text = tr("%1: %2 of %3 files, %4")
                             .arg(stackName(stack))
                             .arg(counts.arrived)
                             .arg(counts.expected)
                             .arg(QFileInfo(image->listedName()).fileName());
    const int tenths = counts.arrived * 10 / counts.expected;
    if (tenths > counts.reportedTenths) {
        counts.reportedTenths = tenths;
        emit report(text, mBatchLoad[stack] == mLoadsFinished[stack] + 1);
    } else {
        emit progressNote(text);
    }
    emit progress(StackModel::Stack(stack),
                  tr("Loading %1").arg(stackName(stack)),
                  100.0 * counts.arrived / counts.expected);
}
