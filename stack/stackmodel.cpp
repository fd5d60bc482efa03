#include "stackmodel.h"

#include "input/tiffdata.h"

StackModel::StackModel(QObject *parent)
    : QObject(parent)
{}

StackModel::~StackModel()
{
    for (QVector<TiffData *> &images : mImages) {
        qDeleteAll(images);
        images.clear();
    }
}

const QVector<TiffData *> &StackModel::images(Stack stack) const
{
    return mImages[stack];
}

TiffData *StackModel::image(Stack stack, int index) const
{
    const QVector<TiffData *> &images = mImages[stack];
    return index >= 0 && index < images.size() ? images.at(index) : nullptr;
}

void StackModel::setSize(int width, int height)
{
    mWidth = width;
    mHeight = height;
}

bool StackModel::takeSizeOfFirstI1()
{
    if (mImages[I1].isEmpty())
        return false;
    setSize(mImages[I1].first()->width, mImages[I1].first()->height);
    return true;
}

void StackModel::append(Stack stack, TiffData *image)
{
    mImages[stack].append(image);
    emit loaded(stack, mImages[stack].size() - 1);
}

void StackModel::clear(Stack stack)
{
    emit aboutToClear(stack);
    qDeleteAll(mImages[stack]);
    mImages[stack].clear();
    emit cleared(stack);
}

void StackModel::setEnergy(Stack stack, int index, double energy)
{
    if (TiffData *target = image(stack, index)) {
        target->energy = energy;
        emit energiesChanged(stack);
    }
}

QVector<double> StackModel::i1Energies() const
{
    QVector<double> energies;
    if (mWidth >= 0) {
        for (const TiffData *image : mImages[I1])
            energies << image->energy;
    }
    return energies;
}

void StackModel::setShift(int index, int dx, int dy)
{
    setShift(I1, index, dx, dy);
}

void StackModel::setShift(Stack stack, int index, int dx, int dy)
{
    TiffData *target = image(stack, index);
    if (!target)
        return;
    target->shiftX = dx;
    target->shiftY = dy;
    emit shiftsChanged();
}

void StackModel::clearShifts()
{
    for (TiffData *image : qAsConst(mImages[I1])) {
        image->shiftX = 0;
        image->shiftY = 0;
    }
    emit shiftsChanged();
}

const TiffData *StackModel::mismatchedImage() const
{
    if (mImages[I1].isEmpty())
        return nullptr;
    const TiffData *first = mImages[I1].first();
    for (const QVector<TiffData *> &stack : mImages) {
        for (const TiffData *image : stack) {
            if (image->width != first->width || image->height != first->height)
                return image;
        }
    }
    return nullptr;
}

StackSpectra StackModel::spectra(bool fluorescence) const
{
    return StackSpectra(mImages[I1], mImages[I0], mWidth, mHeight, fluorescence);
}
