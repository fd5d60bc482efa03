#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>

// The colour tables, built once before any window: the hot table (black, red, yellow,
// white; 767 RGB entries) and the grey table (256 entries), and the curve palette of plots.
namespace ColorTables {

constexpr int hotEntries = 767;
constexpr int greyEntries = 256;

void build();
const uchar *hotEntry(int index);
uchar greyEntry(int index);
// Colour k of the curve palette, wrapping around its nine colours.
QColor curveColour(int k);

} // namespace ColorTables

// Image buffers of values coloured through a scale: rows padded to a multiple of four bytes.
int rowBytes(QImage::Format format, int width);
// A zero-filled buffer for an image of the given size; empty when the size is not positive.
QByteArray allocPixels(QImage::Format format, int width, int height);
// An image over the buffer without copying it; the buffer must outlive the image. A null
// image for formats other than colour and grey.
QImage wrapImage(QImage::Format format, uchar *pixels, int width, int height);
// An image over the buffer that holds a share of it: the pixels stay while any copy of the
// image lives, and the buffer's owner writes into it again without copying once none does.
QImage wrapBuffer(QImage::Format format, const QByteArray &buffer, int width, int height);
