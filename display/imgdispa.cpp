#include "imgdispa.h"

ImgDispA::ImgDispA(QWidget *parent)
    : DispA(parent)
{}
