#pragma once

#include <QString>
#include <QtGlobal>

class QImage;

// Writes width x height unsigned 16-bit values, row by row, as an uncompressed greyscale TIFF.
// The file appears only when it has been written completely; an existing file of that name is
// replaced then (or, in a folder where no new file can be made, written over in place).
// Returns false on failure, which it names with the file on the debug output.
bool writeTiff16(const QString &path, int width, int height, const quint16 *values);
// Writes an image as an uncompressed 8-bit RGB TIFF, the same way: the colour bar and the views
// saved under a .tif name, which Qt has no writer for.
bool writeTiffImage(const QString &path, const QImage &image);
