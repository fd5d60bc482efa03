#pragma once

#include "analysis/elemanalysis.h"
#include "analysis/lcffit.h"
#include "analysis/lcfreferencedata.h"
#include "spectra/xafsspectrum.h"

#include <QObject>
#include <QVector>

#include <atomic>

// The analysis worker: lives on its own thread and fits one spectrum at a time against the
// reference snapshots that come with it, by LCF or MLCF, or measures its element edges with
// the row parameters that come with it. Results go back with finished() and finishedAElems().
class AnalyzeProc : public QObject
{
    Q_OBJECT

public:
    explicit AnalyzeProc(QObject *parent = nullptr);

    // Registers the types that cross to the worker's thread.
    static void registerMetaTypes();

    bool contAccess() const { return mContAccess; }

signals:
    // One fit is done. During area runs also a spectrum that could not be fitted gives an
    // answer (with fractions of 0), so that the run goes on.
    void finished(LCFFit fit);
    void finishedAElems(ElemResults results);

public slots:
    // Set during area runs: the fitted spectrum then weighs the references by their stored
    // coefficients. May be called from any thread.
    void setContAccess(bool f);
    void analyzeSpectrum0(XafsSpectrum s,
                          QVector<LCFReferenceData> references,
                          bool isMLCF,
                          LCFFitOptions options = LCFFitOptions());
    void analyzeSpectrumByLCF(XafsSpectrum s, QVector<LCFReferenceData> references);
    void analyzeSpectrumByMLCF(XafsSpectrum s, QVector<LCFReferenceData> references);

    void
    analyzeSpectrumElems0(XafsSpectrum s, QVector<ElemParams> elems, int mainT, ElemBackgrounds bg);

private:
    void analyze(const XafsSpectrum &s,
                 const QVector<LCFReferenceData> &references,
                 bool mlcf,
                 const LCFFitOptions &options = LCFFitOptions());

    std::atomic<bool> mContAccess{false};
};
