#include "mapexport.h"

#include "analysis/analyzed2dres.h"
#include "output/savedatasettings.h"
#include "output/savefile.h"
#include "output/tiffwriter.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace MapExport {

QString numberedName(const QString &fname, const QString &text)
{
    const QFileInfo info(fname);
    return info.absoluteDir().filePath(
        QStringLiteral("%1-%2.%3").arg(info.completeBaseName(), text, info.suffix()));
}

QString dataFileName(const QString &fname, int ext, const QString &suffix)
{
    const QFileInfo info(fname);
    return info.dir().filePath(
        QStringLiteral("%1-%2.%3").arg(info.completeBaseName()).arg(ext).arg(suffix));
}

bool saveAsTiff(const QString &path, Analyzed2DRes &map, const SaveDataSettings &settings)
{
    const QVector<quint16> levels = map.tiffDataForSave(
        settings.fixedScale, settings.scaleMin, settings.scaleMax, settings.asAnalyzed);
    if (levels.isEmpty())
        return false;
    const qint64 width = settings.asAnalyzed ? map.walk().columns() : map.width();
    const qint64 height = settings.asAnalyzed ? map.walk().rows() : map.height();
    if (width * height != levels.size())
        return false;
    return writeTiff16(path, int(width), int(height), levels.constData());
}

bool saveAsText(const QString &path, const Analyzed2DRes &map, const SaveDataSettings &settings)
{
    if (!map.hasData())
        return false;
    SaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    const QChar sep = settings.commaSeparated ? QLatin1Char(',') : QLatin1Char(' ');
    AreaWalk walk = map.walk();
    walk.rewind();
    bool newRow = false;
    bool first = true;
    do {
        // Centres past the map read 0.
        const QString v = QStringLiteral("%1").arg(map.value(walk.cx, walk.cy), 0, 'g', -1);
        if (settings.xyVal) {
            out << walk.cx << sep << walk.cy << sep << v << '\n';
        } else {
            if (newRow)
                out << '\n';
            else if (!first)
                out << sep;
            out << v;
        }
        first = false;
    } while (walk.next(newRow));
    if (!settings.xyVal)
        out << '\n';
    out.flush();
    if (out.status() != QTextStream::Ok) {
        file.cancelWriting();
        file.commitWhole();
        return false;
    }
    return file.commitWhole();
}

} // namespace MapExport
