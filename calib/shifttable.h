#pragma once

#include <QString>
#include <QVector>

// The shifts a stack registration found, one row per image: the shift that moves the image
// onto the reference (dx, dy in pixels) and the quality of its correlation peak. Saved and
// read as text, so that one registration can be applied to another stack.
class ShiftTable
{
public:
    struct Row
    {
        int image = 0;
        double energy = 0.0;
        double dx = 0.0;
        double dy = 0.0;
        double quality = 0.0;
        // False for an image without a shift; error says why.
        bool ok = false;
        QString error;
    };

    QVector<Row> rows;

    bool isEmpty() const { return rows.isEmpty(); }
    // Rows with a shift.
    int usableCount() const;

    // The table as text: a header line, then "image energy dx dy quality" a line; images
    // without a shift carry nan.
    QString toText() const;
    // Reads a table written by toText; false, with the reason, for text that is none.
    static bool fromText(const QString &text, ShiftTable *table, QString *error);
    // Writes the table atomically; false, with the reason, when the file cannot be written.
    bool save(const QString &fileName, QString *error) const;
    static bool load(const QString &fileName, ShiftTable *table, QString *error);
};
