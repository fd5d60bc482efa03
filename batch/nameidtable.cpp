#include "nameidtable.h"

NameIdTable::NameIdTable(const QVector<QPair<QString, int>> &entries)
    : mEntries(entries)
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
