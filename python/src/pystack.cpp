#include "pystack.h"

#include "input/tiffdata.h"

#include <QVector>

bool PyStack::take(std::vector<std::unique_ptr<TiffData>> i1,
                   std::vector<std::unique_ptr<TiffData>> i0,
                   QString *error)
{
    if (i1.empty()) {
        *error = QStringLiteral("No I1 image");
        return false;
    }
    const int width = i1.front()->width;
    const int height = i1.front()->height;
    for (const auto *stack : {&i1, &i0}) {
        for (const auto &image : *stack) {
            if (image->width != width || image->height != height) {
                *error = QStringLiteral("%1 is %2 x %3 pixels, the first I1 image %4 x %5")
                             .arg(image->listedName())
                             .arg(image->width)
                             .arg(image->height)
                             .arg(width)
                             .arg(height);
                return false;
            }
        }
    }
    mI1 = std::move(i1);
    mI0 = std::move(i0);
    mWidth = width;
    mHeight = height;
    return true;
}

std::vector<double> PyStack::energies(bool i1) const
{
    std::vector<double> values;
    for (const auto &image : images(i1))
        values.push_back(image->energy);
    return values;
}

QStringList PyStack::names(bool i1) const
{
    QStringList list;
    for (const auto &image : images(i1))
        list << image->listedName();
    return list;
}

StackSpectra PyStack::spectra(bool fluorescence) const
{
    QVector<TiffData *> i1;
    QVector<TiffData *> i0;
    for (const auto &image : mI1)
        i1 << image.get();
    for (const auto &image : mI0)
        i0 << image.get();
    return StackSpectra(i1, i0, mWidth, mHeight, fluorescence);
}
