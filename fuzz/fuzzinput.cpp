#include "fuzzinput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

bool FuzzInput::isKnownCrash(const char *harness, const uint8_t *data, size_t size)
{
    static const QList<QByteArray> known = [harness] {
        QList<QByteArray> inputs;
        const QDir dir(qEnvironmentVariable("MARVOLENTI_FUZZ_KNOWN") + '/' + harness);
        for (const QFileInfo &entry : dir.entryInfoList(QDir::Files)) {
            QFile file(entry.filePath());
            if (file.open(QIODevice::ReadOnly))
                inputs << file.readAll();
        }
        return inputs;
    }();
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                     int(size));
    return known.contains(input);
}

void FuzzInput::silenceDebugOutput()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}
