#pragma once

#include "calib/alignimage.h"

#include <QImage>
#include <QWidget>

class TiffData;

namespace Ui {
class ImgProc;
}

// The image processor window: aligns an image of the I1 stack onto a reference. The image
// of the selected energy is turned into an edge image, binarised at a threshold and compared
// with the stored reference at a trial shift, moved by hand or found by a hill climb; the
// shift found is handed to the main window, which writes it into the image.
class ImgProc : public QWidget
{
    Q_OBJECT

public:
    explicit ImgProc(QWidget *parent = nullptr);
    ~ImgProc() override;

    // The main window hands the image of the selected energy (nullptr for none).
    void setProcData(TiffData *data);

    const AlignImage &edgeImage() const { return mEdge; }
    const AlignImage &binImage() const { return mBin; }
    const AlignImage &refBinImage() const { return mRefBin; }
    const QImage &displayImage() const { return mDisplay; }
    double score() const { return mScore; }
    QPoint shift() const;
    // Puts a further section (the stack alignment) beside the window's own controls.
    void addSection(QWidget *section);

signals:
    void askGiveData();
    void askClearAllShifts();
    void updateImg();
    void imgShift(int sx, int sy);

public slots:
    void movedBinThVSlider();
    void newBinThV();
    void setBinThV();
    void setRefBin();
    void toggledEdgeDetect(bool f);
    void edgeDetect();
    void binarize();
    void drawOnImage();
    void shiftBinImg(int dx, int dy);
    void autoShiftBinImg();
    void autoShiftBinImg0();
    void setShift();
    void clearAllShifts();

private:
    // Whether a comparison can be made; names the first thing missing otherwise.
    bool comparable() const;
    // The threshold field from the slider and the edge range.
    void newBinThVText();
    void setShiftFields(QPoint shift);
    void drawCompare();
    void drawPlain();

    Ui::ImgProc *mUi;
    TiffData *mData = nullptr;
    int mDataWidth = 0;
    int mDataHeight = 0;
    AlignImage mEdge;
    AlignImage mBin;
    AlignImage mRefBin;
    QImage mDisplay;
    double mScore = 0.0;
};
