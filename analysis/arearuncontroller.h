#pragma once

#include "analysis/arearun.h"

#include <QObject>
#include <QVector>

#include <functional>

class Analyzed2DRes;
class Analyzer;
class BlockEngine;
class CalibCtrl;
class CommandRegistry;
class QAbstractButton;
class QCheckBox;
class QLineEdit;

// Starts and stops the analyser's area runs on the block engine, draws their result maps when
// they end, deglitches the map selected in the analyser, and runs the batch commands of those.
// What it reads of the main window comes through the providers below, set by the window.
class AreaRunController : public QObject
{
    Q_OBJECT

public:
    AreaRunController(Analyzer *analyzer, BlockEngine *engine, QObject *parent = nullptr);

    AreaRun *areaRun() const { return mAreaRun; }
    // Set while an area run goes on: the spectrum under the cursor is not fitted then.
    bool analysisRunning() const { return mAnalysisRunning; }
    void setAnalysisRunning(bool running) { mAnalysisRunning = running; }

    // What a run reads, as the main window is set up now (kernel unset).
    void setBlockRequestProvider(std::function<BlockRequest()> provider);
    // The energies of the I1 images; empty while no image has been taken over for display.
    void setEnergiesProvider(std::function<QVector<double>()> provider);
    // True while a calibration runs, which refuses a run.
    void setCalibratingProvider(std::function<bool()> provider);
    // The calibration window, whose "Target" background (form and ranges) normalises the
    // spectra of a run and starts new reference rows, and whose presets of the ranges go to
    // every reference row.
    void setTargetWindow(const CalibCtrl *calib);
    // The main window's deglitch factor and ratio fields, its "show processed" box, and the
    // buttons that deglitch the selected map and print its values.
    void setMapControls(QLineEdit *factor,
                        QLineEdit *ratio,
                        QCheckBox *showProcessed,
                        QAbstractButton *deglitch,
                        QAbstractButton *printValues);

    // The batch commands of the analyser window and of its runs.
    void registerCommands(CommandRegistry &commands);

public slots:
    // Starts a run of any kind, or stops the one going; byBatch marks a run whose end
    // finishes the batch command that started it.
    void startAreaRun(AreaRun::Kind kind, bool byBatch = false);
    void stop2DAnalysis();
    void generateResImages();
    void generateRAResImage();
    void generateElemsResImages();
    // Regenerates the image of the map selected in the analyser.
    void setupResAnalysisImage();
    // Writes every block's value and processed value of the map selected in the analyser to
    // the debug output.
    void printSelectedMap() const;
    // The map selected in the analyser shows its deglitched values (f) or its own.
    void showProcImg(bool f);
    // Deglitches the map selected in the analyser with the factor and ratio fields; false
    // when no map is selected.
    bool deglitch();
    // Puts these normalisation ranges on every reference row.
    void setReferenceRanges(const NormRanges &ranges);

signals:
    // A refusal or a stopped run; forBatch when a batch command waits for that run.
    void message(const QString &message, bool forBatch);
    // A run has completed: its earlier failure leaves the message line.
    void runSucceeded();
    // A run has started on the block engine.
    void runStarted();
    // The map selected in the analyser is to be shown anew on the image display.
    void selectedMapChanged();
    // The values of a map on show have changed: the display repaints.
    void mapRedrawn();
    // A run started by a batch command has ended.
    void batchRunEnded();

private:
    // The commands that only set up the analyser window.
    void registerWindowCommands(CommandRegistry &commands);
    // The batch commands that start a run: false when nothing was started, so that the
    // command finishes at once.
    bool execAreaRunCommand(AreaRun::Kind kind);
    // Checks the Target (else the Show) radio of an element row, then shows the selected map.
    void selectElemsRow(bool target, const QString &name);
    // A run has ended: its maps are drawn when it completed, and a batch waiting for it goes on.
    void areaRunEnded(AreaRun::Kind kind, bool completed, bool byBatch);
    // Recolours the map on show when a run of that kind fills it.
    void redrawShownMap(AreaRun::Kind kind);
    // Which references in use are normalised with another base-line form than the target, in
    // words for the message line; empty when none is.
    QString formMismatch(const Background &target) const;
    // What a completed run has to say about its normalisations, once: the references of
    // another form, and how many blocks could not be normalised.
    QString runNotices() const;

    Analyzer *mAnalyzer;
    AreaRun *mAreaRun;
    bool mAnalysisRunning = false;
    std::function<BlockRequest()> mBlockRequest;
    std::function<QVector<double>()> mEnergies;
    std::function<bool()> mCalibrating;
    const CalibCtrl *mTarget = nullptr;
    QLineEdit *mDeglitchFactor = nullptr;
    QLineEdit *mDeglitchRatio = nullptr;
    QCheckBox *mShowProcessed = nullptr;
    // The form mismatch found when the running LCF run started.
    QString mFormMismatch;
};
