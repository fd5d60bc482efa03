#include "takefirstitem.h"

#include <QDebug>
#include <QRegularExpression>

TextItem takeFirstItem(const QString &text)
{
    static const QRegularExpression nonBlank(QStringLiteral("\\S"));
    static const QRegularExpression blank(QStringLiteral("\\s"));

    const int start = text.indexOf(nonBlank);
    if (start < 0)
        return {};

    if (text.at(start) == QLatin1Char('"')) {
        const int close = text.indexOf(QLatin1Char('"'), start + 1);
        if (close < 0) {
            qDebug().noquote()
                << QStringLiteral(
                       "In a line [%1] item is started from quote but not ended by quote")
                       .arg(text);
            return {text.mid(start + 1), QString()};
        }
        return {text.mid(start + 1, close - start - 1), text.mid(close + 1)};
    }

    const int end = text.indexOf(blank, start);
    TextItem result;
    if (end < 0) {
        result.item = text.mid(start);
    } else {
        result.item = text.mid(start, end - start);
        result.rest = text.mid(end);
    }
    if (result.item.endsWith(QLatin1Char('"')))
        qDebug().noquote()
            << QStringLiteral("In a line [%1] item is started from not quote but ended by quote")
                   .arg(text);
    return result;
}
