#pragma once

#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// The options of one run: command-line options and configuration-file keys in one ordered
// table. Names are exact and case-sensitive, and the first entry of a name wins, so the
// command line (read first) beats the configuration file.
class OptionTable
{
public:
    void addEntry(const QString &name, const QString &value);
    void parseCommandLine(int argc, char **argv);
    void parseCommandLine(const QStringList &arguments);
    // Returns false when the file cannot be opened; the table is then unchanged.
    bool readConfigFile(const QString &fileName);

    bool contains(const QString &name) const;
    QString value(const QString &name) const;
    // value(name) when the name is present, even when its value is empty; otherwise fallback.
    QString lookup(const QString &name, const QString &fallback) const;

    int count() const { return mEntries.size(); }

private:
    QVector<QPair<QString, QString>> mEntries;
    // Position of each name in mEntries, so that a long configuration file reads in linear time.
    QHash<QString, int> mIndex;
};
