#pragma once

#include "spectra/interpolation.h"

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

class Spectrum;

// What the element analysis reads of one target element row, copied on the GUI thread.
struct ElemParams
{
    int z = 1;
    int edge = 0;
    double prePostDE = 20.0;
    double roiStart = 7000.0;
    double roiEnd = 7005.0;
    double thDMut = 0.1;
    bool noNeg = true;
    // Whether the element takes part in the correlation, and its entry in the standard pattern.
    bool use = false;
    double stdRatio = 1.0;
};

// A target element named by the user: symbol and edge name as typed, with their numbers.
struct ElemName
{
    QString symbol;
    QString edgeName;
    int z = 0;
    int edge = 0;
};

// The values written instead of the measured ones when an element's jump is below its
// threshold (dmutRatio is kept with them but no result reads it).
struct ElemBackgrounds
{
    double dmut = -1.0;
    double dmutRatio = -1.0;
    double dE = -1.0;
    double roi = -1.0;
    double nroi = -1.0;
};

// The results of one spectrum, one value per element row in row order in each kind.
struct ElemResults
{
    enum Kind { DMut, Ratio, MuPlus, MuMinus, EdgePos, Roi, NRoi, Kinds };

    QVector<double> values[Kinds];
    // The measured jumps, below the threshold too.
    QVector<double> rawDMut;
    // Set when the rows in use give a correlation with the standard pattern.
    bool hasCorrelation = false;
    double correlation = 0.0;
};

// The element analysis of spectra that share their energies: for every target element the
// jump dmut = mu(E0 + dE) - mu(E0 - dE) at its table edge E0, the mean crossing of the
// half-jump level relative to E0, the mean absorption over a region of interest above
// mu(E0 - dE) and that mean over the jump, and every jump relative to the main element's.
// The points and weights every value reads are found once by prepare(); evaluate() then costs
// a few reads per element, so that a whole area and a single spectrum go through the same
// arithmetic.
//
// A spectrum with its shift on is read on its shifted scale throughout: the point searches
// compare the stored energies with E + shift, and the jump is interpolated at E0 +- dE on the
// same scale (as Spectrum::valueAt reads a shifted spectrum).
class ElemAnalysis
{
public:
    ElemAnalysis(const QVector<ElemParams> &elems, int mainTarget, const ElemBackgrounds &bg);

    int elementCount() const { return mElems.size(); }
    // Layout of the values: kind k of element l at k * n + l (the seven kinds of
    // ElemResults), the measured jumps at 7n + l, then the correlation flag and value.
    int valueCount() const { return 8 * elementCount() + 2; }

    // Takes the n stored energies of the spectra to come and their shift.
    void prepare(int n, const double *energies, double shift);
    // Writes valueCount() values for the spectrum whose value i yAt(i) gives.
    template<typename YAt>
    void evaluate(YAt yAt, double *values) const;

    // The analysis of one spectrum.
    static ElemResults analyze(const Spectrum &spectrum,
                               const QVector<ElemParams> &elems,
                               int mainTarget,
                               const ElemBackgrounds &bg);
    // The elements of a list of names separated by blanks or commas: "Fe" (K edge), "Fe-LIII",
    // "Fe-" (an empty edge name, the K edge); one element per row, so a later name of an
    // element already listed is dropped (its symbol goes to repeated, once), and names whose
    // symbol the element table lacks are skipped (they go to unknown). With sortByZ in rising
    // atomic number.
    static QVector<ElemName> parseNames(const QString &text,
                                        bool sortByZ,
                                        QStringList *repeated = nullptr,
                                        QStringList *unknown = nullptr);
    // A point's value in the thresholded correlation map: the correlation when it reaches the
    // threshold, else 0.
    static double thresholded(double correlation, double corTh)
    {
        return correlation >= corTh ? correlation : 0.0;
    }
    // The correlation of the ratios of the rows in use with their standard ratios; false
    // when either sum of squares is not positive.
    static bool
    correlation(const QVector<ElemParams> &elems, const double *ratios, double *correlation);

private:
    // Linear interpolation as Spectrum::valueAt: no point (0), one point, or the segment
    // ending at point upper.
    struct Reading
    {
        int points = 0;
        int upper = 0;
        double xa = 0.0;
        double xb = 0.0;
        double x = 0.0;

        template<typename YAt>
        double value(YAt yAt) const
        {
            if (points == 0)
                return 0.0;
            if (points == 1)
                return yAt(0);
            return lineValue(xa, yAt(upper - 1), xb, yAt(upper), x);
        }
    };
    struct Plan
    {
        Reading plus;
        Reading minus;
        // Crossings are looked for between these points; none when noEdge.
        int edgeFrom = 0;
        int edgeTo = 0;
        bool noEdge = false;
        int roiFrom = 0;
        int roiTo = 0;
    };
    // The first point whose upper midpoint lies above x + shift, else the last one.
    int nearestPoint(double x) const;
    Reading readingAt(double x) const;

    QVector<ElemParams> mElems;
    int mMainTarget = 0;
    ElemBackgrounds mBg;
    std::vector<double> mEnergies;
    double mShift = 0.0;
    std::vector<double> mEdges;
    std::vector<Plan> mPlans;
};

template<typename YAt>
void ElemAnalysis::evaluate(YAt yAt, double *values) const
{
    const int n = elementCount();
    double *dmuts = values;
    double *ratios = values + n;
    double *muPlus = values + 2 * n;
    double *muMinus = values + 3 * n;
    double *edgePos = values + 4 * n;
    double *rois = values + 5 * n;
    double *nrois = values + 6 * n;
    double *raw = values + 7 * n;
    for (int l = 0; l < n; ++l) {
        const ElemParams &elem = mElems.at(l);
        const Plan &plan = mPlans[size_t(l)];
        const double plus = plan.plus.value(yAt);
        const double minus = plan.minus.value(yAt);
        const double dmut = plus - minus;
        raw[l] = dmut;
        if (!(dmut > elem.thDMut)) {
            dmuts[l] = muPlus[l] = muMinus[l] = mBg.dmut;
            edgePos[l] = mBg.dE;
            rois[l] = mBg.roi;
            nrois[l] = mBg.nroi;
            continue;
        }
        const double level = (plus + minus) / 2.0;
        double sum = 0.0;
        int count = 0;
        if (!plan.noEdge) {
            double ya = yAt(plan.edgeFrom);
            for (int m = plan.edgeFrom; m < plan.edgeTo; ++m) {
                const double yb = yAt(m + 1);
                if (ya < level && level <= yb) {
                    sum += (mEnergies[size_t(m)] + mEnergies[size_t(m) + 1]) / 2.0 - mShift;
                    ++count;
                }
                ya = yb;
            }
        }
        edgePos[l] = count > 0 ? sum / count - mEdges[size_t(l)] : 0.0;
        double roi = 0.0;
        double nroi = 0.0;
        if (plan.roiFrom < plan.roiTo) {
            double roiSum = 0.0;
            for (int m = plan.roiFrom; m < plan.roiTo; ++m)
                roiSum += yAt(m) - minus;
            roi = roiSum / (plan.roiTo - plan.roiFrom);
            nroi = roi / dmut;
            if (elem.noNeg && roi < 0.0) {
                roi = mBg.roi;
                nroi = mBg.nroi;
            }
        }
        dmuts[l] = dmut;
        muPlus[l] = plus;
        muMinus[l] = minus;
        rois[l] = roi;
        nrois[l] = nroi;
    }
    // Below-threshold jumps take part with their background value.
    const double main = n > 0 ? dmuts[mMainTarget] : 0.0;
    for (int l = 0; l < n; ++l)
        ratios[l] = dmuts[l] / main;
    double *corr = values + 8 * n;
    corr[1] = 0.0;
    corr[0] = correlation(mElems, ratios, corr + 1) ? 1.0 : 0.0;
}

Q_DECLARE_METATYPE(ElemParams)
Q_DECLARE_METATYPE(ElemBackgrounds)
Q_DECLARE_METATYPE(ElemResults)
