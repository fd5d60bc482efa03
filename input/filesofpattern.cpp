#include "filesofpattern.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

QStringList filesOfPattern(const QString &directory, const QStringList &filters)
{
    if (!QFileInfo(directory.isEmpty() ? QStringLiteral(".") : directory).isDir()) {
        qDebug().noquote() << "Can't open directory" << directory;
        return {};
    }
    const QStringList names
        = QDir(directory).entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase);
    const bool needsSeparator = !directory.isEmpty() && !directory.endsWith(QLatin1Char('/'))
                                && !directory.endsWith(QDir::separator());
    const QString prefix = needsSeparator ? directory + QLatin1Char('/') : directory;
    QStringList files;
    for (const QString &name : names)
        files << prefix + name;
    return files;
}
