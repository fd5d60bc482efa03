#pragma once

#include "spectra/stackspectra.h"

#include <QObject>
#include <QVector>

#include <functional>

class TiffData;

// The two image stacks that loaders fill and everything else reads: the I1 images
// (transmitted or fluorescence) and the I0 images (incident beam) in arrival order, each with
// its energy and integer alignment shift, and the image size the program works at. Owns the
// images. Change signals let the windows follow; no widget is touched here.
class StackModel : public QObject
{
    Q_OBJECT

public:
    enum Stack { I1, I0 };
    Q_ENUM(Stack)

    explicit StackModel(QObject *parent = nullptr);
    ~StackModel() override;

    const QVector<TiffData *> &images(Stack stack) const;
    const QVector<TiffData *> &i1Images() const { return mImages[I1]; }
    const QVector<TiffData *> &i0Images() const { return mImages[I0]; }
    // The image at index of a stack; nullptr outside it.
    TiffData *image(Stack stack, int index) const;

    // The size of the first I1 image once it has been taken over; width is -1 until then, so
    // that no position is inside the image.
    int width() const { return mWidth; }
    int height() const { return mHeight; }
    void setSize(int width, int height);
    // Takes the size of the first I1 image; false when there is none.
    bool takeSizeOfFirstI1();

    // Appends an image and takes it over.
    void append(Stack stack, TiffData *image);
    // Deletes the images of a stack. aboutToClear() goes first, so that whatever shows one of
    // them can let go.
    void clear(Stack stack);

    void setEnergy(Stack stack, int index, double energy);
    // The energies of the I1 images; empty until the image size has been taken.
    QVector<double> i1Energies() const;
    // The alignment shift of an I1 image.
    void setShift(int index, int dx, int dy);
    void setShift(Stack stack, int index, int dx, int dy);
    void clearShifts();

    // Whether something reads the images now, so that they may be neither cleared nor loaded
    // anew; the check is set by whoever runs such work.
    void setInUseCheck(std::function<bool()> inUse) { mInUse = std::move(inUse); }
    bool inUse() const { return mInUse && mInUse(); }

    // The first image of either stack whose size differs from that of the first I1 image;
    // nullptr when all agree.
    const TiffData *mismatchedImage() const;
    // Spectra taken from the stacks as they are now.
    StackSpectra spectra(bool fluorescence) const;

signals:
    void loaded(StackModel::Stack stack, int index);
    void aboutToClear(StackModel::Stack stack);
    void cleared(StackModel::Stack stack);
    void energiesChanged(StackModel::Stack stack);
    void shiftsChanged();

private:
    QVector<TiffData *> mImages[2];
    int mWidth = -1;
    int mHeight = 0;
    std::function<bool()> mInUse;
};
