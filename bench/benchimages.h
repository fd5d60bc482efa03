#pragma once

#include "input/tiffdata.h"

#include <random>

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
