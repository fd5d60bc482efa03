#include "elemanalysis.h"

#include "spectra/elementtable.h"
#include "spectra/spectrum.h"
#include "spectra/victoreentable.h"

#include <QSet>

#include <cmath>
#include <utility>

ElemAnalysis::ElemAnalysis(const QVector<ElemParams> &elems,
                           int mainTarget,
                           const ElemBackgrounds &bg)
    : mElems(elems)
    , mMainTarget(mainTarget >= 0 && mainTarget < elems.size() ? mainTarget : 0)
    , mBg(bg)
{}

int ElemAnalysis::nearestPoint(double x) const
{
    const int n = int(mEnergies.size());
    for (int k = 0; k + 1 < n; ++k) {
        if ((mEnergies[size_t(k)] + mEnergies[size_t(k) + 1]) / 2.0 > x + mShift)
            return k;
    }
    return n > 0 ? n - 1 : 0;
}

ElemAnalysis::Reading ElemAnalysis::readingAt(double x) const
{
    Reading reading;
    const int n = int(mEnergies.size());
    reading.points = qMin(n, 2);
    if (n < 2)
        return reading;
    const auto xAt = [this](int i) { return mEnergies[size_t(i)] - mShift; };
    reading.upper = polylineSegment(n, x, xAt);
    reading.xa = xAt(reading.upper - 1);
    reading.xb = xAt(reading.upper);
    reading.x = x;
    return reading;
}

void ElemAnalysis::prepare(int n, const double *energies, double shift)
{
    mEnergies.assign(energies, energies + n);
    mShift = shift;
    mEdges.clear();
    mPlans.clear();
    for (const ElemParams &elem : qAsConst(mElems)) {
        const double e0 = edgeEnergyEV(elem.z, elem.edge);
        mEdges.push_back(e0);
        Plan plan;
        plan.plus = readingAt(e0 + elem.prePostDE);
        plan.minus = readingAt(e0 - elem.prePostDE);
        plan.edgeFrom = nearestPoint(e0 - elem.prePostDE);
        plan.edgeTo = nearestPoint(e0 + elem.prePostDE);
        plan.noEdge = plan.edgeTo == 0;
        plan.roiFrom = nearestPoint(elem.roiStart);
        plan.roiTo = nearestPoint(elem.roiEnd);
        mPlans.push_back(plan);
    }
}

ElemResults ElemAnalysis::analyze(const Spectrum &spectrum,
                                  const QVector<ElemParams> &elems,
                                  int mainTarget,
                                  const ElemBackgrounds &bg)
{
    ElemAnalysis analysis(elems, mainTarget, bg);
    const int size = spectrum.size();
    std::vector<double> energies(static_cast<size_t>(size));
    for (int i = 0; i < size; ++i)
        energies[size_t(i)] = spectrum.points.at(i).x();
    analysis.prepare(size, energies.data(), spectrum.shiftOn ? spectrum.dE : 0.0);
    std::vector<double> values(size_t(analysis.valueCount()));
    analysis.evaluate([&spectrum](int i) { return spectrum.yAt(i); }, values.data());

    ElemResults results;
    const int n = elems.size();
    for (int k = 0; k < ElemResults::Kinds; ++k)
        results.values[k] = QVector<double>(values.begin() + k * n, values.begin() + (k + 1) * n);
    results.rawDMut = QVector<double>(values.begin() + 7 * n, values.begin() + 8 * n);
    results.hasCorrelation = values[size_t(8 * n)] != 0.0;
    results.correlation = values[size_t(8 * n + 1)];
    return results;
}

bool ElemAnalysis::correlation(const QVector<ElemParams> &elems,
                               const double *ratios,
                               double *correlation)
{
    double srr = 0.0;
    double stt = 0.0;
    double srt = 0.0;
    for (int l = 0; l < elems.size(); ++l) {
        if (!elems.at(l).use)
            continue;
        const double r = ratios[l];
        const double t = elems.at(l).stdRatio;
        srr += r * r;
        stt += t * t;
        srt += r * t;
    }
    if (!(srr > 0.0 && stt > 0.0))
        return false;
    *correlation = srt / std::sqrt(srr * stt);
    return true;
}

QVector<ElemName> ElemAnalysis::parseNames(const QString &text,
                                           bool sortByZ,
                                           QStringList *repeated,
                                           QStringList *unknown)
{
    QString words = text;
    words.replace(QLatin1Char(','), QLatin1Char(' '));
    QVector<ElemName> names;
    QSet<int> listed;
    for (const QString &word : words.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        ElemName name;
        name.symbol = word;
        name.edgeName = QStringLiteral("K");
        const int dash = word.indexOf(QLatin1Char('-'));
        if (dash > 0) {
            name.symbol = word.left(dash);
            name.edgeName = word.mid(dash + 1);
        }
        name.z = atomicNumberOf(name.symbol);
        name.edge = edgeIndexOf(name.edgeName);
        if (name.z <= 0) {
            if (unknown && !unknown->contains(word))
                unknown->append(word);
            continue;
        }
        if (listed.contains(name.z)) {
            if (repeated && !repeated->contains(name.symbol))
                repeated->append(name.symbol);
            continue;
        }
        listed.insert(name.z);
        names.append(name);
    }
    if (sortByZ) {
        for (int i = 0; i < names.size(); ++i) {
            int smallest = i;
            for (int k = i + 1; k < names.size(); ++k) {
                if (names.at(k).z < names.at(smallest).z)
                    smallest = k;
            }
            std::swap(names[i], names[smallest]);
        }
    }
    return names;
}
