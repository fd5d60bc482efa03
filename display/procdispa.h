#pragma once

#include "display/dispa.h"

#include <QRectF>

class QImage;

// The image area of the alignment window: it always shows its whole image stretched over
// the widget.
class ProcDispA : public DispA
{
    Q_OBJECT

public:
    explicit ProcDispA(QWidget *parent = nullptr);

    // The image to show; not owned, it must outlive its use here (nullptr shows nothing).
    void setImage(QImage *image);
    QImage *image() const { return mImage; }
    // Stays empty: the whole image is shown.
    QRectF viewWindow() const { return mViewWindow; }

signals:
    // The cursor mapped through the view window; (0, 0) while that is empty.
    void mouseMoved(double x, double y);

public slots:
    void drawOnScreen(QPainter *p);
    void onMousePressed();
    void onMouseReleased();
    void onMouseMoved();
    void onWheelMoved();

private:
    QImage *mImage = nullptr;
    QRectF mViewWindow;
};
