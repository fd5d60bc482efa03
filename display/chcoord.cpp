#include "chcoord.h"

#include <cmath>

namespace {

// Scale from one span onto another; a span of zero length maps everything onto the start.
double spanRatio(double to, double from)
{
    return from != 0.0 ? to / from : 0.0;
}

} // namespace

ChCoord::ChCoord(QObject *parent)
    : QObject(parent)
{}

void ChCoord::setScreenRect(double x0, double y0, double x1, double y1)
{
    mScreenX0 = mPlotX0 = x0;
    mScreenY0 = mPlotY0 = y0;
    mScreenX1 = mPlotX1 = x1;
    mScreenY1 = mPlotY1 = y1;
}

void ChCoord::applyMargins()
{
    const double width = mScreenX1 - mScreenX0;
    const double height = mScreenY1 - mScreenY0;
    mPlotX0 = mScreenX0 + std::trunc(mLeftMargin * width);
    mPlotX1 = mScreenX1 - std::trunc(mRightMargin * width);
    mPlotY0 = mScreenY0 + std::trunc(mY0Margin * height);
    mPlotY1 = mScreenY1 - std::trunc(mY1Margin * height);
}

void ChCoord::setRealRect(double x0, double y0, double x1, double y1)
{
    mRealX0 = x0;
    mRealY0 = y0;
    mRealX1 = x1;
    mRealY1 = y1;
}

void ChCoord::setRealY(double y0, double y1)
{
    mRealY0 = y0;
    mRealY1 = y1;
}

double ChCoord::realToScreenX(double x) const
{
    return spanRatio(mPlotX1 - mPlotX0, mRealX1 - mRealX0) * (x - mRealX0) + mPlotX0;
}

double ChCoord::realToScreenY(double y) const
{
    return spanRatio(mPlotY1 - mPlotY0, mRealY1 - mRealY0) * (y - mRealY0) + mPlotY0;
}

double ChCoord::realToScreenDX(double d) const
{
    return spanRatio(mPlotX1 - mPlotX0, mRealX1 - mRealX0) * d;
}

double ChCoord::realToScreenDY(double d) const
{
    return spanRatio(mPlotY1 - mPlotY0, mRealY1 - mRealY0) * d;
}

double ChCoord::screenToRealX(double x) const
{
    return spanRatio(mRealX1 - mRealX0, mPlotX1 - mPlotX0) * (x - mPlotX0) + mRealX0;
}

double ChCoord::screenToRealY(double y) const
{
    return spanRatio(mRealY1 - mRealY0, mPlotY1 - mPlotY0) * (y - mPlotY0) + mRealY0;
}

int ChCoord::toPixel(double v)
{
    // Far beyond any screen, yet small enough for the painter's fixed-point arithmetic.
    constexpr double limit = 1.0e7;
    if (std::isnan(v))
        return 0;
    return int(std::trunc(qBound(-limit, v, limit)));
}
