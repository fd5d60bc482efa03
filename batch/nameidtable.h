#pragma once

#include <QPair>
#include <QString>
#include <QVector>

// A list of (name, id) pairs looked up case-insensitively. The batch language keeps its
// directives and its commands in two such tables.
class NameIdTable
{
public:
    NameIdTable() = default;
    explicit NameIdTable(const QVector<QPair<QString, int>> &entries);

    // The id of the first entry whose name matches, or notFound() when none does.
    int lookup(const QString &word) const;
    // The lowest id that no entry has, so that entries added after it keep it.
    int notFound() const { return mNotFound; }
    int size() const { return mEntries.size(); }
    const QVector<QPair<QString, int>> &entries() const { return mEntries; }

private:
    QVector<QPair<QString, int>> mEntries;
    int mNotFound = 0;
};
