#include "calibrationcontroller.h"

#include "analysis/blockengine.h"
#include "batch/batchcommands.h"
#include "batch/commandregistry.h"
#include "calib/calibctrl.h"
#include "calib/calibration.h"
#include "display/showinfront.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>

namespace {

QString timeNow()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyMMdd hh:mm:ss.zzz"));
}

} // namespace

CalibrationController::CalibrationController(BlockEngine *engine, QObject *parent)
    : QObject(parent)
    , mEngine(engine)
    , mCalibration(new Calibration(engine, &mShiftMap, this))
    , mWindow(new CalibCtrl)
    , mBlockRequest([] { return BlockRequest(); })
    , mImageSize([] { return QSize(); })
{
    mShiftMap.resize(0, 0);
    connect(mWindow, &CalibCtrl::newStdFileLoaded, this, &CalibrationController::newStdFile);
    connect(mWindow, &CalibCtrl::messageIssued, this, [this](const QString &text) {
        emit message(MessageLine::Other, text);
    });
    connect(mWindow, &CalibCtrl::execCalibration, this, &CalibrationController::execCalibration);
    connect(mWindow, &CalibCtrl::saveEMap, this, &CalibrationController::saveEMap);
    connect(mWindow, &CalibCtrl::loadEMap, this, &CalibrationController::loadEMap);
    connect(mWindow, &CalibCtrl::clearMap, this, &CalibrationController::clearShiftMap);
    connect(mCalibration, &Calibration::finished, this, [this](bool completed) {
        emit calibrationEnded(completed);
        runEnded();
    });
}

CalibrationController::~CalibrationController()
{
    delete mWindow;
}

void CalibrationController::setBlockRequestProvider(std::function<BlockRequest()> provider)
{
    mBlockRequest = std::move(provider);
}

void CalibrationController::setImageSizeProvider(std::function<QSize()> provider)
{
    mImageSize = std::move(provider);
}

void CalibrationController::registerCommands(CommandRegistry &commands)
{
    commands.add(QStringLiteral("calib_show_window"), CalibShowWindow, [this](const CmdLine &) {
        showInFront(mWindow);
    });
    commands.add(QStringLiteral("calib_load_std"), CalibLoadStd, [this](const CmdLine &cmd) {
        mWindow->loadStd(cmd.arg(0));
    });
    commands.add(QStringLiteral("calib_set_edge_eV"), CalibSetEdgeEV, [this](const CmdLine &cmd) {
        mWindow->setEdgeEV(cmd.arg(0));
    });
    // A started run finishes the command when it ends.
    commands.add(QStringLiteral("calib_exec"),
                 CalibExec,
                 CommandRegistry::WaitsForWork,
                 [this](const CmdLine &) { return execCalibrationCommand(); });
    commands.add(QStringLiteral("calib_load_map"), CalibLoadMap, [this](const CmdLine &cmd) {
        mWindow->loadEShiftMap(cmd.arg(0));
    });
    commands.add(QStringLiteral("calib_clear_map"), CalibClearMap, [this](const CmdLine &) {
        clearShiftMap();
    });
    commands.add(QStringLiteral("calib_save_map"), CalibSaveMap, [this](const CmdLine &cmd) {
        saveEMap(cmd.arg(0));
    });
    commands.add(QStringLiteral("calib_set_crystal"), CalibSetCrystal, [this](const CmdLine &cmd) {
        if (!mWindow->setCrystal(cmd.arg(0)))
            emit message(MessageLine::Other, tr("No such crystal: %1").arg(cmd.arg(0)));
    });
    commands.add(QStringLiteral("calib_normalize_map"), CalibNormalizeMap, [this](const CmdLine &) {
        normalizeEShift();
    });
    registerRangeCommands(commands);
}

void CalibrationController::registerRangeCommands(CommandRegistry &commands)
{
    commands.add(QStringLiteral("set_norm_ranges"), SetNormRanges, [this](const CmdLine &cmd) {
        NormRanges ranges;
        if (rangesOf(cmd, &ranges))
            mWindow->setTargetRanges(ranges);
    });
    commands.add(
        QStringLiteral("calib_set_std_ranges"), CalibSetStdRanges, [this](const CmdLine &cmd) {
            NormRanges ranges;
            if (rangesOf(cmd, &ranges))
                mWindow->setStdRanges(ranges);
        });
    commands.add(QStringLiteral("set_norm_preset"), SetNormPreset, [this](const CmdLine &cmd) {
        NormRanges ranges;
        if (NormRanges::preset(cmd.arg(0), &ranges))
            mWindow->applyPreset(ranges);
        else
            emit message(MessageLine::Other, tr("No such preset: %1 (k or l)").arg(cmd.arg(0)));
    });
}

bool CalibrationController::rangesOf(const CmdLine &cmd, NormRanges *ranges)
{
    if (NormRanges::fromTexts(cmd.args, 0, ranges))
        return true;
    emit message(MessageLine::Other,
                 tr("Bad normalisation ranges: %1").arg(cmd.args.join(QLatin1Char(' '))));
    return false;
}

bool CalibrationController::isRunning() const
{
    return mCalibration->isRunning();
}

void CalibrationController::stop()
{
    mCalibration->stop();
}

void CalibrationController::newStdFile()
{
    mStdSpectrum = mWindow->stdSpectrum();
    emit stdSpectrumChanged(mStdSpectrum);
}

void CalibrationController::execCalibration()
{
    if (isRunning()) {
        mCalibration->stop();
        return;
    }
    const BlockRequest request = mBlockRequest();
    if (request.spectra.i1Count() == 0)
        return;
    // Without a standard the map would hold absolute edge energies.
    if (mStdSpectrum.isEmpty()) {
        emit message(MessageLine::Calibration, tr("No standard spectrum: calibration not started"));
        return;
    }
    if (mEngine->isRunning()) {
        emit message(MessageLine::Calibration,
                     tr("An area analysis is running: calibration not started"));
        return;
    }
    qDebug().noquote() << "Start Calibration" << timeNow();
    if (mCalibration->start(request, mStdSpectrum.crossingEnergy(0.5, 0))) {
        mWindow->setRunning(true);
        emit calibrationStarted();
    }
}

bool CalibrationController::execCalibrationCommand()
{
    if (isRunning()) {
        mCalibration->stop();
        return false;
    }
    execCalibration();
    mBatchCalibration = isRunning();
    return mBatchCalibration;
}

void CalibrationController::runEnded()
{
    const Calibration::Stats &stats = mCalibration->stats();
    if (stats.count > 0)
        mWindow->showStats(stats.average, stats.min, stats.max, stats.sigma);
    else
        mWindow->showStats(0.0, 0.0, 0.0, 0.0);
    mWindow->setRunning(false);
    emit mapChanged();
    qDebug().noquote() << "End Calibration   " << timeNow();
    if (mBatchCalibration) {
        mBatchCalibration = false;
        emit batchCommandFinished();
    }
}

bool CalibrationController::shiftMapBusy()
{
    if (!isRunning())
        return false;
    emit message(MessageLine::Other, tr("A calibration is writing the energy-shift map"));
    return true;
}

void CalibrationController::saveEMap(const QString &fname)
{
    if (shiftMapBusy())
        return;
    // The file holds angle offsets from the standard's edge: without one they mean nothing.
    if (mStdSpectrum.isEmpty()) {
        emit message(MessageLine::Other, tr("No standard spectrum: %1 not saved").arg(fname));
        return;
    }
    if (!mShiftMap.save(fname,
                        mStdSpectrum.crossingEnergy(0.5, 0),
                        mWindow->spacing(),
                        mWindow->stdFileName())) {
        emit mapWriteFailed(QCoreApplication::translate(
                                "EnergyShiftMap", mShiftMap.failureReason().toLatin1().constData())
                                .arg(mShiftMap.failedFile()));
        return;
    }
    emit mapSaved();
}

void CalibrationController::loadEMap(const QString &fname)
{
    if (shiftMapBusy())
        return;
    const QSize imageSize = mImageSize();
    int width = imageSize.width();
    int height = imageSize.height();
    if (!mShiftMap.load(fname, mWindow->edgeEV(), width, height)) {
        emit message(MessageLine::Other, mShiftMap.failureMessage());
        return;
    }
    if (QSize(width, height) != imageSize)
        emit imageSizeTaken(QSize(width, height));
    emit mapChanged();
}

void CalibrationController::normalizeEShift()
{
    if (shiftMapBusy())
        return;
    qDebug().noquote() << "Start Normalize E Shift" << timeNow();
    mShiftMap.map().deglitch2(40.0);
    mShiftMap.map().copyProc2Data();
    emit mapChanged();
    qDebug().noquote() << "End Normalize E Shift  " << timeNow();
}

void CalibrationController::clearShiftMap()
{
    if (shiftMapBusy())
        return;
    mShiftMap.clear();
    emit mapCleared();
}
