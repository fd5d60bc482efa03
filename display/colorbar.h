#pragma once

#include "display/dispa.h"
#include "display/drawtext.h"

#include <QColor>
#include <QImage>
#include <QPixmap>

class ColorScale;

// The colour bar: shows its colour scale from the value minimum (bottom) to the value
// maximum (top) and lets the user drag the lower and the upper limit of the scale. The bar
// owns its scale; the main window makes that the program-wide current scale.
class ColorBar : public DispA
{
    Q_OBJECT

public:
    // Size of the bar image, stretched over the widget.
    static constexpr int barWidth = 20;
    static constexpr int barHeight = 600;

    explicit ColorBar(QWidget *parent = nullptr);

    ColorScale *scale() const { return mScale; }
    QImage::Format format() const;
    void setFormat(QImage::Format format);
    double lowerLimit() const;
    double upperLimit() const;
    void setLimits(double lower, double upper);
    double valueMin() const;
    double valueMax() const;
    void setValueRange(double min, double max);

    bool dragging() const { return mDragging; }
    const QPixmap &barImage() const { return mBarImage; }

signals:
    // A limit drag ended (every mouse release).
    void cBarUpdated();
    // The mouse moved with a button down.
    void cBarUpdating();

public slots:
    void paintCBar();
    void draw1(QPainter *p);
    void onMousePressed();
    void onMouseMoved();
    void onMouseReleased();
    // The colour of the bar h pixels above the bottom of the widget.
    QColor colorOfH(int h) const;

private:
    enum DragTarget { LowerLimit, UpperLimit };

    // Fraction of the widget height under the cursor, from the bottom.
    double cursorFraction() const;
    double dragTargetValue() const;
    // The value maximum at the top, the minimum at the bottom and, while dragging, the dragged
    // limit's value in the middle.
    void drawLabels(QPainter &painter);
    // A number of the bar, turned to read upwards, in a box centred on (x, y).
    void drawLabel(QPainter &painter, double value, double x, double y, int alignment);

    DrawText mDrawText;
    ColorScale *mScale;
    QPixmap mBarImage;
    bool mDragging = false;
    DragTarget mDragTarget = LowerLimit;
};
