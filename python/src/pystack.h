#pragma once

#include "spectra/stackspectra.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class TiffData;

// The I1 and I0 image stacks of one Python Stack object, with their energies: the images the
// program would hold after a load, owned here, and the spectra taken from them.
class PyStack
{
public:
    PyStack() = default;
    PyStack(const PyStack &) = delete;
    PyStack &operator=(const PyStack &) = delete;

    // Takes the images over; false, with the reason in error, when there is no I1 image or an
    // image's size differs from that of the first I1 image.
    bool take(std::vector<std::unique_ptr<TiffData>> i1,
              std::vector<std::unique_ptr<TiffData>> i0,
              QString *error);

    int width() const { return mWidth; }
    int height() const { return mHeight; }
    int i1Count() const { return int(mI1.size()); }
    int i0Count() const { return int(mI0.size()); }
    // The energies of a stack in its order.
    std::vector<double> energies(bool i1) const;
    // The stack's file names (or the names given to its arrays) in its order.
    QStringList names(bool i1) const;
    const std::vector<std::unique_ptr<TiffData>> &images(bool i1) const { return i1 ? mI1 : mI0; }
    StackSpectra spectra(bool fluorescence) const;

private:
    std::vector<std::unique_ptr<TiffData>> mI1;
    std::vector<std::unique_ptr<TiffData>> mI0;
    int mWidth = 0;
    int mHeight = 0;
};
