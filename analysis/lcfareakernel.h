#pragma once

#include "analysis/blockrequest.h"
#include "analysis/lcffitplan.h"
#include "analysis/normfailuretally.h"

#include <memory>

// The LCF / MLCF fit of every block of an area run: the block's spectrum is normalised with
// the run's background and its energy origin, then fitted against the references taken
// when the run started. Per block it gives a flag (1 when the block was fitted, 0 when there
// was nothing to fit), the dmuts of the used references, their fractions, the standard errors
// of their coefficients, then the R-factor, the reduced chi-square and the subset of
// references with a share in the fit (bit j for used reference j). Values that are not
// defined are NaN.
class LCFAreaKernel
{
public:
    // references: every reference row, used or not; energies: the energies of the block
    // spectra, on which the references are read once for all blocks without an energy shift.
    LCFAreaKernel(const QVector<LCFReferenceData> &references,
                  bool mlcf,
                  const Background &background,
                  const std::vector<double> &energies,
                  const LCFFitOptions &options = LCFFitOptions());

    int usedCount() const { return mPlan->usedCount(); }
    const QVector<int> &usedIndices() const { return mPlan->usedIndices(); }
    int valueCount() const { return 4 + 3 * usedCount(); }
    // Where the values of a block lie.
    int dmutAt(int j) const { return 1 + j; }
    int ratioAt(int j) const { return 1 + usedCount() + j; }
    int errorAt(int j) const { return 1 + 2 * usedCount() + j; }
    int rFactorAt() const { return 1 + 3 * usedCount(); }
    int redChi2At() const { return 2 + 3 * usedCount(); }
    int subsetAt() const { return 3 + 3 * usedCount(); }
    void compute(const BlockRequest::Block &block, double *values) const;
    // The blocks normalised so far by every copy of this kernel, and those that failed.
    std::shared_ptr<const NormFailureTally> normFailures() const { return mNormFailures; }
    // Makes this the request's kernel.
    void setUp(BlockRequest &request) const;

private:
    // Shared by the copies that the threads of a run hold; read only.
    std::shared_ptr<const LCFFitPlan> mPlan;
    std::shared_ptr<const StraightLineGrid> mLines;
    std::shared_ptr<NormFailureTally> mNormFailures;
    Background mBackground;
};
