#pragma once

#include "batch/cmdline.h"

#include <QMainWindow>

class BatchCtrl;
class BatchDispatcher;
class QButtonGroup;
class QThread;

namespace Ui {
class Body;
}

// The main window and the hub of the working state: it holds the image stacks and the
// cursor, owns every tool window and worker, and runs the batch commands.
class Body : public QMainWindow
{
    Q_OBJECT

public:
    explicit Body(QWidget *parent = nullptr);
    ~Body() override;

    BatchCtrl *batchCtrl() const { return mBatchCtrl; }

signals:
    void finishing();
    void finishBatchExec();

public slots:
    void cBarUpdating();
    void cBarUpdated();
    void execCmdSlot(CmdLine cmd, bool inRem);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setupBatch();
    void setupDisplay();
    void stopThread(QThread *thread);

    Ui::Body *mUi;
    QButtonGroup *mImageSelection = nullptr;

    QThread *mBatchThread = nullptr;
    BatchDispatcher *mBatchDispatcher = nullptr;
    BatchCtrl *mBatchCtrl = nullptr;
};
