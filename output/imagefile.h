#pragma once

class QImage;
class QString;

// Saving pictures (the image in view, result map images, the colour bar) in the format their
// suffix names: TIFF through libtiff, every other format through Qt's image writers.
namespace ImageFile {

// Writes the whole image or nothing: false, with any old file left as it was (unless it is
// written in place), when the suffix names no format or a write fails. The debug output
// names the file then.
bool save(const QImage &image, const QString &path);

} // namespace ImageFile
