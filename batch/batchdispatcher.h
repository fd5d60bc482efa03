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

signals:
    void execNextLineSig();
    void execCmdSig(CmdLine cmd, bool inRem);
    void Log(QString Log);

public slots:
    void execNextLineSlot();
    void doDispatchCmds(QStringList cmdList);
    void batchStopSlot();
    void finishBatchExec();

private:
    QString takeLogicalLine();
    void startLoop(const CmdLine &c);
    void nextOfLoop(const CmdLine &c);
    void substituteLoopValues(QStringList &args) const;
    int indexOfLoop(const QString &name) const;

    bool mRunning = false;
    bool mInRem = false;
    QStringList mCmdLines;
    int mLineIndex = 0;
    QVector<LoopVar> mLoops;
};
