#pragma once

#include "spectra/xafsspectrum.h"

#include <QWidget>

class QFileDialog;

namespace Ui {
class CalibCtrl;
}

// The calibration window: the standard spectrum, the monochromator crystal, the edge
// energy, the backgrounds (base-line forms and normalisation ranges) of targets and of the
// standard with the K- and L-edge presets of the ranges, the statistics of the last
// calibration, and the buttons that run it and clear, save and load the energy-shift map.
class CalibCtrl : public QWidget
{
    Q_OBJECT

public:
    explicit CalibCtrl(QWidget *parent = nullptr);
    ~CalibCtrl() override;

    // The standard; empty until one is loaded.
    const XafsSpectrum &stdSpectrum() const { return mStd; }
    bool stdLoaded() const { return mStdLoaded; }
    // The selected crystal's lattice spacing in angstrom.
    double spacing() const;
    double edgeEV() const;
    QString stdFileName() const;
    // How target spectra are normalised: the form (1 Victoreen, 0 straight lines) and ranges.
    Background targetBackground() const;
    NormRanges stdRanges() const;
    // The ranges of target spectra, of the standard (normalised again at once), or the
    // ranges of a preset on both; the preset also goes to the reference rows through
    // presetApplied().
    void setTargetRanges(const NormRanges &ranges);
    void setStdRanges(const NormRanges &ranges);
    void applyPreset(const NormRanges &ranges);
    // Shows the statistics of a calibration.
    void showStats(double average, double min, double max, double sigma);
    // The run button reads "Stop" while a calibration goes on.
    void setRunning(bool running);
    // Selects a crystal by its name (any case) or by its lattice spacing in angstrom. A
    // spacing that no crystal of the list has is added to the list as "d = spacing A", for
    // crystals the list lacks and the pseudo spacings of grating beamlines. False, with the
    // selection unchanged, for an unknown name or a spacing that is not a positive number.
    bool setCrystal(const QString &crystal);

signals:
    // The standard has changed: a new one was read, or the old one was dropped because the
    // new file could not be read.
    void newStdFileLoaded();
    // Something the message line should say about the standard's file: why it could not be
    // read, or that its points were sorted.
    void messageIssued(const QString &message);
    // The form or the ranges of target spectra changed.
    void targetBackgroundChanged();
    // A preset of the ranges was chosen, by its button or a command.
    void presetApplied(const NormRanges &ranges);
    void execCalibration();
    void saveEMap(const QString &fname);
    void loadEMap(const QString &fname);
    void clearMap();

public slots:
    void newFile(const QString &fname);
    void stdBGToggled(bool f);
    void loadStd(const QString &fname);
    void setEdgeEV(const QString &eV);
    void loadEShiftMap(const QString &fname);

private:
    QFileDialog *mapDialog(bool save);
    // Normalises the standard again with the form and ranges of the window.
    void renormalizeStd();

    Ui::CalibCtrl *mUi;
    XafsSpectrum mStd;
    bool mStdLoaded = false;
};
