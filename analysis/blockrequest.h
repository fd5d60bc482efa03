#pragma once

#include "analysis/areawalk.h"
#include "spectra/background.h"
#include "spectra/spectrumspan.h"
#include "spectra/stackspectra.h"

#include <QVector>

#include <functional>
#include <memory>
#include <vector>

class Analyzed2DRes;
class EdgeNormalization;
class NormFailureTally;
class StraightLineGrid;

// Everything an area analysis reads, taken on the GUI thread before the run starts, so that
// the threads of the run never look at a widget or at working state that may change: the
// walk (area and bin sizes), the image stacks with their energies and alignment shifts, a
// copy of the energy-shift map, and the kernel that turns a block's spectrum into values.
struct BlockRequest
{
    // One block as a kernel sees it: its raw spectrum in place, empty for a block centred
    // outside the image.
    struct Block
    {
        qint64 cx;
        qint64 cy;
        SpectrumSpan raw;
        double energyShift;

        // Normalises the raw spectrum as a block's XafsSpectrum would normalise itself with
        // this background, into levels, and counts the block in tally when given. Nothing
        // without points. Straight lines use grid where it holds the block's energies.
        void normalize(const Background &background,
                       EdgeNormalization &levels,
                       const StraightLineGrid *grid = nullptr,
                       NormFailureTally *tally = nullptr) const;
        // The same block with its values copied into buffer one after another: a block's
        // values lie far apart among its row's spectra, and kernels that read them many times
        // read them faster so.
        Block packed(std::vector<double> &buffer) const;
        // The double-normalised spectrum on the pre-edge base of a block normalised into
        // levels, (raw - pre) / (post - pre) at each of its points, into out.
        void doubleNormalized(const EdgeNormalization &levels, double *out) const;
        // The grid of straight base lines over the energies of a run's blocks, for windows as
        // wide as the ranges.
        static std::shared_ptr<const StraightLineGrid>
        straightLineGrid(const std::vector<double> &energies, const NormRanges &ranges);
    };
    // A pure function of a block and of the settings it captured by value: it writes
    // valueCount values. It runs on many threads at once.
    using Kernel = std::function<void(const Block &block, double *values)>;

    // Energy shift of a pixel from the copied map; 0 outside it or without one.
    double energyShiftAt(qint64 x, qint64 y) const;
    // Copies the values of an energy-shift map.
    void takeEnergyShifts(const Analyzed2DRes &map);

    AreaWalk walk;
    StackSpectra spectra;
    int shiftMapWidth = 0;
    int shiftMapHeight = 0;
    QVector<double> energyShifts;
    Kernel kernel;
    int valueCount = 1;
};
