// Any text after the QNRB magic through the image reader's text image path.
#include "fuzzinput.h"
#include "input/tiffdata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::silenceDebugOutput();
    TiffData image;
    if (image.read(FuzzInput::writeFile("#QNRB-CTImg", data, size)))
        image.binSum(image.width / 2, image.height / 2, 2, 2);
    return 0;
}
