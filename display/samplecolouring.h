#pragma once

#include <QtGlobal>

#include <array>
#include <utility>
#include <vector>

class ColorScale;

// Colours 16-bit samples through a colour scale exactly as the scale colours the fraction
// (v - lo) / (hi - lo) of each sample value v, at a few vector operations a sample.
//
// The table entry a value takes is a monotonic step function of the value. It is computed as
// a straight line in single precision, whose every step is checked against the scale's own
// arithmetic when the colouring is set up; the few values a line may put on the wrong side of
// a step (values that fall exactly on a step) are kept as exceptions. When that list grows
// long, or the line cannot be drawn (a value range or limits of no width), a table of all
// 65536 values takes its place.
class SampleColouring
{
public:
    SampleColouring(const ColorScale &scale, double lo, double hi);

    // Bytes a pixel: 1 for grey, 3 for colour, 0 for a format the scale does not colour.
    int bytesPerPixel() const { return mPixelBytes; }
    // Writes the pixels of count samples, bytesPerPixel() bytes each.
    void colour(const quint16 *samples, qsizetype count, uchar *out) const;
    // The bytes of a pixel of the value 0.
    const uchar *zeroColour() const { return mZeroColour.data(); }

    // How the colouring was set up, for tests: by the line, and with how many exceptions.
    bool usesLine() const { return mIndexTable.empty(); }
    int exceptionCount() const { return int(mExceptions.size()); }

    struct Line
    {
        quint16 flip = 0;   // 0xffff when the entries fall as the values rise
        int origin = 0;     // position u of the line's first step, rounded down
        float slope = 0.0f; // entries per unit of u
        float offset = 0.0f;
        float last = 0.0f; // last entry of the table
        // The entry of value v: u = v ^ flip, and (u - origin) * slope + offset, clamped.
        int entry(quint16 v) const;
    };

private:
    bool setUpLine(const ColorScale &scale, double lo, double hi);
    void entries(const quint16 *samples, int count, quint16 *out) const;

    int mPixelBytes = 0;
    bool mGrey = true;
    Line mLine;
    // Values whose entry the line misses, with their entries.
    std::vector<std::pair<quint16, quint16>> mExceptions;
    // The entry of every value, when the line is not used.
    std::vector<quint16> mIndexTable;
    std::array<uchar, 3> mZeroColour{};
};
