// Any bytes as an energy-shift map file, read at the file's own size and edge and carried to
// an image of another size at another edge.
#include "fuzzinput.h"
#include "calib/energyshiftmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::silenceDebugOutput();
    const QString path = FuzzInput::writeFile(QByteArray(), data, size);
    EnergyShiftMap map;
    int width = 0;
    int height = 0;
    map.load(path, 0.0, width, height);
    width = 16;
    height = 9;
    if (map.load(path, 7112.0, width, height))
        map.value(width / 2, height / 2);
    return 0;
}
