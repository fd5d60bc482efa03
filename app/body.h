#pragma once

#include "analysis/arearun.h"
#include "batch/cmdline.h"
#include "batch/commandregistry.h"
#include "display/messageline.h"
#include "input/displayimagecache.h"
#include "stack/stackmodel.h"

#include <QLine>
#include <QMainWindow>
#include <QRect>
#include <QStringList>
#include <QVector>

class Analyzed2DRes;
class Analyzer;
class AreaRunController;
class BatchCtrl;
class BlockEngine;
struct BlockRequest;
class CalibCtrl;
class CalibrationController;
class CursorSpectrum;
class EnergyShiftMap;
class ImgProc;
class QFileDialog;
class ExportController;
class SaveDataCfg;
class StatusProgress;
class StackLoader;
class QPainter;
class StackSpectra;
class XafsView;
class SelectDataFiles;
class TiffData;
class BatchDispatcher;
class QButtonGroup;
class QLabel;
class QRegion;
class QThread;

namespace Ui {
class Body;
}

// The main window and the hub of the working state: it holds the image stacks and the
// cursor, owns every tool window and worker, and runs the batch commands.
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
    AreaRun *areaRun() const;
    AreaRunController *areaRunController() const { return mAreaRunController; }
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

signals:
    void finishing();
    void finishBatchExec();

public slots:
    void clearI1Files();
    void clearI0Files();
    void readI1Files(QStringList files, bool newFile);
    void readI0Files(QStringList files, bool newFile);
    void selectedDataI0(bool f);
    void showData(int no);
    void prev();
    void next();
    void sliderMoved(int idx);
    void draw(QPainter *p);
    void seekImage(int imgNo);
    void cBarUpdating();
    void cBarUpdated();
    void onMouseMovedInDispA();
    void execCmdSlot(CmdLine cmd, bool inRem);
    // Area runs of the analyser: a start while a run goes stops it instead.
    void startLCF2DAnalysis();
    void stop2DAnalysis();
    void startRA2DAnalysis();
    void generateRAResImage();
    void startElems2DAnalysis();
    void stopElems2DAnalysis();
    // The result map selected in the analyser on the image display.
    void showResAnalysis(bool f);
    void selectedNewRef();
    void showAnalyzedVals();
    void setImgShift(int dx, int dy);
    void clearAllShifts();
    void giveProcData();
    void showShiftMap(bool f);
    // Shows a failure or a notice on the message line, without blocking, and writes it to the
    // debug output; with batchLog to the batch log instead, which writes it there too.
    void showMessage(const QString &message, bool batchLog);
    void showSaveDataDialog();

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
    // Regenerates the shift map's image through the main colour bar and repaints.
    void redrawShiftMap();
    // A spectrum window could not write one of its files.
    void spectrumSaveFailed(const QString &fileName);
    void stopThread(QThread *thread);
    // The stack on display and its file selector: I1 while "Data" is checked, else I0.
    const QVector<TiffData *> &shownImages() const;
    SelectDataFiles *shownSelector() const;
    // The image at the shown selector's current index; nullptr when that index is not valid.
    TiffData *currentShownImage() const;
    // Spectra from the stacks as the form sets them up (fluorescence mode).
    StackSpectra stackSpectra() const;
    // How target spectra are normalised: base-line form and ranges.
    Background targetBackground() const;
    // Shows image idx when the selector's list is that of the shown stack and the image is
    // not on screen yet.
    void showChosen(SelectDataFiles *selector, int idx);
    // Size, slider, selection, display and spectrum after I1 images have arrived.
    void takeOverI1Images();

    // What draw() puts over the image for the cursor, in widget pixels.
    struct CursorMarks
    {
        QRect binBox;
        QLine vertical;
        QLine horizontal;
    };
    CursorMarks cursorMarks() const;
    // The widget area the cursor marks cover.
    QRegion cursorMarksArea() const;

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
    ImgProc *mImgProc = nullptr;
    SaveDataCfg *mSaveDataCfg = nullptr;
    ExportController *mExport = nullptr;
    QFileDialog *mDataDialog = nullptr;
    QFileDialog *mImageDialog = nullptr;
    QFileDialog *mSpectraDialog = nullptr;
    CalibrationController *mCalibration = nullptr;
    // The calibration's map, drawn over the image.
    EnergyShiftMap *mShiftMap = nullptr;
    StackLoader *mStackLoader = nullptr;
    CursorSpectrum *mCursorSpectrum = nullptr;
    DisplayImageCache mDisplayImages;
};
