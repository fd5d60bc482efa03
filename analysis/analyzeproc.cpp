#include "analyzeproc.h"

AnalyzeProc::AnalyzeProc(QObject *parent)
    : QObject(parent)
{}

void AnalyzeProc::registerMetaTypes()
{
    XafsSpectrum::registerMetaTypes();
    qRegisterMetaType<LCFReferenceData>("LCFReferenceData");
    qRegisterMetaType<QVector<LCFReferenceData>>("QVector<LCFReferenceData>");
    qRegisterMetaType<LCFFit>("LCFFit");
    qRegisterMetaType<LCFFitOptions>("LCFFitOptions");
    qRegisterMetaType<ElemParams>("ElemParams");
    qRegisterMetaType<QVector<ElemParams>>("QVector<ElemParams>");
    qRegisterMetaType<ElemBackgrounds>("ElemBackgrounds");
    qRegisterMetaType<ElemResults>("ElemResults");
}

void AnalyzeProc::setContAccess(bool f)
{
    mContAccess = f;
}

void AnalyzeProc::analyzeSpectrum0(XafsSpectrum s,
                                   QVector<LCFReferenceData> references,
                                   bool isMLCF,
                                   LCFFitOptions options)
{
    analyze(s, references, isMLCF, options);
}

void AnalyzeProc::analyzeSpectrumByLCF(XafsSpectrum s, QVector<LCFReferenceData> references)
{
    analyze(s, references, false);
}

void AnalyzeProc::analyzeSpectrumByMLCF(XafsSpectrum s, QVector<LCFReferenceData> references)
{
    analyze(s, references, true);
}

void AnalyzeProc::analyze(const XafsSpectrum &s,
                          const QVector<LCFReferenceData> &references,
                          bool mlcf,
                          const LCFFitOptions &options)
{
    const bool contAccess = mContAccess;
    const LCFFit fit = fitLCF(s, references, mlcf, contAccess, options);
    // Under the cursor nothing waits for a spectrum that could not be fitted.
    if (fit.done || contAccess)
        emit finished(fit);
}

void AnalyzeProc::analyzeSpectrumElems0(XafsSpectrum s,
                                        QVector<ElemParams> elems,
                                        int mainT,
                                        ElemBackgrounds bg)
{
    emit finishedAElems(ElemAnalysis::analyze(s, elems, mainT, bg));
}
