#include "blockrequest.h"

#include "analysis/analyzed2dres.h"
#include "spectra/edgenormalization.h"
#include "spectra/straightlinegrid.h"
#include "spectra/xafsspectrum.h"

namespace {

// The windows of a new spectrum.
const XafsSpectrum &freshSpectrum()
{
    static const XafsSpectrum fresh;
    return fresh;
}

} // namespace

void BlockRequest::Block::normalize(int background,
                                    EdgeNormalization &levels,
                                    const StraightLineGrid *grid) const
{
    if (raw.isEmpty())
        return;
    const XafsSpectrum &fresh = freshSpectrum();
    // Base lines that start from nothing.
    BaseLine pre;
    BaseLine post;
    levels.run(
        raw.size(),
        [this](int i) { return raw.xAt(i); },
        [this](int i) { return raw.yAt(i); },
        raw.minY(),
        raw.maxY(),
        background,
        {fresh.preStart, fresh.preEnd, fresh.postStart, fresh.postEnd},
        pre,
        post,
        grid && grid->matches(raw.energies(), raw.size()) ? grid : nullptr);
}

std::shared_ptr<const StraightLineGrid>
BlockRequest::Block::straightLineGrid(const std::vector<double> &energies)
{
    const XafsSpectrum &fresh = freshSpectrum();
    const double width = qMax(fresh.preEnd - fresh.preStart, fresh.postEnd - fresh.postStart);
    return std::make_shared<StraightLineGrid>(energies.data(), int(energies.size()), width);
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
