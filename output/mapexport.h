#pragma once

#include <QString>

class Analyzed2DRes;
struct SaveDataSettings;

// Writers of a result map: 16-bit TIFF scaled as the settings say, or text of the values at
// the block centres of the map's walk. Both write nothing unless the whole file can be
// written, and return false then.
namespace MapExport {

// fname with "-" and text put before its suffix, in fname's absolute directory; the dot is
// kept when the suffix is empty.
QString numberedName(const QString &fname, const QString &text);
// The file a map is saved to: fname's base name, "-" and ext, with the given suffix.
QString dataFileName(const QString &fname, int ext, const QString &suffix);

bool saveAsTiff(const QString &path, Analyzed2DRes &map, const SaveDataSettings &settings);
bool saveAsText(const QString &path, const Analyzed2DRes &map, const SaveDataSettings &settings);

} // namespace MapExport
