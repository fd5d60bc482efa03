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
    // The dispatcher's run has reached the end of its script or an ":end" line.
    void batchEnded();
    // The script could not be written to that file.
    void saveFailed(const QString &fname);

public slots:
    void execCmdsSlot();
    void execBatchSlot();
    void clear();
    void clearLog();
    void save(QString fname);
    // Both return false when the file cannot be read; the editor is then unchanged.
    bool load(QString fname);
    bool setBatchFile(QString fname);
    void Log(QString LogMsg);
    void showCmdErr(CmdLine cmd);

private:
    Ui::BatchCtrl *mUi;
    QStringList mCmdLines;
    BatchDispatcher *mDispatcher = nullptr;
    QFileDialog *mSaveDialog;
    QFileDialog *mOpenDialog;
};
