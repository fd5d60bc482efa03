// Any text as a batch script run through the dispatcher: line splitting, continuation lines,
// loops and their substitution into the arguments. Every command finishes at once.
#include "fuzzinput.h"
#include "batch/batchcommands.h"
#include "batch/batchdispatcher.h"

#include <QString>

namespace {
// Loops can repeat a script for ever; the harness stops after this many dispatched lines.
constexpr int maxDispatchedLines = 2000;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool tablesBuilt = (buildBatchTables(), true);
    Q_UNUSED(tablesBuilt);
    FuzzInput::silenceDebugOutput();
    const QString script
        = QString::fromUtf8(reinterpret_cast<const char *>(data), int(qMin<size_t>(size, 1 << 16)));
    BatchDispatcher dispatcher;
    int dispatched = 0;
    QObject::connect(&dispatcher, &BatchDispatcher::execCmdSig, [&](const CmdLine &cmd, bool) {
        cmd.isCommand();
        cmd.isKnownDirective();
        ++dispatched;
    });
    dispatcher.doDispatchCmds(script.split(QLatin1Char('\n')));
    int before = -1;
    while (dispatched != before && dispatched < maxDispatchedLines) {
        before = dispatched;
        dispatcher.finishBatchExec();
    }
    return 0;
}
