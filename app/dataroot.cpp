#include "dataroot.h"

#include <QDir>

namespace {
QString &currentDataRoot()
{
    static QString root = builtInDataRoot();
    return root;
}
} // namespace

QString dataRoot()
{
    return currentDataRoot();
}

void setDataRoot(const QString &root)
{
    currentDataRoot() = root;
}

QString builtInDataRoot()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\u00A5Data");
#else
    return QDir::homePath();
#endif
}
