#pragma once

#include <QByteArray>
#include <QFile>

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM").
inline qint64 statusBytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLongLong()
                   * 1024;
    }
    return 0;
}

// Sets the peak resident size (VmHWM) back to what is resident now, so that the next read of
// it gives the peak of the work in between.
inline void resetPeakMemory()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}
