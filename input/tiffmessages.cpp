#include "tiffmessages.h"

#include <QDebug>

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>

namespace {

void tiffErrorToDebug(const char *module, const char *format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    qDebug().noquote() << QStringLiteral("TIFF: %1: %2")
                              .arg(QString::fromLocal8Bit(module ? module : ""),
                                   QString::fromLocal8Bit(text));
}

} // namespace

void routeTiffMessagesToDebug()
{
    static const bool installed = [] {
        TIFFSetErrorHandler(tiffErrorToDebug);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    Q_UNUSED(installed)
}
