#include "imgdispa.h"

#include "analysis/analyzed2dres.h"
#include "input/tiffdata.h"

#include <QPainter>

#include <cmath>

ImgDispA::ImgDispA(QWidget *parent)
    : DispA(parent)
{
    connect(this, &DispA::drawImage1, this, &ImgDispA::drawImage);
    connect(this, &DispA::mousePressed0, this, &ImgDispA::onMousePressed);
    connect(this, &DispA::mouseReleased0, this, &ImgDispA::onMouseReleased);
    connect(this, &DispA::mouseMoved0, this, &ImgDispA::onMouseMoved);
    connect(this, &DispA::wheelMoved0, this, &ImgDispA::onWheelMoved);
}

void ImgDispA::setImageData(TiffData *data)
{
    mImageData = data;
    mImage = nullptr;
    if (!data) {
        mScaledView = QPixmap();
        mScaledViewKey = ScaledViewKey();
    }
    if (data) {
        if (!data->hasDisplayImage())
            data->makeDisplayImage();
        // The record regenerates its image in place when the colour bar changes.
        mImage = &data->displayImage;
        const QSize size(data->width, data->height);
        // A view window and a selection in the pixels of another image size are meaningless
        // here; the first image and images of the same size keep them (a script may select a
        // region before it loads).
        if (mImageSize.isValid() && size != mImageSize) {
            setViewWindow(QRectF());
            clearSelectedArea();
        }
        mImageSize = size;
        if (mViewWindow.width() == 0)
            setViewWindow(QRectF(0, 0, data->width, data->height));
    }
    update();
}

void ImgDispA::clearSelectedArea()
{
    mSelectedArea = QRectF();
    mSelecting = false;
    mAreaSelected = false;
    update();
}

double ImgDispA::imageX(double px) const
{
    return toWindow(mViewWindow, QPointF(px, 0)).x();
}

double ImgDispA::imageY(double py) const
{
    return toWindow(mViewWindow, QPointF(0, py)).y();
}

QPointF ImgDispA::cursorImagePos() const
{
    if (mCursorPlaced && mouse().currentPos == mPlacedScreenPos && mViewWindow == mPlacedViewWindow)
        return mPlacedCursor;
    return toWindow(mViewWindow, mouse().currentPos);
}

void ImgDispA::placeCursor(double x, double y)
{
    mapCoordToWindow(mViewWindow);
    mCursorPlaced = true;
    mPlacedCursor = QPointF(x, y);
    mPlacedScreenPos = QPoint(ChCoord::toPixel(coord().realToScreenX(x)),
                              ChCoord::toPixel(coord().realToScreenY(y)));
    mPlacedViewWindow = mViewWindow;
    setScreenMousePos(mPlacedScreenPos.x(), mPlacedScreenPos.y());
}

const QImage *ImgDispA::imageToDraw() const
{
    if (mShowOverlayer) {
        if (!mOverlayer || !mOverlayer->hasData())
            return nullptr;
        return mOverlayer->img();
    }
    return mImage && !mImage->isNull() ? mImage : nullptr;
}

QImage ImgDispA::shownImage() const
{
    const QImage *image = imageToDraw();
    if (!image)
        return QImage();
    // Every image pixel the view window touches, partly shown ones included; the white
    // surroundings of a zoomed-out view are not part of the image.
    const QRectF covered = mViewWindow.intersected(QRectF(image->rect()));
    if (covered.isEmpty())
        return QImage();
    const int x0 = int(std::floor(covered.left()));
    const int y0 = int(std::floor(covered.top()));
    const int x1 = int(std::ceil(covered.right()));
    const int y1 = int(std::ceil(covered.bottom()));
    return image->copy(QRect(x0, y0, x1 - x0, y1 - y0));
}

void ImgDispA::drawImage(QPainter *p)
{
    const QImage *image = nullptr;
    if (mShowOverlayer) {
        if (!mOverlayer || !mOverlayer->hasData())
            return;
        mOverlayer->updateColorBar();
        image = mOverlayer->img();
    } else {
        if (!mImage || mImage->isNull())
            return;
        mImageData->pushRangeToColorBar();
        image = mImage;
    }
    // An empty source rectangle would make the painter draw the whole image.
    if (image && !image->isNull() && !mViewWindow.isEmpty()) {
        updateScaledView(*image);
        p->drawPixmap(0, 0, mScaledView);
    }
    mapCoordToWindow(mViewWindow);
    if (mOverlayArea)
        mDrawnOverlay = mOverlayArea();
}

void ImgDispA::updateScaledView(const QImage &image)
{
    // Scaling a large image is what a paint costs most: it is done once for every image, view
    // window and size, and every paint after it copies the part it repaints.
    const qreal ratio = devicePixelRatioF();
    ScaledViewKey key;
    key.image = image.cacheKey();
    key.window = mViewWindow;
    key.size = size() * ratio;
    if (key == mScaledViewKey && !mScaledView.isNull())
        return;
    QPixmap scaled(key.size);
    scaled.setDevicePixelRatio(ratio);
    scaled.fill(Qt::white);
    QPainter painter(&scaled);
    painter.drawImage(QRectF(0, 0, width(), height()), image, mViewWindow);
    painter.end();
    mScaledView = scaled;
    mScaledViewKey = key;
}

void ImgDispA::repaintAfterMove()
{
    // While a button is down the selection or the view follows the cursor: all of it.
    if (!mOverlayArea || mouse().pressed) {
        update();
        return;
    }
    update(mDrawnOverlay | mOverlayArea());
}

void ImgDispA::setViewWindow(const QRectF &window)
{
    mViewWindow = window;
    mapCoordToWindow(mViewWindow);
}

void ImgDispA::resizeEvent(QResizeEvent *event)
{
    DispA::resizeEvent(event);
    mapCoordToWindow(mViewWindow);
}

void ImgDispA::onMousePressed()
{
    const MouseC &m = mouse();
    switch (mouseAction(m.pressButton, m.pressModifiers)) {
    case 0:
    case 2:
        mSelecting = true;
        mSelectedArea = QRectF(imageX(m.currentPos.x()), imageY(m.currentPos.y()), 0, 0);
        break;
    case 8:
        clearSelectedArea();
        break;
    default:
        break;
    }
    update();
}

void ImgDispA::onMouseReleased()
{
    const MouseC &m = mouse();
    const int code = mouseAction(m.pressButton, m.pressModifiers);
    if ((code == 0 || code == 2) && mSelecting) {
        mSelecting = false;
        if (mSelectedArea.width() != 0 && mSelectedArea.height() != 0) {
            mSelectedArea = mSelectedArea.normalized();
            mAreaSelected = true;
            if (code == 2)
                setViewWindow(mSelectedArea);
        }
    }
    update();
}

void ImgDispA::onMouseMoved()
{
    const MouseC &m = mouse();
    if (m.pressed) {
        if (!mImage)
            return;
        const int code = mouseAction(m.pressButton, m.pressModifiers);
        if ((code == 0 || code == 2) && mSelecting) {
            mSelectedArea.setWidth(imageX(m.currentPos.x()) - mSelectedArea.x());
            mSelectedArea.setHeight(imageY(m.currentPos.y()) - mSelectedArea.y());
        } else if (code == 1 && panEnabled() && width() > 0 && height() > 0) {
            // The image point under the cursor stays under it.
            QRectF window = mViewWindow;
            window.moveLeft(window.x()
                            + double(m.previousPos.x() - m.currentPos.x()) / width()
                                  * window.width());
            window.moveTop(window.y()
                           + double(m.previousPos.y() - m.currentPos.y()) / height()
                                 * window.height());
            setViewWindow(window);
        }
        update();
    } else {
        const QPointF cursor = cursorImagePos();
        emit mouseMoved(cursor.x(), cursor.y());
    }
}

void ImgDispA::onWheelMoved()
{
    if (!zoomEnabled())
        return;
    setViewWindow(zoomedAroundCursor(mViewWindow));
    update();
}

void ImgDispA::resetImageViewWindow()
{
    // Without an image the window is emptied, so that the next image is shown whole.
    if (mImageData)
        setViewWindow(QRectF(0, 0, mImageData->width, mImageData->height));
    else
        setViewWindow(QRectF());
    update();
}

void ImgDispA::setShowOverlayer(bool f)
{
    mShowOverlayer = f;
}

void ImgDispA::setSelectedArea(int x1, int y1, int x2, int y2)
{
    // Corners may come in any order; the area is kept with its origin at the top left. The
    // width and height are taken in doubles: any two int corners have a difference there.
    mSelectedArea = QRectF(x1, y1, qreal(x2) - x1, qreal(y2) - y1).normalized();
    mAreaSelected = true;
    update();
}

void ImgDispA::setViewWAsSelectedArea()
{
    // An area without width or height has nothing to zoom to.
    if (!mAreaSelected || mSelectedArea.isEmpty())
        return;
    setViewWindow(mSelectedArea);
    update();
}
