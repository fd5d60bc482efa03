#pragma once

#include <QString>
#include <QStringList>

// The energy ranges of a spectrum's normalisation, in eV relative to the edge estimate (where
// the raw absorption first rises through half its range): the pre-edge base line is fitted over
// [preStart, preEnd), the post-edge one over [postStart, postEnd), and the edge energy E0 is
// searched between preEnd and postStart. The defaults suit hard X-ray K edges.
class NormRanges
{
public:
    // The K-edge ranges: pre [-100, -10), post [+10, +1000).
    static NormRanges kEdge() { return {}; }
    // Ranges for the short scans of soft X-ray L edges: pre [-15, -5), post [+10, +25).
    static NormRanges lEdge() { return {-15.0, -5.0, 10.0, 25.0}; }
    // The ranges of a preset named "k" or "l" (any case); false for another name.
    static bool preset(const QString &name, NormRanges *ranges);
    // Ranges from four numbers given as texts from `first` on (pre start, pre end, post start,
    // post end); false, leaving ranges alone, when one is missing or not a number, or the
    // ranges are not sound.
    static bool fromTexts(const QStringList &texts, int first, NormRanges *ranges);

    // Every bound is a finite number, each range has some width and the pre-edge range ends
    // before the post-edge range starts.
    bool isSound() const;
    // The four bounds, as the batch commands take them.
    QString text() const;

    bool operator==(const NormRanges &other) const;
    bool operator!=(const NormRanges &other) const { return !(*this == other); }

    double preStart = -100.0;
    double preEnd = -10.0;
    double postStart = 10.0;
    double postEnd = 1000.0;
};
