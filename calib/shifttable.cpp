#include "shifttable.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include <cmath>

namespace {

const char header[] = "# Marvolenti shift table: image energy(eV) dx dy quality";

QString failure(const char *text)
{
    return QCoreApplication::translate("ShiftTable", text);
}

} // namespace

int ShiftTable::usableCount() const
{
    int count = 0;
    for (const Row &row : rows)
        count += row.ok ? 1 : 0;
    return count;
}

QString ShiftTable::toText() const
{
    QString text = QLatin1String(header) + QLatin1Char('\n');
    for (const Row &row : rows) {
        const auto number = [&row](double value) {
            return row.ok ? QString::number(value, 'f', 4) : QStringLiteral("nan");
        };
        text += QStringLiteral("%1 %2 %3 %4 %5\n")
                    .arg(row.image)
                    .arg(QString::number(row.energy, 'f', 3), number(row.dx), number(row.dy))
                    .arg(QString::number(row.ok ? row.quality : 0.0, 'g', 6));
    }
    return text;
}

bool ShiftTable::fromText(const QString &text, ShiftTable *table, QString *error)
{
    ShiftTable read;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = lines.at(n).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList items = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        Row row;
        bool okImage = false, okEnergy = false, okX = false, okY = false, okQuality = false;
        if (items.size() == 5) {
            row.image = items.at(0).toInt(&okImage);
            row.energy = items.at(1).toDouble(&okEnergy);
            row.dx = items.at(2).toDouble(&okX);
            row.dy = items.at(3).toDouble(&okY);
            row.quality = items.at(4).toDouble(&okQuality);
        }
        const bool isNan = items.size() == 5 && items.at(2) == QLatin1String("nan")
                           && items.at(3) == QLatin1String("nan");
        if (!okImage || row.image < 0 || !okEnergy || !okQuality || (!(okX && okY) && !isNan)) {
            *error = failure(QT_TRANSLATE_NOOP("ShiftTable", "Line %1 is no row of a shift table."))
                         .arg(n + 1);
            return false;
        }
        row.ok = !isNan && std::isfinite(row.dx) && std::isfinite(row.dy);
        read.rows.append(row);
    }
    if (read.rows.isEmpty()) {
        *error = failure(QT_TRANSLATE_NOOP("ShiftTable", "The file holds no shift."));
        return false;
    }
    *table = read;
    return true;
}

bool ShiftTable::save(const QString &fileName, QString *error) const
{
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        QTextStream(&file) << toText();
        if (file.commit())
            return true;
    }
    *error = failure(QT_TRANSLATE_NOOP("ShiftTable", "Cannot write %1: %2"))
                 .arg(fileName, file.errorString());
    return false;
}

bool ShiftTable::load(const QString &fileName, ShiftTable *table, QString *error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = failure(QT_TRANSLATE_NOOP("ShiftTable", "Cannot read %1: %2"))
                     .arg(fileName, file.errorString());
        return false;
    }
    return fromText(QString::fromUtf8(file.readAll()), table, error);
}
