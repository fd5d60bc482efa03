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
