#include "dispa.h"

DispA::DispA(QWidget *parent)
    : QFrame(parent)
{}
