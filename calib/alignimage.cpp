#include "alignimage.h"

#include "input/tiffdata.h"

#include <cmath>

AlignImage AlignImage::edgeOf(const TiffData &data)
{
    AlignImage edge;
    edge.width = data.width;
    edge.height = data.height;
    const int w = data.width;
    const int h = data.height;
    // The shifted data with a frame of zeros, so that every neighbour is a plain read.
    const int fw = w + 2;
    std::vector<double> p(size_t(fw) * size_t(h + 2), 0.0);
    for (int r = 0; r < h; ++r) {
        double *line = p.data() + size_t(r + 1) * fw + 1;
        for (int c = 0; c < w; ++c)
            line[c] = data.shiftedValue(c, r);
    }
    edge.values.resize(w * h);
    double *out = edge.values.data();
    for (int r = 0; r < h; ++r) {
        const double *up = p.data() + size_t(r) * fw + 1;
        const double *mid = up + fw;
        const double *down = mid + fw;
        for (int c = 0; c < w; ++c) {
            const double gx
                = (up[c + 1] + mid[c + 1] + down[c + 1]) - (up[c - 1] + mid[c - 1] + down[c - 1]);
            const double gy
                = (down[c - 1] + down[c] + down[c + 1]) - (up[c - 1] + up[c] + up[c + 1]);
            out[size_t(r) * w + c] = std::max(std::fabs(gx), std::fabs(gy));
        }
    }
    edge.scanRange();
    return edge;
}

AlignImage AlignImage::binarized(double threshold) const
{
    AlignImage bin;
    bin.width = width;
    bin.height = height;
    bin.values.resize(values.size());
    bin.bits.resize(values.size());
    for (int i = 0; i < values.size(); ++i) {
        const bool on = values.at(i) > threshold;
        bin.values[i] = on ? 1.0 : 0.0;
        bin.bits[i] = on ? 1 : 0;
    }
    bin.scanRange();
    return bin;
}

void AlignImage::scanRange()
{
    min = 1.7976931348623157e308;
    max = 2.2250738585072014e-308;
    for (const double v : qAsConst(values)) {
        min = std::min(min, v);
        max = std::max(max, v);
    }
}

double AlignImage::score(const AlignImage &bin, const AlignImage &ref, int sx, int sy)
{
    // Pixels (x, y) of bin with (x + sx, y + sy) inside the image.
    const int x0 = std::max(0, -sx);
    const int x1 = std::min(bin.width, bin.width - sx);
    const int y0 = std::max(0, -sy);
    const int y1 = std::min(bin.height, bin.height - sy);
    if (x0 >= x1 || y0 >= y1 || !bin.isBinary() || !ref.isBinary())
        return 0.0;
    const int n = x1 - x0;
    qint64 both = 0;
    qint64 inBin = 0;
    qint64 inRef = 0;
    for (int y = y0; y < y1; ++y) {
        const quint8 *b = bin.bits.constData() + qint64(y) * bin.width + x0;
        const quint8 *r = ref.bits.constData() + qint64(y + sy) * ref.width + x0 + sx;
        // Byte counts of a row in 32-bit sums, which the compiler vectorises.
        unsigned rowBoth = 0;
        unsigned rowBin = 0;
        unsigned rowRef = 0;
        for (int i = 0; i < n; ++i) {
            rowBoth += b[i] & r[i];
            rowBin += b[i];
            rowRef += r[i];
        }
        both += rowBoth;
        inBin += rowBin;
        inRef += rowRef;
    }
    const double norm = double(inBin) * double(inRef);
    return norm > 0.0 ? double(both) / std::sqrt(norm) : 0.0;
}

QPoint AlignImage::search(const AlignImage &bin, const AlignImage &ref, QPoint start, double best)
{
    static const QPoint steps[]
        = {{1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}, {0, 1}};
    QPoint at = start;
    for (;;) {
        QPoint candidate = at;
        for (const QPoint &step : steps) {
            const QPoint trial = at + step;
            const double s = score(bin, ref, trial.x(), trial.y());
            if (s > best) {
                best = s;
                candidate = trial;
            }
        }
        if (candidate == at)
            return at;
        at = candidate;
    }
}
