#include "nameidtable.h"

#include <QSet>

NameIdTable::NameIdTable(const QVector<QPair<QString, int>> &entries)
    : mEntries(entries)
{
    QSet<int> ids;
    for (const auto &entry : entries)
        ids.insert(entry.second);
    while (ids.contains(mNotFound))
        ++mNotFound;
}

int NameIdTable::lookup(const QString &word) const
{
    const QString upper = word.toUpper();
    for (const auto &entry : mEntries) {
        if (entry.first.toUpper() == upper)
            return entry.second;
    }
    return notFound();
}
