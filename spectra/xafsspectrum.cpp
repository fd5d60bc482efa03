#include "xafsspectrum.h"

#include "edgenormalization.h"
#include "input/bragg.h"
#include "output/savefile.h"

#include <QDebug>
#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace {

QStringList splitFields(const QString &line)
{
    return line.simplified().split(QLatin1Char(' '), Qt::KeepEmptyParts);
}

} // namespace

XafsSpectrum::XafsSpectrum(const Spectrum &raw, int isVictoreen, double eOrigin)
    : Spectrum(raw)
    , isVictoreen(isVictoreen)
    , eOrigin(eOrigin)
{
    if (!isEmpty())
        normalize(isVictoreen);
}

XafsSpectrum::XafsSpectrum(const Spectrum &raw, const Background &background, double eOrigin)
    : Spectrum(raw)
    , isVictoreen(background.victoreen)
    , eOrigin(eOrigin)
{
    setRanges(background.ranges);
    if (!isEmpty())
        normalize(isVictoreen);
}

void XafsSpectrum::setRanges(const NormRanges &ranges)
{
    preStart = ranges.preStart;
    preEnd = ranges.preEnd;
    postStart = ranges.postStart;
    postEnd = ranges.postEnd;
}

void XafsSpectrum::registerMetaTypes()
{
    qRegisterMetaType<XafsSpectrum>("XafsSpectrum");
    qRegisterMetaType<XafsSpectrum *>("XafsSpectrum*");
}

void XafsSpectrum::normalize(int isVictoreen)
{
    if (isEmpty())
        return;
    this->isVictoreen = isVictoreen;
    const int n = size();
    const auto xOf = [this](int i) { return xAt(i); };
    EdgeNormalization levels;
    levels.run(
        n,
        xOf,
        [this](int i) { return yAt(i); },
        minY,
        maxY,
        isVictoreen,
        ranges(),
        preEdge,
        postEdge);
    for (BaseLine *line : {&preEdge, &postEdge}) {
        const std::vector<double> &values = line == &preEdge ? levels.preValues : levels.postValues;
        line->clear();
        line->points.reserve(n);
        for (int i = 0; i < n; ++i)
            line->append(xAt(i), values[size_t(i)]);
    }
    e0 = levels.e0;
    jump = levels.jump;
    normFailures = levels.failures;

    normPostBase.clear();
    doubleNormPostBase.clear();
    normalized.clear();
    doubleNormPreBase.clear();
    for (Spectrum *derived : {&normPostBase, &doubleNormPostBase, &normalized, &doubleNormPreBase})
        derived->points.reserve(n);
    for (int i = 0; i < n; ++i) {
        const double energy = xAt(i);
        const double mu = yAt(i);
        const double pre = levels.preValues[size_t(i)];
        const double post = levels.postValues[size_t(i)];
        normPostBase.append(energy, (mu - post) / jump);
        doubleNormPostBase.append(energy, (mu - post) / (post - pre));
        normalized.append(energy, 1.0 + (mu - post) / jump);
        doubleNormPreBase.append(energy, (mu - pre) / (post - pre));
    }
}

double XafsSpectrum::doubleNormalizedPreBase(double energy) const
{
    return doubleNormPreBase.valueAt(energy);
}

bool XafsSpectrum::readFile(const QString &path)
{
    plainText = 1;
    readError.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        readOutcome = CannotOpen;
        readError = file.errorString();
        return false;
    }
    QTextStream in(&file);
    // The first line tells the format; each reader then reads the file from its start.
    const bool is9809 = in.readLine().simplified().left(4) == QLatin1String("9809");
    in.seek(0);
    clear();
    if (is9809) {
        plainText = 0;
        read9809(in, path);
    } else {
        readPlainText(in, path);
    }
    if (isEmpty()) {
        readOutcome = NoPoints;
        return false;
    }
    // The base lines and the fits walk the points in order of rising energy, as the stacks
    // are sorted.
    readOutcome = sortByEnergy() ? ReadSorted : Read;
    return true;
}

bool XafsSpectrum::sortByEnergy()
{
    const auto lower = [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); };
    if (std::is_sorted(points.cbegin(), points.cend(), lower))
        return false;
    QVector<QPointF> sorted = points;
    std::stable_sort(sorted.begin(), sorted.end(), lower);
    clear();
    for (const QPointF &point : qAsConst(sorted))
        append(point.x(), point.y());
    return true;
}

bool XafsSpectrum::read9809(QTextStream &in, const QString &path)
{
    double latticeSpacing = Bragg::latticeSpacing;
    bool inData = false;
    int skipped = 0;
    while (!in.atEnd()) {
        const QStringList fields = splitFields(in.readLine());
        if (!inData) {
            if (fields.at(0) == QLatin1String("Offset")) {
                inData = true;
                continue;
            }
            const int key = fields.indexOf(QStringLiteral("D="));
            if (key >= 0 && key + 1 < fields.size()) {
                bool ok = false;
                const double spacing = fields.at(key + 1).toDouble(&ok);
                // A spacing that is not a positive number would turn every energy infinite.
                if (ok && spacing > 0)
                    latticeSpacing = spacing;
                else
                    qDebug() << "Bad lattice spacing" << fields.at(key + 1) << "in" << path;
            }
            continue;
        }
        if (fields.size() <= 4)
            continue;
        const double theta = fields.at(1).toDouble();
        const double i0 = fields.at(3).toDouble();
        const double i1 = fields.at(4).toDouble();
        const double mu = i0 * i1 > 0 ? std::log(i0 / i1) : 1.0;
        const double energy = Bragg::energyOf(theta, latticeSpacing);
        // An angle of zero (or text in the angle column) has no finite energy.
        if (!std::isfinite(energy)) {
            ++skipped;
            continue;
        }
        append(energy, mu);
    }
    if (skipped > 0)
        qDebug() << "Skipped" << skipped << "data lines without a finite energy in" << path;
    return true;
}

bool XafsSpectrum::readPlainText(QTextStream &in, const QString &path)
{
    int skipped = 0;
    while (!in.atEnd()) {
        const QStringList fields = splitFields(in.readLine());
        if (fields.size() < 2 || fields.at(0).startsWith(QLatin1Char('#')))
            continue;
        bool xOk = false;
        bool yOk = false;
        const double x = fields.at(0).toDouble(&xOk);
        const double y = fields.at(1).toDouble(&yOk);
        // Column captions and other text lines are not points at (0, 0).
        if (!xOk || !yOk)
            continue;
        // "nan" and "inf" read as numbers, but no energy order or fit can hold them.
        if (!std::isfinite(x) || !std::isfinite(y)) {
            ++skipped;
            continue;
        }
        append(x, y);
    }
    if (skipped > 0)
        qDebug() << "Skipped" << skipped << "points that are not finite numbers in" << path;
    return !isEmpty();
}

bool XafsSpectrum::writeFile(const QString &path, bool relative) const
{
    SaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        qDebug() << "Cannot write spectrum file" << path;
        return false;
    }
    QTextStream out(&file);
    out << "###Marvolenti::XafsSpectrum\n";
    out << "# x  double-normalized-pre-base y pre post\n";
    const auto valueOrZero = [](const Spectrum &spectrum, int i) {
        return i < spectrum.size() ? spectrum.yAt(i) : 0.0;
    };
    for (int i = 0; i < size(); ++i) {
        double x = xAt(i);
        if (relative)
            x -= eOrigin;
        out << x << '\t' << valueOrZero(doubleNormPreBase, i) << '\t' << yAt(i) << '\t'
            << valueOrZero(preEdge, i) << '\t' << valueOrZero(postEdge, i) << '\n';
    }
    out.flush();
    if (out.status() != QTextStream::Ok)
        file.cancelWriting();
    if (!file.commitWhole()) {
        qDebug() << "Cannot write spectrum file" << path;
        return false;
    }
    return true;
}
