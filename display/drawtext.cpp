#include "drawtext.h"

#include "spectra/xafsconstants.h"

#include <QFont>
#include <QPainter>
#include <QString>

#include <cmath>

namespace {

// Text is measured at this size and scaled to its box.
constexpr double measureSize = 10.0;
// Room in which the text is measured.
constexpr double measureArea = 5000.0;

} // namespace

DrawText::DrawText(QObject *parent)
    : QObject(parent)
{}

QRectF DrawText::drawFitted(QPainter *painter,
                            const QRectF &rect,
                            const QFont &font,
                            int flags,
                            bool fit,
                            const QString &text,
                            double maxPointSize)
{
    const QRectF box = rect.normalized();
    const QFont oldFont = painter->font();
    QFont useFont = font;
    if (fit) {
        useFont.setPointSizeF(measureSize);
        painter->setFont(useFont);
        const QRectF measured
            = painter->boundingRect(QRectF(0, 0, measureArea, measureArea), flags, text);
        double scale = 1.0;
        if (measured.width() > 0 && measured.height() > 0)
            scale = qMin(box.width() / measured.width(), box.height() / measured.height());
        else if (measured.width() > 0)
            scale = box.width() / measured.width();
        else if (measured.height() > 0)
            scale = box.height() / measured.height();
        double size = measureSize * scale;
        if (maxPointSize > 0 && maxPointSize < size)
            size = maxPointSize;
        // A box without room gets no text (a font cannot have a size of zero).
        if (!(size > 0.0) || !std::isfinite(size)) {
            painter->setFont(oldFont);
            return QRectF(box.topLeft(), QSizeF(0, 0));
        }
        useFont.setPointSizeF(size);
    }
    painter->setFont(useFont);
    QRectF bounds;
    painter->drawText(box, flags, text, &bounds);
    painter->setFont(oldFont);
    return bounds;
}

QRectF DrawText::drawTurned(QPainter *painter,
                            double angle,
                            const QRectF &rect,
                            const QFont &font,
                            int flags,
                            bool fit,
                            const QString &text,
                            double maxPointSize,
                            bool fill,
                            const QColor &fillColour)
{
    const QRectF box = rect.normalized();
    const double a = angle / 180.0 * PiTenDigits;
    const double x = box.x();
    const double y = box.y();
    const double w = box.width();
    const double h = box.height();
    // The centre (x, y) expressed in the turned painter's coordinates.
    const QRectF turned(std::cos(a) * x + std::sin(a) * y - w / 2,
                        -std::sin(a) * x + std::cos(a) * y - h / 2,
                        w,
                        h);
    painter->save();
    painter->rotate(angle);
    if (fill)
        painter->fillRect(turned, fillColour);
    const QRectF bounds = drawFitted(painter, turned, font, flags, fit, text, maxPointSize);
    painter->restore();
    return bounds;
}
