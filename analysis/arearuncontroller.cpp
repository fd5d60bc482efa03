#include "arearuncontroller.h"

#include "analysis/aelemsconds.h"
#include "analysis/analyzed2dres.h"
#include "analysis/analyzer.h"
#include "analysis/lcffitoptionsbox.h"
#include "analysis/blockengine.h"
#include "analysis/lcfreference.h"
#include "batch/batchcommands.h"
#include "batch/commandregistry.h"
#include "calib/calibctrl.h"

#include <QCheckBox>
#include <QDebug>
#include <QLineEdit>
#include <QSignalBlocker>

AreaRunController::AreaRunController(Analyzer *analyzer, BlockEngine *engine, QObject *parent)
    : QObject(parent)
    , mAnalyzer(analyzer)
    , mAreaRun(new AreaRun(engine, this))
{
    connect(mAnalyzer, &Analyzer::askAnalyze, this, [this] { startAreaRun(AreaRun::LCFRun); });
    connect(mAnalyzer, &Analyzer::askRAAnalyze, this, [this] { startAreaRun(AreaRun::RARun); });
    connect(
        mAnalyzer, &Analyzer::askAnalyzeElems, this, [this] { startAreaRun(AreaRun::ElemRun); });
    // The maps of the element rows go with them.
    connect(mAnalyzer, &Analyzer::elemsRebuilding, this, [this] {
        if (mAreaRun->kind() == AreaRun::ElemRun)
            stop2DAnalysis();
    });
    connect(mAreaRun, &AreaRun::newRow, this, [this](qint64, double percent) {
        if (mAreaRun->kind() == AreaRun::ElemRun)
            mAnalyzer->setElemsProgress(percent);
        else
            mAnalyzer->setProgress(percent);
    });
    connect(mAreaRun, &AreaRun::redrawDue, this, [this] { redrawShownMap(mAreaRun->kind()); });
    connect(mAreaRun, &AreaRun::ended, this, &AreaRunController::areaRunEnded);
}

void AreaRunController::setBlockRequestProvider(std::function<BlockRequest()> provider)
{
    mBlockRequest = std::move(provider);
}

void AreaRunController::setEnergiesProvider(std::function<QVector<double>()> provider)
{
    mEnergies = std::move(provider);
}

void AreaRunController::setCalibratingProvider(std::function<bool()> provider)
{
    mCalibrating = std::move(provider);
}

void AreaRunController::setTargetWindow(const CalibCtrl *calib)
{
    mTarget = calib;
    mAnalyzer->setNewRefBackgroundProvider([calib] { return calib->targetBackground(); });
    connect(calib, &CalibCtrl::presetApplied, this, &AreaRunController::setReferenceRanges);
}

void AreaRunController::setMapControls(QLineEdit *factor,
                                       QLineEdit *ratio,
                                       QCheckBox *showProcessed,
                                       QAbstractButton *deglitch,
                                       QAbstractButton *printValues)
{
    mDeglitchFactor = factor;
    mDeglitchRatio = ratio;
    mShowProcessed = showProcessed;
    connect(showProcessed, &QCheckBox::toggled, this, &AreaRunController::showProcImg);
    connect(deglitch, &QAbstractButton::clicked, this, &AreaRunController::deglitch);
    connect(printValues, &QAbstractButton::clicked, this, &AreaRunController::printSelectedMap);
}

void AreaRunController::registerCommands(CommandRegistry &commands)
{
    registerWindowCommands(commands);
    mAnalyzer->fitOptionsBox()->registerCommands(
        commands, [this](const QString &failure) { emit message(failure, true); });
    commands.add(QStringLiteral("analyzer_exec_LCF"),
                 AnalyzerExecLCF,
                 CommandRegistry::WaitsForWork,
                 [this](const CmdLine &) { return execAreaRunCommand(AreaRun::LCFRun); });
    commands.add(QStringLiteral("analyzer_exec_ra"),
                 AnalyzerExecRa,
                 CommandRegistry::WaitsForWork,
                 [this](const CmdLine &) { return execAreaRunCommand(AreaRun::RARun); });
    commands.add(QStringLiteral("analyzer_exec_elems"),
                 AnalyzerExecElems,
                 CommandRegistry::WaitsForWork,
                 [this](const CmdLine &) { return execAreaRunCommand(AreaRun::ElemRun); });
    commands.add(QStringLiteral("analyzer_elems_select_target"),
                 AnalyzerElemsSelectTarget,
                 [this](const CmdLine &cmd) { selectElemsRow(true, cmd.arg(0)); });
    commands.add(QStringLiteral("analyzer_elems_select_show"),
                 AnalyzerElemsSelectShow,
                 [this](const CmdLine &cmd) { selectElemsRow(false, cmd.arg(0)); });
    commands.add(QStringLiteral("analyzer_deglitch"), AnalyzerDeglitch, [this](const CmdLine &) {
        if (!deglitch())
            emit message(tr("No result map selected in the analyser"), false);
    });
    commands.add(QStringLiteral("analyzer_set_deglitch_factor"),
                 AnalyzerSetDeglitchFactor,
                 [this](const CmdLine &cmd) {
                     mDeglitchFactor->setText(QString::number(cmd.arg(0).toDouble(), 'g', 6));
                 });
    commands.add(QStringLiteral("analyzer_set_deglitch_ratio"),
                 AnalyzerSetDeglitchRatio,
                 [this](const CmdLine &cmd) {
                     mDeglitchRatio->setText(QString::number(cmd.arg(0).toDouble(), 'g', 6));
                 });
    commands.add(QStringLiteral("analyzer_show_deglitched"),
                 AnalyzerShowDeglitched,
                 [this](const CmdLine &cmd) {
                     const bool deglitched = cmd.flagArg(0);
                     {
                         // The box may already read so while the map does not (de Glitch
                         // shows the deglitched values without checking it).
                         const QSignalBlocker blocker(mShowProcessed);
                         mShowProcessed->setChecked(deglitched);
                     }
                     if (!mAnalyzer->selectedMap())
                         emit message(tr("No result map selected in the analyser"), false);
                     showProcImg(deglitched);
                 });
}

void AreaRunController::registerWindowCommands(CommandRegistry &commands)
{
    Analyzer *analyzer = mAnalyzer;
    commands.add(QStringLiteral("analyzer_show_window"),
                 AnalyzerShowWindow,
                 [analyzer](const CmdLine &) { analyzer->show(); });
    commands.add(
        QStringLiteral("analyzer_set_LCF_std"), AnalyzerSetLCFStd, [analyzer](const CmdLine &cmd) {
            analyzer->setLCFStd(
                cmd.arg(0).toInt(), cmd.flagArg(1), cmd.arg(2).toDouble(), cmd.arg(3), cmd.arg(4));
        });
    commands.add(
        QStringLiteral("analyzer_set_LCF_std_ranges"),
        AnalyzerSetLCFStdRanges,
        [this, analyzer](const CmdLine &cmd) {
            const int row = cmd.arg(0).toInt();
            NormRanges ranges;
            if (row < 0 || row >= analyzer->refs().size())
                emit message(tr("No reference row %1").arg(cmd.arg(0)), false);
            else if (!NormRanges::fromTexts(cmd.args, 1, &ranges))
                emit message(
                    tr("Bad normalisation ranges: %1").arg(cmd.args.mid(1).join(QLatin1Char(' '))),
                    false);
            else
                analyzer->refs().at(row)->setRanges(ranges);
        });
    commands.add(QStringLiteral("analyzer_set_LCF_mode"),
                 AnalyzerSetLCFMode,
                 [analyzer](const CmdLine &cmd) { analyzer->setLCFMode(cmd.arg(0).toInt()); });
    commands.add(QStringLiteral("analyzer_target_elements"),
                 AnalyzerTargetElements,
                 [analyzer](const CmdLine &cmd) { analyzer->setTargetElements(cmd.arg(0)); });
    commands.add(QStringLiteral("analyzer_elems_set_deVs"),
                 AnalyzerElemsSetDeVs,
                 [analyzer](const CmdLine &cmd) { analyzer->setElemsDE(cmd.arg(0).toDouble()); });
    commands.add(
        QStringLiteral("analyzer_elems_set_corr_th"),
        AnalyzerElemsSetCorrTh,
        [analyzer](const CmdLine &cmd) { analyzer->setElemsCorTh(cmd.arg(0).toDouble()); });
    commands.add(
        QStringLiteral("analyzer_elems_select_disp_mode"),
        AnalyzerElemsSelectDispMode,
        [analyzer](const CmdLine &cmd) { analyzer->selectElemsDispMode(cmd.arg(0).toInt()); });
    commands.add(
        QStringLiteral("analyzer_elems_set_use"),
        AnalyzerElemsSetUse,
        [analyzer](const CmdLine &cmd) { analyzer->setElemsUse(cmd.arg(0), cmd.flagArg(1)); });
    commands.add(QStringLiteral("analyzer_elems_sort_by_an"),
                 AnalyzerElemsSortByAn,
                 [analyzer](const CmdLine &cmd) { analyzer->setElemsSortByAN(cmd.flagArg(0)); });
    commands.add(
        QStringLiteral("analyzer_elems_roi"), AnalyzerElemsRoi, [analyzer](const CmdLine &cmd) {
            analyzer->setElemsROI(cmd.arg(0), cmd.arg(1).toDouble(), cmd.arg(2).toDouble());
        });
    commands.add(QStringLiteral("analyzer_elems_thdmut"),
                 AnalyzerElemsThdmut,
                 [analyzer](const CmdLine &cmd) {
                     analyzer->setElemsThDMut(cmd.arg(0), cmd.arg(1).toDouble());
                 });
    commands.add(
        QStringLiteral("analyzer_elems_no_neg"),
        AnalyzerElemsNoNeg,
        [analyzer](const CmdLine &cmd) { analyzer->setElemsNoNeg(cmd.arg(0), cmd.flagArg(1)); });
    // The background commands take their value from the second argument.
    const QVector<QPair<QString, QPair<int, int>>> backgrounds = {
        {QStringLiteral("analyzer_elems_bg_dMut"), {AnalyzerElemsBgDMut, AElemsConds::DMut}},
        {QStringLiteral("analyzer_elems_bg_dMutR"), {AnalyzerElemsBgDMutR, AElemsConds::DMutRatio}},
        {QStringLiteral("analyzer_elems_bg_dE"), {AnalyzerElemsBgDE, AElemsConds::DE}},
        {QStringLiteral("analyzer_elems_bg_ROI"), {AnalyzerElemsBgROI, AElemsConds::Roi}},
        {QStringLiteral("analyzer_elems_bg_NROI"), {AnalyzerElemsBgNROI, AElemsConds::NRoi}},
    };
    for (const auto &background : backgrounds) {
        const int which = background.second.second;
        commands.add(
            background.first, background.second.first, [analyzer, which](const CmdLine &cmd) {
                analyzer->setElemsBG(which, cmd.arg(1).toDouble());
            });
    }
    commands.add(QStringLiteral("analyzer_select_image"),
                 AnalyzerSelectImage,
                 [analyzer](const CmdLine &cmd) { analyzer->selectImage(cmd.arg(0).toInt()); });
    commands.add(QStringLiteral("analyzer_select_image_type"),
                 AnalyzerSelectImageType,
                 [analyzer](const CmdLine &cmd) { analyzer->setImageType(cmd.arg(0).toInt()); });
    commands.add(QStringLiteral("analyzer_set_ra_energy"),
                 AnalyzerSetRaEnergy,
                 [analyzer](const CmdLine &cmd) { analyzer->setRaEnergy(cmd.arg(0).toDouble()); });
    commands.add(QStringLiteral("analyzer_set_ra_factor"),
                 AnalyzerSetRaFactor,
                 [analyzer](const CmdLine &cmd) { analyzer->setRaFactor(cmd.arg(0).toDouble()); });
    commands.add(QStringLiteral("analyzer_set_fixed_scale"),
                 AnalyzerSetFixedScale,
                 [analyzer](const CmdLine &cmd) { analyzer->setFixedScale(cmd.flagArg(0)); });
    const QVector<QPair<QString, QPair<int, void (Analyzer::*)(double)>>> scales = {
        {QStringLiteral("analyzer_set_scale_max"), {AnalyzerSetScaleMax, &Analyzer::setScaleMax}},
        {QStringLiteral("analyzer_set_scale_min"), {AnalyzerSetScaleMin, &Analyzer::setScaleMin}},
        {QStringLiteral("analyzer_set_dMut_scale_max"),
         {AnalyzerSetDMutScaleMax, &Analyzer::setDMutScaleMax}},
        {QStringLiteral("analyzer_set_dMut_scale_min"),
         {AnalyzerSetDMutScaleMin, &Analyzer::setDMutScaleMin}},
        {QStringLiteral("analyzer_set_ratio_scale_max"),
         {AnalyzerSetRatioScaleMax, &Analyzer::setRatioScaleMax}},
        {QStringLiteral("analyzer_set_ratio_scale_min"),
         {AnalyzerSetRatioScaleMin, &Analyzer::setRatioScaleMin}},
    };
    for (const auto &scale : scales) {
        const auto setter = scale.second.second;
        commands.add(scale.first, scale.second.first, [analyzer, setter](const CmdLine &cmd) {
            (analyzer->*setter)(cmd.arg(0).toDouble());
        });
    }
    commands.add(QStringLiteral("analyzer_view_normalize"),
                 AnalyzerViewNormalize,
                 [analyzer](const CmdLine &cmd) { analyzer->setNormalize(cmd.flagArg(0)); });
    commands.add(QStringLiteral("analyzer_view_enerugy_correction"),
                 AnalyzerViewEnerugyCorrection,
                 [analyzer](const CmdLine &cmd) { analyzer->setEnergyCorrection(cmd.flagArg(0)); });
    commands.add(QStringLiteral("analyzer_select_analysis_mode"),
                 AnalyzerSelectAnalysisMode,
                 [analyzer](const CmdLine &cmd) { analyzer->setAnalysisMode(cmd.arg(0).toInt()); });
}

bool AreaRunController::execAreaRunCommand(AreaRun::Kind kind)
{
    startAreaRun(kind, true);
    return mAreaRun->startedByBatch();
}

void AreaRunController::startAreaRun(AreaRun::Kind kind, bool byBatch)
{
    if (mAnalysisRunning) {
        stop2DAnalysis();
        return;
    }
    const QVector<double> energies = mEnergies ? mEnergies() : QVector<double>();
    if (energies.isEmpty()) {
        emit message(tr("No images loaded: analysis not started"), false);
        return;
    }
    if (mCalibrating && mCalibrating()) {
        emit message(tr("A calibration is running: area analysis not started"), false);
        return;
    }
    double lowEnergy = energies.first();
    double highEnergy = lowEnergy;
    for (const double energy : energies) {
        lowEnergy = qMin(lowEnergy, energy);
        highEnergy = qMax(highEnergy, energy);
    }
    const QString missing = mAnalyzer->missingForRun(kind, lowEnergy, highEnergy);
    if (!missing.isEmpty()) {
        emit message(missing, false);
        return;
    }
    mAnalysisRunning = true;
    mAnalyzer->setContAccess(true);
    BlockRequest request = mBlockRequest();
    const Background background = mTarget ? mTarget->targetBackground() : Background();
    mFormMismatch = kind == AreaRun::LCFRun ? formMismatch(background) : QString();
    bool started = false;
    if (kind == AreaRun::ElemRun) {
        mAnalyzer->setElemsProgress(0.0);
        request.walk = request.walk.everyPixel();
        started = mAreaRun->startElems(request,
                                       mAnalyzer->elemsParams(),
                                       mAnalyzer->mainTargetId(),
                                       mAnalyzer->elemsBackgrounds(),
                                       mAnalyzer->correlation(),
                                       mAnalyzer->corTh(),
                                       mAnalyzer->elemsMaps(),
                                       byBatch);
        if (started)
            mAnalyzer->setElemsWalk(request.walk);
    } else if (kind == AreaRun::RARun) {
        mAnalyzer->setProgress(0.0);
        started = mAreaRun->startRA(request,
                                    background,
                                    mAnalyzer->raEnergy(),
                                    mAnalyzer->raFactor(),
                                    {mAnalyzer->raMap(0), mAnalyzer->raMap(1), mAnalyzer->raMap(2)},
                                    byBatch);
    } else {
        mAnalyzer->setProgress(0.0);
        started = mAreaRun->startLCF(request,
                                     mAnalyzer->referenceData(),
                                     mAnalyzer->mlcf(),
                                     background,
                                     mAnalyzer->fitOptions(),
                                     mAnalyzer->lcfMaps(),
                                     byBatch);
    }
    if (!started) {
        mAnalysisRunning = false;
        mAnalyzer->setContAccess(false);
        return;
    }
    emit runStarted();
    mAnalyzer->runStarted(kind);
}

void AreaRunController::stop2DAnalysis()
{
    mAnalysisRunning = false;
    mAnalyzer->setContAccess(false);
    AreaRun::log("2da 4:");
    mAreaRun->stop();
}

void AreaRunController::areaRunEnded(AreaRun::Kind kind, bool completed, bool byBatch)
{
    if (completed) {
        emit runSucceeded();
        const QString notices = runNotices();
        if (!notices.isEmpty())
            emit message(notices, byBatch);
    }
    mAnalyzer->runEnded(kind, completed);
    if (!completed) {
        emit message(tr("run stopped after %1 of %2 blocks")
                         .arg(mAreaRun->recordedBlocks())
                         .arg(mAreaRun->blocks()),
                     byBatch);
        // What was recorded since the last redraw.
        redrawShownMap(kind);
    }
    // The correlation of the last point recorded, as a run point by point would leave it.
    if (kind == AreaRun::ElemRun)
        mAnalyzer->setCorrelation(mAreaRun->correlation());
    if (completed) {
        if (kind == AreaRun::RARun)
            generateRAResImage();
        else if (kind == AreaRun::ElemRun)
            generateElemsResImages();
        else
            generateResImages();
        mAnalysisRunning = false;
        mAnalyzer->setContAccess(false);
        if (kind == AreaRun::ElemRun)
            mAnalyzer->setElemsProgress(100.0);
        else
            mAnalyzer->setProgress(100.0);
        if (kind == AreaRun::LCFRun)
            AreaRun::log("2da 3:");
        if (kind == AreaRun::LCFRun && mAreaRun->undefinedBlocks() > 0) {
            emit message(tr("%1 of %2 blocks: no fit (not a number)")
                             .arg(mAreaRun->undefinedBlocks())
                             .arg(mAreaRun->recordedBlocks()),
                         false);
        }
    }
    if (byBatch)
        emit batchRunEnded();
}

void AreaRunController::redrawShownMap(AreaRun::Kind kind)
{
    // Only the map on show is recoloured during a run, and only with "Disp. on Time".
    const bool onTime = (kind == AreaRun::LCFRun && mAnalyzer->dispOnTime())
                        || (kind == AreaRun::ElemRun && mAnalyzer->elemsDispOnTime());
    Analyzed2DRes *map = mAnalyzer->selectedMap();
    if (!onTime || !map || !mAreaRun->maps().contains(map))
        return;
    map->genImg();
    emit selectedMapChanged();
}

QString AreaRunController::formMismatch(const Background &target) const
{
    QStringList others;
    const QVector<LCFReference *> &refs = mAnalyzer->refs();
    for (int k = 0; k < refs.size(); ++k) {
        if (refs.at(k)->isUsed() && refs.at(k)->background().victoreen != target.victoreen)
            others << QStringLiteral("Ref%1").arg(k + 1);
    }
    if (others.isEmpty())
        return QString();
    const QString victoreen = tr("Victoreen base lines");
    const QString straight = tr("straight base lines");
    return tr("%1 normalised with %2, the target with %3")
        .arg(others.join(QStringLiteral(", ")),
             target.victoreen ? straight : victoreen,
             target.victoreen ? victoreen : straight);
}

QString AreaRunController::runNotices() const
{
    QStringList notices;
    if (!mFormMismatch.isEmpty())
        notices << mFormMismatch;
    if (mAreaRun->normFailedBlocks() > 0)
        notices << tr("%1 of %2 blocks: no E0 / empty pre-edge range")
                       .arg(mAreaRun->normFailedBlocks())
                       .arg(mAreaRun->normalisedBlocks());
    return notices.join(QStringLiteral("; "));
}

void AreaRunController::setReferenceRanges(const NormRanges &ranges)
{
    for (LCFReference *ref : mAnalyzer->refs())
        ref->setRanges(ranges);
}

void AreaRunController::generateResImages()
{
    for (Analyzed2DRes *map : mAnalyzer->lcfMaps())
        map->genImg();
    emit selectedMapChanged();
}

void AreaRunController::generateElemsResImages()
{
    for (Analyzed2DRes *map : mAnalyzer->elemsMaps())
        map->genImg();
    emit selectedMapChanged();
}

void AreaRunController::generateRAResImage()
{
    AreaRun::ratioMap(*mAnalyzer->raMap(0), *mAnalyzer->raMap(1), *mAnalyzer->raMap(2));
    for (int k = 0; k < 3; ++k)
        mAnalyzer->raMap(k)->genImg();
    emit selectedMapChanged();
}

void AreaRunController::selectElemsRow(bool target, const QString &name)
{
    if (target)
        mAnalyzer->selectElemsTarget(name);
    else
        mAnalyzer->selectElemsShow(name);
    emit selectedMapChanged();
}

void AreaRunController::setupResAnalysisImage()
{
    if (Analyzed2DRes *map = mAnalyzer->selectedMap())
        map->genImg();
}

void AreaRunController::printSelectedMap() const
{
    const Analyzed2DRes *map = mAnalyzer->selectedMap();
    if (!map)
        return;
    qDebug().noquote() << "vals of " + map->name();
    for (int y = 0; y < map->height(); ++y) {
        for (int x = 0; x < map->width(); ++x) {
            qDebug().noquote() << QString::asprintf(
                "%4d %4d %15.6f %15.6f", x, y, map->value(x, y), map->procValue(x, y));
        }
    }
}

void AreaRunController::showProcImg(bool f)
{
    Analyzed2DRes *map = mAnalyzer->selectedMap();
    if (!map)
        return;
    map->selectProcImg(f);
    emit mapRedrawn();
}

bool AreaRunController::deglitch()
{
    Analyzed2DRes *map = mAnalyzer->selectedMap();
    if (!map)
        return false;
    map->setDeglitchConds(mDeglitchFactor->text().toDouble(), mDeglitchRatio->text().toDouble());
    map->selectProcImg(true);
    map->deglitch();
    emit mapRedrawn();
    return true;
}
