#pragma once

#include "normranges.h"

// How a spectrum is normalised: the form of its base lines (1 Victoreen, 0 straight lines)
// and the ranges they are fitted over.
struct Background
{
    // A form alone comes with the K-edge ranges, as every spectrum had before they could be set.
    Background(int victoreen = 0, const NormRanges &ranges = NormRanges())
        : victoreen(victoreen)
        , ranges(ranges)
    {}

    bool operator==(const Background &other) const
    {
        return victoreen == other.victoreen && ranges == other.ranges;
    }

    int victoreen;
    NormRanges ranges;
};
