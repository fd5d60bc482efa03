#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QString>
#include <QVector>

// One two-dimensional result map: a width x height array of values with its range, an
// optional processed copy, a fixed display scale, and an image generated from the values
// through the current colour scale.
class Analyzed2DRes : public QObject
{
    Q_OBJECT

public:
    explicit Analyzed2DRes(const QString &name, QObject *parent = nullptr);

    QString name() const { return mName; }
    int width() const { return mWidth; }
    int height() const { return mHeight; }

    // Makes the map width x height cells of zeros (values and processed values), with the
    // ranges reset and no image: what an analysis does before it fills the map.
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
    QImage::Format format() const { return mFormat; }
    void setFormat(QImage::Format format) { mFormat = format; }

    // The scale the image is drawn with: the fixed scale when it is on, else the processed
    // range when processed values are shown, else the range of the values.
    double scaleMin() const;
    double scaleMax() const;
    // Hands the active scale to the current colour bar, which repaints.
    void updateColorBar() const;

public slots:
    // No values, no image, ranges reset.
    void clear();
    // Widens the range by t and writes t into every cell of the block of half-widths xw, yw
    // centred on (ix, iy) that lies inside the map.
    void setData(int ix, int iy, int xw, int yw, double t);
    void genImg();
    // The generated image; null before genImg().
    QImage *img();
    void selectProcImg(bool f);
    void setFixedScale(bool f);
    void setScale(double min, double max);

private:
    QString mName;
    int mWidth = 0;
    int mHeight = 0;
    bool mImageValid = false;
    QImage mImage;
    QByteArray mImageBuffer;
    QVector<double> mData;
    double mMin = 1e300;
    double mMax = -1e300;
    double mFixedMin = 1e300;
    double mFixedMax = -1e300;
    bool mFixedScale = false;
    QImage::Format mFormat = QImage::Format_Grayscale8;
    double mProcMin = 0.0;
    double mProcMax = 1.0;
    QVector<double> mProc;
    bool mShowProc = false;
};
