#pragma once

#include <QLine>
#include <QObject>
#include <QRect>
#include <QRegion>
#include <QSize>

#include <functional>

class CursorSpectrum;
class ImgDispA;
class QPainter;

// What the image display draws over the image for the cursor: the box of the bin read around
// the cursor pixel, the cross through it and the selected area.
class CursorOverlay : public QObject
{
    Q_OBJECT

public:
    // The bin's half widths and the image size, as the main window is set up when drawn.
    CursorOverlay(ImgDispA *display,
                  const CursorSpectrum *cursor,
                  std::function<QSize()> bin,
                  std::function<QSize()> imageSize,
                  QObject *parent = nullptr);

    // The widget area the cursor marks cover.
    QRegion area() const;

public slots:
    void draw(QPainter *p) const;

private:
    // The cursor marks in widget pixels.
    struct Marks
    {
        QRect binBox;
        QLine vertical;
        QLine horizontal;
    };
    Marks marks() const;

    ImgDispA *mDisplay;
    const CursorSpectrum *mCursor;
    std::function<QSize()> mBin;
    std::function<QSize()> mImageSize;
};
