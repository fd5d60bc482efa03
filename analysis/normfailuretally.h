#pragma once

#include <QtGlobal>

#include <atomic>

// Counts, across the threads of an area run, the blocks whose spectrum was normalised and those
// whose normalisation failed (no E0, or a base-line range with too few points), so that the run
// can say so once at its end instead of once per block.
class NormFailureTally
{
public:
    // One block normalised with these failure flags (0: it went well).
    void add(int failures)
    {
        mBlocks.fetch_add(1, std::memory_order_relaxed);
        if (failures != 0)
            mFailed.fetch_add(1, std::memory_order_relaxed);
    }
    qint64 blocks() const { return mBlocks.load(); }
    qint64 failed() const { return mFailed.load(); }

private:
    std::atomic<qint64> mBlocks{0};
    std::atomic<qint64> mFailed{0};
};
