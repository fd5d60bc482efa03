#pragma once

#include <QString>

class TiffData;

// Moves the samples of an image by less than a pixel, in place: the sample at (c, r) becomes
// the old image's value at (c - dx, r - dy), the sign of the alignment shift. Bilinear
// interpolation (the border continued outwards) or a Fourier shift (periodic); 16-bit samples
// are rounded to the nearest count and kept within 0 to 65535. The old samples are lost.
class SubpixelShift
{
public:
    enum Method { Bilinear, Fourier };

    static void apply(TiffData &image, double dx, double dy, Method method);
    // "bilinear" or "fourier"; false for anything else.
    static bool methodOf(const QString &name, Method *method);
};
