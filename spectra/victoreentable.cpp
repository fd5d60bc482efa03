#include "victoreentable.h"

#include <QDebug>
#include <QFile>
#include <QStringList>
#include <QTextStream>

namespace {

VictoreenTable theTable;

double fieldValue(const QStringList &fields, int column)
{
    return column < fields.size() ? fields.at(column).toDouble() : 0.0;
}

} // namespace

const VictoreenTable &victoreenTable()
{
    return theTable;
}

double clampNonNegative(double x)
{
    return x > 0 ? x : 0.0;
}

void readVictoreenTable(const QString &path)
{
    theTable.rowCount = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qDebug().noquote() << QStringLiteral("Cannot open [%1]")
                                  .arg(path.section(QLatin1Char('/'), -1).remove(QLatin1Char(':')));
        return;
    }
    QTextStream in(&file);
    in.setCodec("UTF-8");
    while (!in.atEnd()) {
        const QString line = in.readLine().simplified();
        // A blank line would shift every later row off its atomic number.
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(QLatin1Char(' '), Qt::KeepEmptyParts);
        if (fields.at(0).startsWith(QLatin1Char('#')))
            continue;
        if (theTable.rowCount >= VictoreenTable::MaxRows) {
            qDebug() << "Too many rows in" << path << "- the rest is ignored";
            break;
        }
        VictoreenRow &row = theTable.rows[theTable.rowCount];
        row = VictoreenRow();
        row.z = fields.size() > 1 ? fields.at(1).toInt() : 0;
        row.edge[0] = fieldValue(fields, 2);
        row.c[0] = clampNonNegative(fieldValue(fields, 4));
        row.d[0] = clampNonNegative(fieldValue(fields, 5));
        // Edges 1 .. 3 start at columns 6, 10, 14 with their C and D two columns further on.
        for (int edge = 1; edge < 4; ++edge) {
            const int column = 2 + 4 * edge;
            row.edge[edge] = clampNonNegative(fieldValue(fields, column));
            row.c[edge] = clampNonNegative(fieldValue(fields, column + 2));
            row.d[edge] = clampNonNegative(fieldValue(fields, column + 3));
        }
        row.edge[4] = clampNonNegative(fieldValue(fields, 18));
        row.c[4] = clampNonNegative(fieldValue(fields, 19));
        row.d[4] = clampNonNegative(fieldValue(fields, 20));
        ++theTable.rowCount;
    }
}

double edgeEnergyEV(int z, int edge)
{
    // Lookups outside the table (an unknown element, an edge index past M1) see no edge.
    if (z < 0 || z >= theTable.rowCount || edge < 0 || edge >= 5)
        return 0.0;
    return theTable.rows[z].edge[edge] * 1000.0;
}
