#include "body.h"
#include "ui_body.h"

#include "batch/batchcommands.h"
#include "batch/batchctrl.h"
#include "batch/batchdispatcher.h"
#include "display/colorbar.h"
#include "display/colorscale.h"
#include "display/crosssview.h"
#include "display/imgdispa.h"
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
    // Every image of values is coloured through the main colour bar.
    ColorScale::setCurrent(mUi->CBar->scale());
    mUi->CBarAll->setText(tr("Set All"));

    mImageSelection = new QButtonGroup(this);
    mImageSelection->setExclusive(true);
    mImageSelection->addButton(mUi->ShowData, 0);
    mImageSelection->addButton(mUi->ShowI0, 1);
    mImageSelection->addButton(mUi->ShowShiftMap, 2);
    mImageSelection->addButton(mUi->ShowResAnalysis, 3);

    mUi->HCross->setOrientation(CrossSView::Horizontal);
    mUi->VCross->setOrientation(CrossSView::Vertical);

    setupBatch();
    setupDisplay();
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

void Body::setupDisplay()
{
    connect(mUi->ZoomIn, &QPushButton::clicked, mUi->dispA, &ImgDispA::setViewWAsSelectedArea);
    connect(mUi->ResetScale, &QPushButton::clicked, mUi->dispA, &ImgDispA::resetImageViewWindow);
    connect(mUi->CBar, &ColorBar::cBarUpdating, this, &Body::cBarUpdating);
    connect(mUi->CBarAll, &QPushButton::clicked, this, &Body::cBarUpdated);
}

void Body::cBarUpdating()
{
    mUi->dispA->update();
}

void Body::cBarUpdated()
{
    mUi->dispA->update();
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
    case ScaleReset:
        mUi->dispA->resetImageViewWindow();
        break;
    case ZoomIn:
        mUi->dispA->setViewWAsSelectedArea();
        break;
    case SelectRegion:
        mUi->dispA->setSelectedArea(
            cmd.arg(0).toInt(), cmd.arg(1).toInt(), cmd.arg(2).toInt(), cmd.arg(3).toInt());
        break;
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
