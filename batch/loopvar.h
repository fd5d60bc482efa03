#pragma once

#include <QString>

// One active ":for" loop of a batch run.
class LoopVar
{
public:
    // Moves the loop one step on. Returns true when the body runs again, false when the loop
    // has ended; an ended loop keeps its last value.
    bool advance();
    // The loop value as the script sees it: zero-padded to the width of a start value
    // written with a leading zero.
    QString format(int value) const;

    QString name;
    int forLine = 0;
    QString placeholder;
    QString startText;
    QString endText;
    QString current;
    QString stepText;
};
