#include "blockrequest.h"

#include "analysis/analyzed2dres.h"
#include "analysis/normfailuretally.h"
#include "spectra/edgenormalization.h"
#include "spectra/straightlinegrid.h"
#include "spectra/vectorclones.h"
#include "spectra/xafsspectrum.h"

void BlockRequest::Block::normalize(const Background &background,
                                    EdgeNormalization &levels,
                                    const StraightLineGrid *grid,
                                    NormFailureTally *tally) const
{
    if (raw.isEmpty())
        return;
    // Base lines that start from nothing.
    BaseLine pre;
    BaseLine post;
    levels.run(
        raw.size(),
        [this](int i) { return raw.xAt(i); },
        [this](int i) { return raw.yAt(i); },
        raw.minY(),
        raw.maxY(),
        background.victoreen,
        background.ranges,
        pre,
        post,
        grid && grid->matches(raw.energies(), raw.size()) ? grid : nullptr);
    if (tally)
        tally->add(levels.failures);
}

BlockRequest::Block BlockRequest::Block::packed(std::vector<double> &buffer) const
{
    const int size = raw.size();
    buffer.resize(size_t(size));
    for (int i = 0; i < size; ++i)
        buffer[size_t(i)] = raw.yAt(i);
    Block copy = *this;
    copy.raw = SpectrumSpan(raw.energies(), buffer.data(), size, 1, raw.minY(), raw.maxY());
    return copy;
}

MARVOLENTI_VECTOR_CLONES
void BlockRequest::Block::doubleNormalized(const EdgeNormalization &levels, double *out) const
{
    const int size = raw.size();
    const double *pre = levels.preValues.data();
    const double *post = levels.postValues.data();
    for (int i = 0; i < size; ++i)
        out[i] = (raw.yAt(i) - pre[i]) / (post[i] - pre[i]);
}

std::shared_ptr<const StraightLineGrid>
BlockRequest::Block::straightLineGrid(const std::vector<double> &energies, const NormRanges &ranges)
{
    const double width = qMax(ranges.preEnd - ranges.preStart, ranges.postEnd - ranges.postStart);
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
