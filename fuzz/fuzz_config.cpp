// Any bytes as a configuration file, then the start-up settings resolved from it.
#include "fuzzinput.h"
#include "app/optiontable.h"
#include "app/startupsettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::silenceDebugOutput();
    OptionTable options;
    options.addEntry(QStringLiteral("-c"), FuzzInput::writeFile(QByteArray(), data, size));
    StartupSettings::resolve(options, QStringLiteral("/data"));
    return 0;
}
