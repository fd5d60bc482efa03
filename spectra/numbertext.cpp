#include "numbertext.h"

QString groupedNumberText(double v)
{
    QString text = QString::number(v, 'g', 6);
    int integerEnd = text.indexOf(QLatin1Char('.'));
    if (integerEnd < 0)
        integerEnd = text.size();
    // Only the digits are grouped: a sign gets no comma after it ("-123,456", not
    // "-,123,456"), and exponent forms such as "1e+06" stay as they are.
    const int digitsStart = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    for (int i = digitsStart; i < integerEnd; ++i) {
        if (!text.at(i).isDigit())
            return text;
    }
    for (int insertAt = integerEnd - 3; insertAt > digitsStart; insertAt -= 3)
        text.insert(insertAt, QLatin1Char(','));
    return text;
}
