#pragma once

#include "display/dispa.h"

#include <QImage>
#include <QPixmap>
#include <QRectF>
#include <QRegion>
#include <QSize>

#include <functional>

class Analyzed2DRes;
class TiffData;

// The image display area of the main window. It shows the part of an image that lies in its
// view window, stretched over the widget: the wheel zooms around the cursor, Shift+left drags
// the view, a left drag selects an area, a Control+left drag selects and zooms to it, and a
// right click clears the selection. Instead of the image it can show a result map.
class ImgDispA : public DispA
{
    Q_OBJECT

public:
    explicit ImgDispA(QWidget *parent = nullptr);

    // Shows the image of data (made first when it has none); nullptr forgets the image. The
    // view window becomes the whole image when it was empty or when the image differs in size
    // from the one shown before, which also drops the selected area. data stays the caller's.
    void setImageData(TiffData *data);
    TiffData *imageData() const { return mImageData; }
    // The result map shown instead of the image while show overlayer is on; not owned.
    void setOverlayer(Analyzed2DRes *map) { mOverlayer = map; }
    Analyzed2DRes *overlayer() const { return mOverlayer; }
    bool showOverlayer() const { return mShowOverlayer; }

    // The part of the image shown, in image pixels (x0, y0, width, height).
    QRectF viewWindow() const { return mViewWindow; }
    // The selected area in image pixels; while dragging its size may be negative.
    QRectF selectedArea() const { return mSelectedArea; }
    bool areaSelected() const { return mAreaSelected; }
    bool selecting() const { return mSelecting; }

    // Image coordinates of a widget pixel.
    double imageX(double px) const;
    double imageY(double py) const;
    // The cursor (the mouse record's current position) in image coordinates.
    QPointF cursorImagePos() const;
    // Places the cursor on an image point as a mouse move there would (the mouse signals are
    // emitted). The point is kept exactly while the cursor and the view stay where they are:
    // a screen pixel may cover several image pixels, which the mouse cannot tell apart.
    void placeCursor(double x, double y);

    // A copy of the shown image (the map's while it is shown), cut to the whole image pixels
    // that the view window covers; empty without an image or when the window misses it.
    QImage shownImage() const;

    // Tells where the owner's drawing over the image (from drawImage2) lies for the cursor as
    // it is; a mouse move without a button then repaints only that area and where it was last
    // drawn. Without it a move repaints the whole widget.
    void setOverlayArea(std::function<QRegion()> areaOf) { mOverlayArea = std::move(areaOf); }
    // The view window's part of the image scaled to the widget, as painted last; it is made
    // again only when the image, the view window or the widget size has changed.
    const QPixmap &scaledView() const { return mScaledView; }

signals:
    // Image coordinates under the cursor, while no button is down.
    void mouseMoved(double x, double y);
    void mouseDragged(double x, double y);

public slots:
    void drawImage(QPainter *p);
    void onMousePressed();
    void onMouseReleased();
    void onMouseMoved();
    void onWheelMoved();
    void resetImageViewWindow();
    void setShowOverlayer(bool f);
    void setSelectedArea(int x1, int y1, int x2, int y2);
    void clearSelectedArea();
    void setViewWAsSelectedArea();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void repaintAfterMove() override;

private:
    // Sets the view window and keeps the coordinate mapping in step with it, so that a
    // cursor set from image coordinates lands right even before the next paint.
    void setViewWindow(const QRectF &window);
    const QImage *imageToDraw() const;
    // Makes the scaled view of image unless the one made last shows the same.
    void updateScaledView(const QImage &image);

    // What the scaled view was made from: image, view window and widget size in device pixels.
    struct ScaledViewKey
    {
        qint64 image = 0;
        QRectF window;
        QSize size;
        bool operator==(const ScaledViewKey &other) const
        {
            return image == other.image && window == other.window && size == other.size;
        }
    };

    TiffData *mImageData = nullptr;
    const QImage *mImage = nullptr;
    bool mShowOverlayer = false;
    Analyzed2DRes *mOverlayer = nullptr;
    QRectF mViewWindow;
    // Size of the last image shown; invalid until the first.
    QSize mImageSize;
    bool mSelecting = false;
    bool mAreaSelected = false;
    QRectF mSelectedArea;
    // The point given to placeCursor, with the screen pixel and the view it was placed in.
    bool mCursorPlaced = false;
    QPointF mPlacedCursor;
    QPoint mPlacedScreenPos;
    QRectF mPlacedViewWindow;
    QPixmap mScaledView;
    ScaledViewKey mScaledViewKey;
    std::function<QRegion()> mOverlayArea;
    // The owner's drawing as the last paint placed it.
    QRegion mDrawnOverlay;
};
