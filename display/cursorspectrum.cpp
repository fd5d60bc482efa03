#include "cursorspectrum.h"

#include "analysis/analyzer.h"
#include "calib/energyshiftmap.h"
#include "display/xafsview.h"
#include "spectra/xafsspectrum.h"

CursorSpectrum::CursorSpectrum(const EnergyShiftMap *shiftMap,
                               XafsView *view,
                               Analyzer *analyzer,
                               Sources sources,
                               QObject *parent)
    : QObject(parent)
    , mShiftMap(shiftMap)
    , mView(view)
    , mAnalyzer(analyzer)
    , mSources(std::move(sources))
{}

void CursorSpectrum::moveTo(double x, double y)
{
    mX = int(x);
    mY = int(y);
    show();
}

void CursorSpectrum::show()
{
    mView->setShownImageEnergy(mSources.shownImageEnergy());
    mView->update();

    const double shift = mShiftMap->value(mX, mY);
    const QSize bin = mSources.bin();
    const XafsSpectrum spectrum = mSources.spectra().xafsSpectrumAt(
        mX, mY, bin.width(), bin.height(), mSources.background(), shift);
    const double shiftFromStd = mView->setSpectrum(spectrum);
    if (!mSources.analysing())
        mAnalyzer->analyzeAndShowSpectrum(spectrum);
    emit shown(mX, mY, shift, shiftFromStd);
}
