#include "commandregistry.h"

#include "batch/batchcommands.h"

void CommandRegistry::add(const QString &name, int id, Ending ending, Handler handler)
{
    // A name that the table gives another id is a slip of the registering code.
    Q_ASSERT_X(commandTable().lookup(name) == id, "CommandRegistry::add", qPrintable(name));
    Q_ASSERT_X(!mIndexOfId.contains(id), "CommandRegistry::add", qPrintable(name));
    mIndexOfId.insert(id, mCommands.size());
    mCommands.append({name, id, ending, std::move(handler)});
}

void CommandRegistry::add(const QString &name,
                          int id,
                          const std::function<void(const CmdLine &cmd)> &handler)
{
    add(name, id, EndsAtOnce, [handler](const CmdLine &cmd) {
        handler(cmd);
        return false;
    });
}

const CommandRegistry::Command *CommandRegistry::find(int id) const
{
    const auto it = mIndexOfId.constFind(id);
    return it == mIndexOfId.constEnd() ? nullptr : &mCommands.at(*it);
}
