#pragma once

#include <QString>

// The program-wide data directory: the start directory of the data file dialogs. It is set
// once at start-up from the configuration and the command line.
QString dataRoot();
void setDataRoot(const QString &root);

// The data root the program starts with, before any option or configuration line. The batch
// window's dialogs start here whatever the options say.
QString builtInDataRoot();
