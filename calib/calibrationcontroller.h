#pragma once

#include "analysis/blockrequest.h"
#include "calib/energyshiftmap.h"
#include "display/messageline.h"
#include "spectra/xafsspectrum.h"

#include <QObject>
#include <QSize>

#include <functional>

class BlockEngine;
class CalibCtrl;
class Calibration;
class CmdLine;
class CommandRegistry;

// Drives the energy calibration and keeps the energy-shift map: starts and stops the run,
// refuses what would disturb a run that writes the map, loads, saves, normalises and clears
// the map, follows the calibration window's standard, and runs the calib_ batch commands.
// What it needs from the stacks comes through providers that the main window sets.
class CalibrationController : public QObject
{
    Q_OBJECT

public:
    explicit CalibrationController(BlockEngine *engine, QObject *parent = nullptr);
    ~CalibrationController() override;

    // The block request of the selected area over the loaded stacks, with the map's shifts.
    void setBlockRequestProvider(std::function<BlockRequest()> provider);
    // The size of the loaded images; a loaded map must match it unless it is empty.
    void setImageSizeProvider(std::function<QSize()> provider);

    void registerCommands(CommandRegistry &commands);

    // The calibration window.
    CalibCtrl *window() const { return mWindow; }
    EnergyShiftMap &shiftMap() { return mShiftMap; }
    const EnergyShiftMap &shiftMap() const { return mShiftMap; }
    const XafsSpectrum &stdSpectrum() const { return mStdSpectrum; }
    bool isRunning() const;
    // Stops the calibration going on; calibrationEnded follows.
    void stop();

    // Starts a calibration, or stops the one going on.
    void execCalibration();
    // Runs calib_exec; false when it started nothing and so finishes at once.
    bool execCalibrationCommand();
    void saveEMap(const QString &fname);
    void loadEMap(const QString &fname);
    // Removes glitches from the map (blocks farther than 40 eV from their neighbours' mean)
    // and keeps the result as the map's values.
    void normalizeEShift();
    void clearShiftMap();

signals:
    // Something the message line should say, of the given kind.
    void message(MessageLine::Kind kind, const QString &text);
    // The map file could not be written; text says why.
    void mapWriteFailed(const QString &text);
    void mapSaved();
    // A loaded map fixed the image size, the stacks being empty.
    void imageSizeTaken(QSize size);
    // The map's values changed (a calibration, a load, a normalisation): it is drawn again.
    void mapChanged();
    void mapCleared();
    // The standard spectrum changed.
    void stdSpectrumChanged(const XafsSpectrum &spectrum);
    void calibrationStarted();
    // The run is over; completed is false for a stopped one. Emitted before the statistics
    // and the map are shown.
    void calibrationEnded(bool completed);
    // A batch calib_exec that waited for its run is finished.
    void batchCommandFinished();

private:
    // The commands that set the normalisation ranges of targets and of the standard.
    void registerRangeCommands(CommandRegistry &commands);
    // The four ranges a command gives; refused with the line as given when they are not four
    // numbers of sound ranges.
    bool rangesOf(const CmdLine &cmd, NormRanges *ranges);
    void newStdFile();
    void runEnded();
    // True, with a message, while a calibration writes the map.
    bool shiftMapBusy();

    BlockEngine *mEngine;
    EnergyShiftMap mShiftMap;
    XafsSpectrum mStdSpectrum;
    Calibration *mCalibration;
    CalibCtrl *mWindow;
    std::function<BlockRequest()> mBlockRequest;
    std::function<QSize()> mImageSize;
    // A batch calib_exec waits for its run.
    bool mBatchCalibration = false;
};
