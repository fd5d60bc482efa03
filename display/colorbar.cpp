#include "colorbar.h"

#include "display/chcoord.h"
#include "display/colorscale.h"

#include <QPainter>

#include <cmath>

namespace {

// Box of the value labels: along the bar and across it.
constexpr double labelLength = 95.0;
constexpr double labelEdgeDistance = 50.0;
constexpr double labelMaxPointSize = 10.0;

} // namespace

ColorBar::ColorBar(QWidget *parent)
    : DispA(parent)
    , mScale(new ColorScale(this))
    , mBarImage(barWidth, barHeight)
{
    setToolTip(tr("Drag the upper or the lower limit to change the colour scale"));
    connect(this, &DispA::drawImage1, this, &ColorBar::draw1);
    connect(this, &DispA::mousePressed0, this, &ColorBar::onMousePressed);
    connect(this, &DispA::mouseMoved0, this, &ColorBar::onMouseMoved);
    connect(this, &DispA::mouseReleased0, this, &ColorBar::onMouseReleased);
    connect(mScale, &ColorScale::rangeChanged, this, &ColorBar::paintCBar);
    connect(mScale, &ColorScale::limitsChanged, this, &ColorBar::paintCBar);
    connect(mScale, &ColorScale::formatChanged, this, &ColorBar::paintCBar);
    paintCBar();
}

QImage::Format ColorBar::format() const
{
    return mScale->format();
}

void ColorBar::setFormat(QImage::Format format)
{
    mScale->setFormat(format);
}

double ColorBar::lowerLimit() const
{
    return mScale->lowerLimit();
}

double ColorBar::upperLimit() const
{
    return mScale->upperLimit();
}

void ColorBar::setLimits(double lower, double upper)
{
    mScale->setLimits(lower, upper);
}

double ColorBar::valueMin() const
{
    return mScale->valueMin();
}

double ColorBar::valueMax() const
{
    return mScale->valueMax();
}

void ColorBar::setValueRange(double min, double max)
{
    mScale->setValueRange(min, max);
}

QColor ColorBar::colorOfH(int h) const
{
    const double fraction = height() > 0 ? qBound(0.0, double(h) / height(), 1.0) : 0.0;
    return mScale->colourOfValue(fraction);
}

void ColorBar::paintCBar()
{
    QPainter painter(&mBarImage);
    // Row n has k = H - 1 - n rows below it and shows the scale at k / H.
    for (int n = barHeight - 1; n >= 0; --n) {
        const int k = barHeight - 1 - n;
        painter.setPen(mScale->colourOfValue(double(k) / barHeight));
        painter.drawLine(0, n, barWidth, n);
    }

    painter.setPen(QColor(0, 192, 255));
    const int upperY = ChCoord::toPixel((1.0 - upperLimit()) * barHeight);
    const int lowerY = ChCoord::toPixel((1.0 - lowerLimit()) * barHeight);
    painter.drawLine(0, upperY, barWidth, upperY);
    painter.drawLine(0, lowerY, barWidth, lowerY);

    painter.end();
    update();
}

void ColorBar::drawLabels(QPainter &painter)
{
    // In widget pixels, so that the bar image's stretch does not squash the glyphs.
    const double scaleY = double(height()) / barHeight;
    const double x = width() / 2.0;
    painter.setPen(QColor(0, 255, 192));
    drawLabel(painter, valueMax(), x, labelEdgeDistance * scaleY, Qt::AlignLeft | Qt::AlignVCenter);
    drawLabel(painter,
              valueMin(),
              x,
              (barHeight - labelEdgeDistance) * scaleY,
              Qt::AlignRight | Qt::AlignVCenter);
    if (mDragging)
        drawLabel(painter, dragTargetValue(), x, height() / 2.0, Qt::AlignRight | Qt::AlignVCenter);
}

void ColorBar::drawLabel(QPainter &painter, double value, double x, double y, int alignment)
{
    const double scaleY = double(height()) / barHeight;
    mDrawText.drawTurned(&painter,
                         90,
                         QRectF(x, y, labelLength * scaleY, width()),
                         QFont(),
                         alignment,
                         true,
                         QString::number(value, 'g', 6),
                         labelMaxPointSize,
                         false,
                         QColor());
}

double ColorBar::dragTargetValue() const
{
    const double limit = mDragTarget == LowerLimit ? lowerLimit() : upperLimit();
    return valueMin() + (valueMax() - valueMin()) * limit;
}

void ColorBar::draw1(QPainter *p)
{
    p->drawPixmap(QRectF(0, 0, width(), height()), mBarImage, QRectF(0, 0, barWidth, barHeight));
    drawLabels(*p);
}

double ColorBar::cursorFraction() const
{
    const double h = height();
    return h > 0 ? (h - mouse().currentPos.y()) / h : 0.0;
}

void ColorBar::onMousePressed()
{
    const double f = cursorFraction();
    const double toLower = std::abs(f - lowerLimit());
    const double toUpper = std::abs(f - upperLimit());
    // Midway between the limits it is not clear which one is meant.
    if (toLower < toUpper) {
        mDragTarget = LowerLimit;
        mDragging = true;
    } else if (toUpper < toLower) {
        mDragTarget = UpperLimit;
        mDragging = true;
    }
    paintCBar();
}

void ColorBar::onMouseMoved()
{
    if (!mouse().pressed)
        return;
    if (mDragging) {
        const double f = cursorFraction();
        if (mDragTarget == LowerLimit)
            setLimits(f, upperLimit());
        else
            setLimits(lowerLimit(), f);
    }
    update();
    emit cBarUpdating();
}

void ColorBar::onMouseReleased()
{
    emit cBarUpdated();
    mDragging = false;
    paintCBar();
}
