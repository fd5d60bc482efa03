#include "startupsettings.h"

#include "optiontable.h"

StartupSettings StartupSettings::resolve(OptionTable &options, const QString &initialDataRoot)
{
    StartupSettings settings;
    settings.configFile = QStringLiteral("config.cfg");
    if (options.contains(QStringLiteral("-c")))
        settings.configFile = options.value(QStringLiteral("-c"));
    if (options.contains(QStringLiteral("-config")))
        settings.configFile = options.value(QStringLiteral("-config"));
    options.readConfigFile(settings.configFile);

    settings.dataRoot = options.lookup(QStringLiteral("DataRoot"), initialDataRoot);
    settings.dataRoot = options.lookup(QStringLiteral("-d"), settings.dataRoot);

    if (options.contains(QStringLiteral("-b")))
        settings.batchFile = options.value(QStringLiteral("-b"));
    settings.english = options.contains(QStringLiteral("-e"));
    settings.execBatch = options.contains(QStringLiteral("-x"));
    return settings;
}
