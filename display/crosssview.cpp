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

    // A long profile puts many points on one screen line across it; of each such run only the
    // first, the lowest, the highest and the last point are drawn, which covers the same
    // pixels as the whole run with fewer and shorter segments.
    QPolygon line;
    line.reserve(qMin(int(mProfile.points.size()), 4 * (width() + height() + 2)));
    QPoint first;
    QPoint last;
    int lowest = 0;
    int highest = 0;
    bool inRun = false;
    // along(): the coordinate that runs with the position; across(): the value's.
    const auto along = [horizontal](const QPoint &pt) { return horizontal ? pt.x() : pt.y(); };
    const auto across = [horizontal](const QPoint &pt) { return horizontal ? pt.y() : pt.x(); };
    const auto at = [horizontal](int alongPos, int acrossPos) {
        return horizontal ? QPoint(alongPos, acrossPos) : QPoint(acrossPos, alongPos);
    };
    // From the first point to the nearer extreme, the farther one and the last point, each
    // only when the line is not there already.
    const auto endRun = [&] {
        const bool lowFirst = qAbs(across(first) - lowest) <= qAbs(across(first) - highest);
        for (const QPoint &pt : {first,
                                 at(along(first), lowFirst ? lowest : highest),
                                 at(along(first), lowFirst ? highest : lowest),
                                 last}) {
            if (line.isEmpty() || line.last() != pt)
                line << pt;
        }
    };
    for (const QPointF &point : mProfile.points) {
        const double position = point.x() - d;
        const double value = point.y();
        const QPoint screen = horizontal
                                  ? QPoint(ChCoord::toPixel(mProfileCoord.realToScreenX(position)),
                                           ChCoord::toPixel(mProfileCoord.realToScreenY(value)))
                                  : QPoint(ChCoord::toPixel(mProfileCoord.realToScreenX(value)),
                                           ChCoord::toPixel(mProfileCoord.realToScreenY(position)));
        if (inRun && along(screen) == along(first)) {
            lowest = qMin(lowest, across(screen));
            highest = qMax(highest, across(screen));
            last = screen;
            continue;
        }
        if (inRun)
            endRun();
        inRun = true;
        first = last = screen;
        lowest = highest = across(screen);
    }
    endRun();
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
