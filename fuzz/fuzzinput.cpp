#include "fuzzinput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

QString FuzzInput::writeFile(const QByteArray &prefix, const uint8_t *data, size_t size)
{
    static const QString path = QDir::temp().filePath(
        QStringLiteral("marvolenti-fuzz-%1.input").arg(QCoreApplication::applicationPid()));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(prefix);
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    return path;
}

void FuzzInput::silenceDebugOutput()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}
