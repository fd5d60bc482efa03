#include "vpushbutton.h"

VPushButton::VPushButton(QWidget *parent)
    : QPushButton(parent)
{}
