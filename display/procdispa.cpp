#include "procdispa.h"

#include <QImage>
#include <QPainter>

ProcDispA::ProcDispA(QWidget *parent)
    : DispA(parent)
{
    connect(this, &DispA::drawImage1, this, &ProcDispA::drawOnScreen);
    connect(this, &DispA::mousePressed0, this, &ProcDispA::onMousePressed);
    connect(this, &DispA::mouseReleased0, this, &ProcDispA::onMouseReleased);
    connect(this, &DispA::mouseMoved0, this, &ProcDispA::onMouseMoved);
    connect(this, &DispA::wheelMoved0, this, &ProcDispA::onWheelMoved);
}

void ProcDispA::setImage(QImage *image)
{
    mImage = image;
}

void ProcDispA::drawOnScreen(QPainter *p)
{
    if (!mImage || mImage->isNull())
        return;
    const QRectF source = mViewWindow.isEmpty() ? QRectF(mImage->rect()) : mViewWindow;
    p->drawImage(QRectF(0, 0, width(), height()), *mImage, source);
    mapCoordToWindow(mViewWindow);
}

void ProcDispA::onMousePressed()
{
    update();
}

void ProcDispA::onMouseReleased()
{
    update();
}

void ProcDispA::onMouseMoved()
{
    const QPointF pos = toWindow(mViewWindow, mouse().currentPos);
    emit mouseMoved(pos.x(), pos.y());
    update();
}

void ProcDispA::onWheelMoved()
{
    if (!zoomEnabled())
        return;
    mViewWindow = zoomedAroundCursor(mViewWindow);
    update();
}
