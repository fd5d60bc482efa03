#include "crosssview.h"

CrossSView::CrossSView(QWidget *parent)
    : DispA(parent)
{}
