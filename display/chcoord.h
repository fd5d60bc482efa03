#pragma once

#include <QObject>

// Maps between widget pixels and real coordinates (image pixels, or energy and absorption
// in a plot). The real window is shown in the plot rectangle, which is either the whole
// screen rectangle or the screen rectangle less its margins. Either axis may run backwards.
class ChCoord : public QObject
{
public:
    explicit ChCoord(QObject *parent = nullptr);

    // Sets the screen rectangle and makes the plot rectangle the same.
    void setScreenRect(double x0, double y0, double x1, double y1);
    // Insets the plot rectangle from the screen rectangle by whole pixels of the margins.
    void applyMargins();
    void setRealRect(double x0, double y0, double x1, double y1);
    void setRealY(double y0, double y1);

    double realToScreenX(double x) const;
    double realToScreenY(double y) const;
    double realToScreenDX(double d) const;
    double realToScreenDY(double d) const;
    double screenToRealX(double x) const;
    double screenToRealY(double y) const;

    // A screen coordinate as a whole pixel, cut toward zero; kept within a range a painter
    // can draw, and 0 for a coordinate that is not a number.
    static int toPixel(double v);

    double screenX0() const { return mScreenX0; }
    double screenX1() const { return mScreenX1; }
    double screenY0() const { return mScreenY0; }
    double screenY1() const { return mScreenY1; }
    double plotX0() const { return mPlotX0; }
    double plotX1() const { return mPlotX1; }
    double plotY0() const { return mPlotY0; }
    double plotY1() const { return mPlotY1; }
    double realX0() const { return mRealX0; }
    double realX1() const { return mRealX1; }
    double realY0() const { return mRealY0; }
    double realY1() const { return mRealY1; }

    double leftMargin() const { return mLeftMargin; }
    double rightMargin() const { return mRightMargin; }
    double y1Margin() const { return mY1Margin; }
    double y0Margin() const { return mY0Margin; }
    // The plot height divided by this gives the height of an axis-label box.
    int labelHeightDivisor() const { return mLabelHeightDivisor; }
    // The plot width divided by this gives the unit width of an axis-label box.
    int labelWidthDivisor() const { return mLabelWidthDivisor; }
    // Part of a label box that the text may fill.
    double labelFillFraction() const { return mLabelFillFraction; }

private:
    double mScreenX0 = 0.0;
    double mScreenX1 = 1.0;
    double mScreenY0 = 0.0;
    double mScreenY1 = 1.0;
    double mPlotX0 = 0.0;
    double mPlotX1 = 1.0;
    double mPlotY0 = 0.0;
    double mPlotY1 = 1.0;
    double mRealX0 = 0.0;
    double mRealX1 = 1.0;
    double mRealY0 = 0.0;
    double mRealY1 = 1.0;
    double mLeftMargin = 0.1;
    double mRightMargin = 0.05;
    double mY1Margin = 0.05;
    double mY0Margin = 0.1;
    int mLabelHeightDivisor = 20;
    int mLabelWidthDivisor = 25;
    double mLabelFillFraction = 0.85;
};
