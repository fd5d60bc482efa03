#include "imgdispa.h"

ImgDispA::ImgDispA(QWidget *parent)
    : DispA(parent)
{}

void ImgDispA::setImageData(TiffData *data)
{
    mImageData = data;
    update();
}
