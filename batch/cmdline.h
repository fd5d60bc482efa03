#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

// One logical batch line, split into its command word and arguments. It is copied by value
// from the batch thread to the main window.
class CmdLine
{
public:
    CmdLine() = default;
    explicit CmdLine(const QString &text) { parse(text); }

    void parse(const QString &text);

    // The i-th argument, or an empty string when there is none.
    QString arg(int i) const;
    // The i-th argument as a flag: 1 turns a box on, anything else off.
    bool flagArg(int i) const { return arg(i).toInt() == 1; }
    bool isCommand() const;
    bool isKnownDirective() const;

    QString rawLine;
    QString line;
    bool isDirective = false;
    QString cmd;
    QStringList args;
};

Q_DECLARE_METATYPE(CmdLine)
