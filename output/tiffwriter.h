#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>

class QImage;

// Writes width x height unsigned 16-bit values, row by row, as an uncompressed greyscale TIFF.
// The file appears only when it has been written completely; an existing file of that name is
// replaced then (or, in a folder where no new file can be made, written over in place).
// Returns false on failure, which it names with the file on the debug output.
bool writeTiff16(const QString &path, int width, int height, const quint16 *values);
// Writes `pages` such images, page(i) giving image i, as one multi-page TIFF: an ImageJ stack
// whose slices carry the given labels (none when the list is empty). The same way as above.
bool writeTiff16Pages(const QString &path,
                      int width,
                      int height,
                      int pages,
                      const std::function<const quint16 *(int)> &page,
                      const QStringList &labels = {});
// Writes an image as an uncompressed 8-bit RGB TIFF, the same way: the colour bar and the views
// saved under a .tif name, which Qt has no writer for.
bool writeTiffImage(const QString &path, const QImage &image);
