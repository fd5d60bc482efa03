#pragma once

#include <QLabel>

// The message line of the main window: the last failure or notice, its time in the tool tip.
// Each message belongs to a kind of operation; when an operation of that kind later succeeds,
// its message is cleared, so that an old failure does not stand beside a good result.
class MessageLine : public QLabel
{
    Q_OBJECT

public:
    enum Kind { Other, Saving, Calibration, AreaRun };

    explicit MessageLine(QWidget *parent = nullptr);

    void post(const QString &message, Kind kind);
    // An operation of that kind has succeeded.
    void succeeded(Kind kind);
    Kind kind() const { return mKind; }

private:
    Kind mKind = Other;
};
