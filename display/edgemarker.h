#pragma once

#include <QString>

// An absorption edge marked in the spectrum view: the element's atomic number, the edge index
// (0 K .. 3 LIII) and the label written beside the line.
struct EdgeMarker
{
    int z = 0;
    int edge = 0;
    QString label;
};
