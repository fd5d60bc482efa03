#pragma once

#include <QString>

// One item taken off the front of a text, and what is left after it.
struct TextItem
{
    QString item;
    QString rest;
};

// Splits off the first item of a text: a run of non-blank characters, or a double-quoted
// text whose blanks are kept (the quotes are removed). Unbalanced quotes are reported on
// the debug output and the split goes on. The configuration reader, the text image reader
// and the batch interpreter all split their lines with it.
TextItem takeFirstItem(const QString &text);

// The same split in place: takes the item that begins at or after *position and moves
// *position to where its rest begins (the rest is text.mid(*position); text.size() when
// nothing is left). Walking a whole line this way costs time linear in its length.
QString takeItemAt(const QString &text, int *position);
