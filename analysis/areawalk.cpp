#include "areawalk.h"

#include <cmath>
#include <limits>
#include <utility>

namespace {

// Truncation towards zero of an area edge, kept far enough inside the 64-bit range that
// centres and steps added to it cannot overflow; not a number counts as 0.
qint64 truncated(double v)
{
    constexpr double limit = 4.0e18;
    if (std::isnan(v))
        return 0;
    return qint64(std::trunc(qBound(-limit, v, limit)));
}

// Centres of a line from first while they lie before end: the first one always.
qint64 centresBefore(qint64 first, qint64 end, qint64 step)
{
    const qint64 room = end - first;
    return room >= 1 ? (room - 1) / step + 1 : 1;
}

// Moves first, a centre of the line first, first + step, ... before end, to the first of them
// whose block of half-width half reaches into [0, size), and end to just past the last one.
// False when no block of the line reaches the image.
bool clipLine(qint64 &first, qint64 &end, qint64 half, qint64 step, qint64 size)
{
    const qint64 lowest = -half;
    const qint64 highest = size - 1 + half;
    qint64 centre = first;
    if (centre < lowest)
        centre += (lowest - centre + step - 1) / step * step;
    // The first block is walked even when the area ends before its centre.
    if (centre > highest || (centre != first && centre >= end))
        return false;
    first = centre;
    end = qMin(end, highest + 1);
    return true;
}

} // namespace

AreaWalk::AreaWalk(int width,
                   int height,
                   qint64 xw,
                   qint64 yw,
                   double x,
                   double y,
                   double w,
                   double h,
                   qint64 stepX,
                   qint64 stepY)
    : width(width)
    , height(height)
    , xw(qAbs(xw))
    , yw(qAbs(yw))
    , x0(truncated(x))
    , x1(truncated(x + w))
    , y0(truncated(y))
    , y1(truncated(y + h))
{
    if (x1 < x0)
        std::swap(x0, x1);
    if (y1 < y0)
        std::swap(y0, y1);
    this->stepX = stepX > 0 ? stepX : 2 * this->xw + 1;
    this->stepY = stepY > 0 ? stepY : 2 * this->yw + 1;
    rewind();
}

void AreaWalk::rewind()
{
    cx = x0 + xw;
    cy = y0 + yw;
}

AreaWalk AreaWalk::everyPixel() const
{
    AreaWalk walk = *this;
    // The first centre of a walk lies half a block inside its area's corner.
    walk.x0 = x0 - xw;
    walk.y0 = y0 - yw;
    walk.stepX = 1;
    walk.stepY = 1;
    walk.rewind();
    return walk;
}

AreaWalk AreaWalk::clippedToImage() const
{
    AreaWalk walk = *this;
    qint64 firstX = x0 + xw;
    qint64 firstY = y0 + yw;
    if (clipLine(firstX, walk.x1, xw, stepX, width)
        && clipLine(firstY, walk.y1, yw, stepY, height)) {
        walk.x0 = firstX - xw;
        walk.y0 = firstY - yw;
    } else {
        walk.x1 = x0 + xw + 1;
        walk.y1 = y0 + yw + 1;
    }
    walk.rewind();
    return walk;
}

qint64 AreaWalk::columns() const
{
    return centresBefore(x0 + xw, x1, stepX);
}

qint64 AreaWalk::rows() const
{
    return centresBefore(y0 + yw, y1, stepY);
}

qint64 AreaWalk::count() const
{
    // Rows of more centres than a 64-bit count holds cannot be walked anyway.
    const qint64 c = columns();
    const qint64 r = rows();
    return r > std::numeric_limits<qint64>::max() / c ? std::numeric_limits<qint64>::max() : r * c;
}

bool AreaWalk::centreInside(int mapWidth, int mapHeight) const
{
    return cx >= 0 && cy >= 0 && cx < mapWidth && cy < mapHeight;
}
