#pragma once

#include "display/colortables.h"

#include <QColor>
#include <QImage>
#include <QObject>

// The numbers behind a colour bar: the value range it stands for, the two limits the user
// drags, and the mapping of a scale fraction onto the hot or the grey colour table. Images
// of values are coloured through the program-wide current scale; the colour bar widget owns
// one and paints it.
class ColorScale : public QObject
{
    Q_OBJECT

public:
    explicit ColorScale(QObject *parent = nullptr);
    ~ColorScale() override;

    // The scale the main window's colour bar shows; every image of values is coloured
    // through it. Null until the main window sets it.
    static ColorScale *current();
    static void setCurrent(ColorScale *scale);

    // The format new scales take: grey.
    static QImage::Format defaultFormat();

    QImage::Format format() const { return mFormat; }
    void setFormat(QImage::Format format);

    double lowerLimit() const { return mLowerLimit; }
    double upperLimit() const { return mUpperLimit; }
    // Sets the two limits (fractions of the bar from the bottom, not clamped; the lower may
    // lie above the upper, which reverses the scale); emits limitsChanged() on a change.
    void setLimits(double lower, double upper);

    double valueMin() const { return mValueMin; }
    double valueMax() const { return mValueMax; }
    // Sets the values that the bottom and the top of the bar stand for; emits rangeChanged()
    // when they change.
    void setValueRange(double min, double max);

    // Bytes a pixel in this scale's format: 3 for colour, 1 for grey, 0 otherwise.
    int bytesPerPixel() const;
    // The entry of the colour table that value fraction x takes: 0 to lastColourIndex().
    int colourIndex(double x) const;
    // The last entry of this format's table: 766 for colour, 255 for grey, 0 otherwise.
    int lastColourIndex() const;
    // Writes the pixel bytes of table entry index and returns out advanced past them.
    uchar *entryBytes(int index, uchar *out) const;
    // Writes the pixel bytes of scale fraction x and returns out advanced past them.
    uchar *colourBytes(double x, uchar *out) const { return entryBytes(colourIndex(x), out); }
    QColor colourOfValue(double x) const;
    // Colours a width x height grid into pixels whose rows lie rowBytes(format(), width)
    // apart: valueAt(column, row) becomes the colour of the fraction (v - lo) / (hi - lo).
    template<typename ValueAt>
    void
    colourPixels(uchar *pixels, int width, int height, double lo, double hi, ValueAt valueAt) const;

signals:
    void rangeChanged();
    void limitsChanged();
    void formatChanged();

private:
    // Index into a table: trunc(t * scale) of the clamped fraction t, at most last.
    int tableIndex(double x, int scale, int last) const;

    QImage::Format mFormat;
    double mLowerLimit = 0.0;
    double mUpperLimit = 1.0;
    double mValueMin = 0.0;
    double mValueMax = 1.0;
};

template<typename ValueAt>
void ColorScale::colourPixels(
    uchar *pixels, int width, int height, double lo, double hi, ValueAt valueAt) const
{
    const int stride = rowBytes(mFormat, width);
    for (int row = 0; row < height; ++row) {
        uchar *out = pixels + qsizetype(row) * stride;
        for (int column = 0; column < width; ++column)
            out = colourBytes((valueAt(column, row) - lo) / (hi - lo), out);
    }
}
