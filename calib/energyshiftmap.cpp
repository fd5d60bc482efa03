#include "energyshiftmap.h"

#include "input/tiffdata.h"
#include "output/savefile.h"
#include "spectra/xafsconstants.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cmath>

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

bool EnergyShiftMap::fail(const char *reason, const QString &fileName)
{
    mFailureReason = QString::fromLatin1(reason);
    mFailedFile = fileName;
    return false;
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
    bool seenWidth = false, seenHeight = false, seenEdge = false, seenSpacing = false;
    while (!in.atEnd()) {
        const QString line = in.readLine();
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
    // Bins no larger than the image, and an area reaching at most one image size beyond it
    // on every side (a view window may stick out): the walk stays proportional to the image.
    const auto within = [](qint64 v, qint64 lo, qint64 hi) { return v >= lo && v <= hi; };
    return within(header.binHalfWidth, -w, w) && within(header.binHalfHeight, -h, h)
           && within(header.areaX0, -w, 2 * w) && within(header.areaX1, -w, 2 * w)
           && within(header.areaY0, -h, 2 * h) && within(header.areaY1, -h, 2 * h);
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
    qint64 missing = 0;
    for (int row = 0; row < header.height; ++row) {
        for (int column = 0; column < header.width; ++column) {
            double offset = 0.0;
            in >> offset;
            if (in.status() != QTextStream::Ok) {
                offset = 0.0;
                ++missing;
                in.resetStatus();
            }
            const double shift = e0
                                 - HcEVAngstrom
                                       / (2.0 * std::sin((offset + theta0) / 180.0 * PiTenDigits)
                                          * header.spacing);
            mMap.setData(column, row, 0, 0, shift);
        }
    }
    // One line for all the numbers missing, however many.
    if (missing > 0)
        qDebug().noquote() << "run out!" << missing << "numbers missing in" << fileName;
    qDebug().noquote() << "End Reading EMP file   " << now("yyMMdd hh:mm:ss.zzz");
    return true;
}
