#pragma once

#include "input/tiffdata.h"

#include <benchmark/benchmark.h>

#include <cmath>
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

// A 16-bit image of counts around a level with counting noise (a standard deviation of the
// square root of the level), as a detector records a flat beam.
inline TiffData *
makeCountingImage(std::mt19937 &random, int width, int height, double energy, int level)
{
    auto *image = new TiffData;
    image->width = width;
    image->height = height;
    image->energy = energy;
    image->sampleKind = TiffData::ImgRows;
    image->samples16.resize(qsizetype(width) * height);
    // Deviates drawn once and picked at random: drawing one for each of millions of samples
    // of hundreds of images would take minutes.
    static const std::vector<double> deviates = [] {
        std::mt19937 draw(11);
        std::normal_distribution<double> normal;
        std::vector<double> values(4096);
        for (double &value : values)
            value = normal(draw);
        return values;
    }();
    const double spread = std::sqrt(double(level));
    int lowest = 65535, highest = 0;
    for (quint16 &sample : image->samples16) {
        const int value
            = qBound(1, int(std::lround(level + spread * deviates[random() & 4095])), 65535);
        sample = quint16(value);
        lowest = qMin(lowest, value);
        highest = qMax(highest, value);
    }
    image->minValue = lowest;
    image->maxValue = highest;
    return image;
}

// A rectangle of one image's 16-bit samples that a measured operation reads.
struct SampleBlock
{
    const TiffData *image = nullptr;
    int left = 0;
    int top = 0;
    int columns = 0;
    int rows = 0;
};

// Every sample of an image.
inline SampleBlock wholeImage(const TiffData *image)
{
    return {image, 0, 0, image->width, image->height};
}

// The samples of a block clipped to its image: columns left .. left + columns - 1 and rows
// top .. top + rows - 1.
inline SampleBlock clippedBlock(const TiffData *image, int left, int top, int columns, int rows)
{
    const int x0 = qMax(left, 0);
    const int y0 = qMax(top, 0);
    const int x1 = qMin(left + columns, image->width);
    const int y1 = qMin(top + rows, image->height);
    return {image, x0, y0, qMax(x1 - x0, 0), qMax(y1 - y0, 0)};
}

// The (2 halfWidth + 1) x (2 halfHeight + 1) bin centred on (x, y).
inline SampleBlock binAround(const TiffData *image, int x, int y, int halfWidth, int halfHeight)
{
    return clippedBlock(
        image, x - halfWidth, y - halfHeight, 2 * halfWidth + 1, 2 * halfHeight + 1);
}

// What one spectrum under the cursor reads: the bin around (x, y) in every image of both
// stacks.
inline std::vector<SampleBlock>
spectrumBlocks(const QVector<TiffData *> &i1, const QVector<TiffData *> &i0, int x, int y, int half)
{
    std::vector<SampleBlock> blocks;
    for (const QVector<TiffData *> *stack : {&i1, &i0}) {
        for (const TiffData *image : *stack)
            blocks.push_back(binAround(image, x, y, half, half));
    }
    return blocks;
}

// What the two cross-section profiles through (x, y) read in one image: the rows of the bin
// across the whole width and its columns down the whole height.
inline void
addProfileBlocks(std::vector<SampleBlock> &blocks, const TiffData *image, int x, int y, int half)
{
    blocks.push_back(clippedBlock(image, 0, y - half, image->width, 2 * half + 1));
    blocks.push_back(clippedBlock(image, x - half, 0, 2 * half + 1, image->height));
}

// The sum of every sample of the blocks, in the plainest form that the compiler makes fast:
// each row in a 32-bit integer (no row piece is longer than 65536 samples, so it cannot
// overflow), the rows in 64 bits. At -O2 the row loop is vectorised.
inline quint64 sumBlocks(const std::vector<SampleBlock> &blocks)
{
    constexpr int piece = 65536;
    quint64 sum = 0;
    for (const SampleBlock &block : blocks) {
        const quint16 *samples = block.image->samples16.constData();
        for (int r = block.top; r < block.top + block.rows; ++r) {
            const quint16 *row = samples + qsizetype(r) * block.image->width + block.left;
            for (int c = 0; c < block.columns; c += piece) {
                const int end = qMin(block.columns - c, piece);
                quint32 rowSum = 0;
                for (int i = 0; i < end; ++i)
                    rowSum += row[c + i];
                sum += rowSum;
            }
        }
    }
    return sum;
}

// The shared baseline: sums every sample that the measured operation reads, where it reads
// them. The memory clobber makes each iteration read the samples again, and the sum is checked
// against the one taken before timing, so that the work cannot be optimised away; the bytes a
// second it reports show that too.
inline void sumSamplesRead(benchmark::State &state, const std::vector<SampleBlock> &blocks)
{
    const quint64 expected = sumBlocks(blocks);
    qint64 samples = 0;
    for (const SampleBlock &block : blocks)
        samples += qint64(block.columns) * block.rows;
    quint64 sum = 0;
    for (auto _ : state) {
        benchmark::ClobberMemory();
        sum = sumBlocks(blocks);
        benchmark::DoNotOptimize(sum);
    }
    if (sum != expected)
        state.SkipWithError("the baseline summed other samples");
    state.SetBytesProcessed(qint64(state.iterations()) * samples * qint64(sizeof(quint16)));
}
