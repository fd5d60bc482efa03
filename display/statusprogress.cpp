#include "statusprogress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

StatusProgress::StatusProgress(QWidget *parent)
    : QWidget(parent)
    , mText(new QLabel(this))
    , mBar(new QProgressBar(this))
    , mStop(new QPushButton(tr("Stop"), this))
{
    setObjectName(QStringLiteral("StatusProgress"));
    mStop->setObjectName(QStringLiteral("StatusStop"));
    mBar->setRange(0, 100);
    mBar->setMaximumWidth(160);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mText);
    layout->addWidget(mBar);
    layout->addWidget(mStop);
    connect(mStop, &QPushButton::clicked, this, [this] {
        const auto task = mTasks.constFind(shownTask());
        // The task may end, and the widget change, inside its stop.
        if (task != mTasks.constEnd() && task->stop) {
            const std::function<void()> stop = task->stop;
            stop();
        }
    });
    hide();
}

void StatusProgress::report(int task,
                            const QString &text,
                            double percent,
                            const std::function<void()> &stop)
{
    auto it = mTasks.find(task);
    if (it == mTasks.end()) {
        it = mTasks.insert(task, Task());
        it->order = ++mStarted;
    }
    it->text = text;
    it->percent = percent;
    it->stop = stop;
    showTask();
}

void StatusProgress::finish(int task)
{
    mTasks.remove(task);
    showTask();
}

QString StatusProgress::text() const
{
    return mText->text();
}

int StatusProgress::percent() const
{
    return mBar->value();
}

int StatusProgress::shownTask() const
{
    int shown = -1;
    quint64 latest = 0;
    for (auto it = mTasks.cbegin(); it != mTasks.cend(); ++it) {
        if (it->order > latest) {
            latest = it->order;
            shown = it.key();
        }
    }
    return shown;
}

void StatusProgress::showTask()
{
    const auto task = mTasks.constFind(shownTask());
    if (task == mTasks.constEnd()) {
        hide();
        return;
    }
    mText->setText(task->text);
    mBar->setValue(qBound(0, int(task->percent), 100));
    mStop->setVisible(bool(task->stop));
    show();
}
