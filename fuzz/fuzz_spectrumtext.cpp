// Any bytes as a two-column spectrum file through the reader and both normalisations.
#include "fuzzinput.h"
#include "spectra/xafsspectrum.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::silenceDebugOutput();
    XafsSpectrum spectrum;
    if (spectrum.readFile(FuzzInput::writeFile(QByteArray(), data, size))) {
        spectrum.normalize(0);
        spectrum.normalize(1);
        spectrum.doubleNormalizedPreBase(spectrum.e0);
    }
    return 0;
}
