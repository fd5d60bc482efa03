#pragma once

#include "batch/cmdline.h"

#include <QMainWindow>
#include <QStringList>

class BatchDispatcher;
class QFileDialog;

namespace Ui {
class BatchCtrl;
}

// The batch window: script editor, progress log, script files, and the buttons that start
// and stop a run on the dispatcher.
class BatchCtrl : public QMainWindow
{
    Q_OBJECT

public:
    explicit BatchCtrl(QWidget *parent = nullptr);
    ~BatchCtrl() override;

    void setDispatcher(BatchDispatcher *dispatcher);
    QString scriptText() const;
    QString logText() const;

signals:
    void doDispatchCmds(QStringList cmdLines);
    void batchStop();

public slots:
    void execCmdsSlot();
    void execBatchSlot();
    void clear();
    void clearLog();
    void save(QString fname);
    void load(QString fname);
    void setBatchFile(QString fname);
    void Log(QString LogMsg);
    void showCmdErr(CmdLine cmd);

private:
    Ui::BatchCtrl *mUi;
    QStringList mCmdLines;
    BatchDispatcher *mDispatcher = nullptr;
    QFileDialog *mSaveDialog;
    QFileDialog *mOpenDialog;
};
