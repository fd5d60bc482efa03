#include "loopvar.h"

bool LoopVar::advance()
{
    const int start = startText.toInt();
    const int end = endText.toInt();
    // Wide enough that a step past the end of the int range still ends the loop.
    qint64 value = current.toInt();
    qint64 step = stepText.isEmpty() ? 1 : stepText.toInt();
    if (step == 0)
        step = 1;

    if (start < end) {
        value += step;
        if (value > end)
            return false;
    } else {
        value -= step;
        if (value < end)
            return false;
    }
    current = format(int(value));
    return true;
}

QString LoopVar::format(int value) const
{
    const QString digits = QString::number(value);
    if (startText.size() > 1 && startText.startsWith(QLatin1Char('0')))
        return digits.rightJustified(startText.size(), QLatin1Char('0'));
    return digits;
}
