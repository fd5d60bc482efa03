// Any bytes as a reference energy file, then every image energy taken from it.
#include "fuzzinput.h"
#include "input/energyassignment.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::silenceDebugOutput();
    EnergyAssignment assignment;
    assignment.method = EnergyAssignment::FromRefFile;
    if (EnergyAssignment::readReferenceFile(FuzzInput::writeFile(QByteArray(), data, size),
                                            &assignment.refEnergies)) {
        for (int i = -1; i <= assignment.refEnergies.size(); ++i)
            assignment.energyOf(QString(), i);
    }
    return 0;
}
