#pragma once

#include "analysis/arearun.h"
#include "batch/cmdline.h"
#include "batch/commandregistry.h"
#include "display/messageline.h"
#include "stack/stackmodel.h"

#include <QMainWindow>
#include <QStringList>
#include <QVector>

class Analyzed2DRes;
class Analyzer;
class AreaRunController;
class ComponentsController;
class BatchCtrl;
class BlockEngine;
struct BlockRequest;
class CalibCtrl;
class CalibrationController;
class CursorSpectrum;
class EnergyShiftMap;
class ImageBrowser;
class ImgProc;
class MapOverlay;
class ExportController;
class SaveDataCfg;
class StatusProgress;
class StackLoader;
class StackSpectra;
class XafsView;
class BatchDispatcher;
class QButtonGroup;
class QThread;

namespace Ui {
class Body;
}

// The main window: its widgets, the message line and the status bar's progress, and the
// wiring of the tool windows and controllers that do the work. It runs the batch commands they
// register with it.
class Body : public QMainWindow
{
    Q_OBJECT

public:
    explicit Body(QWidget *parent = nullptr);
    ~Body() override;

    BatchCtrl *batchCtrl() const { return mBatchCtrl; }
    // The spectrum window ("Spectrum at the position").
    XafsView *xafsView() const { return mXafsView; }
    Analyzer *analyzer() const { return mAnalyzer; }
    CalibCtrl *calibCtrl() const;
    ImgProc *imgProc() const { return mImgProc; }
    // The energy shift of every pixel, read by every spectrum taken from the stacks.
    const EnergyShiftMap &shiftMap() const { return *mShiftMap; }
    // True while a calibration runs.
    bool calibrating() const;
    // The engine of the area analyses. While it runs, the images it reads are neither
    // cleared nor loaded anew; alignment shifts may change, as a run works from its own copy.
    BlockEngine *blockEngine() const { return mBlockEngine; }
    // The driver of the analyser's area runs, and what starts and stops them.
    AreaRunController *areaRunController() const { return mAreaRunController; }
    ComponentsController *componentsController() const { return mComponents; }
    // What an area analysis reads, as the window is set up now: the selected area (else the
    // view window) walked in touching blocks of the bin size, without the blocks wholly
    // outside the images, the stacks, the shift map. The kernel is the caller's to set.
    BlockRequest blockRequest() const;
    SaveDataCfg *saveDataCfg() const { return mSaveDataCfg; }
    // Saves data, images and area spectra, and counts the files that could not be written.
    ExportController *exportController() const { return mExport; }
    // The text of the message line at the bottom of the window.
    QString messageLine() const;

    // The image stacks and the size the program works at.
    StackModel *stacks() const { return mStacks; }
    // Fills the stacks from the file selectors.
    StackLoader *stackLoader() const { return mStackLoader; }
    // The image pixel under the mouse.
    int cursorX() const;
    int cursorY() const;
    // The spectrum under the cursor.
    CursorSpectrum *cursorSpectrum() const { return mCursorSpectrum; }
    // Which image of the stacks is on display.
    ImageBrowser *imageBrowser() const { return mBrowser; }

signals:
    void finishing();
    void finishBatchExec();

public slots:
    void execCmdSlot(CmdLine cmd, bool inRem);
    // Shows a failure or a notice on the message line, without blocking, and writes it to the
    // debug output; with batchLog to the batch log instead, which writes it there too.
    void showMessage(const QString &message, bool batchLog);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setupBatch();
    void setupLoaders();
    void setupDisplay();
    // The batch commands of the image display, the bin and the fluorescence mode.
    void registerDisplayCommands();
    void setupXafsView();
    void setupAnalyzer();
    void setupResultMaps();
    // The spectrum under the cursor, once the windows it feeds and reads stand.
    void setupCursorSpectrum();
    void setupCalibration();
    void setupExport();
    // Shows a message that belongs to a kind of operation (see MessageLine).
    void showMessageOf(MessageLine::Kind kind, const QString &message);
    // The block engine works for an area run, a calibration or the spectra export: its
    // progress in the status bar, and the Stop of whichever it is.
    void showEngineProgress(double percent);
    void stopEngineTask();
    // The cursor marks, the read-outs under the mouse and the maps over the image, once the
    // windows and controllers they follow stand.
    void setupOverlays();
    // A spectrum window could not write one of its files.
    void spectrumSaveFailed(const QString &fileName);
    // Spectra from the stacks as the form sets them up (fluorescence mode).
    StackSpectra stackSpectra() const;
    // How target spectra are normalised: base-line form and ranges.
    Background targetBackground() const;
    // Shift map, slider, selection, display and spectrum after I1 images have arrived.
    void takeOverI1Images();

    Ui::Body *mUi;
    StackModel *mStacks = nullptr;
    QButtonGroup *mImageSelection = nullptr;
    MessageLine *mMessageLine = nullptr;
    // The kind of operation whose messages showMessage() posts now.
    MessageLine::Kind mMessageKind = MessageLine::Other;
    StatusProgress *mProgress = nullptr;
    // True while execCmdSlot() runs a command, so that its failures go to the batch log.
    bool mInBatchCommand = false;
    // The batch commands that the tool windows and controllers have registered.
    CommandRegistry mCommands;

    QThread *mBatchThread = nullptr;
    BatchDispatcher *mBatchDispatcher = nullptr;
    BatchCtrl *mBatchCtrl = nullptr;
    XafsView *mXafsView = nullptr;
    Analyzer *mAnalyzer = nullptr;
    BlockEngine *mBlockEngine = nullptr;
    AreaRunController *mAreaRunController = nullptr;
    ComponentsController *mComponents = nullptr;
    ImgProc *mImgProc = nullptr;
    SaveDataCfg *mSaveDataCfg = nullptr;
    ExportController *mExport = nullptr;
    CalibrationController *mCalibration = nullptr;
    // The calibration's map, drawn over the image.
    EnergyShiftMap *mShiftMap = nullptr;
    StackLoader *mStackLoader = nullptr;
    CursorSpectrum *mCursorSpectrum = nullptr;
    ImageBrowser *mBrowser = nullptr;
    MapOverlay *mMapOverlay = nullptr;
};
