#pragma once

#include "display/dispa.h"

// Colour bar: the value range mapped onto the colour table, limits dragged by the user.
class ColorBar : public DispA
{
    Q_OBJECT

public:
    explicit ColorBar(QWidget *parent = nullptr);
};
