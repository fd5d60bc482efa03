#pragma once

#include <QString>

// v as QString::number(v, 'g', 6) with its integer digits grouped by commas ("123,456").
// Texts in exponent form are left as they are.
QString groupedNumberText(double v);
