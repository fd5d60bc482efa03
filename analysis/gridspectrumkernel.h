#pragma once

#include "analysis/blockrequest.h"
#include "analysis/normfailuretally.h"
#include "spectra/background.h"

#include <memory>
#include <vector>

class StraightLineGrid;

// The double-normalised spectrum of a block on the energies of the stack, for the analyses
// that compare blocks point by point (principal components, clusters). The block is
// normalised as the LCF run normalises its targets; a block with an energy shift is read at
// every stack energy moved by its shift, as its spectrum lies on energies taken off by it. A
// block is left out when its normalisation failed, when its edge jump does not stand clear of
// the scatter of the spectrum about its base lines (no edge: its normalised values would be
// noise divided by nearly nothing), when a base-line range holds no more points than its line
// has coefficients (no scatter to judge the edge by), or when a value is not finite.
class GridSpectrumKernel
{
public:
    // An edge jump smaller than this many times the scatter about the base lines counts as no
    // edge.
    static constexpr double minEdgeToNoise = 5.0;

    GridSpectrumKernel(const Background &background, const std::vector<double> &energies);

    int points() const { return int(mEnergies->size()); }
    const std::vector<double> &energies() const { return *mEnergies; }
    // Writes points() values into out; false, with the block counted as failed, when it is
    // left out.
    bool compute(const BlockRequest::Block &block, double *out) const;
    // Blocks seen so far by every copy of this kernel, and those left out.
    std::shared_ptr<const NormFailureTally> tally() const { return mTally; }

private:
    Background mBackground;
    std::shared_ptr<const std::vector<double>> mEnergies;
    std::shared_ptr<const StraightLineGrid> mLines;
    std::shared_ptr<NormFailureTally> mTally;
};
