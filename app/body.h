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
class BatchCtrl;
class BlockEngine;
struct BlockRequest;
class CalibCtrl;
class Calibration;
class EnergyShiftMap;
class ImgProc;
class QFileDialog;
class QImage;
class SaveDataCfg;
class SpectraExport;
class StatusProgress;
class StackLoader;
class QPainter;
class StackSpectra;
class XafsSpectrum;
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
    CalibCtrl *calibCtrl() const { return mCalibCtrl; }
    ImgProc *imgProc() const { return mImgProc; }
    // The energy shift of every pixel, read by every spectrum taken from the stacks.
    const EnergyShiftMap &shiftMap() const { return *mShiftMap; }
    // True while a calibration runs.
    bool calibrating() const;
    // The engine of the area analyses. While it runs, the images it reads are neither
    // cleared nor loaded anew; alignment shifts may change, as a run works from its own copy.
    BlockEngine *blockEngine() const { return mBlockEngine; }
    // The driver of the analyser's area runs.
    AreaRun *areaRun() const { return mAreaRun; }
    // What an area analysis reads, as the window is set up now: the selected area (else the
    // view window) walked in touching blocks of the bin size, without the blocks wholly
    // outside the images, the stacks, the shift map. The kernel is the caller's to set.
    BlockRequest blockRequest() const;
    SaveDataCfg *saveDataCfg() const { return mSaveDataCfg; }
    SpectraExport *spectraExport() const { return mSpectraExport; }
    // The text of the message line at the bottom of the window.
    QString messageLine() const;

    // The image stacks and the size the program works at.
    StackModel *stacks() const { return mStacks; }
    // Fills the stacks from the file selectors.
    StackLoader *stackLoader() const { return mStackLoader; }
    // The image pixel under the mouse.
    int cursorX() const { return mCursorX; }
    int cursorY() const { return mCursorY; }
    // Set while an area run goes on: the spectrum under the cursor is not fitted then.
    bool analysisRunning = false;

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
    void showXafsSpectrum(double x, double y);
    void showXafsSpectrum();
    void seekImage(int imgNo);
    void cBarUpdating();
    void cBarUpdated();
    void onMouseMovedInDispA();
    void execCmdSlot(CmdLine cmd, bool inRem);
    // Area runs of the analyser: a start while a run goes stops it instead.
    void startLCF2DAnalysis();
    void stop2DAnalysis();
    void generateResImages();
    void startRA2DAnalysis();
    void generateRAResImage();
    void startElems2DAnalysis();
    void stopElems2DAnalysis();
    void generateElemsResImages();
    // The result map selected in the analyser on the image display.
    void showResAnalysis(bool f);
    void selectedNewRef();
    void setupResAnalysisImage();
    void showProcImg(bool f);
    void deglitch();
    void showAnalyzedVals();
    void setImgShift(int dx, int dy);
    void clearAllShifts();
    void giveProcData();
    void newStdFile();
    // Starts a calibration, or stops the one going on.
    void execCalibration();
    void saveEMap(const QString &fname);
    void loadEMap(const QString &fname);
    void normalizeEShift();
    void clearShiftMap();
    void showShiftMap(bool f);
    // Shows a failure or a notice on the message line, without blocking, and writes it to the
    // debug output; with batchLog to the batch log instead, which writes it there too.
    void showMessage(const QString &message, bool batchLog);
    void saveImage(const QString &fname);
    void saveImageWNum(const QString &fname, const QString &num);
    void saveAllImages(const QString &fname);
    void showSaveDataDialog();
    void saveData(const QString &fname);
    void saveDataAsTiff(const QString &fname, int ext);
    void saveDataAsText(const QString &fname, int ext);
    void saveFlatDark();
    // Writes the spectra of every block of the selected area; the file is complete when the
    // exporter reports finished().
    void saveXafsSpectra(const QString &fname);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setupBatch();
    void setupLoaders();
    void setupDisplay();
    void setupXafsView();
    void setupAnalyzer();
    void setupResultMaps();
    // Starts a run of any kind, or stops the one going; byBatch marks a run whose end
    // finishes the batch command that started it.
    void startAreaRun(AreaRun::Kind kind, bool byBatch);
    // The batch commands that start a run: they finish at once when nothing was started.
    void execAreaRunCommand(AreaRun::Kind kind);
    // Checks the Target (else the Show) radio of an element row, then shows the selected map.
    void selectElemsRow(bool target, const QString &name);
    // A run has ended: its maps are drawn when it completed, and a batch waiting for it goes on.
    void areaRunEnded(AreaRun::Kind kind, bool completed, bool byBatch);
    // Recolours the map on show when a run of that kind fills it.
    void redrawShownMap(AreaRun::Kind kind);
    void setupCalibration();
    void setupExport();
    // Index of the first reference whose map is shown; 0 when none is.
    int firstShownRef() const;
    // Saves an image in the format its suffix names, naming a failure.
    // Write an image file; false, with the failure on the message line, when that failed.
    bool saveImageFile(const QImage &image, const QString &path);
    bool saveColorBar(const QString &path);
    // Writes the map on show as data file ext of fname (TIFF or text); its path, or an empty
    // text when no map is shown or the file could not be written, which is reported.
    QString writeShownMap(const QString &fname, int ext, bool asTiff);
    // Names the map on show and the files it went to on the message line.
    void shownMapSaved(const QStringList &paths);
    // Names a file that could not be written.
    void writeFailed(const QString &path);
    // Shows a message that belongs to a kind of operation (see MessageLine).
    void showMessageOf(MessageLine::Kind kind, const QString &message);
    // A save that began with failuresBefore write failures counted has ended: without a new
    // failure an old save failure leaves the message line.
    void saveEnded(int failuresBefore);
    // The block engine works for an area run, a calibration or the spectra export: its
    // progress in the status bar, and the Stop of whichever it is.
    void showEngineProgress(double percent);
    void stopEngineTask();
    // Statistics, map image and display after a calibration; a batch calib_exec finishes.
    void calibrationEnded();
    // Runs calib_exec; false when it started nothing and so finishes at once.
    bool execCalibrationCommand();
    // True, with a message, while a calibration writes the map.
    bool shiftMapBusy();
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
    // Energy shift of a pixel from the shift map; 0 while there is no map.
    double energyShiftAt(int x, int y) const;
    // The background form of the spectrum under the cursor: 1 Victoreen, 0 straight lines.
    int targetBackground() const;
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
    int mCursorX = 0;
    int mCursorY = 0;
    QButtonGroup *mImageSelection = nullptr;
    MessageLine *mMessageLine = nullptr;
    // The kind of operation whose messages showMessage() posts now.
    MessageLine::Kind mMessageKind = MessageLine::Other;
    // Files that could not be written so far.
    int mWriteFailures = 0;
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
    AreaRun *mAreaRun = nullptr;
    ImgProc *mImgProc = nullptr;
    CalibCtrl *mCalibCtrl = nullptr;
    SaveDataCfg *mSaveDataCfg = nullptr;
    SpectraExport *mSpectraExport = nullptr;
    QFileDialog *mDataDialog = nullptr;
    QFileDialog *mImageDialog = nullptr;
    QFileDialog *mSpectraDialog = nullptr;
    EnergyShiftMap *mShiftMap = nullptr;
    Calibration *mCalibration = nullptr;
    XafsSpectrum *mStdSpectrum = nullptr;
    // A batch calib_exec waits for its run.
    bool mBatchCalibration = false;
    StackLoader *mStackLoader = nullptr;
    DisplayImageCache mDisplayImages;
};
