#pragma once

#include "display/dispa.h"

// Profile of the image along the row or column under the cursor.
class CrossSView : public DispA
{
    Q_OBJECT

public:
    explicit CrossSView(QWidget *parent = nullptr);
};
