#pragma once

#include <QString>

// The name of one of several files saved together under one chosen name: in the chosen file's
// directory, its complete base name, "-", the tag and its suffix ("dat" when it has none).
// Given /d/spec.txt and the tag "T": /d/spec-T.txt; given /d/spec: /d/spec-T.dat.
QString taggedFileName(const QString &fname, const QString &tag);
