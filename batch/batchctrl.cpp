#include "batchctrl.h"
#include "ui_batchctrl.h"

#include "app/dataroot.h"
#include "batch/batchdispatcher.h"
#include "output/savefile.h"

#include <QDebug>
#include <QFile>
#include <QFileDialog>
#include <QTextStream>

namespace {
QFileDialog *makeScriptDialog(QWidget *parent, QFileDialog::AcceptMode mode)
{
    // The batch dialogs start in the built-in data root, not in one set by the options.
    auto dialog = new QFileDialog(parent, QString(), builtInDataRoot());
    dialog->setNameFilters(
        {BatchCtrl::tr("Batch File (*.bat)"), BatchCtrl::tr("Any Files (* *.*)")});
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setAcceptMode(mode);
    return dialog;
}
} // namespace

BatchCtrl::BatchCtrl(QWidget *parent)
    : QMainWindow(parent)
    , mUi(new Ui::BatchCtrl)
{
    mUi->setupUi(this);
    mSaveDialog = makeScriptDialog(this, QFileDialog::AcceptSave);
    mOpenDialog = makeScriptDialog(this, QFileDialog::AcceptOpen);

    connect(mUi->Load, &QPushButton::clicked, mOpenDialog, &QFileDialog::show);
    connect(mUi->Save, &QPushButton::clicked, mSaveDialog, &QFileDialog::show);
    connect(mOpenDialog, &QFileDialog::fileSelected, this, &BatchCtrl::load);
    connect(mSaveDialog, &QFileDialog::fileSelected, this, &BatchCtrl::save);
    connect(mUi->Clear, &QPushButton::clicked, this, &BatchCtrl::clear);
    connect(mUi->ClearLog, &QPushButton::clicked, this, &BatchCtrl::clearLog);
    connect(mUi->Exec, &QPushButton::clicked, this, &BatchCtrl::execCmdsSlot);
    connect(mUi->Stop, &QPushButton::clicked, this, &BatchCtrl::batchStop);
}

BatchCtrl::~BatchCtrl()
{
    delete mUi;
}

void BatchCtrl::setDispatcher(BatchDispatcher *dispatcher)
{
    mDispatcher = dispatcher;
    connect(this, &BatchCtrl::batchStop, dispatcher, &BatchDispatcher::batchStopSlot);
    connect(this, &BatchCtrl::doDispatchCmds, dispatcher, &BatchDispatcher::doDispatchCmds);
    connect(dispatcher, &BatchDispatcher::Log, this, &BatchCtrl::Log);
    connect(dispatcher, &BatchDispatcher::batchEnded, this, &BatchCtrl::batchEnded);
}

QString BatchCtrl::scriptText() const
{
    return mUi->BatchCmds->toPlainText();
}

QString BatchCtrl::logText() const
{
    return mUi->ProgressLog->toPlainText();
}

void BatchCtrl::execCmdsSlot()
{
    // Empty lines are kept so that a list index is an editor line.
    mCmdLines = mUi->BatchCmds->toPlainText().split(QLatin1Char('\n'));
    emit doDispatchCmds(mCmdLines);
}

void BatchCtrl::execBatchSlot()
{
    execCmdsSlot();
}

void BatchCtrl::clear()
{
    mUi->BatchCmds->clear();
}

void BatchCtrl::clearLog()
{
    mUi->ProgressLog->clear();
}

void BatchCtrl::save(QString fname)
{
    // The old script stays whole until the new one has been written completely.
    SaveFile file(fname);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        QTextStream out(&file);
        out.setCodec("UTF-8");
        out << mUi->BatchCmds->toPlainText();
        out.flush();
        if (out.status() != QTextStream::Ok)
            file.cancelWriting();
        if (file.commitWhole())
            return;
    }
    qDebug().noquote() << "Can't write batch file : " + fname;
    emit saveFailed(fname);
}

bool BatchCtrl::load(QString fname)
{
    QFile file(fname);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qDebug().noquote() << "Can't open batch file : " + fname;
        return false;
    }
    QTextStream in(&file);
    in.setCodec("UTF-8");
    QString text;
    while (!in.atEnd())
        text += in.readLine() + QLatin1Char('\n');
    mUi->BatchCmds->setPlainText(text);
    return true;
}

bool BatchCtrl::setBatchFile(QString fname)
{
    return load(fname);
}

void BatchCtrl::Log(QString LogMsg)
{
    // Every entry also goes to stderr so that a headless run can be followed.
    QString shown = LogMsg;
    if (shown.endsWith(QLatin1Char('\n')))
        shown.chop(1);
    qDebug().noquote() << shown;

    QTextCursor cursor = mUi->ProgressLog->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(LogMsg);
    mUi->ProgressLog->setTextCursor(cursor);
}

void BatchCtrl::showCmdErr(CmdLine cmd)
{
    Log(QStringLiteral("Err: %1\n").arg(cmd.line));
}
