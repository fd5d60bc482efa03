#pragma once

#include "bench/benchimages.h"

#include <QVector>

#include <memory>
#include <random>
#include <vector>

// The stacks the area benchmarks walk, shaped as recorded stacks are: 100 I1 images from
// 7000 eV in 2 eV steps with an edge half way up, and one I0 image at each energy, all with
// counting noise. The images are 2048 x 2048; MARVOLENTI_BENCH_SIZE in the environment makes
// them smaller for a quick look.
struct BenchStacks
{
    static constexpr int I1Count = 100;
    static constexpr int I0Count = I1Count;

    int size = 0;
    std::vector<std::unique_ptr<TiffData>> owned;
    QVector<TiffData *> i1;
    QVector<TiffData *> i0;

    // Every sample of both stacks: what a walk over the whole image reads.
    std::vector<SampleBlock> wholeImages() const
    {
        std::vector<SampleBlock> blocks;
        for (const auto &image : owned)
            blocks.push_back(wholeImage(image.get()));
        return blocks;
    }
};

// Built once, on first use.
inline const BenchStacks &benchStacks()
{
    static const BenchStacks built = [] {
        BenchStacks s;
        s.size = qEnvironmentVariableIsSet("MARVOLENTI_BENCH_SIZE")
                     ? qEnvironmentVariableIntValue("MARVOLENTI_BENCH_SIZE")
                     : 2048;
        std::mt19937 random(3);
        for (int k = 0; k < BenchStacks::I0Count; ++k) {
            s.owned.emplace_back(
                makeCountingImage(random, s.size, s.size, 7000.0 + 2.0 * k, 30000));
            s.i0.append(s.owned.back().get());
        }
        for (int k = 0; k < BenchStacks::I1Count; ++k) {
            const int level = k < BenchStacks::I1Count / 2 ? 20000 : 8000;
            s.owned.emplace_back(
                makeCountingImage(random, s.size, s.size, 7000.0 + 2.0 * k, level));
            s.i1.append(s.owned.back().get());
        }
        return s;
    }();
    return built;
}

// The shared baseline of the area benchmarks: an integer sum over every sample of the stacks.
inline void stackSamplesRead(benchmark::State &state)
{
    sumSamplesRead(state, benchStacks().wholeImages());
}
