#include "body.h"
#include "ui_body.h"

#include "analysis/aelemsconds.h"
#include "analysis/analyzed2dres.h"
#include "analysis/analyzer.h"
#include "analysis/arearun.h"
#include "analysis/blockengine.h"
#include "analysis/blockrequest.h"
#include "analysis/lcfreference.h"
#include "app/dataroot.h"
#include "display/showinfront.h"
#include "batch/batchcommands.h"
#include "batch/batchctrl.h"
#include "batch/batchdispatcher.h"
#include "calib/calibctrl.h"
#include "calib/calibration.h"
#include "calib/energyshiftmap.h"
#include "calib/imgproc.h"
#include "display/colorbar.h"
#include "display/colorscale.h"
#include "display/crosssview.h"
#include "display/imgdispa.h"
#include "display/statusprogress.h"
#include "display/xafsview.h"
#include "input/eofsetup.h"
#include "input/selectdatafiles.h"
#include "input/stackloader.h"
#include "input/tiffdata.h"
#include "output/imagefile.h"
#include "output/mapexport.h"
#include "output/savedatacfg.h"
#include "output/spectraexport.h"
#include "output/tiffwriter.h"
#include "spectra/numbertext.h"
#include "spectra/stackspectra.h"
#include "spectra/victoreentable.h"
#include "spectra/xafsspectrum.h"
#include "stack/stackmodel.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QRegion>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QThread>

#include <cmath>

namespace {

// Tasks of the status bar's progress: the loads of the two stacks and the block engine's run.
enum ProgressTask { LoadI1Task, LoadI0Task, EngineTask };

// A batch flag argument: 1 turns a box on, anything else off.
bool flagOf(const QString &arg)
{
    return arg.toInt() == 1;
}

} // namespace

Body::Body(QWidget *parent)
    : QMainWindow(parent)
    , mUi(new Ui::Body)
{
    readVictoreenTable();
    XafsSpectrum::registerMetaTypes();
    qRegisterMetaType<CmdLine>("CmdLine");
    qRegisterMetaType<TiffData *>("TiffData*");

    mUi->setupUi(this);
    // Every image of values is coloured through the main colour bar.
    ColorScale::setCurrent(mUi->CBar->scale());
    mUi->CBarAll->setText(tr("Set All"));

    mImageSelection = new QButtonGroup(this);
    mImageSelection->setExclusive(true);
    mImageSelection->addButton(mUi->ShowData, 0);
    mImageSelection->addButton(mUi->ShowI0, 1);
    mImageSelection->addButton(mUi->ShowShiftMap, 2);
    mImageSelection->addButton(mUi->ShowResAnalysis, 3);

    mUi->HCross->setOrientation(CrossSView::Horizontal);
    mUi->VCross->setOrientation(CrossSView::Vertical);

    mStacks = new StackModel(this);
    mBlockEngine = new BlockEngine(this);
    mStacks->setInUseCheck([this] { return mBlockEngine->isRunning(); });
    // Whatever shows an image lets go of it before it is deleted: clearing the I0 stack must
    // not blank the I1 image the user is looking at.
    connect(mStacks, &StackModel::aboutToClear, this, [this](StackModel::Stack stack) {
        const QVector<TiffData *> &images = mStacks->images(stack);
        if (images.contains(mUi->dispA->imageData()))
            mUi->dispA->setImageData(nullptr);
        for (const TiffData *image : images)
            mDisplayImages.forget(image);
    });
    connect(mStacks, &StackModel::shiftsChanged, this, qOverload<>(&Body::showXafsSpectrum));
    mAreaRun = new AreaRun(mBlockEngine, this);
    mShiftMap = new EnergyShiftMap;
    mStdSpectrum = new XafsSpectrum;
    mMessageLine = new MessageLine(this);
    statusBar()->addWidget(mMessageLine, 1);
    mProgress = new StatusProgress(this);
    statusBar()->addPermanentWidget(mProgress);
    connect(mBlockEngine, &BlockEngine::rowRecorded, this, [this](qint64 done, qint64 rows) {
        showEngineProgress(rows > 0 ? 100.0 * double(done) / double(rows) : 0.0);
    });
    connect(mBlockEngine, &BlockEngine::finished, this, [this] { mProgress->finish(EngineTask); });

    setupBatch();
    setupLoaders();
    setupDisplay();
    setupXafsView();
    setupAnalyzer();
    setupCalibration();
    setupExport();
    setupResultMaps();
}

Body::~Body()
{
    // Its threads read the images deleted below.
    mBlockEngine->stopAndWait();
    stopThread(mBatchThread);
    // Images the loaders sent before they stopped are taken over while the window stands.
    delete mStackLoader;
    delete mBatchDispatcher;
    delete mBatchCtrl;
    delete mXafsView;
    delete mAnalyzer;
    delete mImgProc;
    delete mCalibCtrl;
    delete mSaveDataCfg;
    mUi->dispA->setOverlayer(nullptr);
    delete mShiftMap;
    delete mStdSpectrum;
    mUi->dispA->setImageData(nullptr);
    delete mStacks;
    delete mUi;
}

void Body::setupBatch()
{
    mBatchThread = new QThread(this);
    mBatchDispatcher = new BatchDispatcher;
    mBatchDispatcher->moveToThread(mBatchThread);
    mBatchThread->start(QThread::InheritPriority);

    mBatchCtrl = new BatchCtrl;
    mBatchCtrl->setDispatcher(mBatchDispatcher);
    showInFrontOnClick(mUi->BatchCtrlB, mBatchCtrl);
    connect(mBatchDispatcher, &BatchDispatcher::execCmdSig, this, &Body::execCmdSlot);
    connect(this, &Body::finishBatchExec, mBatchDispatcher, &BatchDispatcher::finishBatchExec);
    connect(mBatchCtrl, &BatchCtrl::saveFailed, this, &Body::writeFailed);
    // A new run waits for its own loads only, not for those of a run it replaced.
    connect(
        mBatchCtrl, &BatchCtrl::doDispatchCmds, this, [this] { mStackLoader->forgetBatchLoads(); });
}

void Body::setupLoaders()
{
    mUi->SelectI1Files->setSelectText(tr("I1 Data"));
    mUi->SelectI1Files->setSetupTitle(tr("I1 Data"));
    mUi->SelectI0Files->setSelectText(tr("I0 Data"));
    mUi->SelectI0Files->setSetupTitle(tr("I0 Data"));

    mStackLoader = new StackLoader(mStacks, mUi->SelectI1Files, mUi->SelectI0Files, this);
    mStackLoader->registerCommands(mCommands);
    connect(mStackLoader, &StackLoader::message, this, [this](const QString &message) {
        showMessage(message, mInBatchCommand);
    });
    connect(mStackLoader, &StackLoader::report, this, &Body::showMessage);
    connect(mStackLoader, &StackLoader::progressNote, this, [this](const QString &note) {
        mMessageLine->post(note, MessageLine::Other);
    });
    connect(mStackLoader,
            &StackLoader::progress,
            this,
            [this](StackModel::Stack stack, const QString &label, double percent) {
                mProgress->report(
                    stack == StackModel::I1 ? LoadI1Task : LoadI0Task, label, percent);
            });
    connect(mStackLoader, &StackLoader::progressEnded, this, [this](StackModel::Stack stack) {
        mProgress->finish(stack == StackModel::I1 ? LoadI1Task : LoadI0Task);
    });
    connect(mStackLoader, &StackLoader::batchLoadFinished, this, &Body::finishBatchExec);
    connect(mStackLoader, &StackLoader::takenOver, this, [this](StackModel::Stack stack) {
        if (stack == StackModel::I1)
            takeOverI1Images();
        else
            showXafsSpectrum();
    });
    connect(mStacks, &StackModel::cleared, this, [this](StackModel::Stack stack) {
        if (stack == StackModel::I1)
            mUi->SeekBar->setMaximum(0);
    });
    for (SelectDataFiles *selector : {mUi->SelectI1Files, mUi->SelectI0Files}) {
        // Whatever changes a selector's list shows that image while its stack is shown.
        connect(selector, &SelectDataFiles::currentIndexChanged, this, [this, selector](int idx) {
            showChosen(selector, idx);
        });
        connect(selector, &SelectDataFiles::itemChosen, this, [this, selector](int idx) {
            showChosen(selector, idx);
        });
    }

    connect(mUi->SelectI1Files, &SelectDataFiles::clear, this, &Body::clearI1Files);
    connect(mUi->SelectI0Files, &SelectDataFiles::clear, this, &Body::clearI0Files);
    connect(mUi->ShowData, &QRadioButton::toggled, this, &Body::selectedDataI0);
    connect(mUi->Prev, &QToolButton::clicked, this, &Body::prev);
    connect(mUi->Next, &QToolButton::clicked, this, &Body::next);
    connect(mUi->SeekBar, &QSlider::sliderMoved, this, &Body::sliderMoved);
    // Clicks on the groove, keys and the wheel move the slider without sliderMoved().
    connect(mUi->SeekBar, &QSlider::actionTriggered, this, [this] {
        if (!mUi->SeekBar->isSliderDown())
            sliderMoved(mUi->SeekBar->sliderPosition());
    });
}

void Body::setupDisplay()
{
    connect(mUi->ZoomIn, &QPushButton::clicked, mUi->dispA, &ImgDispA::setViewWAsSelectedArea);
    connect(mUi->ResetScale, &QPushButton::clicked, mUi->dispA, &ImgDispA::resetImageViewWindow);
    connect(mUi->CBar, &ColorBar::cBarUpdating, this, &Body::cBarUpdating);
    connect(mUi->CBarAll, &QPushButton::clicked, this, &Body::cBarUpdated);
}

void Body::setupXafsView()
{
    connect(mUi->dispA,
            &ImgDispA::mouseMoved,
            this,
            qOverload<double, double>(&Body::showXafsSpectrum));
    connect(mUi->dispA, &DispA::drawImage2, this, &Body::draw);
    mUi->dispA->setOverlayArea([this] { return cursorMarksArea(); });
    connect(mUi->dispA, &DispA::mouseMoved0, this, &Body::onMouseMovedInDispA);

    mXafsView = new XafsView;
    mXafsView->setWindowTitle(tr("Spectrum at the position"));
    mXafsView->show();
    showInFrontOnClick(mUi->ShowXafsView, mXafsView);
    connect(mXafsView, &XafsView::saveFailed, this, &Body::spectrumSaveFailed);
}

void Body::spectrumSaveFailed(const QString &fileName)
{
    ++mWriteFailures;
    showMessageOf(MessageLine::Saving, tr("Can't save %1").arg(fileName));
}

void Body::setupAnalyzer()
{
    mAnalyzer = new Analyzer;
    connect(mUi->ShowAnalyzer, &QPushButton::clicked, mAnalyzer, &Analyzer::show);
    connect(mAnalyzer->view(), &XafsView::saveFailed, this, &Body::spectrumSaveFailed);
    connect(mAnalyzer, &Analyzer::messageIssued, this, [this](const QString &message) {
        showMessage(message, mInBatchCommand);
    });
}

void Body::setupResultMaps()
{
    connect(mAnalyzer, &Analyzer::askAnalyze, this, &Body::startLCF2DAnalysis);
    connect(mAnalyzer, &Analyzer::askRAAnalyze, this, &Body::startRA2DAnalysis);
    connect(mAnalyzer, &Analyzer::askAnalyzeElems, this, &Body::startElems2DAnalysis);
    // The maps of the element rows go with them.
    connect(mAnalyzer, &Analyzer::elemsRebuilding, this, [this] {
        if (mAreaRun->kind() == AreaRun::ElemRun)
            stopElems2DAnalysis();
    });
    connect(mAnalyzer, &Analyzer::changedSelection, this, &Body::selectedNewRef);
    connect(mUi->ShowResAnalysis, &QRadioButton::toggled, this, &Body::showResAnalysis);
    connect(mUi->DeGlitch, &QPushButton::clicked, this, &Body::deglitch);
    connect(mUi->ShowProcImg, &QCheckBox::toggled, this, &Body::showProcImg);
    connect(mUi->CheckVals, &QPushButton::clicked, this, &Body::showAnalyzedVals);
    connect(mAreaRun, &AreaRun::newRow, this, [this](qint64, double percent) {
        if (mAreaRun->kind() == AreaRun::ElemRun)
            mAnalyzer->setElemsProgress(percent);
        else
            mAnalyzer->setProgress(percent);
    });
    connect(mAreaRun, &AreaRun::redrawDue, this, [this] { redrawShownMap(mAreaRun->kind()); });
    connect(mAreaRun, &AreaRun::ended, this, &Body::areaRunEnded);
}

void Body::startLCF2DAnalysis()
{
    startAreaRun(AreaRun::LCFRun, false);
}

void Body::startRA2DAnalysis()
{
    startAreaRun(AreaRun::RARun, false);
}

void Body::startElems2DAnalysis()
{
    startAreaRun(AreaRun::ElemRun, false);
}

void Body::stopElems2DAnalysis()
{
    stop2DAnalysis();
}

void Body::execAreaRunCommand(AreaRun::Kind kind)
{
    startAreaRun(kind, true);
    if (!mAreaRun->startedByBatch())
        emit finishBatchExec();
}

void Body::startAreaRun(AreaRun::Kind kind, bool byBatch)
{
    const QScopedValueRollback<MessageLine::Kind> messageKind(mMessageKind, MessageLine::AreaRun);
    if (analysisRunning) {
        stop2DAnalysis();
        return;
    }
    if (mStacks->i1Images().isEmpty() || mStacks->width() < 0) {
        showMessage(tr("No images loaded: analysis not started"), mInBatchCommand);
        return;
    }
    if (calibrating()) {
        showMessage(tr("A calibration is running: area analysis not started"), mInBatchCommand);
        return;
    }
    double lowEnergy = mStacks->i1Images().first()->energy;
    double highEnergy = lowEnergy;
    for (const TiffData *image : mStacks->i1Images()) {
        lowEnergy = qMin(lowEnergy, image->energy);
        highEnergy = qMax(highEnergy, image->energy);
    }
    const QString missing = mAnalyzer->missingForRun(kind, lowEnergy, highEnergy);
    if (!missing.isEmpty()) {
        showMessage(missing, mInBatchCommand);
        return;
    }
    analysisRunning = true;
    mAnalyzer->setContAccess(true);
    BlockRequest request = blockRequest();
    bool started = false;
    if (kind == AreaRun::ElemRun) {
        mAnalyzer->setElemsProgress(0.0);
        request.walk = request.walk.everyPixel();
        started = mAreaRun->startElems(request,
                                       mAnalyzer->elemsParams(),
                                       mAnalyzer->mainTargetId(),
                                       mAnalyzer->elemsBackgrounds(),
                                       mAnalyzer->correlation(),
                                       mAnalyzer->corTh(),
                                       mAnalyzer->elemsMaps(),
                                       byBatch);
        if (started)
            mAnalyzer->setElemsWalk(request.walk);
    } else if (kind == AreaRun::RARun) {
        mAnalyzer->setProgress(0.0);
        started = mAreaRun->startRA(request,
                                    targetBackground(),
                                    mAnalyzer->raEnergy(),
                                    mAnalyzer->raFactor(),
                                    {mAnalyzer->raMap(0), mAnalyzer->raMap(1), mAnalyzer->raMap(2)},
                                    byBatch);
    } else {
        mAnalyzer->setProgress(0.0);
        started = mAreaRun->startLCF(request,
                                     mAnalyzer->referenceData(),
                                     mAnalyzer->mlcf(),
                                     targetBackground(),
                                     mAnalyzer->lcfMaps(),
                                     byBatch);
    }
    if (!started) {
        analysisRunning = false;
        mAnalyzer->setContAccess(false);
        return;
    }
    showEngineProgress(0.0);
    mAnalyzer->runStarted(kind);
}

void Body::stop2DAnalysis()
{
    analysisRunning = false;
    mAnalyzer->setContAccess(false);
    AreaRun::log("2da 4:");
    mAreaRun->stop();
}

void Body::areaRunEnded(AreaRun::Kind kind, bool completed, bool byBatch)
{
    const QScopedValueRollback<MessageLine::Kind> messageKind(mMessageKind, MessageLine::AreaRun);
    if (completed)
        mMessageLine->succeeded(MessageLine::AreaRun);
    mAnalyzer->runEnded(kind, completed);
    if (!completed) {
        showMessage(tr("run stopped after %1 of %2 blocks")
                        .arg(mAreaRun->recordedBlocks())
                        .arg(mAreaRun->blocks()),
                    byBatch || mInBatchCommand);
        // What was recorded since the last redraw.
        redrawShownMap(kind);
    }
    // The correlation of the last point recorded, as a run point by point would leave it.
    if (kind == AreaRun::ElemRun)
        mAnalyzer->setCorrelation(mAreaRun->correlation());
    if (completed) {
        if (kind == AreaRun::RARun)
            generateRAResImage();
        else if (kind == AreaRun::ElemRun)
            generateElemsResImages();
        else
            generateResImages();
        analysisRunning = false;
        mAnalyzer->setContAccess(false);
        if (kind == AreaRun::ElemRun)
            mAnalyzer->setElemsProgress(100.0);
        else
            mAnalyzer->setProgress(100.0);
        if (kind == AreaRun::LCFRun)
            AreaRun::log("2da 3:");
    }
    if (byBatch)
        emit finishBatchExec();
}

void Body::redrawShownMap(AreaRun::Kind kind)
{
    // Only the map on show is recoloured during a run, and only with "Disp. on Time".
    const bool onTime = (kind == AreaRun::LCFRun && mAnalyzer->dispOnTime())
                        || (kind == AreaRun::ElemRun && mAnalyzer->elemsDispOnTime());
    Analyzed2DRes *map = mAnalyzer->selectedMap();
    if (!onTime || !map || !mAreaRun->maps().contains(map))
        return;
    map->genImg();
    selectedNewRef();
}

void Body::generateResImages()
{
    for (Analyzed2DRes *map : mAnalyzer->lcfMaps())
        map->genImg();
    selectedNewRef();
}

void Body::generateElemsResImages()
{
    for (Analyzed2DRes *map : mAnalyzer->elemsMaps())
        map->genImg();
    selectedNewRef();
}

void Body::selectElemsRow(bool target, const QString &name)
{
    if (target)
        mAnalyzer->selectElemsTarget(name);
    else
        mAnalyzer->selectElemsShow(name);
    showResAnalysis(true);
}

void Body::generateRAResImage()
{
    AreaRun::ratioMap(*mAnalyzer->raMap(0), *mAnalyzer->raMap(1), *mAnalyzer->raMap(2));
    for (int k = 0; k < 3; ++k)
        mAnalyzer->raMap(k)->genImg();
    selectedNewRef();
}

void Body::showResAnalysis(bool f)
{
    Q_UNUSED(f)
    mUi->dispA->setOverlayer(mAnalyzer->selectedMap());
    mUi->dispA->setShowOverlayer(mUi->ShowShiftMap->isChecked()
                                 || mUi->ShowResAnalysis->isChecked());
    mUi->dispA->update();
}

void Body::selectedNewRef()
{
    showResAnalysis(mUi->ShowResAnalysis->isChecked());
}

void Body::setupResAnalysisImage()
{
    if (Analyzed2DRes *map = mAnalyzer->selectedMap())
        map->genImg();
}

void Body::showProcImg(bool f)
{
    Analyzed2DRes *map = mAnalyzer->selectedMap();
    if (!map)
        return;
    map->selectProcImg(f);
    update();
    mUi->dispA->update();
}

void Body::deglitch()
{
    Analyzed2DRes *map = mAnalyzer->selectedMap();
    if (!map)
        return;
    map->setDeglitchConds(mUi->DeGlitchFactor->text().toDouble(),
                          mUi->DeGlitchRatio->text().toDouble());
    map->selectProcImg(true);
    map->deglitch();
    update();
    mUi->dispA->update();
}

void Body::showAnalyzedVals()
{
    const Analyzed2DRes *map = mAnalyzer->selectedMap();
    if (!map)
        return;
    qDebug().noquote() << "vals of " + map->name();
    for (int y = 0; y < map->height(); ++y) {
        for (int x = 0; x < map->width(); ++x) {
            qDebug().noquote() << QString::asprintf(
                "%4d %4d %15.6f %15.6f", x, y, map->value(x, y), map->procValue(x, y));
        }
    }
}

void Body::setupCalibration()
{
    mImgProc = new ImgProc;
    mCalibCtrl = new CalibCtrl;
    mCalibration = new Calibration(mBlockEngine, mShiftMap, this);
    mShiftMap->resize(0, 0);
    showInFrontOnClick(mUi->ShowImgProc, mImgProc);
    showInFrontOnClick(mUi->OpenCalibCtrl, mCalibCtrl);
    connect(mImgProc, &ImgProc::askGiveData, this, &Body::giveProcData);
    connect(mImgProc, &ImgProc::imgShift, this, &Body::setImgShift);
    connect(mImgProc, &ImgProc::askClearAllShifts, this, &Body::clearAllShifts);
    connect(mCalibCtrl, &CalibCtrl::newStdFileLoaded, this, &Body::newStdFile);
    connect(mCalibCtrl, &CalibCtrl::messageIssued, this, [this](const QString &message) {
        showMessage(message, mInBatchCommand);
    });
    connect(mCalibCtrl, &CalibCtrl::execCalibration, this, &Body::execCalibration);
    connect(mCalibCtrl, &CalibCtrl::saveEMap, this, &Body::saveEMap);
    connect(mCalibCtrl, &CalibCtrl::loadEMap, this, &Body::loadEMap);
    connect(mCalibCtrl, &CalibCtrl::clearMap, this, &Body::clearShiftMap);
    connect(mCalibration, &Calibration::finished, this, [this](bool completed) {
        if (completed)
            mMessageLine->succeeded(MessageLine::Calibration);
    });
    connect(mCalibration, &Calibration::finished, this, &Body::calibrationEnded);
    connect(mUi->ShowShiftMap, &QRadioButton::toggled, this, &Body::showShiftMap);
    connect(mUi->NormalizeEShift, &QPushButton::clicked, this, &Body::normalizeEShift);
}

void Body::setupExport()
{
    mSaveDataCfg = new SaveDataCfg;
    mSaveDataCfg->registerCommands(mCommands);
    showInFrontOnClick(mUi->SaveDataCfgB, mSaveDataCfg);
    const auto saveDialog = [this] {
        auto *dialog = new QFileDialog(this);
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setDirectory(dataRoot());
        return dialog;
    };
    mDataDialog = saveDialog();
    mImageDialog = saveDialog();
    mImageDialog->setNameFilters({tr("Image File (*.png)"), tr("Any Files (* *.*)")});
    mSpectraDialog = saveDialog();
    mSpectraDialog->setNameFilters({tr("XAFS Spectra (*.dat)"), tr("Any Files (* *.*)")});
    connect(mUi->SaveXAFSSpectra, &QPushButton::clicked, mSpectraDialog, &QFileDialog::show);
    connect(mSpectraDialog, &QFileDialog::fileSelected, this, &Body::saveXafsSpectra);
    mSpectraExport = new SpectraExport(mBlockEngine, this);
    connect(mSpectraExport, &SpectraExport::finished, this, [this](bool written, QString path) {
        if (written)
            mMessageLine->succeeded(MessageLine::Saving);
        else
            writeFailed(path);
    });
    connect(mUi->SaveData, &QPushButton::clicked, this, &Body::showSaveDataDialog);
    connect(mDataDialog, &QFileDialog::fileSelected, this, &Body::saveData);
    connect(mUi->SaveImage, &QPushButton::clicked, mImageDialog, &QFileDialog::show);
    connect(mImageDialog, &QFileDialog::fileSelected, this, &Body::saveImage);
    connect(mUi->SaveFlatDark, &QPushButton::clicked, this, &Body::saveFlatDark);
}

void Body::writeFailed(const QString &path)
{
    ++mWriteFailures;
    showMessageOf(MessageLine::Saving, tr("Can't write %1").arg(path));
}

void Body::showMessageOf(MessageLine::Kind kind, const QString &message)
{
    const QScopedValueRollback<MessageLine::Kind> messageKind(mMessageKind, kind);
    showMessage(message, mInBatchCommand);
}

void Body::saveEnded(int failuresBefore)
{
    if (mWriteFailures == failuresBefore)
        mMessageLine->succeeded(MessageLine::Saving);
}

void Body::showEngineProgress(double percent)
{
    QString task = tr("Saving spectra");
    if (mAreaRun->isRunning())
        task = tr("Area analysis");
    else if (calibrating())
        task = tr("Calibration");
    mProgress->report(EngineTask, task, percent, [this] { stopEngineTask(); });
}

void Body::stopEngineTask()
{
    if (mAreaRun->isRunning())
        stop2DAnalysis();
    else if (calibrating())
        mCalibration->stop();
    else
        mBlockEngine->cancel();
}

bool Body::saveImageFile(const QImage &image, const QString &path)
{
    if (ImageFile::save(image, path))
        return true;
    writeFailed(path);
    return false;
}

bool Body::saveColorBar(const QString &path)
{
    return saveImageFile(mUi->CBar->grab().toImage(), path);
}

void Body::saveImage(const QString &fname)
{
    const int failures = mWriteFailures;
    saveImageFile(mUi->dispA->shownImage(), fname);
    saveColorBar(MapExport::numberedName(fname, QStringLiteral("cBar")));
    saveEnded(failures);
}

void Body::saveImageWNum(const QString &fname, const QString &num)
{
    // A number naming folders would put the image, or only its colour bar, somewhere else.
    if (num.contains(QLatin1Char('/')) || num.contains(QLatin1Char('\\'))) {
        ++mWriteFailures;
        showMessageOf(MessageLine::Saving,
                      tr("Number \"%1\" holds a folder separator: %2 and its colour bar not "
                         "written")
                          .arg(num, fname));
        return;
    }
    saveImage(MapExport::numberedName(fname, num));
}

void Body::saveAllImages(const QString &fname)
{
    const int failures = mWriteFailures;
    const QVector<LCFReference *> &refs = mAnalyzer->refs();
    for (int kind = 0; kind < mAnalyzer->refMapKinds(); ++kind) {
        for (int i = 0; i < refs.size(); ++i) {
            Analyzed2DRes *map = refs.at(i)->map(kind);
            if (!refs.at(i)->isUsed() || !map || !map->imageValid())
                continue;
            saveImageFile(*map->img(),
                          MapExport::numberedName(fname, QStringLiteral("%1-%2").arg(i).arg(kind)));
        }
    }
    saveEnded(failures);
}

int Body::firstShownRef() const
{
    const QVector<LCFReference *> &refs = mAnalyzer->refs();
    for (int i = 0; i < refs.size(); ++i) {
        if (refs.at(i)->showButton()->isChecked())
            return i;
    }
    return 0;
}

void Body::showSaveDataDialog()
{
    const QString data
        = mSaveDataCfg->settings().asTiff ? tr("Tiff File (*.tif)") : tr("Data File (*.dat)");
    mDataDialog->setNameFilters({data, tr("Any Files (* *.*)")});
    mDataDialog->show();
}

void Body::saveData(const QString &fname)
{
    const int failures = mWriteFailures;
    const int n = firstShownRef();
    if (mSaveDataCfg->settings().asTiff) {
        qDebug() << "selected tiff";
        const QString path = writeShownMap(fname, n, true);
        const QString bar = MapExport::numberedName(
            MapExport::numberedName(fname, QString::number(n)), QStringLiteral("-cBar"));
        // The bar's scale is that of the map just written.
        if (!path.isEmpty() && saveColorBar(bar))
            shownMapSaved({path, bar});
    } else {
        qDebug() << "selected text";
        saveDataAsText(fname, n);
    }
    saveEnded(failures);
}

void Body::saveDataAsTiff(const QString &fname, int ext)
{
    const int failures = mWriteFailures;
    const QString path = writeShownMap(fname, ext, true);
    if (!path.isEmpty())
        shownMapSaved({path});
    saveEnded(failures);
}

void Body::saveDataAsText(const QString &fname, int ext)
{
    const int failures = mWriteFailures;
    const QString path = writeShownMap(fname, ext, false);
    if (!path.isEmpty())
        shownMapSaved({path});
    saveEnded(failures);
}

QString Body::writeShownMap(const QString &fname, int ext, bool asTiff)
{
    const QString path = MapExport::dataFileName(
        fname, ext, asTiff ? QStringLiteral("tif") : QStringLiteral("dat"));
    if (asTiff)
        qDebug() << "saveDataAsTiff";
    Analyzed2DRes *map = mAnalyzer->selectedMap();
    if (!map || !map->hasData()) {
        showMessageOf(MessageLine::Saving, tr("No result map shown: %1 not saved").arg(path));
        return QString();
    }
    const bool written = asTiff ? MapExport::saveAsTiff(path, *map, mSaveDataCfg->settings())
                                : MapExport::saveAsText(path, *map, mSaveDataCfg->settings());
    if (!written) {
        writeFailed(path);
        return QString();
    }
    return path;
}

void Body::shownMapSaved(const QStringList &paths)
{
    QStringList names;
    for (const QString &path : paths)
        names << QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    showMessage(
        tr("Saved %1 to %2")
            .arg(mAnalyzer->mapTitle(mAnalyzer->selectedMap()), names.join(QStringLiteral(", "))),
        mInBatchCommand);
}

void Body::saveXafsSpectra(const QString &fname)
{
    if (mBlockEngine->isRunning()) {
        showMessage(tr("An area analysis is running: spectra not saved"), mInBatchCommand);
        return;
    }
    if (!mSpectraExport->start(blockRequest(), targetBackground(), fname))
        writeFailed(SpectraExport::fileNameFor(fname));
    else
        showEngineProgress(0.0);
}

void Body::saveFlatDark()
{
    // Without images the size is not known, and files of no pixels would replace good ones.
    if (mStacks->width() <= 0 || mStacks->height() <= 0) {
        showMessage(tr("No image loaded: flat and dark files not written"), mInBatchCommand);
        return;
    }
    const int failures = mWriteFailures;
    const int count = mStacks->width() * mStacks->height();
    for (const quint16 level : {quint16(1), quint16(0)}) {
        const QString path = level ? QStringLiteral("flat.dat") : QStringLiteral("dark.dat");
        const QVector<quint16> values(count, level);
        if (!writeTiff16(path, mStacks->width(), mStacks->height(), values.constData()))
            writeFailed(path);
    }
    saveEnded(failures);
}

bool Body::calibrating() const
{
    return mCalibration->isRunning();
}

void Body::giveProcData()
{
    const int index = mUi->SelectI1Files->currentIndex();
    mImgProc->setProcData(mStacks->image(StackModel::I1, index));
}

void Body::newStdFile()
{
    *mStdSpectrum = mCalibCtrl->stdSpectrum();
    mXafsView->setStdSpectrum(*mStdSpectrum);
    showXafsSpectrum();
}

namespace {

QString timeNow()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyMMdd hh:mm:ss.zzz"));
}

} // namespace

void Body::execCalibration()
{
    const QScopedValueRollback<MessageLine::Kind> messageKind(mMessageKind,
                                                              MessageLine::Calibration);
    if (calibrating()) {
        mCalibration->stop();
        return;
    }
    if (mStacks->i1Images().isEmpty())
        return;
    // Without a standard the map would hold absolute edge energies.
    if (mStdSpectrum->isEmpty()) {
        showMessage(tr("No standard spectrum: calibration not started"), mInBatchCommand);
        return;
    }
    if (mBlockEngine->isRunning()) {
        showMessage(tr("An area analysis is running: calibration not started"), mInBatchCommand);
        return;
    }
    qDebug().noquote() << "Start Calibration" << timeNow();
    if (mCalibration->start(blockRequest(), mStdSpectrum->crossingEnergy(0.5, 0))) {
        mCalibCtrl->setRunning(true);
        showEngineProgress(0.0);
    }
}

bool Body::execCalibrationCommand()
{
    if (calibrating()) {
        mCalibration->stop();
        return false;
    }
    execCalibration();
    mBatchCalibration = calibrating();
    return mBatchCalibration;
}

void Body::calibrationEnded()
{
    const Calibration::Stats &stats = mCalibration->stats();
    if (stats.count > 0)
        mCalibCtrl->showStats(stats.average, stats.min, stats.max, stats.sigma);
    else
        mCalibCtrl->showStats(0.0, 0.0, 0.0, 0.0);
    mCalibCtrl->setRunning(false);
    redrawShiftMap();
    showXafsSpectrum();
    qDebug().noquote() << "End Calibration   " << timeNow();
    if (mBatchCalibration) {
        mBatchCalibration = false;
        emit finishBatchExec();
    }
}

bool Body::shiftMapBusy()
{
    if (!calibrating())
        return false;
    showMessage(tr("A calibration is writing the energy-shift map"), mInBatchCommand);
    return true;
}

void Body::saveEMap(const QString &fname)
{
    if (shiftMapBusy())
        return;
    // The file holds angle offsets from the standard's edge: without one they mean nothing.
    if (mStdSpectrum->isEmpty()) {
        showMessage(tr("No standard spectrum: %1 not saved").arg(fname), mInBatchCommand);
        return;
    }
    const int failures = mWriteFailures;
    if (!mShiftMap->save(fname,
                         mStdSpectrum->crossingEnergy(0.5, 0),
                         mCalibCtrl->spacing(),
                         mCalibCtrl->stdFileName())) {
        ++mWriteFailures;
        showMessageOf(MessageLine::Saving,
                      QCoreApplication::translate("EnergyShiftMap",
                                                  mShiftMap->failureReason().toLatin1().constData())
                          .arg(mShiftMap->failedFile()));
    }
    saveEnded(failures);
}

void Body::loadEMap(const QString &fname)
{
    if (shiftMapBusy())
        return;
    int width = mStacks->width();
    int height = mStacks->height();
    if (!mShiftMap->load(fname, mCalibCtrl->edgeEV(), width, height)) {
        showMessage(mShiftMap->failureMessage(), mInBatchCommand);
        return;
    }
    mStacks->setSize(width, height);
    redrawShiftMap();
    showXafsSpectrum();
}

void Body::normalizeEShift()
{
    if (shiftMapBusy())
        return;
    qDebug().noquote() << "Start Normalize E Shift" << timeNow();
    mShiftMap->map().deglitch2(40.0);
    mShiftMap->map().copyProc2Data();
    redrawShiftMap();
    showXafsSpectrum();
    qDebug().noquote() << "End Normalize E Shift  " << timeNow();
}

void Body::clearShiftMap()
{
    if (shiftMapBusy())
        return;
    mShiftMap->clear();
    if (mUi->dispA->overlayer() == &mShiftMap->map())
        mUi->dispA->setShowOverlayer(false);
    mUi->dispA->update();
    showXafsSpectrum();
}

void Body::redrawShiftMap()
{
    mShiftMap->map().setFormat(mUi->CBar->format());
    mShiftMap->map().genImg();
    if (mUi->ShowShiftMap->isChecked())
        showShiftMap(true);
    mUi->dispA->update();
}

void Body::showShiftMap(bool f)
{
    Q_UNUSED(f)
    Analyzed2DRes &map = mShiftMap->map();
    if (!map.imageValid())
        return;
    mUi->dispA->setOverlayer(&map);
    mUi->dispA->setShowOverlayer(mUi->ShowShiftMap->isChecked()
                                 || mUi->ShowResAnalysis->isChecked());
    if (mUi->ShowShiftMap->isChecked())
        map.updateColorBar();
    mUi->dispA->update();
}

void Body::cBarUpdating()
{
    if (mUi->ShowShiftMap->isChecked() && mShiftMap->map().imageValid())
        mShiftMap->map().genImg();
    else if (mUi->ShowResAnalysis->isChecked())
        setupResAnalysisImage();
    if (!mUi->ShowShiftMap->isChecked() && !mUi->ShowResAnalysis->isChecked()) {
        if (TiffData *image = mUi->dispA->imageData())
            image->makeDisplayImage();
    }
    mUi->dispA->update();
}

void Body::cBarUpdated()
{
    if (mUi->ShowShiftMap->isChecked() && mShiftMap->map().imageValid())
        mShiftMap->map().genImg();
    else if (mUi->ShowResAnalysis->isChecked())
        setupResAnalysisImage();
    TiffData *shown = mUi->dispA->imageData();
    // The stack of the image on screen; its other images take the new colours when shown.
    if (!mUi->ShowShiftMap->isChecked() && !mUi->ShowResAnalysis->isChecked() && shown)
        mDisplayImages.recolourAll(
            mStacks->i1Images().contains(shown) ? mStacks->i1Images() : mStacks->i0Images(), shown);
    mUi->dispA->update();
}

TiffData *Body::currentShownImage() const
{
    const QVector<TiffData *> &images = shownImages();
    const int index = shownSelector()->currentIndex();
    return index >= 0 && index < images.size() ? images.at(index) : nullptr;
}

StackSpectra Body::stackSpectra() const
{
    return mStacks->spectra(mUi->FluoType->isChecked());
}

BlockRequest Body::blockRequest() const
{
    const ImgDispA *display = mUi->dispA;
    const QRectF area = display->areaSelected() ? display->selectedArea() : display->viewWindow();
    BlockRequest request;
    request.walk = AreaWalk(mStacks->width(),
                            mStacks->height(),
                            mUi->HWidth->text().toInt(),
                            mUi->VWidth->text().toInt(),
                            area.x(),
                            area.y(),
                            area.width(),
                            area.height())
                       .clippedToImage();
    request.spectra = stackSpectra();
    request.takeEnergyShifts(mShiftMap->map());
    return request;
}

double Body::energyShiftAt(int x, int y) const
{
    return mShiftMap->value(x, y);
}

int Body::targetBackground() const
{
    return mCalibCtrl->targetBackground();
}

void Body::showXafsSpectrum(double x, double y)
{
    mCursorX = int(x);
    mCursorY = int(y);
    showXafsSpectrum();
}

void Body::showXafsSpectrum()
{
    const TiffData *shown = currentShownImage();
    mXafsView->setShownImageEnergy(shown ? shown->energy : -1.0);
    mXafsView->update();

    const double shift = energyShiftAt(mCursorX, mCursorY);
    const XafsSpectrum spectrum = stackSpectra().xafsSpectrumAt(mCursorX,
                                                                mCursorY,
                                                                mUi->HWidth->text().toInt(),
                                                                mUi->VWidth->text().toInt(),
                                                                targetBackground(),
                                                                shift);
    const double shiftFromStd = mXafsView->setSpectrum(spectrum);
    if (!analysisRunning)
        mAnalyzer->analyzeAndShowSpectrum(spectrum);

    mUi->Position->setText(QString::asprintf("(% 4d, % 4d)", mCursorX, mCursorY));
    mUi->EShiftOnTbl->setText(QString::asprintf("%5.2f", shift));
    mUi->EShiftFromStd->setText(QString::asprintf("%5.2f", shiftFromStd));
}

void Body::onMouseMovedInDispA()
{
    const QPointF cursor = mUi->dispA->cursorImagePos();
    const int x = int(cursor.x());
    const int y = int(cursor.y());
    const TiffData *image = currentShownImage();
    const bool absorption = mUi->ShowData->isChecked();
    const StackSpectra spectra = stackSpectra();

    Spectrum horizontal;
    Spectrum vertical;
    if (image) {
        horizontal = spectra.horizontalProfile(image, y, mUi->VWidth->text().toInt(), absorption);
        vertical = spectra.verticalProfile(image, x, mUi->HWidth->text().toInt(), absorption);
    }
    mUi->HCross->setProfile(horizontal);
    mUi->HCross->setOffset(false, 0.0);
    mUi->HCross->setMarker(x);
    mUi->HCross->update();
    mUi->VCross->setProfile(vertical);
    mUi->VCross->setOffset(false, 0.0);
    mUi->VCross->setMarker(y);
    mUi->VCross->update();

    if (!mUi->ShowResAnalysis->isChecked()) {
        mUi->Value->setText(groupedNumberText(image ? image->shiftedValue(x, y) : 0.0));
    } else if (const Analyzed2DRes *map = mUi->dispA->overlayer()) {
        // The value the map shows: the processed one while processed values are drawn.
        mUi->Value->setText(
            groupedNumberText(map->showProc() ? map->procValue(x, y) : map->value(x, y)));
    }
}

Body::CursorMarks Body::cursorMarks() const
{
    const ChCoord &coord = mUi->dispA->coord();
    const auto screenX = [&](double x) { return ChCoord::toPixel(coord.realToScreenX(x)); };
    const auto screenY = [&](double y) { return ChCoord::toPixel(coord.realToScreenY(y)); };
    // In doubles, and each edge limited to the screen on its own: any bin size typed gives a
    // box with the right edges, however far they lie.
    const double hw = std::abs(double(mUi->HWidth->text().toInt()));
    const double hh = std::abs(double(mUi->VWidth->text().toInt()));
    const double left = std::trunc(coord.realToScreenX(mCursorX - hw));
    const double top = std::trunc(coord.realToScreenY(mCursorY - hh));
    const double right = left + std::trunc(coord.realToScreenDX(2 * hw + 1)) - 1;
    const double bottom = top + std::trunc(coord.realToScreenDY(2 * hh + 1)) - 1;

    CursorMarks marks;
    marks.binBox = QRect(QPoint(ChCoord::toPixel(left), ChCoord::toPixel(top)),
                         QPoint(ChCoord::toPixel(right), ChCoord::toPixel(bottom)));
    marks.vertical
        = QLine(screenX(mCursorX), screenY(0), screenX(mCursorX), screenY(mStacks->height()));
    marks.horizontal
        = QLine(screenX(0), screenY(mCursorY), screenX(mStacks->width()), screenY(mCursorY));
    return marks;
}

QRegion Body::cursorMarksArea() const
{
    if (!mUi->dispA->imageData())
        return QRegion();
    const CursorMarks marks = cursorMarks();
    // With room for the pens' widths; the widget's own area bounds far-off edges.
    constexpr int margin = 2;
    const QRect widget = mUi->dispA->rect();
    const auto around = [&](const QRect &rect) {
        return rect.normalized().adjusted(-margin, -margin, margin, margin).intersected(widget);
    };
    QRegion area;
    // The box's outline only: the inside of a large box shows the image unchanged.
    const QRect box = marks.binBox.normalized();
    area += around(QRect(box.topLeft(), box.topRight()));
    area += around(QRect(box.bottomLeft(), box.bottomRight()));
    area += around(QRect(box.topLeft(), box.bottomLeft()));
    area += around(QRect(box.topRight(), box.bottomRight()));
    area += around(QRect(marks.vertical.p1(), marks.vertical.p2()));
    area += around(QRect(marks.horizontal.p1(), marks.horizontal.p2()));
    return area;
}

void Body::draw(QPainter *p)
{
    if (!mUi->dispA->imageData())
        return;
    const ChCoord &coord = mUi->dispA->coord();
    const auto screenX = [&](double x) { return ChCoord::toPixel(coord.realToScreenX(x)); };
    const auto screenY = [&](double y) { return ChCoord::toPixel(coord.realToScreenY(y)); };
    const CursorMarks marks = cursorMarks();

    p->save();
    p->setPen(QPen(QColor(255, 0, 0), 2));
    p->drawRect(marks.binBox);

    p->setPen(QColor(192, 192, 0));
    p->drawLine(marks.vertical);
    p->drawLine(marks.horizontal);

    if (mUi->dispA->areaSelected() || mUi->dispA->selecting()) {
        const QRectF area = mUi->dispA->selectedArea();
        p->setPen(QColor(192, 192, 255));
        p->drawRect(QRect(QPoint(screenX(area.left()), screenY(area.top())),
                          QPoint(screenX(area.right()), screenY(area.bottom()))));
    }
    p->restore();
    mUi->CBar->update();
}

void Body::stopThread(QThread *thread)
{
    if (!thread)
        return;
    thread->requestInterruption();
    thread->quit();
    thread->wait();
}

void Body::showMessage(const QString &message, bool batchLog)
{
    mMessageLine->post(message, mMessageKind);
    // The batch log writes its entries to the debug output too.
    if (batchLog)
        mBatchCtrl->Log(message + QLatin1Char('\n'));
    else
        qDebug().noquote() << message;
}

QString Body::messageLine() const
{
    return mMessageLine->text();
}

void Body::closeEvent(QCloseEvent *event)
{
    if (mAreaRun->isRunning())
        stop2DAnalysis();
    emit finishing();
    event->accept();
}

const QVector<TiffData *> &Body::shownImages() const
{
    return mUi->ShowData->isChecked() ? mStacks->i1Images() : mStacks->i0Images();
}

SelectDataFiles *Body::shownSelector() const
{
    return mUi->ShowData->isChecked() ? mUi->SelectI1Files : mUi->SelectI0Files;
}

void Body::clearI1Files()
{
    mStackLoader->clear(StackModel::I1);
}

void Body::clearI0Files()
{
    mStackLoader->clear(StackModel::I0);
}

void Body::readI1Files(QStringList files, bool newFile)
{
    mStackLoader->read(StackModel::I1, files, newFile);
}

void Body::readI0Files(QStringList files, bool newFile)
{
    mStackLoader->read(StackModel::I0, files, newFile);
}

void Body::takeOverI1Images()
{
    const int last = mStacks->i1Images().size() - 1;
    // A map loaded before the images, or calibrated on them, is kept at the same size.
    if (mShiftMap->width() != mStacks->width() || mShiftMap->height() != mStacks->height())
        mShiftMap->resize(mStacks->width(), mStacks->height());
    mUi->SeekBar->setMaximum(last);
    if (mUi->SelectI1Files->showLatest())
        showData(last);
    mUi->SelectI1Files->select(last);
    // After the image size is known, so that the first images already give a spectrum.
    showXafsSpectrum();
}

void Body::showData(int no)
{
    // An index outside the stack changes nothing, so that the slider and the file list keep
    // naming the image on screen.
    const QVector<TiffData *> &images = shownImages();
    if (no < 0 || no >= images.size())
        return;
    mUi->SeekBar->setValue(no);
    mDisplayImages.use(images.at(no));
    mUi->dispA->setImageData(images.at(no));
    shownSelector()->select(no);
    mXafsView->setShownImageEnergy(images.at(no)->energy);
    mXafsView->update();
}

void Body::showChosen(SelectDataFiles *selector, int idx)
{
    const QVector<TiffData *> &images = shownImages();
    if (selector == shownSelector() && idx >= 0 && idx < images.size()
        && images.at(idx) != mUi->dispA->imageData())
        showData(idx);
}

void Body::seekImage(int imgNo)
{
    showData(imgNo);
}

void Body::selectedDataI0(bool f)
{
    Q_UNUSED(f)
    showData(shownSelector()->currentIndex());
}

void Body::prev()
{
    shownSelector()->prev();
    showData(shownSelector()->currentIndex());
}

void Body::next()
{
    shownSelector()->next();
    showData(shownSelector()->currentIndex());
}

void Body::sliderMoved(int idx)
{
    showData(idx);
}

void Body::setImgShift(int dx, int dy)
{
    mStacks->setShift(mUi->SelectI1Files->currentIndex(), dx, dy);
}

void Body::clearAllShifts()
{
    mStacks->clearShifts();
}

void Body::execCmdSlot(CmdLine cmd, bool inRem)
{
    if (inRem) {
        emit finishBatchExec();
        return;
    }
    const QScopedValueRollback<bool> inBatchCommand(mInBatchCommand, true);

    const int id = commandTable().lookup(cmd.cmd);
    if (const CommandRegistry::Command *command = mCommands.find(id)) {
        // A command that started a load or a run is finished by that work's end.
        if (!command->handler(cmd))
            emit finishBatchExec();
        return;
    }
    const QString p1 = cmd.arg(0);
    switch (id) {
    case SetFluoType:
        mUi->FluoType->setChecked(flagOf(p1));
        break;
    case Quit:
        emit finishing();
        return;
    case ScaleReset:
        mUi->dispA->resetImageViewWindow();
        break;
    case ZoomIn:
        mUi->dispA->setViewWAsSelectedArea();
        break;
    case SelectRegion:
        mUi->dispA->setSelectedArea(
            cmd.arg(0).toInt(), cmd.arg(1).toInt(), cmd.arg(2).toInt(), cmd.arg(3).toInt());
        break;
    case SetBandW:
        mUi->HWidth->setText(QString::number(p1.toInt()));
        break;
    case SetBandH:
        mUi->VWidth->setText(QString::number(p1.toInt()));
        break;
    case SelectDispImage:
        if (QAbstractButton *button = mImageSelection->button(p1.toInt()))
            button->setChecked(true);
        break;
    case SeekImage:
        seekImage(p1.toInt());
        break;
    case MovePosition:
        mUi->dispA->placeCursor(p1.toInt(), cmd.arg(1).toInt());
        break;
    case SaveSpectra:
        mXafsView->saveData(p1);
        break;
    case XafsViewNormalize:
        mXafsView->setNormalize(flagOf(p1));
        break;
    case XafsViewEnerugyCorrection:
        mXafsView->setEnergyCorrection(flagOf(p1));
        break;
    case AnalyzerShowWindow:
        mAnalyzer->show();
        break;
    case AnalyzerSetLCFStd:
        mAnalyzer->setLCFStd(
            p1.toInt(), flagOf(cmd.arg(1)), cmd.arg(2).toDouble(), cmd.arg(3), cmd.arg(4));
        break;
    case AnalyzerSetLCFMode:
        mAnalyzer->setLCFMode(p1.toInt());
        break;
    case AnalyzerExecLCF:
        return execAreaRunCommand(AreaRun::LCFRun);
    case AnalyzerExecRa:
        return execAreaRunCommand(AreaRun::RARun);
    case AnalyzerExecElems:
        return execAreaRunCommand(AreaRun::ElemRun);
    case AnalyzerTargetElements:
        mAnalyzer->setTargetElements(p1);
        break;
    case AnalyzerElemsSelectTarget:
        selectElemsRow(true, p1);
        break;
    case AnalyzerElemsSelectShow:
        selectElemsRow(false, p1);
        break;
    case AnalyzerElemsSetDeVs:
        mAnalyzer->setElemsDE(p1.toDouble());
        break;
    case AnalyzerElemsSetCorrTh:
        mAnalyzer->setElemsCorTh(p1.toDouble());
        break;
    case AnalyzerElemsSelectDispMode:
        mAnalyzer->selectElemsDispMode(p1.toInt());
        break;
    case AnalyzerElemsSetUse:
        mAnalyzer->setElemsUse(p1, flagOf(cmd.arg(1)));
        break;
    case AnalyzerElemsSortByAn:
        mAnalyzer->setElemsSortByAN(flagOf(p1));
        break;
    case AnalyzerElemsRoi:
        mAnalyzer->setElemsROI(p1, cmd.arg(1).toDouble(), cmd.arg(2).toDouble());
        break;
    case AnalyzerElemsThdmut:
        mAnalyzer->setElemsThDMut(p1, cmd.arg(1).toDouble());
        break;
    case AnalyzerElemsNoNeg:
        mAnalyzer->setElemsNoNeg(p1, flagOf(cmd.arg(1)));
        break;
    case AnalyzerElemsBgDMut:
        mAnalyzer->setElemsBG(AElemsConds::DMut, cmd.arg(1).toDouble());
        break;
    case AnalyzerElemsBgDMutR:
        mAnalyzer->setElemsBG(AElemsConds::DMutRatio, cmd.arg(1).toDouble());
        break;
    case AnalyzerElemsBgDE:
        mAnalyzer->setElemsBG(AElemsConds::DE, cmd.arg(1).toDouble());
        break;
    case AnalyzerElemsBgROI:
        mAnalyzer->setElemsBG(AElemsConds::Roi, cmd.arg(1).toDouble());
        break;
    case AnalyzerElemsBgNROI:
        mAnalyzer->setElemsBG(AElemsConds::NRoi, cmd.arg(1).toDouble());
        break;
    case AnalyzerSelectImage:
        mAnalyzer->selectImage(p1.toInt());
        break;
    case AnalyzerSelectImageType:
        mAnalyzer->setImageType(p1.toInt());
        break;
    case AnalyzerSetRaEnergy:
        mAnalyzer->setRaEnergy(p1.toDouble());
        break;
    case AnalyzerSetRaFactor:
        mAnalyzer->setRaFactor(p1.toDouble());
        break;
    case AnalyzerSetFixedScale:
        mAnalyzer->setFixedScale(flagOf(p1));
        break;
    case AnalyzerSetScaleMax:
        mAnalyzer->setScaleMax(p1.toDouble());
        break;
    case AnalyzerSetScaleMin:
        mAnalyzer->setScaleMin(p1.toDouble());
        break;
    case AnalyzerSetDMutScaleMax:
        mAnalyzer->setDMutScaleMax(p1.toDouble());
        break;
    case AnalyzerSetDMutScaleMin:
        mAnalyzer->setDMutScaleMin(p1.toDouble());
        break;
    case AnalyzerSetRatioScaleMax:
        mAnalyzer->setRatioScaleMax(p1.toDouble());
        break;
    case AnalyzerSetRatioScaleMin:
        mAnalyzer->setRatioScaleMin(p1.toDouble());
        break;
    case AnalyzerViewNormalize:
        mAnalyzer->setNormalize(flagOf(p1));
        break;
    case AnalyzerViewEnerugyCorrection:
        mAnalyzer->setEnergyCorrection(flagOf(p1));
        break;
    case AnalyzerSelectAnalysisMode:
        mAnalyzer->setAnalysisMode(p1.toInt());
        break;
    case CalibShowWindow:
        showInFront(mCalibCtrl);
        break;
    case CalibLoadStd:
        mCalibCtrl->loadStd(p1);
        break;
    case CalibSetEdgeEV:
        mCalibCtrl->setEdgeEV(p1);
        break;
    case CalibExec:
        // A started run finishes the command when it ends.
        if (execCalibrationCommand())
            return;
        break;
    case CalibLoadMap:
        mCalibCtrl->loadEShiftMap(p1);
        break;
    case CalibClearMap:
        clearShiftMap();
        break;
    case CalibSaveMap:
        saveEMap(p1);
        break;
    case CalibSetCrystal:
        if (!mCalibCtrl->setCrystal(p1))
            showMessage(tr("No such crystal: %1").arg(p1), mInBatchCommand);
        break;
    case SaveImage:
        saveImage(p1);
        break;
    case SaveImageWNum:
        saveImageWNum(p1, cmd.arg(1));
        break;
    case SaveAllImages:
        saveAllImages(p1);
        break;
    case SaveData:
        saveData(p1);
        break;
    case SaveDataAsTiff:
        saveDataAsTiff(p1, firstShownRef());
        break;
    case NoSuchCommand:
        if (!cmd.isKnownDirective())
            mBatchCtrl->showCmdErr(cmd);
        break;
    default:
        // Commands whose subsystems are not built yet finish at once.
        break;
    }
    emit finishBatchExec();
}
