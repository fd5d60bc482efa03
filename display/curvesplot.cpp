#include "curvesplot.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <limits>

CurvesPlot::CurvesPlot(const QString &title, QWidget *parent)
    : QWidget(parent)
    , mTitle(title)
{
    setMinimumSize(200, 120);
}

void CurvesPlot::setCurves(const QVector<Curve> &curves)
{
    mCurves = curves;
    update();
}

void CurvesPlot::setLogarithmic(bool logarithmic)
{
    mLogarithmic = logarithmic;
    update();
}

double CurvesPlot::axisValue(double y) const
{
    if (!mLogarithmic)
        return y;
    return y > 0.0 ? std::log10(y) : std::numeric_limits<double>::quiet_NaN();
}

void CurvesPlot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QFontMetrics metrics = painter.fontMetrics();
    const int line = metrics.height();
    const QRect area = rect().adjusted(8, line + 4, -8, -line - 4);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 2, width(), line), Qt::AlignHCenter, mTitle);
    painter.setPen(Qt::gray);
    painter.drawRect(area);

    double xMin = std::numeric_limits<double>::infinity();
    double xMax = -xMin;
    double yMin = xMin;
    double yMax = -xMin;
    for (const Curve &curve : mCurves) {
        for (const QPointF &p : curve.points) {
            const double y = axisValue(p.y());
            if (!std::isfinite(p.x()) || !std::isfinite(y))
                continue;
            xMin = std::min(xMin, p.x());
            xMax = std::max(xMax, p.x());
            yMin = std::min(yMin, y);
            yMax = std::max(yMax, y);
        }
    }
    if (!(xMax >= xMin) || !(yMax >= yMin))
        return;
    if (xMax == xMin)
        xMax = xMin + 1.0;
    if (yMax == yMin)
        yMax = yMin + 1.0;
    const auto toScreen = [&](double x, double y) {
        return QPointF(area.left() + (x - xMin) / (xMax - xMin) * area.width(),
                       area.bottom() - (y - yMin) / (yMax - yMin) * area.height());
    };
    const auto yText
        = [&](double y) { return QString::number(mLogarithmic ? std::pow(10.0, y) : y, 'g', 3); };
    painter.setPen(Qt::black);
    painter.drawText(QPoint(area.left() + 2, area.top() - 2), yText(yMax));
    painter.drawText(QPoint(area.left() + 2, area.bottom() + line - 2), yText(yMin));
    const QString xLow = QString::number(xMin, 'g', 6);
    const QString xHigh = QString::number(xMax, 'g', 6);
    painter.drawText(
        QPoint(area.left() + metrics.horizontalAdvance(yText(yMin)) + 12, area.bottom() + line - 2),
        xLow);
    painter.drawText(
        QPoint(area.right() - metrics.horizontalAdvance(xHigh), area.bottom() + line - 2), xHigh);

    painter.setRenderHint(QPainter::Antialiasing);
    int legendY = area.top() + line;
    for (const Curve &curve : mCurves) {
        QPainterPath path;
        bool drawing = false;
        for (const QPointF &p : curve.points) {
            const double y = axisValue(p.y());
            if (!std::isfinite(p.x()) || !std::isfinite(y)) {
                drawing = false;
                continue;
            }
            const QPointF at = toScreen(p.x(), y);
            if (drawing)
                path.lineTo(at);
            else
                path.moveTo(at);
            drawing = true;
        }
        painter.setPen(QPen(curve.colour, 1.5));
        painter.drawPath(path);
        if (curve.points.size() == 1 || mLogarithmic) {
            for (const QPointF &p : curve.points) {
                const double y = axisValue(p.y());
                if (std::isfinite(y))
                    painter.drawEllipse(toScreen(p.x(), y), 2.0, 2.0);
            }
        }
        if (!curve.name.isEmpty()) {
            const int textWidth = metrics.horizontalAdvance(curve.name);
            painter.drawLine(area.right() - textWidth - 26,
                             legendY - line / 3,
                             area.right() - textWidth - 8,
                             legendY - line / 3);
            painter.setPen(Qt::black);
            painter.drawText(QPoint(area.right() - textWidth - 4, legendY), curve.name);
            legendY += line;
        }
    }
}
