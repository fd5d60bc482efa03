#pragma once

#include "analysis/areawalk.h"
#include "analysis/mapcells.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QObject>
#include <QString>
#include <QVector>

#include <cmath>

// One two-dimensional result map: a width x height array of values with its range, an
// optional processed (deglitched) copy, made when it is first needed, a fixed display scale, and an
// image generated from the values through the current colour scale. The walk that filled it is kept
// with it, for the deglitching and for exports in walk order.
class Analyzed2DRes : public QObject
{
    Q_OBJECT

public:
    explicit Analyzed2DRes(const QString &name, QObject *parent = nullptr);

    QString name() const { return mName; }
    void setName(const QString &name) { mName = name; }
    int width() const { return mWalk.width; }
    int height() const { return mWalk.height; }
    const AreaWalk &walk() const { return mWalk; }

    // Takes over the walk of a new analysis: the map becomes the walk's width x height cells
    // of zeros, without processed values, with the ranges reset and no image.
    void reset(const AreaWalk &walk);
    // The same for a map of width x height cells walked pixel by pixel.
    void reset(int width, int height);

    bool hasData() const { return !mData.isEmpty(); }
    bool imageValid() const { return mImageValid; }
    bool fixedScale() const { return mFixedScale; }
    bool showProc() const { return mShowProc; }
    double min() const { return mMin; }
    double max() const { return mMax; }
    double fixedMin() const { return mFixedMin; }
    double fixedMax() const { return mFixedMax; }
    double procMin() const { return mProcMin; }
    double procMax() const { return mProcMax; }
    double glitchFactor() const { return mGlitchFactor; }
    double rangeRatio() const { return mRangeRatio; }
    int savedCount() const { return mSavedCount; }
    QImage::Format format() const { return mFormat; }
    void setFormat(QImage::Format format) { mFormat = format; }
    // Value and processed value of a cell; 0 outside the map.
    double value(qint64 x, qint64 y) const { return cell(mData, x, y); }
    double procValue(qint64 x, qint64 y) const { return cell(mProc, x, y); }

    // Writes t over the current block of a walk, as setData does with its centre and
    // half-widths.
    void record(const AreaWalk &walk, double t);
    // Writes t into the cell (x, y) alone, as setData does with half-widths 0. Inline: area
    // runs record millions of single cells.
    void recordCell(qint64 x, qint64 y, double t)
    {
        widen(mMin, mMax, t);
        if (!mData.isEmpty() && inside(x, y))
            mData.data()[y * mWalk.width + x] = t;
    }

    // The scale the image is drawn with: the fixed scale when it is on, else the processed
    // range when processed values are shown, else the range of the values.
    double scaleMin() const;
    double scaleMax() const;
    // Hands the active scale to the current colour bar, which repaints.
    void updateColorBar() const;
    // Where v lies on the scale lo .. hi, clamped to 0 .. 1. Not a number, an empty range and
    // a scale that is not finite all give 0, the bottom of the scale.
    static double scaleFraction(double v, double lo, double hi);
    // The colour of cells that hold no value (NaN): blue, which neither the grey nor the hot
    // colour table has.
    static QColor noFitColour() { return QColor(0, 96, 255); }

    // Colours of cells holding whole numbers 0 .. size - 1, which then ignore the colour scale
    // (a map of classes, such as clusters); none: every cell follows the scale.
    void setClassColours(const QVector<QColor> &colours) { mClassColours = colours; }
    const QVector<QColor> &classColours() const { return mClassColours; }

    // 16-bit values of the map scaled to 0 .. 65535: every cell in row order, or with
    // asAnalyzed the centre of every block of the map's walk in walk order (0 for centres
    // outside the map). The scale is (scaleMin, scaleMax) with fixedScale, else the active
    // range of the values shown. Empty without values.
    QVector<quint16>
    tiffDataForSave(bool fixedScale, double scaleMin, double scaleMax, bool asAnalyzed);

public slots:
    // No values, no image, ranges reset.
    void clear();
    void setNo(int no) { mNo = no; }
    int no() const { return mNo; }
    // Widens the range by t and writes t into every cell of the block of half-widths xw, yw
    // centred on (ix, iy) that lies inside the map. Values that are not finite are written
    // but leave the range alone.
    void setData(int ix, int iy, int xw, int yw, double t);
    void genImg();
    // The generated image; null before genImg().
    QImage *img();
    // Glitch removal by comparison with the neighbouring blocks.
    void deglitch();
    void setDeglitchConds(double f, double r);
    void selectProcImg(bool f);
    // Glitch removal of blocks farther than limit from the mean of the blocks within it.
    void deglitch2(double limit);
    void copyProc2Data();
    void setFixedScale(bool f);
    void setScale(double min, double max);

signals:
    // genImg() has drawn the image anew.
    void imageGenerated();

private:
    double cell(const MapCells &values, qint64 x, qint64 y) const;
    // The processed values, zeros until a deglitch writes them; made on first use.
    MapCells &procCells();
    bool inside(qint64 x, qint64 y) const
    {
        return x >= 0 && y >= 0 && x < mWalk.width && y < mWalk.height;
    }
    // Widens [min, max] by a finite t. One infinite value would squeeze every other value
    // into a single colour.
    static void widen(double &min, double &max, double t)
    {
        if (!std::isfinite(t))
            return;
        if (t > max)
            max = t;
        if (t < min)
            min = t;
    }
    // Writes t into the cells of the block of half-widths xw, yw around (x, y) inside the map.
    void fillBlock(MapCells &values, qint64 x, qint64 y, qint64 xw, qint64 yw, double t);
    // Calls visit() at every block of the map's walk, its position in mWalk.
    template<typename Visit>
    void walkBlocks(Visit visit);
    // One debug line after a deglitch: how many blocks it replaced.
    void logReplaced(const char *tag, qint64 replaced, qint64 blocks) const;

    QString mName;
    AreaWalk mWalk;
    int mNo = 0;
    bool mImageValid = false;
    QImage mImage;
    QByteArray mImageBuffer;
    MapCells mData;
    double mMin = 1e300;
    double mMax = -1e300;
    double mFixedMin = 1e300;
    double mFixedMax = -1e300;
    bool mFixedScale = false;
    QImage::Format mFormat = QImage::Format_Grayscale8;
    int mSavedCount = 0;
    double mProcMin = 0.0;
    double mProcMax = 1.0;
    MapCells mProc;
    double mGlitchFactor = 2.0;
    double mRangeRatio = 0.9;
    bool mShowProc = false;
    QVector<QColor> mClassColours;
};
