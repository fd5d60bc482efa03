#include "colorbar.h"

ColorBar::ColorBar(QWidget *parent)
    : DispA(parent)
{}
