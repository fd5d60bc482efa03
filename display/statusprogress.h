#pragma once

#include <QMap>
#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress of long operations in the status bar: what runs, how far it is, and a Stop
// button for those that can stop. Several tasks may run at once (the two loaders); the one
// started last is shown, and the widget hides when none is left.
class StatusProgress : public QWidget
{
    Q_OBJECT

public:
    explicit StatusProgress(QWidget *parent = nullptr);

    // Starts or updates a task; stop, when given, is what the Stop button calls.
    void
    report(int task, const QString &text, double percent, const std::function<void()> &stop = {});
    // The task has ended.
    void finish(int task);
    bool isRunning(int task) const { return mTasks.contains(task); }
    // The text and the percentage on show.
    QString text() const;
    int percent() const;

private:
    struct Task
    {
        QString text;
        double percent = 0.0;
        std::function<void()> stop;
        quint64 order = 0;
    };
    // The task on show: the one started last.
    int shownTask() const;
    void showTask();

    QMap<int, Task> mTasks;
    quint64 mStarted = 0;
    QLabel *mText;
    QProgressBar *mBar;
    QPushButton *mStop;
};
