#include "batchdispatcher.h"

#include "app/takefirstitem.h"
#include "batch/batchcommands.h"

namespace {

// A line continues on the next one when its last non-blank character is a backslash; the
// backslash and the blanks after it are cut off. Only the blanks at the end are looked at, and
// they are cut when the line continues, so joining many lines stays linear in their length.
bool cutContinuation(QString &text)
{
    int last = text.size() - 1;
    while (last >= 0 && text.at(last).isSpace())
        --last;
    if (last < 0 || text.at(last) != QLatin1Char('\\'))
        return false;
    text.truncate(last);
    return true;
}

} // namespace

BatchDispatcher::BatchDispatcher(QObject *parent)
    : QObject(parent)
{
    connect(this,
            &BatchDispatcher::execNextLineSig,
            this,
            &BatchDispatcher::execNextLineSlot,
            Qt::DirectConnection);
}

void BatchDispatcher::doDispatchCmds(QStringList cmdList)
{
    mRunning = true;
    // A new run never starts inside a comment block left open by an earlier one.
    mInRem = false;
    mCmdLines = cmdList;
    mLineIndex = 0;
    mLoops.clear();
    emit execNextLineSig();
}

void BatchDispatcher::batchStopSlot()
{
    mRunning = false;
    mInRem = false;
}

void BatchDispatcher::finishBatchExec()
{
    emit execNextLineSig();
}

QString BatchDispatcher::takeLogicalLine()
{
    QString text = mCmdLines.at(mLineIndex);
    while (cutContinuation(text)) {
        ++mLineIndex;
        if (mLineIndex >= mCmdLines.size())
            break;
        text += mCmdLines.at(mLineIndex);
    }
    return text;
}

void BatchDispatcher::execNextLineSlot()
{
    if (!mRunning || mLineIndex < 0)
        return;
    if (mLineIndex >= mCmdLines.size()) {
        endRun();
        return;
    }

    CmdLine c(takeLogicalLine());
    bool skip = true;
    if (!c.line.isEmpty()) {
        const int directive = directiveTable().lookup(c.cmd);
        if (directive == DirEnd) {
            endRun();
            return;
        }
        if (directive == DirRemEnd)
            mInRem = false;
        else if (directive == DirRemStart)
            mInRem = true;

        if (!mInRem) {
            skip = false;
            if ((directive == DirEcho || c.isCommand()) && !substituteLoopValues(c.args)) {
                // Loop values that repeat their own placeholders can grow a line without
                // bound: such a line is refused and the run goes on with the next one.
                emit Log(QStringLiteral("Err: %1\n").arg(c.line));
                c.args.clear();
                skip = true;
            } else {
                switch (directive) {
                case DirFor:
                    startLoop(c);
                    break;
                case DirNext:
                    nextOfLoop(c);
                    break;
                case DirEcho:
                    // The batch window writes every log entry to the debug output as well.
                    emit Log(QStringLiteral("echo %1\n").arg(c.arg(0)));
                    break;
                default:
                    break;
                }
                if (c.isCommand())
                    emit Log(QStringLiteral("%1 : %2\n").arg(c.cmd, c.args.join(QLatin1Char(' '))));
            }
        }
    }
    emit execCmdSig(c, skip);
    ++mLineIndex;
}

void BatchDispatcher::endRun()
{
    mRunning = false;
    emit batchEnded();
}

void BatchDispatcher::startLoop(const CmdLine &c)
{
    QStringList items;
    const QString text = c.args.join(QLatin1Char(' '));
    int position = 0;
    while (items.size() < 5)
        items << takeItemAt(text, &position);
    LoopVar loop;
    loop.name = items.at(0);
    loop.placeholder = items.at(1);
    loop.startText = items.at(2);
    loop.endText = items.at(3);
    loop.stepText = items.at(4);
    loop.current = loop.startText;
    loop.forLine = mLineIndex;

    const int existing = indexOfLoop(loop.name);
    if (existing >= 0)
        mLoops.remove(existing);
    mLoops.append(loop);
    emit Log(QStringLiteral("for %1 : %2 = %3\n").arg(loop.name, loop.placeholder, loop.current));
}

void BatchDispatcher::nextOfLoop(const CmdLine &c)
{
    const int index = indexOfLoop(c.arg(0));
    LoopVar loop;
    if (index >= 0) {
        LoopVar &active = mLoops[index];
        if (active.advance())
            mLineIndex = active.forLine;
        loop = active;
    }
    emit Log(QStringLiteral("next %1 : %2 = %3\n").arg(loop.name, loop.placeholder, loop.current));
}

bool BatchDispatcher::substituteLoopValues(QStringList &args) const
{
    qint64 total = 0;
    for (QString &arg : args) {
        for (const LoopVar &loop : mLoops) {
            if (loop.placeholder.isEmpty())
                continue;
            const qint64 count = arg.count(loop.placeholder);
            if (count == 0)
                continue;
            const qint64 grown
                = arg.size() + count * (qint64(loop.current.size()) - loop.placeholder.size());
            if (grown > maxSubstitutedLength)
                return false;
            arg.replace(loop.placeholder, loop.current);
        }
        total += arg.size();
        if (total > maxSubstitutedLength)
            return false;
    }
    return true;
}

int BatchDispatcher::indexOfLoop(const QString &name) const
{
    for (int i = 0; i < mLoops.size(); ++i) {
        if (mLoops.at(i).name == name)
            return i;
    }
    return -1;
}
