#include "blockrequest.h"

#include "analysis/analyzed2dres.h"
#include "spectra/edgenormalization.h"
#include "spectra/xafsspectrum.h"

void BlockRequest::Block::normalize(int background, EdgeNormalization &levels) const
{
    if (raw.isEmpty())
        return;
    // The windows of a new spectrum, and base lines that start from nothing.
    static const XafsSpectrum fresh;
    BaseLine pre;
    BaseLine post;
    levels.run(
        raw.size(),
        [this](int i) { return raw.xAt(i); },
        [this](int i) { return raw.yAt(i); },
        raw.minY,
        raw.maxY,
        background,
        {fresh.preStart, fresh.preEnd, fresh.postStart, fresh.postEnd},
        pre,
        post);
}

double BlockRequest::energyShiftAt(qint64 x, qint64 y) const
{
    if (energyShifts.isEmpty() || x < 0 || y < 0 || x >= shiftMapWidth || y >= shiftMapHeight)
        return 0.0;
    return energyShifts.at(int(y * shiftMapWidth + x));
}

void BlockRequest::takeEnergyShifts(const Analyzed2DRes &map)
{
    shiftMapWidth = map.width();
    shiftMapHeight = map.height();
    energyShifts.clear();
    if (!map.hasData())
        return;
    energyShifts.reserve(shiftMapWidth * shiftMapHeight);
    for (int y = 0; y < shiftMapHeight; ++y) {
        for (int x = 0; x < shiftMapWidth; ++x)
            energyShifts.append(map.value(x, y));
    }
}
