#pragma once

#include <QtGlobal>

// The block-by-block walk over an image area: the centres of blocks of (2 xw + 1) x (2 yw + 1)
// pixels, row by row from the area's top left corner. The first block is always visited.
// Positions are 64-bit so that no bin size or area can overflow the walk.
class AreaWalk
{
public:
    AreaWalk() = default;
    // Area [x, x + w) x [y, y + h), truncated and put in order; negative half-widths count by
    // their magnitude. A step that is not positive makes the blocks touch (2 xw + 1, 2 yw + 1).
    AreaWalk(int width,
             int height,
             qint64 xw,
             qint64 yw,
             double x,
             double y,
             double w,
             double h,
             qint64 stepX = -1,
             qint64 stepY = -1);

    // Back to the first block.
    void rewind();
    // The walk with the same half-widths whose block centres are every pixel of the area.
    AreaWalk everyPixel() const;
    // The same walk without the blocks that lie wholly outside the width x height image:
    // those have no spectrum, so the blocks it keeps are those of this walk that record
    // anything. When no block reaches the image, the first block alone.
    AreaWalk clippedToImage() const;
    // Steps to the next block; newRow tells whether it starts a row. False when the walk is
    // done.
    bool next(bool &newRow)
    {
        cx += stepX;
        if (cx < x1) {
            newRow = false;
            return true;
        }
        newRow = true;
        cx = x0 + xw;
        cy += stepY;
        return cy < y1;
    }

    // Block centres in a row, rows, and all centres.
    qint64 columns() const;
    qint64 rows() const;
    qint64 count() const;
    // Centre of block (column, row) of the walk.
    qint64 centreX(qint64 column) const { return x0 + xw + column * stepX; }
    qint64 centreY(qint64 row) const { return y0 + yw + row * stepY; }
    // Whether the current centre lies inside a width x height map.
    bool centreInside(int mapWidth, int mapHeight) const;

    int width = 0;
    int height = 0;
    qint64 xw = 0;
    qint64 yw = 0;
    qint64 x0 = 0;
    qint64 x1 = 0;
    qint64 y0 = 0;
    qint64 y1 = 0;
    qint64 stepX = 1;
    qint64 stepY = 1;
    qint64 cx = 0;
    qint64 cy = 0;
};
