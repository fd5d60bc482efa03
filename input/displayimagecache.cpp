#include "displayimagecache.h"

#include "input/tiffdata.h"

DisplayImageCache::DisplayImageCache(int capacity)
    : mCapacity(qMax(capacity, 1))
{}

void DisplayImageCache::use(TiffData *image)
{
    if (!image)
        return;
    mRecent.removeOne(image);
    mRecent.append(image);
    if (!image->hasDisplayImage())
        image->makeDisplayImage();
    while (mRecent.size() > mCapacity)
        mRecent.takeFirst()->releaseDisplayImage();
}

void DisplayImageCache::recolourAll(const QVector<TiffData *> &images, TiffData *shown)
{
    // Display images made outside this cache count too: none of the stack keeps old colours.
    for (TiffData *image : images) {
        if (image == shown) {
            image->makeDisplayImage();
        } else if (image->hasDisplayImage()) {
            image->releaseDisplayImage();
            mRecent.removeOne(image);
        }
    }
}

void DisplayImageCache::forget(const TiffData *image)
{
    mRecent.removeOne(const_cast<TiffData *>(image));
}
