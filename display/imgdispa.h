#pragma once

#include "display/dispa.h"

class TiffData;

// The image display area of the main window: zoom, pan and area selection.
class ImgDispA : public DispA
{
    Q_OBJECT

public:
    explicit ImgDispA(QWidget *parent = nullptr);

    void setImageData(TiffData *data);

private:
    TiffData *mImageData = nullptr;
};
