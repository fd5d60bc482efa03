#pragma once

#include <QString>

class OptionTable;

// What the start-up sequence takes from the option table once the configuration file has
// been read: where the data lives, whether to translate, and which batch to run.
struct StartupSettings
{
    QString configFile;
    QString dataRoot;
    QString batchFile;
    bool english = false;
    bool execBatch = false;

    // Chooses the configuration file from "-c"/"-config", reads it into the table and
    // resolves the remaining settings, starting from the given data root.
    static StartupSettings resolve(OptionTable &options, const QString &initialDataRoot);
};
