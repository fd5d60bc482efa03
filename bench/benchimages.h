#pragma once

#include "input/tiffdata.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

// A 16-bit image of noise over a level, as a loader would hand it over.
inline TiffData *makeBenchImage(std::mt19937 &random,
                                int width,
                                int height,
                                double energy,
                                int level,
                                const QString &fileName = QString())
{
    auto *image = new TiffData;
    image->fileName = fileName;
    image->width = width;
    image->height = height;
    image->energy = energy;
    image->sampleKind = TiffData::ImgRows;
    image->samples16.resize(width * height);
    std::uniform_int_distribution<int> noise(0, 255);
    for (quint16 &sample : image->samples16)
        sample = quint16(level + noise(random));
    image->minValue = level;
    image->maxValue = level + 255;
    return image;
}

// The common baseline: summing count random 16-bit samples from one contiguous buffer, as
// many as the timed work reads.
inline void sumContiguousSamples(benchmark::State &state, int count)
{
    std::vector<quint16> buffer(count);
    std::mt19937 random(7);
    for (quint16 &sample : buffer)
        sample = quint16(random());
    for (auto _ : state) {
        double sum = 0.0;
        for (quint16 sample : buffer)
            sum += sample;
        benchmark::DoNotOptimize(sum);
    }
}
