#pragma once

#include <QSaveFile>

// A QSaveFile for the program's writers. Where no new file can be made beside the target (a
// folder that is not writable) it writes a writable target in place. commitWhole() fails
// whenever any write failed, also the last one that QSaveFile makes while closing and would let
// pass: after a failure an old file is left as it was, except one written in place.
class SaveFile : public QSaveFile
{
public:
    explicit SaveFile(const QString &name);

    // Writes out what is buffered, then replaces the target; false, with the writing
    // cancelled, when a write or the replacing failed.
    bool commitWhole();
};
