#pragma once

#include "input/displayimagecache.h"

#include <QObject>
#include <QVector>

class ImgDispA;
class QAbstractButton;
class QSlider;
class SelectDataFiles;
class StackModel;
class TiffData;

// Which image of the stacks is on the image display: the stack chosen by the "Data"/"I0"
// switch, the image its file list, the slider and the Prev/Next buttons point at, and the few
// display images kept coloured for them.
class ImageBrowser : public QObject
{
    Q_OBJECT

public:
    ImageBrowser(StackModel *stacks,
                 ImgDispA *display,
                 QAbstractButton *showI1,
                 SelectDataFiles *i1Files,
                 SelectDataFiles *i0Files,
                 QSlider *seekBar,
                 QObject *parent = nullptr);

    // The stack on display and its file selector: I1 while "Data" is checked, else I0.
    const QVector<TiffData *> &shownImages() const;
    SelectDataFiles *shownSelector() const;
    // The image at the shown selector's current index; nullptr when that index is not valid.
    TiffData *currentImage() const;
    // True while the I1 stack is on display.
    bool showsI1() const;
    // Colours the image on screen anew at once and the rest of its stack when next shown.
    void recolourShownStack();

public slots:
    // Shows image no of the shown stack; an index outside the stack changes nothing, so that
    // the slider and the file list keep naming the image on screen.
    void showData(int no);
    void prev();
    void next();
    // Slider, selection and display after I1 images have arrived.
    void takeOverI1Images();

signals:
    // An image of the given energy is on screen now.
    void imageShown(double energy);

private:
    // Shows image idx when the selector's list is that of the shown stack and the image is
    // not on screen yet.
    void showChosen(SelectDataFiles *selector, int idx);

    StackModel *mStacks;
    ImgDispA *mDisplay;
    QAbstractButton *mShowI1;
    SelectDataFiles *mI1Files;
    SelectDataFiles *mI0Files;
    QSlider *mSeekBar;
    DisplayImageCache mDisplayImages;
};
