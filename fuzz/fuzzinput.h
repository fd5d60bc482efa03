#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// What every harness shares: readers take file names, so each input is written to a file of
// the harness's own, and the readers' debug output is silenced so that only crashes speak.
class FuzzInput
{
public:
    // Writes prefix + data to this process's input file and returns its path.
    static QString writeFile(const QByteArray &prefix, const uint8_t *data, size_t size);
    // Whether the input equals one of the files in the folder `harness` of the known crashes
    // (MARVOLENTI_FUZZ_KNOWN): inputs that crash inside a third-party library.
    static bool isKnownCrash(const char *harness, const uint8_t *data, size_t size);
    // Installs a message handler that drops every debug message.
    static void silenceDebugOutput();
};
