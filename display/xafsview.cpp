#include "xafsview.h"
#include "ui_xafsview.h"

#include "app/dataroot.h"
#include "batch/batchcommands.h"
#include "batch/commandregistry.h"
#include "display/colortables.h"
#include "display/dispa.h"
#include "display/nicerange.h"
#include "display/plotcurve.h"
#include "display/taggedfilename.h"
#include "spectra/edgenormalization.h"
#include "spectra/victoreentable.h"

#include <QFileDialog>
#include <QPainter>

#include <cmath>
#include <limits>

namespace {

// Consecutive energies of the current spectrum further apart than this (eV) are not joined.
constexpr double breakGap = 50.0;
constexpr double noBreak = std::numeric_limits<double>::infinity();
constexpr double labelMaxPointSize = 12.0;

const QColor standardColour(255, 0, 0);
const QColor standardBaseColour(220, 192, 0);
const QColor currentBaseColour(0, 192, 220);
const QColor imageEnergyColour(0, 224, 0);
const QColor edgeColour(255, 0, 0);
const QColor edgeLabelColour(192, 192, 0);
const QColor frameColour(192, 192, 192);
const QColor failureColour(255, 64, 64);
const QColor residualColour(128, 0, 160);

// The energy offset of a spectrum: subtracted from every energy drawn.
double offsetOf(const XafsSpectrum &spectrum)
{
    return spectrum.shiftOn ? spectrum.dE : 0.0;
}

// Point i of a curve: the spectrum's energy less reduction, and values' y (not a number where
// values has no point i).
QVector<QPointF> curvePoints(const XafsSpectrum &spectrum, const Spectrum &values, double reduction)
{
    QVector<QPointF> points;
    points.reserve(spectrum.size());
    for (int i = 0; i < spectrum.size(); ++i) {
        const double y
            = i < values.size() ? values.yAt(i) : std::numeric_limits<double>::quiet_NaN();
        points.append(QPointF(spectrum.points.at(i).x() - reduction, y));
    }
    return points;
}

QPen dashedPen(const QColor &colour)
{
    QPen pen(colour);
    pen.setDashPattern({6, 2});
    return pen;
}

} // namespace

XafsView::XafsView(QWidget *parent)
    : QWidget(parent)
    , mUi(new Ui::XafsView)
{
    mUi->setupUi(this);
    mUi->Xafs->setZoomEnabled(false);
    connect(mUi->Xafs, &DispA::drawImage1, this, &XafsView::draw);
    connect(mUi->Xafs, &DispA::mouseMoved0, this, &XafsView::onMouseMoved);

    mSaveDialog = new QFileDialog(this);
    mSaveDialog->setAcceptMode(QFileDialog::AcceptSave);
    mSaveDialog->setFileMode(QFileDialog::AnyFile);
    mSaveDialog->setNameFilters({tr("Data File (*.dat)"), tr("Any Files (* *.*)")});
    mSaveDialog->setDirectory(dataRoot());
    connect(mUi->Save, &QPushButton::clicked, mSaveDialog, &QFileDialog::show);
    connect(mSaveDialog, &QFileDialog::fileSelected, this, &XafsView::saveData);
    // A changed mode shows at once.
    connect(mUi->Normalized, &QCheckBox::toggled, this, &XafsView::update);
    connect(mUi->ECorrect, &QCheckBox::toggled, this, &XafsView::update);
}

XafsView::~XafsView()
{
    delete mUi;
}

double XafsView::setSpectrum(const XafsSpectrum &spectrum)
{
    mCurrent = spectrum;
    update();
    // Without a standard there is nothing to be shifted against.
    if (mStandard.isEmpty())
        return 0.0;
    return mCurrent.crossingEnergy(0.5, 0) - mStandard.crossingEnergy(0.5, 0);
}

void XafsView::setStdSpectrum(const XafsSpectrum &spectrum)
{
    mStandard = spectrum;
}

void XafsView::addOtherSpectrum(XafsSpectrum *spectrum, bool use)
{
    mOthers.append(spectrum);
    mOtherUse.append(use);
}

void XafsView::setOtherSpectrumUse(int index, bool use)
{
    if (index >= 0 && index < mOtherUse.size())
        mOtherUse[index] = use;
}

void XafsView::clearOtherSpectra()
{
    mOthers.clear();
    mOtherUse.clear();
}

bool XafsView::normalize() const
{
    return mUi->Normalized->isChecked();
}

bool XafsView::energyCorrection() const
{
    return mUi->ECorrect->isChecked();
}

DispA *XafsView::plotArea() const
{
    return mUi->Xafs;
}

void XafsView::setNormalize(bool f)
{
    mUi->Normalized->setChecked(f);
}

void XafsView::setEnergyCorrection(bool f)
{
    mUi->ECorrect->setChecked(f);
}

void XafsView::update()
{
    mUi->Xafs->update();
    emit updated();
}

QPen XafsView::otherPen(int index) const
{
    if (index < mOtherPens.size())
        return mOtherPens.at(index);
    return QPen(ColorTables::curveColour(index));
}

bool XafsView::setRealYOf(const Spectrum &values)
{
    const AxisRange range = finiteAxisRange(values.minY, values.maxY, values.points, false);
    if (range.valid)
        mCoord.setRealY(range.min, range.max);
    return range.valid;
}

bool XafsView::setupCoord()
{
    // Screen y runs upwards.
    mCoord.setScreenRect(0, mUi->Xafs->height(), mUi->Xafs->width(), 0);
    mCoord.applyMargins();
    if (mCurrent.isEmpty())
        return false;

    const Spectrum &values = normalize() ? mCurrent.normalized : mCurrent;
    const double offset = normalize() ? 0.0 : offsetOf(mCurrent);
    const double lo = values.minX - offset;
    const double hi = values.maxX - offset;
    AxisRange x = finiteAxisRange(lo, hi);
    // Only a range that is not finite needs the energies themselves (every paint and every
    // cursor move come here).
    if (!x.valid)
        x = finiteAxisRange(lo, hi, curvePoints(mCurrent, values, offsetOf(mCurrent)), true);
    if (!x.valid || !setRealYOf(values))
        return false;
    mCoord.setRealRect(x.min, mCoord.realY0(), x.max, mCoord.realY1());
    return true;
}

void XafsView::drawPieces(QPainter *p, const QVector<QPolygonF> &pieces)
{
    for (const QPolygonF &piece : pieces) {
        QPolygon line;
        line.reserve(piece.size());
        for (const QPointF &point : piece)
            line << QPoint(ChCoord::toPixel(mCoord.realToScreenX(point.x())),
                           ChCoord::toPixel(mCoord.realToScreenY(point.y())));
        p->drawPolyline(line);
    }
}

void XafsView::drawVerticalLine(QPainter *p, double energy)
{
    const int x = ChCoord::toPixel(mCoord.realToScreenX(energy));
    p->drawLine(x, ChCoord::toPixel(mCoord.plotY0()), x, ChCoord::toPixel(mCoord.plotY1()));
}

void XafsView::drawNormalized(QPainter *p)
{
    if (!mStandard.isEmpty()) {
        p->setPen(standardColour);
        drawPieces(p,
                   curvePieces(curvePoints(mStandard, mStandard.normalized, offsetOf(mStandard)),
                               noBreak));
    }
    for (int i = 0; i < mOthers.size(); ++i) {
        const XafsSpectrum *other = mOthers.at(i);
        if (!other || !mOtherUse.at(i))
            continue;
        p->setPen(otherPen(i));
        drawPieces(p,
                   curvePieces(curvePoints(*other, other->normalized, offsetOf(*other)), noBreak));
    }
    if (mResidual && !mResidual->isEmpty()) {
        p->setPen(dashedPen(residualColour));
        drawPieces(p, curvePieces(mResidual->points, noBreak));
    }
    const double reduction = offsetOf(mCurrent) + (energyCorrection() ? mCurrent.eOrigin : 0.0);
    p->setPen(QPen(Qt::black, 2));
    drawPieces(p, curvePieces(curvePoints(mCurrent, mCurrent.normalized, reduction), breakGap));
}

void XafsView::drawRaw(QPainter *p)
{
    // Every curve fills the plot height: the y range is its own.
    const auto drawBaseLines = [&](const XafsSpectrum &spectrum, const QPen &pen, double gap) {
        p->setPen(pen);
        const double offset = offsetOf(spectrum);
        drawPieces(p, curvePieces(curvePoints(spectrum, spectrum.preEdge, offset), gap));
        drawPieces(p, curvePieces(curvePoints(spectrum, spectrum.postEdge, offset), gap));
    };

    if (!mStandard.isEmpty() && setRealYOf(mStandard)) {
        drawBaseLines(mStandard, dashedPen(standardBaseColour), noBreak);
        p->setPen(standardColour);
        drawPieces(p, curvePieces(curvePoints(mStandard, mStandard, offsetOf(mStandard)), noBreak));
    }
    for (int i = 0; i < mOthers.size(); ++i) {
        const XafsSpectrum *other = mOthers.at(i);
        if (!other || !mOtherUse.at(i) || other->isEmpty() || !setRealYOf(*other))
            continue;
        const QPen pen = otherPen(i);
        drawBaseLines(*other, dashedPen(pen.color()), noBreak);
        p->setPen(pen);
        drawPieces(p, curvePieces(curvePoints(*other, *other, offsetOf(*other)), noBreak));
    }
    if (mResidual && !mResidual->isEmpty() && setRealYOf(*mResidual)) {
        p->setPen(dashedPen(residualColour));
        drawPieces(p, curvePieces(mResidual->points, noBreak));
    }
    setRealYOf(mCurrent);
    const double reduction = offsetOf(mCurrent) + (energyCorrection() ? mCurrent.eOrigin : 0.0);
    p->setPen(QPen(Qt::black, 2));
    drawPieces(p, curvePieces(curvePoints(mCurrent, mCurrent, reduction), breakGap));
    drawBaseLines(mCurrent, dashedPen(currentBaseColour), breakGap);
}

void XafsView::drawFrameAndGrid(QPainter *p)
{
    const double left = mCoord.plotX0();
    const double right = mCoord.plotX1();
    const double bottom = mCoord.plotY0();
    const double top = mCoord.plotY1();
    p->setPen(QPen(frameColour, 2));
    p->drawRect(QRectF(QPointF(left, top), QPointF(right, bottom)).normalized());

    p->setPen(QPen(frameColour, 1));
    for (double v : niceGridValues(mCoord.realX0(), mCoord.realX1())) {
        const int x = ChCoord::toPixel(mCoord.realToScreenX(v));
        p->drawLine(x, ChCoord::toPixel(bottom), x, ChCoord::toPixel(top));
    }
    for (double v : niceGridValues(mCoord.realY0(), mCoord.realY1())) {
        const int y = ChCoord::toPixel(mCoord.realToScreenY(v));
        p->drawLine(ChCoord::toPixel(left), y, ChCoord::toPixel(right), y);
    }
}

void XafsView::drawAxisNumbers(QPainter *p)
{
    const int pw = int(std::abs(mCoord.plotX1() - mCoord.plotX0()));
    const int ph = int(std::abs(mCoord.plotY1() - mCoord.plotY0()));
    const double fill = mCoord.labelFillFraction();
    const int labelHeight = ph / mCoord.labelHeightDivisor();
    const int unitWidth = pw / mCoord.labelWidthDivisor();
    const int boxHeight = int(fill * labelHeight);
    const int boxUnit = int(fill * unitWidth);
    const QFont font = p->font();
    p->setPen(Qt::black);

    const QVector<double> xs = niceGridValues(mCoord.realX0(), mCoord.realX1());
    if (!xs.isEmpty()) {
        const double lower = mCoord.plotY0() + labelHeight;
        const double width = 10.0 * boxUnit;
        for (double v : {xs.first(), xs.last()}) {
            const double x = ChCoord::toPixel(mCoord.realToScreenX(v));
            mDrawText.drawFitted(p,
                                 QRectF(x - width / 2, lower - boxHeight, width, boxHeight),
                                 font,
                                 Qt::AlignCenter,
                                 true,
                                 QString::number(v, 'g', 6),
                                 labelMaxPointSize);
        }
    }

    const QVector<double> ys = niceGridValues(mCoord.realY0(), mCoord.realY1());
    if (!ys.isEmpty()) {
        const double right = mCoord.plotX0() - boxUnit;
        const double heights[2] = {double(labelHeight), double(boxHeight)};
        const double values[2] = {ys.first(), ys.last()};
        for (int k = 0; k < 2; ++k) {
            const double y = ChCoord::toPixel(mCoord.realToScreenY(values[k]));
            mDrawText.drawFitted(p,
                                 QRectF(0, y - heights[k] / 2, right, heights[k]),
                                 font,
                                 Qt::AlignRight | Qt::AlignVCenter,
                                 true,
                                 QString::number(values[k], 'g', 6),
                                 labelMaxPointSize);
        }
    }
}

void XafsView::drawEdgeLabels(QPainter *p)
{
    const int ph = int(std::abs(mCoord.plotY1() - mCoord.plotY0()));
    const int across = int(mCoord.labelFillFraction() * (ph / mCoord.labelHeightDivisor()));
    const double middle = (mCoord.plotY0() + mCoord.plotY1()) / 2;
    p->setPen(edgeLabelColour);
    for (const EdgeMarker &marker : mEdgeMarkers) {
        const double x
            = ChCoord::toPixel(mCoord.realToScreenX(edgeEnergyEV(marker.z, marker.edge)));
        mDrawText.drawTurned(p,
                             270,
                             QRectF(x - across / 2.0, middle, ph, across),
                             p->font(),
                             Qt::AlignCenter,
                             true,
                             marker.label,
                             labelMaxPointSize,
                             false,
                             QColor());
    }
}

void XafsView::draw(QPainter *p)
{
    const bool drawable = setupCoord();
    const QRectF plotRect = QRectF(QPointF(mCoord.plotX0(), mCoord.plotY1()),
                                   QPointF(mCoord.plotX1(), mCoord.plotY0()))
                                .normalized();
    p->save();
    if (drawable) {
        // Curves that reach beyond the energies on show, and edges outside them, stay inside
        // the frame.
        p->save();
        p->setClipRect(plotRect, Qt::IntersectClip);
        if (normalize())
            drawNormalized(p);
        else
            drawRaw(p);

        if (mShownImageEnergy > 0) {
            p->setPen(imageEnergyColour);
            drawVerticalLine(p, mShownImageEnergy);
        }
        p->setPen(edgeColour);
        for (const EdgeMarker &marker : mEdgeMarkers)
            drawVerticalLine(p, edgeEnergyEV(marker.z, marker.edge));
        p->restore();
    }
    drawFrameAndGrid(p);
    if (drawable) {
        drawAxisNumbers(p);
        p->setClipRect(plotRect, Qt::IntersectClip);
        drawEdgeLabels(p);
    }
    // Said even when nothing could be drawn: the normalised values may not be numbers.
    const QString failure = normFailureText();
    if (!failure.isEmpty()) {
        p->setPen(failureColour);
        p->drawText(plotRect.adjusted(4, 4, -4, -4), Qt::AlignLeft | Qt::AlignTop, failure);
    }
    p->restore();
}

QString XafsView::normFailureText() const
{
    const int failures = mCurrent.isEmpty() ? 0 : mCurrent.normFailures;
    if (failures == 0)
        return QString();
    QStringList what;
    if (failures & EdgeNormalization::NoE0)
        what << tr("no E0");
    if (failures & EdgeNormalization::ShortPreEdge)
        what << tr("empty pre-edge range");
    if (failures & EdgeNormalization::ShortPostEdge)
        what << tr("empty post-edge range");
    return tr("Normalisation failed: %1").arg(what.join(QStringLiteral(", ")));
}

void XafsView::onMouseMoved()
{
    if (!setupCoord())
        return;
    const QPoint pos = mUi->Xafs->mouse().currentPos;
    mUi->XVal->setText(QString::number(mCoord.screenToRealX(pos.x()), 'g', 6));
    mUi->YVal->setText(QString::number(mCoord.screenToRealY(pos.y()), 'g', 6));
}

void XafsView::registerCommands(CommandRegistry &commands)
{
    commands.add(QStringLiteral("save_spectra"), SaveSpectra, [this](const CmdLine &cmd) {
        saveData(cmd.arg(0));
    });
    commands.add(QStringLiteral("xafs_view_normalize"),
                 XafsViewNormalize,
                 [this](const CmdLine &cmd) { setNormalize(cmd.flagArg(0)); });
    commands.add(QStringLiteral("xafs_view_enerugy_correction"),
                 XafsViewEnerugyCorrection,
                 [this](const CmdLine &cmd) { setEnergyCorrection(cmd.flagArg(0)); });
}

void XafsView::saveData(const QString &fname)
{
    // The writer names every file it cannot write on the debug output.
    const auto write = [this, &fname](const XafsSpectrum &spectrum, const QString &tag) {
        const QString name = taggedFileName(fname, tag);
        if (!spectrum.writeFile(name, false))
            emit saveFailed(name);
    };
    write(mCurrent, QStringLiteral("T"));
    write(mStandard, QStringLiteral("std"));
    for (int i = 0; i < mOthers.size(); ++i) {
        if (mOthers.at(i))
            write(*mOthers.at(i), QStringLiteral("other%1").arg(i));
    }
}
