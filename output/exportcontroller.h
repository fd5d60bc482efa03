#pragma once

#include "analysis/blockrequest.h"
#include "display/messageline.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class Analyzed2DRes;
class Analyzer;
class BlockEngine;
class CommandRegistry;
class SaveDataCfg;
class SpectraExport;
class QWidget;

// Writes what the main window shows to files: the result map of the analyser as data (TIFF or
// text, with its colour bar), the image in view, every result map as an image, flat and dark
// files, and the spectra of the selected area. It counts files that could not be written, so
// that a save that ends without a new failure clears an old save failure from the message line.
class ExportController : public QObject
{
    Q_OBJECT

public:
    // What the controller reads from the window it saves.
    struct Sources
    {
        // The part of the image in view, as drawn.
        std::function<QImage()> shownImage;
        // The size of the images; not positive before one is loaded.
        std::function<QSize()> imageSize;
        // The walk over the selected area that the spectra export takes.
        std::function<BlockRequest()> blockRequest;
        // How the spectra are normalised: base-line form and ranges.
        std::function<Background()> background;
        // The calibration's energy-shift map.
        std::function<const Analyzed2DRes *()> shiftMap;
    };

    // colorBar is the widget whose picture is saved as the colour bar.
    ExportController(Analyzer *analyzer,
                     SaveDataCfg *settings,
                     BlockEngine *engine,
                     QWidget *colorBar,
                     Sources sources,
                     QObject *parent = nullptr);

    SpectraExport *spectraExport() const { return mSpectraExport; }
    // Files that could not be written so far.
    int writeFailures() const { return mWriteFailures; }
    // The save_ batch commands of the main window.
    void registerCommands(CommandRegistry &commands);

public slots:
    void saveImage(const QString &fname);
    void saveImageWNum(const QString &fname, const QString &num);
    void saveAllImages(const QString &fname);
    // Writes the map on show in the format of the save-data window, numbered after the first
    // reference whose map is shown.
    void saveData(const QString &fname);
    void saveDataAsTiff(const QString &fname, int ext);
    void saveDataAsText(const QString &fname, int ext);
    void saveFlatDark();
    // Starts writing the spectra of every block of the selected area; the file is complete
    // when spectraExport() reports finished(). False when nothing was started.
    bool saveXafsSpectra(const QString &fname);
    // Writes every result map of the last runs with the settings into one HDF5 file; false,
    // with the failure on the message line, when nothing was written.
    bool saveResultsH5(const QString &fname);
    // Names a file that could not be written.
    void writeFailed(const QString &path);
    // Counts a failed save and shows why it failed.
    void saveFailed(const QString &message);
    // A save that began with failuresBefore write failures counted has ended: without a new
    // failure an old save failure leaves the message line.
    void saveEnded(int failuresBefore);

signals:
    // A failure or notice for the message line, of the kind of operation it belongs to;
    // ofBatchCommand when it belongs to a batch command that waits for the work that ended.
    void message(const QString &message, MessageLine::Kind kind, bool ofBatchCommand);
    // A save has succeeded.
    void saved();
    // The spectra export has started to walk the area.
    void spectraExportStarted();
    // The save_xafs_spectra batch command that started an export has seen it end.
    void batchCommandFinished();

private:
    // Index of the first reference whose map is shown; 0 when none is.
    int firstShownRef() const;
    // Writes an image file; false, with the failure on the message line, when that failed.
    bool saveImageFile(const QImage &image, const QString &path);
    bool saveColorBar(const QString &path);
    // Writes the map on show as data file ext of fname (TIFF or text); its path, or an empty
    // text when no map is shown or the file could not be written, which is reported.
    QString writeShownMap(const QString &fname, int ext, bool asTiff);
    // Names the map on show and the files it went to on the message line.
    void shownMapSaved(const QStringList &paths);
    void spectraExportEnded(bool written, const QString &path);
    void report(const QString &text, MessageLine::Kind kind);

    Analyzer *mAnalyzer;
    SaveDataCfg *mSettings;
    BlockEngine *mEngine;
    QWidget *mColorBar;
    Sources mSources;
    SpectraExport *mSpectraExport;
    int mWriteFailures = 0;
    // A batch command waits for the spectra export it started.
    bool mBatchSpectra = false;
    // Set while the end of an export that a batch command waits for is reported.
    bool mEndingBatchCommand = false;
};
