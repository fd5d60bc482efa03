// Writes a synthetic two-dimensional XAFS data set across the Fe K edge: I0 and I1 image
// stacks (16-bit TIFF by default, or IMG or QNRB text), the two reference spectra, the true
// fraction map and the monochromator angles of the scan.
//
// The sample holds discs of two iron compounds whose edges lie 5 eV apart (a metal-like one at
// 7112 eV and an oxide-like one at 7117 eV with a white line), mixed in known fractions, on a
// thin uniform substrate. The beam has a smooth profile whose intensity drifts slowly over the
// scan, the sample drifts by up to a few pixels between images, and every count has Poisson
// (counting) noise. On request the beam's energy also varies smoothly over the detector: each
// pixel sees its spectra moved by a known shift, written beside the stacks.
//
// With --three-compounds the centre disc also holds a third compound (edge 7114 eV, written as
// ref_FeC_7114.dat), which a fit against the first two cannot match.
//
// With --elements it writes instead a stack across the Fe and Cu K edges at the edge table's
// energies: on a flat substrate, iron whose edge jump rises from left to right over the upper
// two thirds and a disc of copper, with sharp edges and flat absorption on either side, so
// that every pixel's jumps are those of the two jump maps written beside the stacks.
//
// With --soft it writes instead a soft X-ray-like stack: a 30 eV scan from 700 eV across an
// L3-like edge near 707 eV, too short for the K-edge normalisation ranges.

#include "input/bragg.h"
#include "output/tiffwriter.h"
#include "samplehdf5.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <QPointF>
#include <QVector>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>

namespace {

constexpr double edgeA = 7112.0; // metal-like compound
constexpr double edgeB = 7117.0; // oxide-like compound
constexpr double beamCounts = 30000.0;

// mu * t of one compound for unit thickness: a falling pre-edge background, a broadened edge
// step of height 1, an optional white line and damped fine-structure oscillations.
double compoundMu(double energy, double edge, double whiteLine, double phase)
{
    const double pre = 0.25 * std::pow(7000.0 / energy, 3.0);
    const double width = 1.5;
    const double step = 0.5 + std::atan((energy - edge) / width) / PiTenDigits;
    double mu = pre + step;
    const double dw = energy - edge - 3.0;
    mu += whiteLine * (2.0 * 2.0) / (dw * dw + 2.0 * 2.0);
    if (energy > edge + 5.0) {
        const double k = std::sqrt(0.2625 * (energy - edge));
        mu += 0.12 * std::sin(2.0 * 2.2 * k + phase) * std::exp(-0.02 * k * k) * step;
    }
    return mu;
}

double muA(double energy)
{
    return compoundMu(energy, edgeA, 0.1, 0.0);
}

double muB(double energy)
{
    return compoundMu(energy, edgeB, 0.6, 1.1);
}

// The third compound of --three-compounds: between the other two, with a strong white line.
double muC(double energy)
{
    return compoundMu(energy, 7114.0, 1.2, 2.3);
}

// Share of the third compound in the centre disc of --three-compounds.
constexpr double thirdShare = 0.4;

// About `count` energies from 6950 to 7400 eV, densest across the edges.
QVector<double> scanEnergies(int count)
{
    // Relative point densities of the regions: pre-edge, edge, near edge, far above.
    const double bounds[] = {6950.0, 7090.0, 7105.0, 7135.0, 7200.0, 7400.0};
    const double weights[] = {1.0, 2.0, 10.0, 3.0, 1.0};
    double total = 0.0;
    for (int r = 0; r < 5; ++r)
        total += weights[r] * (bounds[r + 1] - bounds[r]);
    QVector<double> energies;
    for (int r = 0; r < 5; ++r) {
        const double span = bounds[r + 1] - bounds[r];
        const int n = qMax(1, int(std::lround(count * weights[r] * span / total)));
        for (int i = 0; i < n; ++i)
            energies << bounds[r] + span * i / n;
    }
    energies << bounds[5];
    // Round to 0.01 eV so the file names carry the exact energy.
    for (double &e : energies)
        e = std::round(e * 100.0) / 100.0;
    return energies;
}

struct Disc
{
    double cx, cy, radius, fractionA, thickness;
};

// Fraction of compound A and thickness of the sample at (px, py) in pixels of a size x size
// image (the centre of pixel (x, y) lies at (x + 0.5, y + 0.5)); false outside every disc.
bool sampleAt(double px, double py, int size, double *fraction, double *thickness)
{
    static const Disc discs[] = {
        {0.25, 0.25, 0.15, 1.00, 1.0},
        {0.75, 0.25, 0.15, 0.00, 1.0},
        {0.25, 0.75, 0.15, 0.25, 1.0},
        {0.75, 0.75, 0.15, 0.75, 1.0},
        {0.50, 0.50, 0.10, 0.50, 1.5},
    };
    bool inside = false;
    for (const Disc &d : discs) {
        const double dx = px / size - d.cx;
        const double dy = py / size - d.cy;
        if (dx * dx + dy * dy <= d.radius * d.radius) {
            *fraction = d.fractionA;
            *thickness = d.thickness;
            inside = true;
        }
    }
    return inside;
}

// Fraction of compound A and thickness at every pixel of a size x size sample.
void sampleMaps(int size, QVector<double> *fraction, QVector<double> *thickness)
{
    fraction->fill(0.0, size * size);
    thickness->fill(0.0, size * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x)
            sampleAt(
                x + 0.5, y + 0.5, size, &(*fraction)[y * size + x], &(*thickness)[y * size + x]);
    }
}

// mu * t of the sample over detector pixel (x, y) when the sample has moved by (moveX, moveY)
// pixels: the mean over 4 x 4 points of the pixel, so that moves by a fraction of a pixel show.
double movedSampleMuT(int x, int y, double moveX, double moveY, int size, double muA, double muB)
{
    double sum = 0.0;
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            double f = 0.0, t = 0.0;
            if (sampleAt(x + (i + 0.5) / 4 - moveX, y + (j + 0.5) / 4 - moveY, size, &f, &t))
                sum += t * (f * muA + (1.0 - f) * muB);
        }
    }
    return sum / 16.0;
}

// Energy shift in eV at a detector pixel: a smooth field of the given amplitude.
double energyShiftAt(int x, int y, int size, double amplitude)
{
    const double rx = (x + 0.5) / size;
    const double ry = (y + 0.5) / size;
    return amplitude * (0.6 * rx - 0.4 * ry + 0.3 * std::sin(PiTenDigits * rx * ry));
}

quint16 noisyCount(double mean, std::mt19937 &rng)
{
    std::normal_distribution<double> gauss(0.0, 1.0);
    const double value = mean + std::sqrt(qMax(mean, 0.0)) * gauss(rng);
    return quint16(qBound(0.0, std::round(value), 65535.0));
}

QString energyTag(double energy)
{
    const qint64 centi = std::llround(energy * 100.0);
    return QStringLiteral("%1_%2eV")
        .arg(centi / 100, 4, 10, QLatin1Char('0'))
        .arg(centi % 100, 2, 10, QLatin1Char('0'));
}

bool writeImg(const QString &path, int width, int height, const QVector<quint16> &values)
{
    const QByteArray comment = QStringLiteral("Prop_ImageWidth=%1,Prop_ImageHeight=%2,")
                                   .arg(width)
                                   .arg(height)
                                   .toLatin1();
    QByteArray header(64, '\0');
    header[0] = 'I';
    header[1] = 'M';
    qToLittleEndian<quint16>(quint16(comment.size()), header.data() + 2);
    qToLittleEndian<quint16>(quint16(width), header.data() + 4);
    qToLittleEndian<quint16>(quint16(height), header.data() + 6);
    QByteArray data(values.size() * 2, '\0');
    qToLittleEndian<quint16>(values.constData(), values.size(), data.data());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(header);
    file.write(comment);
    file.write(data);
    return file.commit();
}

bool writeQnrb(const QString &path, int width, int height, const QVector<quint16> &values)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "#QNRB-CTImg 1.0\n"
        << "# RANGE_X0 = 0\n"
        << "# RANGE_X1 = " << width << "\n"
        << "# RANGE_Y0 = 0\n"
        << "# RANGE_Y1 = " << height << "\n";
    // The reader multiplies the third column by 500.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            out << x << ' ' << y << ' ' << values.at(y * width + x) / 500.0 << '\n';
    }
    out.flush();
    return file.commit();
}

bool writeImage(const QString &path, const QString &format, int size, const QVector<quint16> &v)
{
    if (format == QLatin1String("img"))
        return writeImg(path, size, size, v);
    if (format == QLatin1String("qnrb"))
        return writeQnrb(path, size, size, v);
    return writeTiff16(path, size, size, v.constData());
}

QString suffixOf(const QString &format)
{
    if (format == QLatin1String("img"))
        return QStringLiteral("img");
    if (format == QLatin1String("qnrb"))
        return QStringLiteral("dat");
    return QStringLiteral("tif");
}

bool writeText(const QString &path, const QString &text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

QString referenceText(const char *name, double (*mu)(double))
{
    QString text = QStringLiteral("# %1: mu*t for unit thickness\n").arg(QLatin1String(name));
    for (double e = 6900.0; e <= 7450.0; e += 0.5)
        text += QStringLiteral("%1 %2\n").arg(e, 0, 'f', 2).arg(mu(e), 0, 'f', 6);
    return text;
}

// Fe and Cu K edges of the edge table, in eV.
constexpr double edgeFe = 7113.26288;
constexpr double edgeCu = 8984.36029;

// A step of height 1 over the 2 eV around an edge.
double sharpStep(double energy, double edge)
{
    const double t = qBound(0.0, (energy - edge + 1.0) / 2.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Edge jumps of iron and copper at a pixel of a size x size sample.
void elementJumps(int x, int y, int size, double *fe, double *cu)
{
    const double rx = (x + 0.5) / size;
    const double ry = (y + 0.5) / size;
    *fe = ry < 2.0 / 3.0 ? 0.3 + 0.7 * rx : 0.0;
    const double dx = rx - 0.65;
    const double dy = ry - 0.6;
    *cu = dx * dx + dy * dy <= 0.3 * 0.3 ? 0.5 : 0.0;
}

QString mapText(int size, const std::function<double(int, int)> &value)
{
    QString text;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x)
            text += QString::number(value(x, y))
                    + (x + 1 < size ? QLatin1Char(' ') : QLatin1Char('\n'));
    }
    return text;
}

// The two-element stack: every 10 eV from 100 eV below to 100 eV above each edge.
bool writeElementStacks(const QDir &dir, const QString &format, int size, std::mt19937 &rng)
{
    const QString suffix = suffixOf(format);
    QVector<quint16> i0(size * size), i1(size * size);
    for (const double edge : {edgeFe, edgeCu}) {
        for (int step = -10; step <= 10; ++step) {
            const double e = std::round((edge + 10.0 * step) * 100.0) / 100.0;
            const double stepFe = sharpStep(e, edgeFe);
            const double stepCu = sharpStep(e, edgeCu);
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    double fe, cu;
                    elementJumps(x, y, size, &fe, &cu);
                    const double muT = 0.3 + fe * stepFe + cu * stepCu;
                    i0[y * size + x] = noisyCount(beamCounts, rng);
                    i1[y * size + x] = noisyCount(beamCounts * std::exp(-muT), rng);
                }
            }
            const QString name = QStringLiteral("%1.%2").arg(energyTag(e), suffix);
            if (!writeImage(dir.filePath(QStringLiteral("I1/I1_") + name), format, size, i1)
                || !writeImage(dir.filePath(QStringLiteral("I0/I0_") + name), format, size, i0))
                return false;
        }
    }
    const auto jumpOf = [size](bool ofFe) {
        return [size, ofFe](int x, int y) {
            double fe, cu;
            elementJumps(x, y, size, &fe, &cu);
            return ofFe ? fe : cu;
        };
    };
    return writeText(dir.filePath(QStringLiteral("jump_Fe.txt")), mapText(size, jumpOf(true)))
           && writeText(dir.filePath(QStringLiteral("jump_Cu.txt")), mapText(size, jumpOf(false)));
}

// The soft X-ray-like compounds: L3-like edges at 707 and 708.5 eV with strong white lines on
// a falling background, for unit thickness.
double softMu(double energy, double edge, double whiteLine)
{
    const double pre = 0.3 * std::pow(700.0 / energy, 3.0);
    const double step = 0.5 + std::atan((energy - edge) / 0.4) / PiTenDigits;
    const double dw = energy - edge - 1.0;
    return pre + step + whiteLine * (0.8 * 0.8) / (dw * dw + 0.8 * 0.8);
}

double softMuA(double energy)
{
    return softMu(energy, 707.0, 1.5);
}

double softMuB(double energy)
{
    return softMu(energy, 708.5, 0.8);
}

// The soft stack: count + 1 energies from 700 to 730 eV over a sample of unit thickness whose
// fraction of compound A rises from 0 at the left edge to 1 at the right, with the references
// and the true fraction map beside it.
bool writeSoftStacks(const QDir &dir, const QString &format, int size, int count, std::mt19937 &rng)
{
    const QString suffix = suffixOf(format);
    const auto fractionAt = [size](int x) { return double(x) / double(size - 1); };
    QVector<quint16> i0(size * size), i1(size * size);
    for (int n = 0; n <= count; ++n) {
        const double e = std::round((700.0 + 30.0 * n / count) * 100.0) / 100.0;
        const double a = softMuA(e), b = softMuB(e);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const double f = fractionAt(x);
                const double muT = 0.2 + f * a + (1.0 - f) * b;
                i0[y * size + x] = noisyCount(beamCounts, rng);
                i1[y * size + x] = noisyCount(beamCounts * std::exp(-muT), rng);
            }
        }
        const QString name = QStringLiteral("%1.%2").arg(energyTag(e), suffix);
        if (!writeImage(dir.filePath(QStringLiteral("I1/I1_") + name), format, size, i1)
            || !writeImage(dir.filePath(QStringLiteral("I0/I0_") + name), format, size, i0))
            return false;
    }
    const auto reference = [](const char *name, double (*mu)(double)) {
        QString text = QStringLiteral("# %1: mu*t for unit thickness\n").arg(QLatin1String(name));
        for (int k = 0; k <= 400; ++k) {
            const double e = 695.0 + 0.1 * k;
            text += QStringLiteral("%1 %2\n").arg(e, 0, 'f', 2).arg(mu(e), 0, 'f', 6);
        }
        return text;
    };
    return writeText(dir.filePath(QStringLiteral("ref_LA_707.dat")),
                     reference("compound A (edge 707 eV)", softMuA))
           && writeText(dir.filePath(QStringLiteral("ref_LB_708.dat")),
                        reference("compound B (edge 708.5 eV)", softMuB))
           && writeText(dir.filePath(QStringLiteral("fraction_A.txt")),
                        mapText(size, [&fractionAt](int x, int) { return fractionAt(x); }));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a synthetic Fe K-edge imaging XAFS data set."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("dir"), QStringLiteral("Output directory."));
    const QCommandLineOption sizeOption(QStringLiteral("size"),
                                        QStringLiteral("Image width and height (256)."),
                                        QStringLiteral("pixels"),
                                        QStringLiteral("256"));
    const QCommandLineOption countOption(QStringLiteral("energies"),
                                         QStringLiteral("About how many energies (120)."),
                                         QStringLiteral("n"),
                                         QStringLiteral("120"));
    const QCommandLineOption formatOption(QStringLiteral("format"),
                                          QStringLiteral("tif, img or qnrb (tif)."),
                                          QStringLiteral("format"),
                                          QStringLiteral("tif"));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Noise seed (1)."),
                                        QStringLiteral("n"),
                                        QStringLiteral("1"));
    const QCommandLineOption i1OnlyOption(QStringLiteral("i1-only"),
                                          QStringLiteral("Write only the I1 stack (benchmarks)."));
    const QCommandLineOption shiftOption(
        QStringLiteral("eshift"),
        QStringLiteral("Move every pixel's spectra by a smooth energy-shift field of this "
                       "amplitude in eV, written as energy_shift.txt (0: none)."),
        QStringLiteral("eV"),
        QStringLiteral("0"));
    const QCommandLineOption threeOption(
        QStringLiteral("three-compounds"),
        QStringLiteral("Mix a third compound (ref_FeC_7114.dat) into the centre disc."));
    const QCommandLineOption elementsOption(
        QStringLiteral("elements"),
        QStringLiteral("Write a Fe and Cu K-edge stack with its jump maps jump_Fe.txt and "
                       "jump_Cu.txt instead."));
    const QCommandLineOption driftOption(
        QStringLiteral("drift"),
        QStringLiteral("Move the sample by known fractions of a pixel on top of its whole-pixel "
                       "drift, against the last image, written as drift.txt."));
    const QCommandLineOption softOption(
        QStringLiteral("soft"),
        QStringLiteral("Write a 30 eV soft X-ray-like stack from 700 eV (an L3-like edge near "
                       "707 eV) with its references and fraction map instead."));
    const QCommandLineOption multiPageOption(
        QStringLiteral("multipage"),
        QStringLiteral("Write the I1 and I0 stacks also as multi-page TIFF files stack_I1.tif and "
                       "stack_I0.tif, ImageJ stacks whose slice labels are the energies in eV."));
    parser.addOption(multiPageOption);
    const QCommandLineOption h5Option(
        QStringLiteral("h5"),
        QStringLiteral("Write the stacks also as HDF5 files in h5/, one for each layout the "
                       "program recognises, and one compressed with gzip."));
    parser.addOptions({h5Option,
                       driftOption,
                       sizeOption,
                       countOption,
                       formatOption,
                       seedOption,
                       i1OnlyOption,
                       shiftOption,
                       threeOption,
                       elementsOption,
                       softOption});
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(1);

    const QString outDir = parser.positionalArguments().first();
    const int size = qBound(8, parser.value(sizeOption).toInt(), 8192);
    const QVector<double> energies
        = scanEnergies(qBound(2, parser.value(countOption).toInt(), 5000));
    const QString format = parser.value(formatOption).toLower();
    const bool i1Only = parser.isSet(i1OnlyOption);
    const double shiftAmplitude = parser.value(shiftOption).toDouble();
    std::mt19937 rng(parser.value(seedOption).toUInt());

    QDir dir(outDir);
    if (!dir.mkpath(QStringLiteral("I1")) || (!i1Only && !dir.mkpath(QStringLiteral("I0")))) {
        std::fprintf(stderr, "makesampledata: cannot create %s\n", qPrintable(outDir));
        return 1;
    }

    if (parser.isSet(elementsOption)) {
        if (!writeElementStacks(dir, format, size, rng)) {
            std::fprintf(stderr, "makesampledata: cannot write the element stacks\n");
            return 1;
        }
        std::printf("makesampledata: Fe and Cu K edges, %d x %d pixels in %s\n",
                    size,
                    size,
                    qPrintable(outDir));
        return 0;
    }

    if (parser.isSet(softOption)) {
        const int count = qBound(2, parser.value(countOption).toInt(), 5000);
        if (!writeSoftStacks(dir, format, size, count, rng)) {
            std::fprintf(stderr, "makesampledata: cannot write the soft X-ray stacks\n");
            return 1;
        }
        std::printf("makesampledata: soft X-ray stack of %d x %d pixels in %s\n",
                    size,
                    size,
                    qPrintable(outDir));
        return 0;
    }

    QVector<double> fraction, thickness;
    sampleMaps(size, &fraction, &thickness);
    const bool three = parser.isSet(threeOption);
    // The centre disc is the one of thickness 1.5.
    const auto third = [&](int k) { return three && thickness.at(k) > 1.2 ? thirdShare : 0.0; };

    QVector<quint16> i0(size * size), i1(size * size);
    // The images of the multi-page stacks, written once the scan is complete.
    QVector<QVector<quint16>> pagesI1, pagesI0;
    QStringList labels;
    const bool h5 = parser.isSet(h5Option);
    QVector<quint16> i1Frames, i0Frames;
    std::normal_distribution<double> driftStep(0.0, 0.4);
    double driftX = 0.0, driftY = 0.0;
    // With --drift: the whole-pixel walk and a fraction of a pixel per image, both taken
    // against the last image (of highest energy), where they are 0.
    const bool drift = parser.isSet(driftOption);
    QVector<QPoint> wholeDrift(energies.size());
    QVector<QPointF> subDrift(energies.size());
    QString driftText = QStringLiteral(
        "# image energy(eV) whole_dx whole_dy sub_dx sub_dy: the sample moved by whole + sub "
        "pixels against the last image\n");
    if (drift) {
        std::mt19937 driftRng(parser.value(seedOption).toUInt() + 1);
        std::uniform_real_distribution<double> fraction(-0.45, 0.45);
        double walkX = 0.0, walkY = 0.0;
        for (int n = 0; n < energies.size(); ++n) {
            walkX = qBound(-3.0, walkX + driftStep(driftRng), 3.0);
            walkY = qBound(-3.0, walkY + driftStep(driftRng), 3.0);
            wholeDrift[n] = QPoint(int(std::lround(walkX)), int(std::lround(walkY)));
            const bool last = n + 1 == energies.size();
            subDrift[n] = last ? QPointF() : QPointF(fraction(driftRng), fraction(driftRng));
        }
        for (int n = 0; n < energies.size(); ++n) {
            wholeDrift[n] -= wholeDrift.last();
            driftText += QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                             .arg(n)
                             .arg(energies.at(n), 0, 'f', 2)
                             .arg(wholeDrift.at(n).x())
                             .arg(wholeDrift.at(n).y())
                             .arg(subDrift.at(n).x(), 0, 'f', 4)
                             .arg(subDrift.at(n).y(), 0, 'f', 4);
        }
    }
    const QString suffix = suffixOf(format);
    QString angles = QStringLiteral("# monochromator angle (deg) of every image\n");
    for (int n = 0; n < energies.size(); ++n) {
        const double e = energies.at(n);
        const double ma = muA(e), mb = muB(e);
        const double substrate = 0.3 * std::pow(7000.0 / e, 3.0);
        // The beam weakens slowly over the scan; the sample wanders by a pixel or two.
        const double beam = beamCounts * (1.0 - 0.1 * n / energies.size());
        driftX = qBound(-3.0, driftX + driftStep(rng), 3.0);
        driftY = qBound(-3.0, driftY + driftStep(rng), 3.0);
        const int shiftX = int(std::lround(driftX)), shiftY = int(std::lround(driftY));
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const double rx = (x + 0.5) / size - 0.5, ry = (y + 0.5) / size - 0.5;
                const double profile = beam * std::exp(-(rx * rx + ry * ry) / 0.8);
                double muT = substrate;
                const int sx = x - shiftX, sy = y - shiftY;
                if (drift) {
                    const double dE = energyShiftAt(x, y, size, shiftAmplitude);
                    muT += movedSampleMuT(x,
                                          y,
                                          wholeDrift.at(n).x() + subDrift.at(n).x(),
                                          wholeDrift.at(n).y() + subDrift.at(n).y(),
                                          size,
                                          dE != 0.0 ? muA(e - dE) : ma,
                                          dE != 0.0 ? muB(e - dE) : mb);
                } else if (sx >= 0 && sy >= 0 && sx < size && sy < size) {
                    const int k = sy * size + sx;
                    const double f = fraction.at(k);
                    // A pixel that sees energy e + dE as e records the spectrum moved by dE.
                    const double dE = energyShiftAt(x, y, size, shiftAmplitude);
                    const double a = dE != 0.0 ? muA(e - dE) : ma;
                    const double b = dE != 0.0 ? muB(e - dE) : mb;
                    const double c = third(k);
                    muT += thickness.at(k) * (1.0 - c) * (f * a + (1.0 - f) * b);
                    if (c > 0.0)
                        muT += thickness.at(k) * c * muC(e - dE);
                }
                i0[y * size + x] = noisyCount(profile, rng);
                i1[y * size + x] = noisyCount(profile * std::exp(-muT), rng);
            }
        }
        const QString name = QStringLiteral("%1.%2").arg(energyTag(e), suffix);
        if (!writeImage(dir.filePath(QStringLiteral("I1/I1_") + name), format, size, i1)
            || (!i1Only
                && !writeImage(dir.filePath(QStringLiteral("I0/I0_") + name), format, size, i0))) {
            std::fprintf(stderr, "makesampledata: cannot write %s\n", qPrintable(name));
            return 1;
        }
        angles += QStringLiteral("%1\n").arg(Bragg::angleOf(e), 0, 'f', 8);
        if (parser.isSet(multiPageOption)) {
            pagesI1 << i1;
            pagesI0 << i0;
            labels << QString::number(e, 'f', 2);
        }
        if (h5) {
            i1Frames += i1;
            i0Frames += i0;
        }
    }
    const auto writeStack = [&](const QString &name, const QVector<QVector<quint16>> &pages) {
        return writeTiff16Pages(
            dir.filePath(name),
            size,
            size,
            int(pages.size()),
            [&pages](int i) { return pages.at(i).constData(); },
            labels);
    };
    if (parser.isSet(multiPageOption)
        && (!writeStack(QStringLiteral("stack_I1.tif"), pagesI1)
            || (!i1Only && !writeStack(QStringLiteral("stack_I0.tif"), pagesI0)))) {
        std::fprintf(stderr, "makesampledata: cannot write the multi-page stacks\n");
        return 1;
    }
    if (h5 && !writeH5Layouts(dir, size, energies, i1Frames, i0Frames)) {
        std::fprintf(stderr, "makesampledata: cannot write the HDF5 files\n");
        return 1;
    }

    QString fractionText;
    QVector<quint16> fractionTiff(size * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // -1 (65535 in the TIFF) marks pixels without sample.
            const bool inSample = thickness.at(y * size + x) > 0.0;
            const double f = inSample ? fraction.at(y * size + x) : -1.0;
            fractionText
                += QString::number(f) + (x + 1 < size ? QLatin1Char(' ') : QLatin1Char('\n'));
            fractionTiff[y * size + x] = inSample ? quint16(std::lround(f * 10000.0)) : 65535;
        }
    }
    const bool ok
        = writeText(dir.filePath(QStringLiteral("ref_FeA_7112.dat")),
                    referenceText("compound A (edge 7112 eV)", muA))
          && writeText(dir.filePath(QStringLiteral("ref_FeB_7117.dat")),
                       referenceText("compound B (edge 7117 eV)", muB))
          && writeText(dir.filePath(QStringLiteral("fraction_A.txt")), fractionText)
          && writeTiff16(
              dir.filePath(QStringLiteral("fraction_A.tif")), size, size, fractionTiff.constData())
          && writeText(dir.filePath(QStringLiteral("angles.dat")), angles)
          && (!three
              || writeText(dir.filePath(QStringLiteral("ref_FeC_7114.dat")),
                           referenceText("compound C (edge 7114 eV)", muC)));
    bool shiftOk = !drift || writeText(dir.filePath(QStringLiteral("drift.txt")), driftText);
    if (shiftAmplitude != 0.0) {
        QString shiftText;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x)
                shiftText += QString::number(energyShiftAt(x, y, size, shiftAmplitude), 'g', 8)
                             + (x + 1 < size ? QLatin1Char(' ') : QLatin1Char('\n'));
        }
        shiftOk = shiftOk && writeText(dir.filePath(QStringLiteral("energy_shift.txt")), shiftText);
    }
    if (!ok || !shiftOk) {
        std::fprintf(stderr, "makesampledata: cannot write the reference files\n");
        return 1;
    }
    std::printf("makesampledata: %d energies of %d x %d pixels in %s\n",
                int(energies.size()),
                size,
                size,
                qPrintable(outDir));
    return 0;
}
