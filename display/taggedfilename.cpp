#include "taggedfilename.h"

#include <QDir>
#include <QFileInfo>

QString taggedFileName(const QString &fname, const QString &tag)
{
    const QFileInfo info(fname);
    QString suffix = info.suffix();
    if (suffix.isEmpty())
        suffix = QStringLiteral("dat");
    const QString name
        = info.completeBaseName() + QLatin1Char('-') + tag + QLatin1Char('.') + suffix;
    return QDir(info.absolutePath()).filePath(name);
}
