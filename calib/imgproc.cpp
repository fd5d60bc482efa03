#include "imgproc.h"
#include "ui_imgproc.h"

#include "display/colorbar.h"
#include "display/colorscale.h"
#include "input/tiffdata.h"

#include <QDebug>

ImgProc::ImgProc(QWidget *parent)
    : QWidget(parent)
    , mUi(new Ui::ImgProc)
{
    mUi->setupUi(this);
    mUi->CBar->setFormat(QImage::Format_RGB888);

    connect(mUi->CBar, &ColorBar::cBarUpdating, this, &ImgProc::drawOnImage);
    connect(this, &ImgProc::updateImg, this, &ImgProc::drawOnImage);
    connect(mUi->BinThVSlider, &QSlider::sliderMoved, this, &ImgProc::movedBinThVSlider);
    connect(mUi->BinThV, &QLineEdit::editingFinished, this, &ImgProc::setBinThV);
    connect(mUi->SetRef, &QPushButton::clicked, this, &ImgProc::setRefBin);
    for (QAbstractButton *box : {static_cast<QAbstractButton *>(mUi->EdgeDetect),
                                 static_cast<QAbstractButton *>(mUi->BinaryImage),
                                 static_cast<QAbstractButton *>(mUi->Compare)})
        connect(box, &QAbstractButton::toggled, this, &ImgProc::toggledEdgeDetect);
    connect(mUi->ShiftX, &QLineEdit::editingFinished, this, &ImgProc::drawOnImage);
    connect(mUi->ShiftY, &QLineEdit::editingFinished, this, &ImgProc::drawOnImage);
    connect(mUi->AAutoShift, &QCheckBox::toggled, this, &ImgProc::drawOnImage);
    connect(mUi->ShiftU, &QToolButton::clicked, this, [this] { shiftBinImg(0, -1); });
    connect(mUi->ShiftD, &QToolButton::clicked, this, [this] { shiftBinImg(0, 1); });
    connect(mUi->ShiftL, &QToolButton::clicked, this, [this] { shiftBinImg(-1, 0); });
    connect(mUi->ShiftR, &QToolButton::clicked, this, [this] { shiftBinImg(1, 0); });
    connect(mUi->ShiftAuto, &QPushButton::clicked, this, &ImgProc::autoShiftBinImg);
    connect(mUi->SetShift, &QPushButton::clicked, this, &ImgProc::setShift);
    connect(mUi->ClearAllShifts, &QPushButton::clicked, this, &ImgProc::clearAllShifts);
}

ImgProc::~ImgProc()
{
    mUi->DispA->setImage(nullptr);
    delete mUi;
}

QPoint ImgProc::shift() const
{
    return QPoint(mUi->ShiftX->text().toInt(), mUi->ShiftY->text().toInt());
}

void ImgProc::addSection(QWidget *section)
{
    mUi->mainLayout->addWidget(section);
}

void ImgProc::setShiftFields(QPoint shift)
{
    mUi->ShiftX->setText(QString::number(shift.x()));
    mUi->ShiftY->setText(QString::number(shift.y()));
}

void ImgProc::setProcData(TiffData *data)
{
    if (!mUi->EdgeDetect->isChecked())
        return;
    mData = data;
    mDataWidth = data ? data->width : 0;
    mDataHeight = data ? data->height : 0;
    if (!data)
        return;
    edgeDetect();
    if (mUi->BinaryImage->isChecked())
        binarize();
    drawOnImage();
}

void ImgProc::edgeDetect()
{
    if (!mData)
        return;
    mEdge = AlignImage::edgeOf(*mData);
    mUi->MinEdgeV->setText(QString::number(mEdge.min, 'g', 6));
    mUi->MaxEdgeV->setText(QString::number(mEdge.max, 'g', 6));
    newBinThVText();
}

void ImgProc::binarize()
{
    if (!mData || mEdge.isNull())
        return;
    mBin = mEdge.binarized(mUi->BinThV->text().toDouble());
}

void ImgProc::newBinThVText()
{
    const double min = mUi->MinEdgeV->text().toDouble();
    const double max = mUi->MaxEdgeV->text().toDouble();
    mUi->BinThV->setText(
        QString::number(mUi->BinThVSlider->value() / 1000.0 * (max - min) + min, 'g', 6));
}

void ImgProc::movedBinThVSlider()
{
    newBinThV();
}

void ImgProc::newBinThV()
{
    newBinThVText();
    binarize();
    drawOnImage();
}

void ImgProc::setBinThV()
{
    const double min = mUi->MinEdgeV->text().toDouble();
    const double range = mUi->MaxEdgeV->text().toDouble() - min;
    // Before any edge image the range is empty: the slider stays where it is.
    if (range > 0.0) {
        const double position = (mUi->BinThV->text().toDouble() - min) / range * 1000.0;
        mUi->BinThVSlider->setValue(int(qBound(-1.0, position, 1000.0)));
    }
    binarize();
    drawOnImage();
}

void ImgProc::setRefBin()
{
    if (!mBin.isNull())
        mRefBin = mBin;
    drawOnImage();
}

void ImgProc::toggledEdgeDetect(bool f)
{
    Q_UNUSED(f)
    emit askGiveData();
}

bool ImgProc::comparable() const
{
    if (mBin.isNull()) {
        qDebug().noquote() << "no bin image";
        return false;
    }
    if (mRefBin.isNull()) {
        qDebug().noquote() << "no ref bin image";
        return false;
    }
    if (!mBin.sameSize(mRefBin)) {
        qDebug().noquote() << "size mis-match";
        return false;
    }
    return true;
}

void ImgProc::drawOnImage()
{
    if (mUi->Compare->isChecked()) {
        if (!comparable())
            return;
        if (mUi->AAutoShift->isChecked())
            autoShiftBinImg0();
        drawCompare();
    } else {
        const AlignImage &shown = mUi->BinaryImage->isChecked() ? mBin : mEdge;
        if (shown.isNull())
            return;
        drawPlain();
    }
    mUi->DispA->setImage(&mDisplay);
    mUi->DispA->update();
    update();
}

void ImgProc::drawCompare()
{
    const QPoint s = shift();
    const int w = mBin.width;
    const int h = mBin.height;
    mDisplay = QImage(w, h, QImage::Format_RGB888);
    for (int j = 0; j < h; ++j) {
        uchar *line = mDisplay.scanLine(j);
        for (int k = 0; k < w; ++k) {
            const int bx = k - s.x();
            const int by = j - s.y();
            uchar *px = line + 3 * k;
            if (bx < 0 || by < 0 || bx >= w || by >= h) {
                px[0] = 0;
                px[1] = 0;
                px[2] = 255;
            } else {
                px[0] = mRefBin.bits.at(j * w + k) ? 255 : 0;
                px[1] = mBin.bits.at(by * w + bx) ? 255 : 0;
                px[2] = 0;
            }
        }
    }
    // The pairs drawn are bin at (k - sx, j - sy) with ref at (k, j).
    mScore = AlignImage::score(mBin, mRefBin, s.x(), s.y());
    mUi->NormScolarP->setText(QString::number(mScore, 'g', 6).left(6));
}

void ImgProc::drawPlain()
{
    const AlignImage &shown = mUi->BinaryImage->isChecked() ? mBin : mEdge;
    mUi->CBar->setValueRange(shown.min, shown.max);
    mUi->CBar->update();
    mDisplay = QImage(shown.width, shown.height, QImage::Format_RGB888);
    const ColorScale *scale = mUi->CBar->scale();
    const double range = shown.max - shown.min;
    for (int y = 0; y < shown.height; ++y) {
        uchar *out = mDisplay.scanLine(y);
        for (int x = 0; x < shown.width; ++x)
            out = scale->colourBytes(range != 0.0 ? (shown.at(x, y) - shown.min) / range : 0.0,
                                     out);
    }
}

void ImgProc::shiftBinImg(int dx, int dy)
{
    setShiftFields(shift() + QPoint(dx, dy));
    drawOnImage();
}

void ImgProc::autoShiftBinImg0()
{
    if (!comparable())
        return;
    setShiftFields(AlignImage::search(mBin, mRefBin, shift(), mScore));
    if (mUi->ASetShift->isChecked())
        setShift();
}

void ImgProc::autoShiftBinImg()
{
    autoShiftBinImg0();
    drawOnImage();
}

void ImgProc::setShift()
{
    const QPoint s = shift();
    emit imgShift(s.x(), s.y());
}

void ImgProc::clearAllShifts()
{
    emit askClearAllShifts();
}
