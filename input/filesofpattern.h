#pragma once

#include <QStringList>

// The plain files of a directory that match the name filters (all files when there are none),
// by name ignoring case, each as the directory followed by the file name. A directory given
// without its final separator still names the files inside it. A directory that cannot be
// read is named on the debug output and gives no files.
QStringList filesOfPattern(const QString &directory, const QStringList &filters);
