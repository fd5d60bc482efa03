#pragma once

#include <QObject>

class Analyzer;
class AreaRunController;
class ColorBar;
class EnergyShiftMap;
class ImageBrowser;
class ImgDispA;
class QAbstractButton;

// The map drawn over the image on the display, the energy-shift map or the result map selected
// in the analyser, as the main window's image switch chooses, and the colouring of whichever is
// shown when the colour bar changes.
class MapOverlay : public QObject
{
    Q_OBJECT

public:
    struct Sources
    {
        ImageBrowser *browser = nullptr;
        EnergyShiftMap *shiftMap = nullptr;
        Analyzer *analyzer = nullptr;
        AreaRunController *areaRuns = nullptr;
    };

    MapOverlay(ImgDispA *display,
               ColorBar *colorBar,
               QAbstractButton *showShiftMap,
               QAbstractButton *showResultMap,
               Sources sources,
               QObject *parent = nullptr);

public slots:
    // The result map selected in the analyser, over the image while its switch is on.
    void showResultMap();
    // The energy-shift map, over the image while its switch is on.
    void showShiftMap();
    // Regenerates the shift map's image through the main colour bar and repaints.
    void redrawShiftMap();
    // The colour bar is being changed: the map or image on screen follows at once.
    void colourBarChanging();
    // "Set All": the other images of the shown stack take the new colours when next shown.
    void colourBarApplied();

private:
    bool overlayShown() const;
    // Colours the map shown anew; false when no map is shown.
    bool recolourMap();

    ImgDispA *mDisplay;
    ColorBar *mColorBar;
    QAbstractButton *mShowShiftMap;
    QAbstractButton *mShowResultMap;
    Sources mSources;
};
