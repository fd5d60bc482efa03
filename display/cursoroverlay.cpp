#include "cursoroverlay.h"

#include "display/chcoord.h"
#include "display/cursorspectrum.h"
#include "display/imgdispa.h"

#include <QPainter>

#include <cmath>

CursorOverlay::CursorOverlay(ImgDispA *display,
                             const CursorSpectrum *cursor,
                             std::function<QSize()> bin,
                             std::function<QSize()> imageSize,
                             QObject *parent)
    : QObject(parent)
    , mDisplay(display)
    , mCursor(cursor)
    , mBin(std::move(bin))
    , mImageSize(std::move(imageSize))
{}

CursorOverlay::Marks CursorOverlay::marks() const
{
    const ChCoord &coord = mDisplay->coord();
    const auto screenX = [&](double x) { return ChCoord::toPixel(coord.realToScreenX(x)); };
    const auto screenY = [&](double y) { return ChCoord::toPixel(coord.realToScreenY(y)); };
    // In doubles, and each edge limited to the screen on its own: any bin size typed gives a
    // box with the right edges, however far they lie.
    const QSize bin = mBin();
    const double hw = std::abs(double(bin.width()));
    const double hh = std::abs(double(bin.height()));
    const double left = std::trunc(coord.realToScreenX(mCursor->x() - hw));
    const double top = std::trunc(coord.realToScreenY(mCursor->y() - hh));
    const double right = left + std::trunc(coord.realToScreenDX(2 * hw + 1)) - 1;
    const double bottom = top + std::trunc(coord.realToScreenDY(2 * hh + 1)) - 1;

    const QSize image = mImageSize();
    Marks marks;
    marks.binBox = QRect(QPoint(ChCoord::toPixel(left), ChCoord::toPixel(top)),
                         QPoint(ChCoord::toPixel(right), ChCoord::toPixel(bottom)));
    marks.vertical
        = QLine(screenX(mCursor->x()), screenY(0), screenX(mCursor->x()), screenY(image.height()));
    marks.horizontal
        = QLine(screenX(0), screenY(mCursor->y()), screenX(image.width()), screenY(mCursor->y()));
    return marks;
}

QRegion CursorOverlay::area() const
{
    if (!mDisplay->imageData())
        return QRegion();
    const Marks shown = marks();
    // With room for the pens' widths; the widget's own area bounds far-off edges.
    constexpr int margin = 2;
    const QRect widget = mDisplay->rect();
    const auto around = [&](const QRect &rect) {
        return rect.normalized().adjusted(-margin, -margin, margin, margin).intersected(widget);
    };
    QRegion area;
    // The box's outline only: the inside of a large box shows the image unchanged.
    const QRect box = shown.binBox.normalized();
    area += around(QRect(box.topLeft(), box.topRight()));
    area += around(QRect(box.bottomLeft(), box.bottomRight()));
    area += around(QRect(box.topLeft(), box.bottomLeft()));
    area += around(QRect(box.topRight(), box.bottomRight()));
    area += around(QRect(shown.vertical.p1(), shown.vertical.p2()));
    area += around(QRect(shown.horizontal.p1(), shown.horizontal.p2()));
    return area;
}

void CursorOverlay::draw(QPainter *p) const
{
    if (!mDisplay->imageData())
        return;
    const ChCoord &coord = mDisplay->coord();
    const auto screenX = [&](double x) { return ChCoord::toPixel(coord.realToScreenX(x)); };
    const auto screenY = [&](double y) { return ChCoord::toPixel(coord.realToScreenY(y)); };
    const Marks shown = marks();

    p->save();
    p->setPen(QPen(QColor(255, 0, 0), 2));
    p->drawRect(shown.binBox);

    p->setPen(QColor(192, 192, 0));
    p->drawLine(shown.vertical);
    p->drawLine(shown.horizontal);

    if (mDisplay->areaSelected() || mDisplay->selecting()) {
        const QRectF area = mDisplay->selectedArea();
        p->setPen(QColor(192, 192, 255));
        p->drawRect(QRect(QPoint(screenX(area.left()), screenY(area.top())),
                          QPoint(screenX(area.right()), screenY(area.bottom()))));
    }
    p->restore();
}
