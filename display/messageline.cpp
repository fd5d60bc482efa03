#include "messageline.h"

#include <QTime>

MessageLine::MessageLine(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("MessageLine"));
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long message must not widen the window: the line shows what fits, its tool tip all.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void MessageLine::post(const QString &message, Kind kind)
{
    mKind = kind;
    setText(message);
    setToolTip(message.isEmpty()
                   ? QString()
                   : QTime::currentTime().toString(QStringLiteral("hh:mm:ss ")) + message);
}

void MessageLine::succeeded(Kind kind)
{
    if (kind == mKind && !text().isEmpty())
        post(QString(), Other);
}
