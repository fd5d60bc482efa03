#include "body.h"
#include "ui_body.h"

#include "analysis/analyzer.h"
#include "analysis/arearun.h"
#include "analysis/arearuncontroller.h"
#include "analysis/blockengine.h"
#include "analysis/blockrequest.h"
#include "analysis/componentscontroller.h"
#include "display/showinfront.h"
#include "batch/batchcommands.h"
#include "batch/batchctrl.h"
#include "batch/batchdispatcher.h"
#include "calib/alignmentcontroller.h"
#include "calib/calibctrl.h"
#include "calib/calibrationcontroller.h"
#include "calib/energyshiftmap.h"
#include "calib/imgproc.h"
#include "display/colorscale.h"
#include "display/cursoroverlay.h"
#include "display/cursorreadout.h"
#include "display/cursorspectrum.h"
#include "display/imagebrowser.h"
#include "display/imgdispa.h"
#include "display/mapoverlay.h"
#include "display/statusprogress.h"
#include "display/xafsview.h"
#include "input/selectdatafiles.h"
#include "input/stackloader.h"
#include "input/tiffdata.h"
#include "output/exportcontroller.h"
#include "output/exportdialogs.h"
#include "output/savedatacfg.h"
#include "spectra/stackspectra.h"
#include "spectra/victoreentable.h"
#include "spectra/xafsspectrum.h"
#include "stack/stackmodel.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDebug>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QThread>

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
    for (QAbstractButton *shown :
         {mUi->ShowData, mUi->ShowI0, mUi->ShowShiftMap, mUi->ShowResAnalysis})
        mImageSelection->addButton(shown, mImageSelection->buttons().size());

    mUi->HCross->setOrientation(CrossSView::Horizontal);
    mUi->VCross->setOrientation(CrossSView::Vertical);

    mStacks = new StackModel(this);
    mBlockEngine = new BlockEngine(this);
    mStacks->setInUseCheck([this] { return mBlockEngine->isRunning(); });
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
    setupOverlays();
}

Body::~Body()
{
    // Its threads read the images deleted below.
    mBlockEngine->stopAndWait();
    mBatchThread->requestInterruption();
    mBatchThread->quit();
    mBatchThread->wait();
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
    connect(mUi->SelectI1Files, &SelectDataFiles::clear, mStackLoader, [this] {
        mStackLoader->clear(StackModel::I1);
    });
    connect(mUi->SelectI0Files, &SelectDataFiles::clear, mStackLoader, [this] {
        mStackLoader->clear(StackModel::I0);
    });
}

void Body::setupDisplay()
{
    mBrowser = new ImageBrowser(mStacks,
                                mUi->dispA,
                                mUi->ShowData,
                                mUi->SelectI1Files,
                                mUi->SelectI0Files,
                                mUi->SeekBar,
                                this);
    connect(mUi->Prev, &QToolButton::clicked, mBrowser, &ImageBrowser::prev);
    connect(mUi->Next, &QToolButton::clicked, mBrowser, &ImageBrowser::next);
    registerDisplayCommands();
    connect(mUi->ZoomIn, &QPushButton::clicked, mUi->dispA, &ImgDispA::setViewWAsSelectedArea);
    connect(mUi->ResetScale, &QPushButton::clicked, mUi->dispA, &ImgDispA::resetImageViewWindow);
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
        mBrowser->showData(cmd.arg(0).toInt());
    });
    mCommands.add(QStringLiteral("move_position"), MovePosition, [this](const CmdLine &cmd) {
        mUi->dispA->placeCursor(cmd.arg(0).toInt(), cmd.arg(1).toInt());
    });
}

void Body::setupXafsView()
{
    mXafsView = new XafsView;
    mXafsView->setWindowTitle(tr("Spectrum at the position"));
    mXafsView->show();
    showInFrontOnClick(mUi->ShowXafsView, mXafsView);
    connect(mXafsView, &XafsView::saveFailed, this, &Body::spectrumSaveFailed);
    mXafsView->registerCommands(mCommands);
    connect(mBrowser, &ImageBrowser::imageShown, mXafsView, [this](double energy) {
        mXafsView->setShownImageEnergy(energy);
        mXafsView->update();
    });
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
        const TiffData *shown = mBrowser->currentImage();
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

void Body::setupOverlays()
{
    const auto bin
        = [this] { return QSize(mUi->HWidth->text().toInt(), mUi->VWidth->text().toInt()); };
    const auto imageSize = [this] { return QSize(mStacks->width(), mStacks->height()); };
    auto *cursorMarks = new CursorOverlay(mUi->dispA, mCursorSpectrum, bin, imageSize, this);
    mUi->dispA->setOverlayArea([cursorMarks] { return cursorMarks->area(); });
    connect(mUi->dispA, &DispA::drawImage2, this, [this, cursorMarks](QPainter *p) {
        cursorMarks->draw(p);
        mUi->CBar->update();
    });

    const CursorReadout::Views views{mUi->HCross, mUi->VCross, mUi->Value, mUi->ShowResAnalysis};
    auto *readout = new CursorReadout(
        mUi->dispA, mBrowser, views, [this] { return stackSpectra(); }, bin, this);
    connect(mUi->dispA, &DispA::mouseMoved0, readout, &CursorReadout::update);

    MapOverlay::Sources sources;
    sources.browser = mBrowser;
    sources.shiftMap = mShiftMap;
    sources.analyzer = mAnalyzer;
    sources.areaRuns = mAreaRunController;
    mMapOverlay = new MapOverlay(
        mUi->dispA, mUi->CBar, mUi->ShowShiftMap, mUi->ShowResAnalysis, sources, this);
    connect(mUi->CBarAll, &QPushButton::clicked, mMapOverlay, &MapOverlay::colourBarApplied);
    connect(mAreaRunController,
            &AreaRunController::selectedMapChanged,
            mMapOverlay,
            &MapOverlay::showResultMap);
    connect(mAnalyzer, &Analyzer::changedSelection, mMapOverlay, &MapOverlay::showResultMap);
    connect(
        mComponents, &ComponentsController::mapSelected, mMapOverlay, &MapOverlay::showResultMap);
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
    mAreaRunController->setEnergiesProvider([this] { return mStacks->i1Energies(); });
    mAreaRunController->setCalibratingProvider([this] { return calibrating(); });
    mAreaRunController->setTargetWindow(mCalibration->window());
    mAreaRunController->setMapControls(
        mUi->DeGlitchFactor, mUi->DeGlitchRatio, mUi->ShowProcImg, mUi->DeGlitch, mUi->CheckVals);
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
    connect(mAreaRunController, &AreaRunController::mapRedrawn, this, [this] {
        update();
        mUi->dispA->update();
    });
    connect(mAreaRunController, &AreaRunController::batchRunEnded, this, &Body::finishBatchExec);

    mComponents = new ComponentsController(mAnalyzer, mBlockEngine, this);
    mComponents->setProviders([this] { return blockRequest(); },
                              [this] { return targetBackground(); },
                              [this] { return mAreaRunController->analysisRunning(); });
    mComponents->registerCommands(mCommands);
    connect(mComponents, &ComponentsController::message, this, [this](const QString &m, bool b) {
        showMessage(m, b || mInBatchCommand);
    });
    connect(mComponents, &ComponentsController::batchWorkEnded, this, &Body::finishBatchExec);
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
    // The alignment window works on the I1 image selected in its file list.
    connect(mImgProc, &ImgProc::askGiveData, this, [this] {
        const int index = mUi->SelectI1Files->currentIndex();
        mImgProc->setProcData(mStacks->image(StackModel::I1, index));
    });
    connect(mImgProc, &ImgProc::imgShift, this, [this](int dx, int dy) {
        mStacks->setShift(mUi->SelectI1Files->currentIndex(), dx, dy);
    });
    connect(mImgProc, &ImgProc::askClearAllShifts, mStacks, &StackModel::clearShifts);
    auto *alignment = new AlignmentController(mStacks, mImgProc, mCommands);
    connect(alignment, &AlignmentController::message, this, &Body::showMessageOf);
    connect(alignment, &AlignmentController::batchCommandFinished, this, &Body::finishBatchExec);
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
        mMapOverlay->redrawShiftMap();
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
    sources.shiftMap = [this] { return &mShiftMap->map(); };
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

    auto *dialogs = new ExportDialogs(mExport, mSaveDataCfg, this);
    connect(mUi->SaveData, &QPushButton::clicked, dialogs, &ExportDialogs::askData);
    connect(mUi->SaveImage, &QPushButton::clicked, dialogs, &ExportDialogs::askImage);
    connect(mUi->SaveXAFSSpectra, &QPushButton::clicked, dialogs, &ExportDialogs::askSpectra);
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
    if (mAreaRunController->areaRun()->isRunning())
        task = tr("Area analysis");
    else if (calibrating())
        task = tr("Calibration");
    else if (mComponents->run()->isRunning())
        task = tr("Components");
    mProgress->report(EngineTask, task, percent, [this] { stopEngineTask(); });
}

void Body::stopEngineTask()
{
    if (mAreaRunController->areaRun()->isRunning())
        mAreaRunController->stop2DAnalysis();
    else if (calibrating())
        mCalibration->stop();
    else
        mBlockEngine->cancel();
}

bool Body::calibrating() const
{
    return mCalibration->isRunning();
}

CalibCtrl *Body::calibCtrl() const
{
    return mCalibration->window();
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
    if (mAreaRunController->areaRun()->isRunning())
        mAreaRunController->stop2DAnalysis();
    emit finishing();
    event->accept();
}

void Body::takeOverI1Images()
{
    // A map loaded before the images, or calibrated on them, is kept at the same size.
    if (mShiftMap->width() != mStacks->width() || mShiftMap->height() != mStacks->height())
        mShiftMap->resize(mStacks->width(), mStacks->height());
    mBrowser->takeOverI1Images();
    // After the image size is known, so that the first images already give a spectrum.
    mCursorSpectrum->show();
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
