#pragma once

#include "batch/cmdline.h"
#include "batch/loopvar.h"

#include <QObject>
#include <QStringList>
#include <QVector>

// Walks a batch script on its own thread, one logical line at a time. It handles the
// directives (loops, echo, comment blocks, end) itself and hands every other line to the
// main window, then waits for finishBatchExec() before it reads the next line.
class BatchDispatcher : public QObject
{
    Q_OBJECT

public:
    explicit BatchDispatcher(QObject *parent = nullptr);

    bool isRunning() const { return mRunning; }

    // Longest text, in characters, that the arguments of one line may have after the loop
    // values have been put in: far beyond any real script, far below what breaks the program.
    static constexpr qint64 maxSubstitutedLength = qint64(1) << 20;

signals:
    void execNextLineSig();
    void execCmdSig(CmdLine cmd, bool inRem);
    void Log(QString Log);
    // The run has reached the end of the script or an ":end" line.
    void batchEnded();

public slots:
    void execNextLineSlot();
    void doDispatchCmds(QStringList cmdList);
    void batchStopSlot();
    void finishBatchExec();

private:
    QString takeLogicalLine();
    void startLoop(const CmdLine &c);
    void nextOfLoop(const CmdLine &c);
    // Puts the loop values into the arguments; false, with the arguments partly replaced,
    // when they would grow longer than maxSubstitutedLength.
    bool substituteLoopValues(QStringList &args) const;
    void endRun();
    int indexOfLoop(const QString &name) const;

    bool mRunning = false;
    bool mInRem = false;
    QStringList mCmdLines;
    int mLineIndex = 0;
    QVector<LoopVar> mLoops;
};
