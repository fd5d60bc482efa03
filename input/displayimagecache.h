#pragma once

#include <QVector>

class TiffData;

// Keeps the display images of the few images shown last and releases those of the others, so
// that a loaded stack costs little more than its samples. A released display image is built
// again, through the current colour scale, when its image is shown next. The image shown last
// always keeps its display image.
class DisplayImageCache
{
public:
    explicit DisplayImageCache(int capacity = defaultCapacity);

    // The image on screen and a few it was reached from.
    static constexpr int defaultCapacity = 4;

    // Gives image a display image when it has none and counts it as shown last; the display
    // image of the image shown longest ago goes when more than capacity() images hold one.
    void use(TiffData *image);
    // Colours images anew: shown at once, every other one when it is shown next (its display
    // image is released now).
    void recolourAll(const QVector<TiffData *> &images, TiffData *shown);
    // Stops tracking image, which is about to be deleted.
    void forget(const TiffData *image);

    int capacity() const { return mCapacity; }
    // The images that hold a display image through this cache, shown last at the end.
    const QVector<TiffData *> &recent() const { return mRecent; }

private:
    int mCapacity;
    QVector<TiffData *> mRecent;
};
