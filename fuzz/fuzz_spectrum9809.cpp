// Any text after a 9809 first line through the spectrum reader and the normalisation.
#include "fuzzinput.h"
#include "spectra/xafsspectrum.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::silenceDebugOutput();
    XafsSpectrum spectrum;
    if (spectrum.readFile(FuzzInput::writeFile("9809", data, size)))
        spectrum.normalize(1);
    return 0;
}
