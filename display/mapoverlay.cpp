#include "mapoverlay.h"

#include "analysis/analyzed2dres.h"
#include "analysis/analyzer.h"
#include "analysis/arearuncontroller.h"
#include "calib/energyshiftmap.h"
#include "display/colorbar.h"
#include "display/imagebrowser.h"
#include "display/imgdispa.h"
#include "input/tiffdata.h"

#include <QAbstractButton>

MapOverlay::MapOverlay(ImgDispA *display,
                       ColorBar *colorBar,
                       QAbstractButton *showShiftMap,
                       QAbstractButton *showResultMap,
                       Sources sources,
                       QObject *parent)
    : QObject(parent)
    , mDisplay(display)
    , mColorBar(colorBar)
    , mShowShiftMap(showShiftMap)
    , mShowResultMap(showResultMap)
    , mSources(sources)
{
    connect(mShowShiftMap, &QAbstractButton::toggled, this, &MapOverlay::showShiftMap);
    connect(mShowResultMap, &QAbstractButton::toggled, this, &MapOverlay::showResultMap);
    connect(mColorBar, &ColorBar::cBarUpdating, this, &MapOverlay::colourBarChanging);
}

bool MapOverlay::overlayShown() const
{
    return mShowShiftMap->isChecked() || mShowResultMap->isChecked();
}

void MapOverlay::showResultMap()
{
    mDisplay->setOverlayer(mSources.analyzer->selectedMap());
    mDisplay->setShowOverlayer(overlayShown());
    mDisplay->update();
}

void MapOverlay::showShiftMap()
{
    Analyzed2DRes &map = mSources.shiftMap->map();
    if (!map.imageValid())
        return;
    mDisplay->setOverlayer(&map);
    mDisplay->setShowOverlayer(overlayShown());
    if (mShowShiftMap->isChecked())
        map.updateColorBar();
    mDisplay->update();
}

void MapOverlay::redrawShiftMap()
{
    mSources.shiftMap->map().setFormat(mColorBar->format());
    mSources.shiftMap->map().genImg();
    if (mShowShiftMap->isChecked())
        showShiftMap();
    mDisplay->update();
}

bool MapOverlay::recolourMap()
{
    if (mShowShiftMap->isChecked() && mSources.shiftMap->map().imageValid())
        mSources.shiftMap->map().genImg();
    else if (mShowResultMap->isChecked())
        mSources.areaRuns->setupResAnalysisImage();
    return overlayShown();
}

void MapOverlay::colourBarChanging()
{
    if (!recolourMap()) {
        if (TiffData *image = mDisplay->imageData())
            image->makeDisplayImage();
    }
    mDisplay->update();
}

void MapOverlay::colourBarApplied()
{
    if (!recolourMap())
        mSources.browser->recolourShownStack();
    mDisplay->update();
}
