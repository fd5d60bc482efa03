#pragma once

#include "batch/cmdline.h"

#include <QHash>
#include <QString>
#include <QVector>

#include <functional>

// The handlers of the batch commands, each registered by the controller or window that acts
// on it, under the name and id of the command table. The main window looks a line's command
// up here and runs its handler.
class CommandRegistry
{
public:
    // How a command ends: when its handler returns, or, if the handler started a load or a
    // run, when that work ends (its owner then finishes the batch command).
    enum Ending { EndsAtOnce, WaitsForWork };
    // Runs one command line; true when it started work whose end finishes the command.
    using Handler = std::function<bool(const CmdLine &cmd)>;

    struct Command
    {
        QString name;
        int id = 0;
        Ending ending = EndsAtOnce;
        Handler handler;
    };

    // Registers a command; name and id are those of the command table.
    void add(const QString &name, int id, Ending ending, Handler handler);
    // A command that ends when its handler returns.
    void add(const QString &name, int id, const std::function<void(const CmdLine &cmd)> &handler);

    // The command registered under an id; nullptr when none is.
    const Command *find(int id) const;
    // Every command registered, in the order of registration.
    const QVector<Command> &commands() const { return mCommands; }

private:
    QVector<Command> mCommands;
    QHash<int, int> mIndexOfId;
};
