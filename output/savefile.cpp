#include "savefile.h"

SaveFile::SaveFile(const QString &name)
    : QSaveFile(name)
{
    setDirectWriteFallback(true);
}

bool SaveFile::commitWhole()
{
    if (!isOpen())
        return false;
    if (!flush() || error() != QFileDevice::NoError) {
        cancelWriting();
        // A file written in place must still be closed; its content is what got written.
        commit();
        return false;
    }
    return commit();
}
