#pragma once

#include "spectra/stackspectra.h"

#include <QObject>
#include <QSize>

#include <functional>

class Analyzer;
class EnergyShiftMap;
class XafsView;

// The spectrum under the cursor: takes the image pixel the mouse points at, reads the binned
// spectrum there from the stacks with the pixel's energy shift, and hands it to the spectrum
// window and the analyser.
class CursorSpectrum : public QObject
{
    Q_OBJECT

public:
    // What the spectrum is read with, as the main window is set up when it is read.
    struct Sources
    {
        // The stacks as the form sets them up (fluorescence mode).
        std::function<StackSpectra()> spectra;
        // The half widths of the bin around the cursor.
        std::function<QSize()> bin;
        // How the spectrum is normalised: base-line form and ranges.
        std::function<Background()> background;
        // The energy of the image on display; not positive while none is shown.
        std::function<double()> shownImageEnergy;
        // True while an area analysis runs: the analyser then keeps its spectrum.
        std::function<bool()> analysing;
    };

    CursorSpectrum(const EnergyShiftMap *shiftMap,
                   XafsView *view,
                   Analyzer *analyzer,
                   Sources sources,
                   QObject *parent = nullptr);

    // The image pixel under the mouse.
    int x() const { return mX; }
    int y() const { return mY; }

public slots:
    // The mouse points at image position (x, y): shows the spectrum there.
    void moveTo(double x, double y);
    // Shows the spectrum at the cursor again, after the stacks, the map or the form changed.
    void show();

signals:
    // The spectrum at (x, y) is shown, read with the map's shift there; shiftFromStd is its
    // edge energy less that of the standard spectrum.
    void shown(int x, int y, double shift, double shiftFromStd);

private:
    const EnergyShiftMap *mShiftMap;
    XafsView *mView;
    Analyzer *mAnalyzer;
    Sources mSources;
    int mX = 0;
    int mY = 0;
};
