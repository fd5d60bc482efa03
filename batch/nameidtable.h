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
    // notFound is the id of a word that no entry names; by default the number of entries.
    explicit NameIdTable(const QVector<QPair<QString, int>> &entries, int notFound = -1);

    // The id of the first entry whose name matches, or notFound() when none does.
    int lookup(const QString &word) const;
    int notFound() const { return mNotFound; }
    int size() const { return mEntries.size(); }
    const QVector<QPair<QString, int>> &entries() const { return mEntries; }

private:
    QVector<QPair<QString, int>> mEntries;
    int mNotFound = 0;
};
