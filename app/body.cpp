#include "body.h"
#include "ui_body.h"

#include "batch/batchcommands.h"
#include "batch/batchctrl.h"
#include "batch/batchdispatcher.h"
#include "spectra/victoreentable.h"
#include "spectra/xafsspectrum.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QThread>

Body::Body(QWidget *parent)
    : QMainWindow(parent)
    , mUi(new Ui::Body)
{
    readVictoreenTable();
    XafsSpectrum::registerMetaTypes();
    qRegisterMetaType<CmdLine>("CmdLine");

    mUi->setupUi(this);
    mUi->CBarAll->setText(tr("Set All"));

    mImageSelection = new QButtonGroup(this);
    mImageSelection->setExclusive(true);
    mImageSelection->addButton(mUi->ShowData, 0);
    mImageSelection->addButton(mUi->ShowI0, 1);
    mImageSelection->addButton(mUi->ShowShiftMap, 2);
    mImageSelection->addButton(mUi->ShowResAnalysis, 3);

    setupBatch();
}

Body::~Body()
{
    stopThread(mBatchThread);
    delete mBatchDispatcher;
    delete mBatchCtrl;
    delete mUi;
}

void Body::setupBatch()
{
    mBatchThread = new QThread(this);
    mBatchDispatcher = new BatchDispatcher;
    mBatchDispatcher->moveToThread(mBatchThread);
    mBatchThread->start(QThread::InheritPriority);

    mBatchCtrl = new BatchCtrl;
    mBatchCtrl->setDispatcher(mBatchDispatcher);
    connect(mUi->BatchCtrlB, &QPushButton::clicked, mBatchCtrl, &BatchCtrl::show);
    connect(mBatchDispatcher, &BatchDispatcher::execCmdSig, this, &Body::execCmdSlot);
    connect(this, &Body::finishBatchExec, mBatchDispatcher, &BatchDispatcher::finishBatchExec);
}

void Body::stopThread(QThread *thread)
{
    if (!thread)
        return;
    thread->requestInterruption();
    thread->quit();
    thread->wait();
}

void Body::closeEvent(QCloseEvent *event)
{
    emit finishing();
    event->accept();
}

void Body::execCmdSlot(CmdLine cmd, bool inRem)
{
    if (inRem) {
        emit finishBatchExec();
        return;
    }

    const int id = commandTable().lookup(cmd.cmd);
    switch (id) {
    case Quit:
        emit finishing();
        return;
    case NoSuchCommand:
        if (!cmd.isKnownDirective())
            mBatchCtrl->showCmdErr(cmd);
        break;
    default:
        // Commands whose subsystems are not built yet finish at once.
        break;
    }
    emit finishBatchExec();
}
