#include "body.h"
#include "ui_body.h"

#include "analysis/aelemsconds.h"
#include "analysis/analyzed2dres.h"
#include "analysis/analyzer.h"
#include "analysis/arearun.h"
#include "analysis/arearuncontroller.h"
#include "analysis/blockengine.h"
#include "analysis/blockrequest.h"
#include "analysis/lcfreference.h"
#include "app/dataroot.h"
#include "display/showinfront.h"
#include "batch/batchcommands.h"
#include "batch/batchctrl.h"
#include "batch/batchdispatcher.h"
#include "calib/calibctrl.h"
#include "calib/calibrationcontroller.h"
#include "calib/energyshiftmap.h"
#include "calib/imgproc.h"
#include "display/colorbar.h"
#include "display/colorscale.h"
#include "display/crosssview.h"
#include "display/cursorspectrum.h"
#include "display/imgdispa.h"
#include "display/statusprogress.h"
#include "display/xafsview.h"
#include "input/eofsetup.h"
#include "input/selectdatafiles.h"
#include "input/stackloader.h"
#include "input/tiffdata.h"
#include "output/exportcontroller.h"
#include "output/savedatacfg.h"
#include "spectra/numbertext.h"
#include "spectra/stackspectra.h"
#include "spectra/victoreentable.h"
#include "spectra/xafsspectrum.h"
#include "stack/stackmodel.h"

#include <QButtonGroup>
#include <QCloseEvent>
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
    connect(mStacks, &StackModel::shiftsChanged, this, [this] { mCursorSpectrum->show(); });
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
    setupCursorSpectrum();
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
    delete mSaveDataCfg;
    mUi->dispA->setOverlayer(nullptr);
    delete mCalibration;
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
            mCursorSpectrum->show();
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
    registerDisplayCommands();
    connect(mUi->ZoomIn, &QPushButton::clicked, mUi->dispA, &ImgDispA::setViewWAsSelectedArea);
    connect(mUi->ResetScale, &QPushButton::clicked, mUi->dispA, &ImgDispA::resetImageViewWindow);
    connect(mUi->CBar, &ColorBar::cBarUpdating, this, &Body::cBarUpdating);
    connect(mUi->CBarAll, &QPushButton::clicked, this, &Body::cBarUpdated);
}

void Body::registerDisplayCommands()
{
    mCommands.add(QStringLiteral("set_fluo_type"), SetFluoType, [this](const CmdLine &cmd) {
        mUi->FluoType->setChecked(cmd.flagArg(0));
    });
    // The window closes; no batch command follows.
    mCommands.add(
        QStringLiteral("quit"), Quit, CommandRegistry::WaitsForWork, [this](const CmdLine &) {
            emit finishing();
            return true;
        });
    mCommands.add(QStringLiteral("scale_reset"), ScaleReset, [this](const CmdLine &) {
        mUi->dispA->resetImageViewWindow();
    });
    mCommands.add(QStringLiteral("zoom_in"), ZoomIn, [this](const CmdLine &) {
        mUi->dispA->setViewWAsSelectedArea();
    });
    mCommands.add(QStringLiteral("select_region"), SelectRegion, [this](const CmdLine &cmd) {
        mUi->dispA->setSelectedArea(
            cmd.arg(0).toInt(), cmd.arg(1).toInt(), cmd.arg(2).toInt(), cmd.arg(3).toInt());
    });
    mCommands.add(QStringLiteral("set_band_w"), SetBandW, [this](const CmdLine &cmd) {
        mUi->HWidth->setText(QString::number(cmd.arg(0).toInt()));
    });
    mCommands.add(QStringLiteral("set_band_h"), SetBandH, [this](const CmdLine &cmd) {
        mUi->VWidth->setText(QString::number(cmd.arg(0).toInt()));
    });
    mCommands.add(QStringLiteral("select_disp_image"), SelectDispImage, [this](const CmdLine &cmd) {
        if (QAbstractButton *button = mImageSelection->button(cmd.arg(0).toInt()))
            button->setChecked(true);
    });
    mCommands.add(QStringLiteral("seek_image"), SeekImage, [this](const CmdLine &cmd) {
        seekImage(cmd.arg(0).toInt());
    });
    mCommands.add(QStringLiteral("move_position"), MovePosition, [this](const CmdLine &cmd) {
        mUi->dispA->placeCursor(cmd.arg(0).toInt(), cmd.arg(1).toInt());
    });
}

void Body::setupXafsView()
{
    connect(mUi->dispA, &DispA::drawImage2, this, &Body::draw);
    mUi->dispA->setOverlayArea([this] { return cursorMarksArea(); });
    connect(mUi->dispA, &DispA::mouseMoved0, this, &Body::onMouseMovedInDispA);

    mXafsView = new XafsView;
    mXafsView->setWindowTitle(tr("Spectrum at the position"));
    mXafsView->show();
    showInFrontOnClick(mUi->ShowXafsView, mXafsView);
    connect(mXafsView, &XafsView::saveFailed, this, &Body::spectrumSaveFailed);
    mXafsView->registerCommands(mCommands);
}

void Body::spectrumSaveFailed(const QString &fileName)
{
    mExport->saveFailed(tr("Can't save %1").arg(fileName));
}

void Body::setupCursorSpectrum()
{
    CursorSpectrum::Sources sources;
    sources.spectra = [this] { return stackSpectra(); };
    sources.bin
        = [this] { return QSize(mUi->HWidth->text().toInt(), mUi->VWidth->text().toInt()); };
    sources.background = [this] { return targetBackground(); };
    sources.shownImageEnergy = [this] {
        const TiffData *shown = currentShownImage();
        return shown ? shown->energy : -1.0;
    };
    sources.analysing = [this] { return mAreaRunController->analysisRunning(); };
    mCursorSpectrum = new CursorSpectrum(mShiftMap, mXafsView, mAnalyzer, sources, this);
    connect(mUi->dispA, &ImgDispA::mouseMoved, mCursorSpectrum, &CursorSpectrum::moveTo);
    connect(mCalibration->window(),
            &CalibCtrl::targetBackgroundChanged,
            mCursorSpectrum,
            &CursorSpectrum::show);
    connect(mCursorSpectrum,
            &CursorSpectrum::shown,
            this,
            [this](int x, int y, double shift, double shiftFromStd) {
                mUi->Position->setText(QString::asprintf("(% 4d, % 4d)", x, y));
                mUi->EShiftOnTbl->setText(QString::asprintf("%5.2f", shift));
                mUi->EShiftFromStd->setText(QString::asprintf("%5.2f", shiftFromStd));
            });
}

int Body::cursorX() const
{
    return mCursorSpectrum->x();
}

int Body::cursorY() const
{
    return mCursorSpectrum->y();
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
    mAreaRunController = new AreaRunController(mAnalyzer, mBlockEngine, this);
    mAreaRunController->setBlockRequestProvider([this] { return blockRequest(); });
    mAreaRunController->setEnergiesProvider([this] {
        QVector<double> energies;
        if (mStacks->width() >= 0) {
            for (const TiffData *image : mStacks->i1Images())
                energies << image->energy;
        }
        return energies;
    });
    mAreaRunController->setCalibratingProvider([this] { return calibrating(); });
    mAreaRunController->setBackgroundProvider([this] { return targetBackground(); });
    connect(mCalibration->window(),
            &CalibCtrl::presetApplied,
            mAreaRunController,
            &AreaRunController::setReferenceRanges);
    mAreaRunController->setDeglitchFields(
        mUi->DeGlitchFactor, mUi->DeGlitchRatio, mUi->ShowProcImg);
    mAreaRunController->registerCommands(mCommands);
    connect(mAreaRunController,
            &AreaRunController::message,
            this,
            [this](const QString &message, bool forBatch) {
                const QScopedValueRollback<MessageLine::Kind> kind(mMessageKind,
                                                                   MessageLine::AreaRun);
                showMessage(message, forBatch || mInBatchCommand);
            });
    connect(mAreaRunController, &AreaRunController::runSucceeded, this, [this] {
        mMessageLine->succeeded(MessageLine::AreaRun);
    });
    connect(mAreaRunController, &AreaRunController::runStarted, this, [this] {
        showEngineProgress(0.0);
    });
    connect(
        mAreaRunController, &AreaRunController::selectedMapChanged, this, &Body::selectedNewRef);
    connect(mAreaRunController, &AreaRunController::mapRedrawn, this, [this] {
        update();
        mUi->dispA->update();
    });
    connect(mAreaRunController, &AreaRunController::batchRunEnded, this, &Body::finishBatchExec);
    connect(mAnalyzer, &Analyzer::changedSelection, this, &Body::selectedNewRef);
    connect(mUi->ShowResAnalysis, &QRadioButton::toggled, this, &Body::showResAnalysis);
    connect(mUi->DeGlitch, &QPushButton::clicked, mAreaRunController, &AreaRunController::deglitch);
    connect(
        mUi->ShowProcImg, &QCheckBox::toggled, mAreaRunController, &AreaRunController::showProcImg);
    connect(mUi->CheckVals, &QPushButton::clicked, this, &Body::showAnalyzedVals);
}

AreaRun *Body::areaRun() const
{
    return mAreaRunController->areaRun();
}

void Body::startLCF2DAnalysis()
{
    mAreaRunController->startAreaRun(AreaRun::LCFRun);
}

void Body::startRA2DAnalysis()
{
    mAreaRunController->startAreaRun(AreaRun::RARun);
}

void Body::startElems2DAnalysis()
{
    mAreaRunController->startAreaRun(AreaRun::ElemRun);
}

void Body::stopElems2DAnalysis()
{
    stop2DAnalysis();
}

void Body::stop2DAnalysis()
{
    mAreaRunController->stop2DAnalysis();
}

void Body::generateRAResImage()
{
    mAreaRunController->generateRAResImage();
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
    mCalibration = new CalibrationController(mBlockEngine);
    mShiftMap = &mCalibration->shiftMap();
    mCalibration->setBlockRequestProvider([this] { return blockRequest(); });
    mCalibration->setImageSizeProvider(
        [this] { return QSize(mStacks->width(), mStacks->height()); });
    mCalibration->registerCommands(mCommands);
    showInFrontOnClick(mUi->ShowImgProc, mImgProc);
    showInFrontOnClick(mUi->OpenCalibCtrl, mCalibration->window());
    connect(mImgProc, &ImgProc::askGiveData, this, &Body::giveProcData);
    connect(mImgProc, &ImgProc::imgShift, this, &Body::setImgShift);
    connect(mImgProc, &ImgProc::askClearAllShifts, this, &Body::clearAllShifts);
    connect(mCalibration, &CalibrationController::message, this, &Body::showMessageOf);
    connect(mCalibration,
            &CalibrationController::mapWriteFailed,
            this,
            [this](const QString &text) { mExport->saveFailed(text); });
    connect(mCalibration, &CalibrationController::mapSaved, this, [this] {
        mMessageLine->succeeded(MessageLine::Saving);
    });
    connect(mCalibration, &CalibrationController::stdSpectrumChanged, this, [this] {
        mXafsView->setStdSpectrum(mCalibration->stdSpectrum());
        mCursorSpectrum->show();
    });
    connect(mCalibration, &CalibrationController::imageSizeTaken, this, [this](QSize size) {
        mStacks->setSize(size.width(), size.height());
    });
    connect(mCalibration, &CalibrationController::mapChanged, this, [this] {
        redrawShiftMap();
        mCursorSpectrum->show();
    });
    connect(mCalibration, &CalibrationController::mapCleared, this, [this] {
        if (mUi->dispA->overlayer() == &mShiftMap->map())
            mUi->dispA->setShowOverlayer(false);
        mUi->dispA->update();
        mCursorSpectrum->show();
    });
    connect(mCalibration, &CalibrationController::calibrationStarted, this, [this] {
        showEngineProgress(0.0);
    });
    connect(mCalibration, &CalibrationController::calibrationEnded, this, [this](bool completed) {
        if (completed)
            mMessageLine->succeeded(MessageLine::Calibration);
    });
    connect(
        mCalibration, &CalibrationController::batchCommandFinished, this, &Body::finishBatchExec);
    connect(mUi->ShowShiftMap, &QRadioButton::toggled, this, &Body::showShiftMap);
    connect(mUi->NormalizeEShift,
            &QPushButton::clicked,
            mCalibration,
            &CalibrationController::normalizeEShift);
}

void Body::setupExport()
{
    mSaveDataCfg = new SaveDataCfg;
    mSaveDataCfg->registerCommands(mCommands);
    showInFrontOnClick(mUi->SaveDataCfgB, mSaveDataCfg);
    ExportController::Sources sources;
    sources.shownImage = [this] { return mUi->dispA->shownImage(); };
    sources.imageSize = [this] { return QSize(mStacks->width(), mStacks->height()); };
    sources.blockRequest = [this] { return blockRequest(); };
    sources.background = [this] { return targetBackground(); };
    mExport = new ExportController(mAnalyzer, mSaveDataCfg, mBlockEngine, mUi->CBar, sources, this);
    mExport->registerCommands(mCommands);
    connect(mExport,
            &ExportController::message,
            this,
            [this](const QString &message, MessageLine::Kind kind, bool ofBatchCommand) {
                const QScopedValueRollback<bool> inBatch(mInBatchCommand,
                                                         mInBatchCommand || ofBatchCommand);
                showMessageOf(kind, message);
            });
    connect(mExport, &ExportController::saved, mMessageLine, [this] {
        mMessageLine->succeeded(MessageLine::Saving);
    });
    connect(mExport, &ExportController::spectraExportStarted, this, [this] {
        showEngineProgress(0.0);
    });
    connect(mExport, &ExportController::batchCommandFinished, this, &Body::finishBatchExec);
    connect(mBatchCtrl, &BatchCtrl::saveFailed, mExport, &ExportController::writeFailed);

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
    connect(
        mSpectraDialog, &QFileDialog::fileSelected, mExport, &ExportController::saveXafsSpectra);
    connect(mUi->SaveData, &QPushButton::clicked, this, &Body::showSaveDataDialog);
    connect(mDataDialog, &QFileDialog::fileSelected, mExport, &ExportController::saveData);
    connect(mUi->SaveImage, &QPushButton::clicked, mImageDialog, &QFileDialog::show);
    connect(mImageDialog, &QFileDialog::fileSelected, mExport, &ExportController::saveImage);
    connect(mUi->SaveFlatDark, &QPushButton::clicked, mExport, &ExportController::saveFlatDark);
}

void Body::showMessageOf(MessageLine::Kind kind, const QString &message)
{
    const QScopedValueRollback<MessageLine::Kind> messageKind(mMessageKind, kind);
    showMessage(message, mInBatchCommand);
}

void Body::showEngineProgress(double percent)
{
    QString task = tr("Saving spectra");
    if (areaRun()->isRunning())
        task = tr("Area analysis");
    else if (calibrating())
        task = tr("Calibration");
    mProgress->report(EngineTask, task, percent, [this] { stopEngineTask(); });
}

void Body::stopEngineTask()
{
    if (areaRun()->isRunning())
        stop2DAnalysis();
    else if (calibrating())
        mCalibration->stop();
    else
        mBlockEngine->cancel();
}

void Body::showSaveDataDialog()
{
    const QString data
        = mSaveDataCfg->settings().asTiff ? tr("Tiff File (*.tif)") : tr("Data File (*.dat)");
    mDataDialog->setNameFilters({data, tr("Any Files (* *.*)")});
    mDataDialog->show();
}

bool Body::calibrating() const
{
    return mCalibration->isRunning();
}

CalibCtrl *Body::calibCtrl() const
{
    return mCalibration->window();
}

void Body::giveProcData()
{
    const int index = mUi->SelectI1Files->currentIndex();
    mImgProc->setProcData(mStacks->image(StackModel::I1, index));
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
        mAreaRunController->setupResAnalysisImage();
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
        mAreaRunController->setupResAnalysisImage();
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

Background Body::targetBackground() const
{
    return mCalibration->window()->targetBackground();
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
    const double left = std::trunc(coord.realToScreenX(mCursorSpectrum->x() - hw));
    const double top = std::trunc(coord.realToScreenY(mCursorSpectrum->y() - hh));
    const double right = left + std::trunc(coord.realToScreenDX(2 * hw + 1)) - 1;
    const double bottom = top + std::trunc(coord.realToScreenDY(2 * hh + 1)) - 1;

    CursorMarks marks;
    marks.binBox = QRect(QPoint(ChCoord::toPixel(left), ChCoord::toPixel(top)),
                         QPoint(ChCoord::toPixel(right), ChCoord::toPixel(bottom)));
    marks.vertical = QLine(screenX(mCursorSpectrum->x()),
                           screenY(0),
                           screenX(mCursorSpectrum->x()),
                           screenY(mStacks->height()));
    marks.horizontal = QLine(screenX(0),
                             screenY(mCursorSpectrum->y()),
                             screenX(mStacks->width()),
                             screenY(mCursorSpectrum->y()));
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
    if (areaRun()->isRunning())
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
    mCursorSpectrum->show();
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
    if (id == NoSuchCommand && !cmd.isKnownDirective())
        mBatchCtrl->showCmdErr(cmd);
    // Commands whose subsystems are not built yet finish at once.
    emit finishBatchExec();
}
