#include "takefirstitem.h"

#include <QDebug>

namespace {

// Diagnostics quote the text being split, cut short so that a long line of unbalanced
// quotes does not print itself once per item.
constexpr int quotedTextLength = 256;

void reportQuote(const QString &text, int from, const char *what)
{
    QString quoted = text.mid(from, quotedTextLength);
    if (text.size() - from > quotedTextLength)
        quoted += QStringLiteral("...");
    qDebug().noquote() << QStringLiteral("In a line [%1] item is started from %2")
                              .arg(quoted, QLatin1String(what));
}

} // namespace

QString takeItemAt(const QString &text, int *position)
{
    const int from = qBound(0, *position, text.size());
    const int size = text.size();
    int start = from;
    while (start < size && text.at(start).isSpace())
        ++start;
    if (start == size) {
        *position = size;
        return QString();
    }

    if (text.at(start) == QLatin1Char('"')) {
        const int close = text.indexOf(QLatin1Char('"'), start + 1);
        if (close < 0) {
            reportQuote(text, from, "quote but not ended by quote");
            *position = size;
            return text.mid(start + 1);
        }
        *position = close + 1;
        return text.mid(start + 1, close - start - 1);
    }

    int end = start;
    while (end < size && !text.at(end).isSpace())
        ++end;
    *position = end;
    if (text.at(end - 1) == QLatin1Char('"'))
        reportQuote(text, from, "not quote but ended by quote");
    return text.mid(start, end - start);
}

TextItem takeFirstItem(const QString &text)
{
    int position = 0;
    TextItem result;
    result.item = takeItemAt(text, &position);
    result.rest = text.mid(position);
    return result;
}
