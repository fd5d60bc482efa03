#pragma once

#include "display/chcoord.h"
#include "display/drawtext.h"
#include "display/edgemarker.h"
#include "spectra/xafsspectrum.h"

#include <QPen>
#include <QPolygonF>
#include <QVector>
#include <QWidget>

class CommandRegistry;
class DispA;
class QFileDialog;
class QPainter;

namespace Ui {
class XafsView;
}

// The window that plots the spectrum under the cursor together with a standard spectrum and
// further spectra, raw (each curve filling the height, with its base lines) or normalised. It
// marks the energy of the shown image and element edges, reads out the cursor and saves the
// plotted spectra.
class XafsView : public QWidget
{
    Q_OBJECT

public:
    explicit XafsView(QWidget *parent = nullptr);
    ~XafsView() override;

    // Takes a copy of the spectrum under the cursor, repaints and emits updated(). Returns the
    // energy at which it first rises through half its height less that of the standard, 0
    // while there is no standard.
    double setSpectrum(const XafsSpectrum &spectrum);
    const XafsSpectrum &spectrum() const { return mCurrent; }
    // Takes a copy of the standard spectrum (drawn red).
    void setStdSpectrum(const XafsSpectrum &spectrum);
    const XafsSpectrum &stdSpectrum() const { return mStandard; }

    // Further spectra, drawn while in use and always saved; they stay their owner's.
    void addOtherSpectrum(XafsSpectrum *spectrum, bool use = true);
    void setOtherSpectrumUse(int index, bool use);
    void clearOtherSpectra();
    int otherSpectrumCount() const { return mOthers.size(); }
    // The residual of a fit (its owner's), drawn dashed with its own values: in the normalised
    // view on the normalised scale, around 0; null draws none.
    void setResidual(const Spectrum *residual) { mResidual = residual; }
    // Pen of further spectrum i; one without a pen is drawn in curve palette colour i.
    void setOtherPens(const QVector<QPen> &pens) { mOtherPens = pens; }

    // Energy of the image shown in the main window; no marker when it is not positive.
    void setShownImageEnergy(double energy) { mShownImageEnergy = energy; }
    double shownImageEnergy() const { return mShownImageEnergy; }
    // The element edges to mark; an empty list marks none.
    void setEdgeMarkers(const QVector<EdgeMarker> &markers) { mEdgeMarkers = markers; }

    // What the normalisation of the current spectrum could not do, in words for the plot;
    // empty when it went well or there is no spectrum.
    QString normFailureText() const;

    bool normalize() const;
    bool energyCorrection() const;
    DispA *plotArea() const;

    // Registers the batch commands of the spectrum window (saving, normalising, correcting).
    void registerCommands(CommandRegistry &commands);

signals:
    void updated();
    // A spectrum file of saveData() could not be written.
    void saveFailed(QString fileName);

public slots:
    void draw(QPainter *p);
    void onMouseMoved();
    // Repaints the plot and emits updated().
    void update();
    // Writes the current spectrum to <name>-T.<suffix>, the standard to <name>-std.<suffix>
    // and every further spectrum i to <name>-other<i>.<suffix>.
    void saveData(const QString &fname);
    void setNormalize(bool f);
    void setEnergyCorrection(bool f);

private:
    // Screen rectangle with margins and the real window of the current spectrum, raw or
    // normalised; false when it has nothing to draw.
    bool setupCoord();
    // Sets the real y range to the span of values; false when none of them is finite.
    bool setRealYOf(const Spectrum &values);
    void drawNormalized(QPainter *p);
    void drawRaw(QPainter *p);
    void drawPieces(QPainter *p, const QVector<QPolygonF> &pieces);
    void drawVerticalLine(QPainter *p, double energy);
    void drawFrameAndGrid(QPainter *p);
    void drawAxisNumbers(QPainter *p);
    void drawEdgeLabels(QPainter *p);
    QPen otherPen(int index) const;

    Ui::XafsView *mUi;
    ChCoord mCoord;
    DrawText mDrawText;
    XafsSpectrum mCurrent;
    XafsSpectrum mStandard;
    QVector<XafsSpectrum *> mOthers;
    const Spectrum *mResidual = nullptr;
    QVector<bool> mOtherUse;
    QVector<QPen> mOtherPens;
    double mShownImageEnergy = -1.0;
    QVector<EdgeMarker> mEdgeMarkers;
    QFileDialog *mSaveDialog = nullptr;
};
