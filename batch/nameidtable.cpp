#include "nameidtable.h"

NameIdTable::NameIdTable(const QVector<QPair<QString, int>> &entries, int notFound)
    : mEntries(entries)
    , mNotFound(notFound < 0 ? entries.size() : notFound)
{}

int NameIdTable::lookup(const QString &word) const
{
    const QString upper = word.toUpper();
    for (const auto &entry : mEntries) {
        if (entry.first.toUpper() == upper)
            return entry.second;
    }
    return notFound();
}
