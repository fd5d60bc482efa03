#pragma once

#include <QPoint>
#include <QVector>

class TiffData;

// A working image of the alignment: an edge image made from image data, or a binarised image
// (values 0 and 1, also kept as bytes, which the score counts over). Holds its own values.
class AlignImage
{
public:
    // The Prewitt edge image of the shifted data (maximum of |gx| and |gy|, pixels outside the
    // data read as 0), with its range scanned.
    static AlignImage edgeOf(const TiffData &data);
    // 1 where the value is strictly greater than threshold, else 0; the range scanned.
    AlignImage binarized(double threshold) const;

    // Normalised scalar product of the binarised bin and ref with bin moved by (sx, sy):
    // common foreground pixels over the geometric mean of both foreground counts, taken over
    // the overlap; 0 when either count is 0. Both must be binarised images of one size.
    static double score(const AlignImage &bin, const AlignImage &ref, int sx, int sy);
    // Steepest-ascent hill climb from start over the eight neighbours, in a fixed order; a
    // neighbour is taken only when its score is strictly greater than the best so far, so the
    // first of equal scores wins and the walk ends. Returns where it stopped.
    static QPoint search(const AlignImage &bin, const AlignImage &ref, QPoint start, double best);

    bool isNull() const { return values.isEmpty(); }
    bool isBinary() const { return !bits.isEmpty(); }
    bool sameSize(const AlignImage &other) const
    {
        return width == other.width && height == other.height;
    }
    double at(int x, int y) const { return values.at(y * width + x); }

    int width = 0;
    int height = 0;
    QVector<double> values;
    // The values of a binarised image as bytes; empty for an edge image.
    QVector<quint8> bits;
    double min = 1.7976931348623157e308;
    double max = 2.2250738585072014e-308;

private:
    void scanRange();
};
