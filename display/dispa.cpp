#include "dispa.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {

// Event positions are rounded to whole pixels.
QPoint eventPos(const QMouseEvent *event)
{
    return event->localPos().toPoint();
}

} // namespace

DispA::DispA(QWidget *parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setMouseTracking(true);
}

void DispA::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    emit drawImage1(&painter);
    emit drawImage2(&painter);
}

void DispA::mouseMoveEvent(QMouseEvent *event)
{
    if (event->modifiers().testFlag(Qt::AltModifier))
        return;
    mMouse.takeMove(eventPos(event), event->button(), event->modifiers());
    emit mouseMoved0();
    repaintAfterMove();
}

void DispA::mousePressEvent(QMouseEvent *event)
{
    mMouse.takePress(eventPos(event), event->button(), event->modifiers());
    emit mousePressed0();
}

void DispA::mouseReleaseEvent(QMouseEvent *event)
{
    mMouse.takeRelease(eventPos(event), event->button(), event->modifiers());
    emit mouseReleased0();
}

void DispA::mouseDoubleClickEvent(QMouseEvent *event)
{
    mMouse.takeDoubleClick(eventPos(event), event->button(), event->modifiers());
    emit mouseDoubleClicked0();
}

void DispA::wheelEvent(QWheelEvent *event)
{
    // The vertical wheel, or the horizontal one when that is all there is.
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    mWheelSteps = delta / 120.0;
    mZoomFactor = delta < 0 ? 1.1 : 1.0 / 1.1;
    emit wheelMoved0();
}

void DispA::setScreenMousePos(int x, int y)
{
    mMouse.moveTo(QPoint(x, y));
    emit mouseMoved0();
    repaintAfterMove();
}

void DispA::repaintAfterMove()
{
    update();
}

void DispA::setRealMousePos(double x, double y)
{
    setScreenMousePos(ChCoord::toPixel(mCoord.realToScreenX(x)),
                      ChCoord::toPixel(mCoord.realToScreenY(y)));
}

QPointF DispA::toWindow(const QRectF &window, const QPointF &pixel) const
{
    const double x = width() > 0 ? pixel.x() / width() * window.width() : 0.0;
    const double y = height() > 0 ? pixel.y() / height() * window.height() : 0.0;
    return QPointF(x + window.x(), y + window.y());
}

void DispA::mapCoordToWindow(const QRectF &window)
{
    mCoord.setScreenRect(0, 0, width(), height());
    mCoord.setRealRect(
        window.x(), window.y(), window.x() + window.width(), window.y() + window.height());
}

QRectF DispA::zoomedAroundCursor(const QRectF &window) const
{
    if (width() <= 0 || height() <= 0)
        return window;
    const double f = mZoomFactor;
    const double gx = double(mMouse.currentPos.x()) / width();
    const double gy = double(mMouse.currentPos.y()) / height();
    return QRectF(window.x() + gx * window.width() * (1 - f),
                  window.y() + gy * window.height() * (1 - f),
                  window.width() * f,
                  window.height() * f);
}
