#include "optiontable.h"

#include "takefirstitem.h"

#include <QDebug>
#include <QFile>
#include <QTextStream>

void OptionTable::addEntry(const QString &name, const QString &value)
{
    if (contains(name))
        return;
    mIndex.insert(name, mEntries.size());
    mEntries.append({name, value});
}

void OptionTable::parseCommandLine(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    parseCommandLine(arguments);
}

void OptionTable::parseCommandLine(const QStringList &arguments)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!argument.startsWith(QLatin1Char('-')))
            continue;
        QString value;
        if (i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(QLatin1Char('-')))
            value = arguments.at(++i);
        addEntry(argument, value);
    }
}

bool OptionTable::readConfigFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qDebug().noquote() << "Can't open config file : " + fileName;
        return false;
    }
    QTextStream in(&file);
    in.setCodec("UTF-8");
    while (!in.atEnd()) {
        QString line = in.readLine();
        const int comment = line.indexOf(QLatin1Char('#'));
        if (comment >= 0)
            line.truncate(comment);
        if (line.simplified().isEmpty())
            continue;
        const TextItem key = takeFirstItem(line);
        const TextItem value = takeFirstItem(key.rest);
        addEntry(key.item, value.item);
    }
    return true;
}

bool OptionTable::contains(const QString &name) const
{
    return mIndex.contains(name);
}

QString OptionTable::value(const QString &name) const
{
    const int index = mIndex.value(name, -1);
    return index >= 0 ? mEntries.at(index).second : QString();
}

QString OptionTable::lookup(const QString &name, const QString &fallback) const
{
    return contains(name) ? value(name) : fallback;
}
