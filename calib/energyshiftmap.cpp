#include "energyshiftmap.h"

#include "input/tiffdata.h"
#include "output/savefile.h"
#include "spectra/xafsconstants.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cmath>
#include <vector>

namespace {

const char magic[] = "###Marvolenti::MRVT";
const char oldMagic[] = "###MRVT";
const char separator[] = "##-----------------";
// Every header label is this long.
constexpr int labelLength = 26;
const char stdEdgeLabel[] = "Std Edge Energy [eV]    : ";
const char spacingLabel[] = "Spacing [nm]            : ";
const char widthLabel[] = "Width [pix]             : ";
const char heightLabel[] = "Height [pix]            : ";
const char binWidthLabel[] = "Bin Half Width [pix]    : ";
const char binHeightLabel[] = "Bin Half Height [pix]   : ";
const char x0Label[] = "Area X0                 : ";
const char x1Label[] = "Area X1                 : ";
const char y0Label[] = "Area Y0                 : ";
const char y1Label[] = "Area Y1                 : ";

QString now(const char *format)
{
    return QDateTime::currentDateTime().toString(QLatin1String(format));
}

} // namespace

EnergyShiftMap::EnergyShiftMap()
    : mMap(QStringLiteral("Shift"))
{}

void EnergyShiftMap::resize(int width, int height)
{
    mMap.reset(width, height);
}

void EnergyShiftMap::clear()
{
    mMap.reset(mMap.walk());
}

double EnergyShiftMap::braggAngle(double energy, double spacing)
{
    const double s = HcEVAngstrom / energy / (2.0 * spacing);
    if (!(std::fabs(s) <= 1.0))
        return -1.0;
    return std::asin(s) * 180.0 / PiTenDigits;
}

QString EnergyShiftMap::withSuffix(const QString &fileName)
{
    return QFileInfo(fileName).suffix().isEmpty() ? fileName + QStringLiteral(".emp") : fileName;
}

bool EnergyShiftMap::fail(const char *reason, const QString &fileName, int line)
{
    mFailureReason = QString::fromLatin1(reason);
    mFailedFile = fileName;
    mFailedLine = line;
    return false;
}

QString EnergyShiftMap::failureMessage() const
{
    const QString text
        = QCoreApplication::translate("EnergyShiftMap", mFailureReason.toLatin1().constData())
              .arg(mFailedFile);
    return text.contains(QLatin1String("%2")) ? text.arg(mFailedLine) : text;
}

bool EnergyShiftMap::save(const QString &fileName,
                          double e0,
                          double spacing,
                          const QString &stdFile)
{
    const QString name = withSuffix(fileName);
    const double theta0 = braggAngle(e0, spacing);
    if (theta0 < 0.0) {
        qDebug().noquote() << "Edge energy out of the crystal's reach:" << e0;
        return fail(QT_TRANSLATE_NOOP("EnergyShiftMap",
                                      "Edge energy beyond the crystal's reach: %1 not saved"),
                    name);
    }
    SaveFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        qDebug().noquote() << "Can not open" << name;
        return fail(QT_TRANSLATE_NOOP("EnergyShiftMap", "Can not open %1"), name);
    }
    const AreaWalk &walk = mMap.walk();
    QTextStream out(&file);
    out << magic << '\n'
        << "Record Date             : " << now("yy/MM/dd hh:mm:ss.zzz") << '\n'
        << stdEdgeLabel << e0 << '\n'
        << spacingLabel << spacing << '\n'
        << widthLabel << walk.width << '\n'
        << heightLabel << walk.height << '\n'
        << binWidthLabel << walk.xw << '\n'
        << binHeightLabel << walk.yw << '\n'
        << x0Label << walk.x0 << '\n'
        << x1Label << walk.x1 << '\n'
        << y0Label << walk.y0 << '\n'
        << y1Label << walk.y1 << '\n'
        << "Std File Name           : " << stdFile << '\n'
        << "Shift Map Height        : " << mMap.height() << '\n';
    for (int i = 0; i < mMap.height(); ++i)
        out << "Shift Map Width         : " << i << ' ' << mMap.width() << '\n';
    out << separator << '\n';
    qDebug().noquote() << "EMap Write Start : " << now("yyMMdd hh:mm:ss.zzz");
    for (int y = 0; y < walk.height; ++y) {
        QString line;
        for (int x = 0; x < walk.width; ++x)
            line += QStringLiteral("%1 ").arg(
                braggAngle(e0 - value(x, y), spacing) - theta0, 0, 'g', -1);
        out << line << '\n';
    }
    out.flush();
    if (out.status() != QTextStream::Ok)
        file.cancelWriting();
    if (!file.commitWhole()) {
        qDebug().noquote() << "Can not write" << name << file.errorString();
        return fail(QT_TRANSLATE_NOOP("EnergyShiftMap", "Can not write %1"), name);
    }
    qDebug().noquote() << "EMap Write End   : " << now("yyMMdd hh:mm:ss.zzz");
    return true;
}

void EnergyShiftMap::loadEMapHeader(EMPHeader &header, QTextStream &in)
{
    header = EMPHeader();
    const QString first = in.readLine();
    if (!first.startsWith(QLatin1String(oldMagic)) && !first.startsWith(QLatin1String(magic))) {
        qDebug().noquote() << "Not a emp file.";
        return;
    }
    header.lines = 1;
    bool seenWidth = false, seenHeight = false, seenEdge = false, seenSpacing = false;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++header.lines;
        if (line.startsWith(QLatin1String(separator))) {
            header.valid = seenWidth && seenHeight && seenEdge && seenSpacing;
            return;
        }
        const QString word
            = line.mid(labelLength).section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        const auto is
            = [&line](const char *label) { return line.startsWith(QLatin1String(label)); };
        if (is(stdEdgeLabel)) {
            header.stdEdgeEnergy = word.toDouble();
            seenEdge = true;
        } else if (is(spacingLabel)) {
            header.spacing = word.toDouble();
            seenSpacing = true;
        } else if (is(widthLabel)) {
            header.width = word.toInt();
            seenWidth = true;
        } else if (is(heightLabel)) {
            header.height = word.toInt();
            seenHeight = true;
        } else if (is(binWidthLabel)) {
            header.binHalfWidth = word.toInt();
        } else if (is(binHeightLabel)) {
            header.binHalfHeight = word.toInt();
        } else if (is(x0Label)) {
            header.areaX0 = word.toInt();
        } else if (is(x1Label)) {
            header.areaX1 = word.toInt();
        } else if (is(y0Label)) {
            header.areaY0 = word.toInt();
        } else if (is(y1Label)) {
            header.areaY1 = word.toInt();
        }
    }
}

bool EnergyShiftMap::saneSizes(const EMPHeader &header)
{
    const qint64 w = header.width;
    const qint64 h = header.height;
    if (w < 1 || h < 1 || w * h > TiffData::maxPixels)
        return false;
    // Bins no larger than the image, and an area reaching at most two image sizes before it
    // and one beyond it (a walk keeps the blocks that reach into the image, which may stick
    // out by a bin on either side): the walk stays proportional to the image.
    const auto within = [](qint64 v, qint64 lo, qint64 hi) { return v >= lo && v <= hi; };
    return within(header.binHalfWidth, -w, w) && within(header.binHalfHeight, -h, h)
           && within(header.areaX0, -2 * w, 2 * w) && within(header.areaX1, -2 * w, 2 * w)
           && within(header.areaY0, -2 * h, 2 * h) && within(header.areaY1, -2 * h, 2 * h);
}

bool EnergyShiftMap::load(const QString &fileName, double edgeEV, int &imageWidth, int &imageHeight)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qDebug().noquote() << "Can not open" << fileName;
        return fail(QT_TRANSLATE_NOOP("EnergyShiftMap", "Can not open %1"), fileName);
    }
    QTextStream in(&file);
    EMPHeader header;
    loadEMapHeader(header, in);
    if (!header.valid) {
        qDebug().noquote() << "Invalid Energy Map Data File : " << fileName;
        return fail(QT_TRANSLATE_NOOP("EnergyShiftMap", "Invalid Energy Map Data File : %1"),
                    fileName);
    }
    if (!saneSizes(header)) {
        qDebug().noquote() << "Energy map sizes out of range:" << header.width << header.height
                           << fileName;
        return fail(QT_TRANSLATE_NOOP("EnergyShiftMap", "Energy map sizes out of range: %1"),
                    fileName);
    }
    const bool sizeKnown = imageWidth > 0 && imageHeight > 0;
    const qint64 cells = qint64(header.width) * header.height;
    // Without images the file alone vouches for the size: it must hold a byte a value.
    if (!sizeKnown && cells > file.size()) {
        qDebug().noquote() << "Energy map of" << header.width << "x" << header.height
                           << "larger than its file:" << fileName;
        return fail(QT_TRANSLATE_NOOP("EnergyShiftMap", "Energy map sizes out of range: %1"),
                    fileName);
    }
    if (sizeKnown && (header.width != imageWidth || header.height != imageHeight)) {
        qDebug().noquote() << QStringLiteral("Loading Energy Map size : %1 x %2 : is not matched "
                                             "to the current image size : %3 x %4")
                                  .arg(header.width)
                                  .arg(header.height)
                                  .arg(imageWidth)
                                  .arg(imageHeight);
        return fail(
            QT_TRANSLATE_NOOP("EnergyShiftMap", "Energy map size does not match the images: %1"),
            fileName);
    }
    const double e0 = edgeEV > 0.0 ? edgeEV : header.stdEdgeEnergy;
    const double theta0 = braggAngle(e0, header.spacing);
    if (theta0 < 0.0) {
        qDebug().noquote() << "Edge energy out of the crystal's reach:" << e0;
        return fail(QT_TRANSLATE_NOOP("EnergyShiftMap",
                                      "Edge energy beyond the crystal's reach: %1 not loaded"),
                    fileName);
    }
    // Every value is read and checked before the map is touched, so a refused file leaves it
    // as it was.
    const auto shiftOf = [&](double offset) {
        return e0
               - HcEVAngstrom
                     / (2.0 * std::sin((offset + theta0) / 180.0 * PiTenDigits) * header.spacing);
    };
    std::vector<double> shifts;
    shifts.reserve(size_t(qMin(cells, file.size() / 2 + 1)));
    int lineNo = header.lines;
    while (qint64(shifts.size()) < cells && !in.atEnd()) {
        const QString line = in.readLine();
        ++lineNo;
        const QChar *text = line.constData();
        const int length = line.size();
        for (int i = 0; i < length && qint64(shifts.size()) < cells;) {
            if (text[i].isSpace()) {
                ++i;
                continue;
            }
            const int start = i;
            while (i < length && !text[i].isSpace())
                ++i;
            bool ok = false;
            const double offset = line.midRef(start, i - start).toDouble(&ok);
            const double shift = ok ? shiftOf(offset) : 0.0;
            if (!ok || !std::isfinite(offset) || !std::isfinite(shift)) {
                qDebug().noquote() << "Not a finite number at line" << lineNo << "of" << fileName;
                return fail(QT_TRANSLATE_NOOP("EnergyShiftMap",
                                              "Energy map value that is not a finite number at "
                                              "line %2: %1"),
                            fileName,
                            lineNo);
            }
            shifts.push_back(shift);
        }
    }
    if (!sizeKnown) {
        imageWidth = header.width;
        imageHeight = header.height;
    }

    qDebug().noquote() << "Start Reading EMP file " << now("yyMMdd hh:mm:ss.zzz");
    mMap.reset(AreaWalk(header.width,
                        header.height,
                        header.binHalfWidth,
                        header.binHalfHeight,
                        header.areaX0,
                        header.areaY0,
                        double(header.areaX1) - header.areaX0,
                        double(header.areaY1) - header.areaY0));
    // The values missing at the end are angle offsets of 0, all at once.
    const qint64 missing = cells - qint64(shifts.size());
    const double missingShift = shiftOf(0.0);
    for (qint64 k = 0; k < cells; ++k) {
        const double shift = k < qint64(shifts.size()) ? shifts[size_t(k)] : missingShift;
        mMap.setData(int(k % header.width), int(k / header.width), 0, 0, shift);
    }
    // One line for all the numbers missing, however many.
    if (missing > 0)
        qDebug().noquote() << "run out!" << missing << "numbers missing in" << fileName;
    qDebug().noquote() << "End Reading EMP file   " << now("yyMMdd hh:mm:ss.zzz");
    return true;
}
