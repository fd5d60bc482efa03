#include "crosssview.h"

#include <QPainter>
#include <QPolygon>

CrossSView::CrossSView(QWidget *parent)
    : DispA(parent)
{
    setZoomEnabled(false);
    connect(this, &DispA::drawImage1, this, &CrossSView::draw);
}

void CrossSView::setProfile(const Spectrum &profile)
{
    mProfile.clear();
    for (const QPointF &point : profile.points)
        mProfile.append(point.x(), point.y());
    setRanges(mProfile.minX, mProfile.minY, mProfile.maxX, mProfile.maxY);
}

void CrossSView::setRanges(double positionMin, double valueMin, double positionMax, double valueMax)
{
    mPositionMin = positionMin;
    mValueMin = valueMin;
    mPositionMax = positionMax;
    mValueMax = valueMax;
}

void CrossSView::setOffset(bool on, double offset)
{
    mOffsetOn = on;
    mOffset = offset;
}

void CrossSView::draw(QPainter *p)
{
    // Screen y runs upwards.
    mProfileCoord.setScreenRect(0, height(), width(), 0);
    if (mProfile.points.isEmpty())
        return;
    const double d = mOffsetOn ? mOffset : 0.0;
    const bool horizontal = mOrientation == Horizontal;
    if (horizontal)
        mProfileCoord.setRealRect(mPositionMin - d, mValueMin, mPositionMax - d, mValueMax);
    else
        mProfileCoord.setRealRect(mValueMin, mPositionMin - d, mValueMax, mPositionMax - d);

    QPolygon line;
    line.reserve(mProfile.points.size());
    for (const QPointF &point : mProfile.points) {
        const double position = point.x() - d;
        const double value = point.y();
        if (horizontal)
            line << QPoint(ChCoord::toPixel(mProfileCoord.realToScreenX(position)),
                           ChCoord::toPixel(mProfileCoord.realToScreenY(value)));
        else
            line << QPoint(ChCoord::toPixel(mProfileCoord.realToScreenX(value)),
                           ChCoord::toPixel(mProfileCoord.realToScreenY(position)));
    }
    p->save();
    p->drawPolyline(line);

    p->setPen(QColor(192, 192, 0));
    if (horizontal) {
        const int x = ChCoord::toPixel(mProfileCoord.realToScreenX(mMarker));
        p->drawLine(x, 0, x, height());
    } else {
        const int y = ChCoord::toPixel(mProfileCoord.realToScreenY(mMarker));
        p->drawLine(0, y, width(), y);
    }
    p->restore();
}
