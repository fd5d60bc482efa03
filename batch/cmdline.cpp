#include "cmdline.h"

#include "app/takefirstitem.h"
#include "batch/batchcommands.h"

void CmdLine::parse(const QString &text)
{
    *this = CmdLine();
    rawLine = line = text;
    const int comment = text.indexOf(QLatin1Char('#'));
    if (comment >= 0)
        line = text.left(comment);
    if (line.isEmpty())
        return;

    // Items come from the whole text: a comment after the items reaches the arguments, and
    // commands simply ignore arguments they do not use.
    int position = 0;
    cmd = takeItemAt(text, &position);
    while (position < text.size()) {
        const QString item = takeItemAt(text, &position);
        if (!item.isEmpty())
            args.append(item);
    }
    isDirective = cmd.startsWith(QLatin1Char(':'));
}

QString CmdLine::arg(int i) const
{
    return i >= 0 && i < args.size() ? args.at(i) : QString();
}

bool CmdLine::isCommand() const
{
    return commandTable().lookup(cmd) != NoSuchCommand;
}

bool CmdLine::isKnownDirective() const
{
    return directiveTable().lookup(cmd) != NoSuchDirective;
}
