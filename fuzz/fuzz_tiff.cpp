// Any bytes as a TIFF file through the image reader.
#include "fuzzinput.h"
#include "input/tiffdata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::silenceDebugOutput();
    TiffData image;
    image.read(FuzzInput::writeFile(QByteArray(), data, size));
    return 0;
}
