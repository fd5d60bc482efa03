#include "normranges.h"

#include <cmath>

bool NormRanges::preset(const QString &name, NormRanges *ranges)
{
    const QString key = name.trimmed().toLower();
    if (key == QLatin1String("k"))
        *ranges = kEdge();
    else if (key == QLatin1String("l"))
        *ranges = lEdge();
    else
        return false;
    return true;
}

bool NormRanges::fromTexts(const QStringList &texts, int first, NormRanges *ranges)
{
    double bounds[4];
    for (int k = 0; k < 4; ++k) {
        bool ok = false;
        bounds[k] = first + k < texts.size() ? texts.at(first + k).toDouble(&ok) : 0.0;
        if (!ok)
            return false;
    }
    const NormRanges read{bounds[0], bounds[1], bounds[2], bounds[3]};
    if (!read.isSound())
        return false;
    *ranges = read;
    return true;
}

bool NormRanges::isSound() const
{
    for (const double bound : {preStart, preEnd, postStart, postEnd}) {
        if (!std::isfinite(bound))
            return false;
    }
    return preStart < preEnd && preEnd <= postStart && postStart < postEnd;
}

QString NormRanges::text() const
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(preStart, 0, 'g', 6)
        .arg(preEnd, 0, 'g', 6)
        .arg(postStart, 0, 'g', 6)
        .arg(postEnd, 0, 'g', 6);
}

bool NormRanges::operator==(const NormRanges &other) const
{
    return preStart == other.preStart && preEnd == other.preEnd && postStart == other.postStart
           && postEnd == other.postEnd;
}
