#include "imagebrowser.h"

#include "display/imgdispa.h"
#include "input/selectdatafiles.h"
#include "input/tiffdata.h"
#include "stack/stackmodel.h"

#include <QAbstractButton>
#include <QSlider>

ImageBrowser::ImageBrowser(StackModel *stacks,
                           ImgDispA *display,
                           QAbstractButton *showI1,
                           SelectDataFiles *i1Files,
                           SelectDataFiles *i0Files,
                           QSlider *seekBar,
                           QObject *parent)
    : QObject(parent)
    , mStacks(stacks)
    , mDisplay(display)
    , mShowI1(showI1)
    , mI1Files(i1Files)
    , mI0Files(i0Files)
    , mSeekBar(seekBar)
{
    // Whatever shows an image lets go of it before it is deleted: clearing the I0 stack must
    // not blank the I1 image the user is looking at.
    connect(mStacks, &StackModel::aboutToClear, this, [this](StackModel::Stack stack) {
        const QVector<TiffData *> &images = mStacks->images(stack);
        if (images.contains(mDisplay->imageData()))
            mDisplay->setImageData(nullptr);
        for (const TiffData *image : images)
            mDisplayImages.forget(image);
    });
    connect(mStacks, &StackModel::cleared, this, [this](StackModel::Stack stack) {
        if (stack == StackModel::I1)
            mSeekBar->setMaximum(0);
    });
    for (SelectDataFiles *selector : {mI1Files, mI0Files}) {
        // Whatever changes a selector's list shows that image while its stack is shown.
        connect(selector, &SelectDataFiles::currentIndexChanged, this, [this, selector](int idx) {
            showChosen(selector, idx);
        });
        connect(selector, &SelectDataFiles::itemChosen, this, [this, selector](int idx) {
            showChosen(selector, idx);
        });
    }
    connect(mShowI1, &QAbstractButton::toggled, this, [this] {
        showData(shownSelector()->currentIndex());
    });
    connect(mSeekBar, &QSlider::sliderMoved, this, &ImageBrowser::showData);
    // Clicks on the groove, keys and the wheel move the slider without sliderMoved().
    connect(mSeekBar, &QSlider::actionTriggered, this, [this] {
        if (!mSeekBar->isSliderDown())
            showData(mSeekBar->sliderPosition());
    });
}

bool ImageBrowser::showsI1() const
{
    return mShowI1->isChecked();
}

const QVector<TiffData *> &ImageBrowser::shownImages() const
{
    return showsI1() ? mStacks->i1Images() : mStacks->i0Images();
}

SelectDataFiles *ImageBrowser::shownSelector() const
{
    return showsI1() ? mI1Files : mI0Files;
}

TiffData *ImageBrowser::currentImage() const
{
    const QVector<TiffData *> &images = shownImages();
    const int index = shownSelector()->currentIndex();
    return index >= 0 && index < images.size() ? images.at(index) : nullptr;
}

void ImageBrowser::recolourShownStack()
{
    TiffData *shown = mDisplay->imageData();
    if (!shown)
        return;
    // The stack of the image on screen; its other images take the new colours when shown.
    mDisplayImages.recolourAll(
        mStacks->i1Images().contains(shown) ? mStacks->i1Images() : mStacks->i0Images(), shown);
}

void ImageBrowser::showData(int no)
{
    const QVector<TiffData *> &images = shownImages();
    if (no < 0 || no >= images.size())
        return;
    mSeekBar->setValue(no);
    mDisplayImages.use(images.at(no));
    mDisplay->setImageData(images.at(no));
    shownSelector()->select(no);
    emit imageShown(images.at(no)->energy);
}

void ImageBrowser::prev()
{
    shownSelector()->prev();
    showData(shownSelector()->currentIndex());
}

void ImageBrowser::next()
{
    shownSelector()->next();
    showData(shownSelector()->currentIndex());
}

void ImageBrowser::takeOverI1Images()
{
    const int last = mStacks->i1Images().size() - 1;
    mSeekBar->setMaximum(last);
    if (mI1Files->showLatest())
        showData(last);
    mI1Files->select(last);
}

void ImageBrowser::showChosen(SelectDataFiles *selector, int idx)
{
    const QVector<TiffData *> &images = shownImages();
    if (selector == shownSelector() && idx >= 0 && idx < images.size()
        && images.at(idx) != mDisplay->imageData())
        showData(idx);
}
