#pragma once

#include "display/chcoord.h"
#include "display/mousec.h"

#include <QFrame>
#include <QRectF>

class QPainter;

// Base display area: a framed widget that paints a white background, hands its painter to
// whoever draws on it, records the mouse and maps screen pixels to real coordinates.
// Subclasses draw by connecting drawImage1 to their own drawing slot; owners draw over that
// from drawImage2.
class DispA : public QFrame
{
    Q_OBJECT

public:
    explicit DispA(QWidget *parent = nullptr);

    ChCoord &coord() { return mCoord; }
    const ChCoord &coord() const { return mCoord; }
    MouseC &mouse() { return mMouse; }
    const MouseC &mouse() const { return mMouse; }

    bool zoomEnabled() const { return mZoomEnabled; }
    void setZoomEnabled(bool enabled) { mZoomEnabled = enabled; }
    bool panEnabled() const { return mPanEnabled; }
    void setPanEnabled(bool enabled) { mPanEnabled = enabled; }
    // The last wheel delta in notches (delta / 120).
    double wheelSteps() const { return mWheelSteps; }
    // 1.1 after a wheel turn with negative delta, 1/1.1 otherwise.
    double zoomFactor() const { return mZoomFactor; }

signals:
    void drawImage1(QPainter *p);
    void drawImage2(QPainter *p);
    void mouseMoved0();
    void mousePressed0();
    void mouseReleased0();
    void mouseDoubleClicked0();
    void wheelMoved0();

public slots:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    // Moves the cursor to a widget pixel, as a mouse move would, and repaints.
    void setScreenMousePos(int x, int y);
    // Moves the cursor to a point in real coordinates.
    void setRealMousePos(double x, double y);

protected:
    // A widget pixel in the coordinates of a window (x0, y0, width, height) that is shown
    // stretched over the whole widget.
    QPointF toWindow(const QRectF &window, const QPointF &pixel) const;
    // Sets the coordinate mapping for a window shown stretched over the whole widget: the
    // screen (and plot) rectangle is the widget, the real rectangle the window.
    void mapCoordToWindow(const QRectF &window);
    // The window zoomed by the zoom factor around the cursor: the window point under the
    // cursor stays where it is.
    QRectF zoomedAroundCursor(const QRectF &window) const;
    // Repaints after the cursor moved: the whole widget here.
    virtual void repaintAfterMove();

private:
    ChCoord mCoord;
    MouseC mMouse;
    bool mZoomEnabled = true;
    bool mPanEnabled = true;
    double mWheelSteps = 0.0;
    double mZoomFactor = 1.0 / 1.1;
};
