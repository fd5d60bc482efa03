#include "exportcontroller.h"

#include "analysis/analyzed2dres.h"
#include "analysis/analyzer.h"
#include "analysis/blockengine.h"
#include "analysis/lcfreference.h"
#include "analysis/xafsfileselect.h"
#include "batch/batchcommands.h"
#include "batch/commandregistry.h"
#include "output/imagefile.h"
#include "output/mapexport.h"
#include "output/resultsfile.h"
#include "output/savedatacfg.h"
#include "output/spectraexport.h"
#include "output/tiffwriter.h"

#include <QAbstractButton>
#include <QRegularExpression>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

ExportController::ExportController(Analyzer *analyzer,
                                   SaveDataCfg *settings,
                                   BlockEngine *engine,
                                   QWidget *colorBar,
                                   Sources sources,
                                   QObject *parent)
    : QObject(parent)
    , mAnalyzer(analyzer)
    , mSettings(settings)
    , mEngine(engine)
    , mColorBar(colorBar)
    , mSources(std::move(sources))
    , mSpectraExport(new SpectraExport(engine, this))
{
    connect(mSpectraExport, &SpectraExport::finished, this, &ExportController::spectraExportEnded);
}

void ExportController::registerCommands(CommandRegistry &commands)
{
    commands.add(QStringLiteral("save_image"), SaveImage, [this](const CmdLine &cmd) {
        saveImage(cmd.arg(0));
    });
    commands.add(QStringLiteral("save_image_w_num"), SaveImageWNum, [this](const CmdLine &cmd) {
        saveImageWNum(cmd.arg(0), cmd.arg(1));
    });
    commands.add(QStringLiteral("save_all_images"), SaveAllImages, [this](const CmdLine &cmd) {
        saveAllImages(cmd.arg(0));
    });
    commands.add(QStringLiteral("save_data"), SaveData, [this](const CmdLine &cmd) {
        saveData(cmd.arg(0));
    });
    commands.add(QStringLiteral("save_data_as_tiff"), SaveDataAsTiff, [this](const CmdLine &cmd) {
        saveDataAsTiff(cmd.arg(0), firstShownRef());
    });
    commands.add(QStringLiteral("save_results_h5"), SaveResultsH5, [this](const CmdLine &cmd) {
        saveResultsH5(cmd.arg(0));
    });
    commands.add(QStringLiteral("save_xafs_spectra"),
                 SaveXafsSpectra,
                 CommandRegistry::WaitsForWork,
                 [this](const CmdLine &cmd) {
                     mBatchSpectra = true;
                     if (!saveXafsSpectra(cmd.arg(0)))
                         mBatchSpectra = false;
                     return mBatchSpectra;
                 });
}

void ExportController::writeFailed(const QString &path)
{
    saveFailed(tr("Can't write %1").arg(path));
}

void ExportController::saveFailed(const QString &text)
{
    ++mWriteFailures;
    report(text, MessageLine::Saving);
}

void ExportController::report(const QString &text, MessageLine::Kind kind)
{
    emit message(text, kind, mEndingBatchCommand);
}

void ExportController::saveEnded(int failuresBefore)
{
    if (mWriteFailures == failuresBefore)
        emit saved();
}

bool ExportController::saveImageFile(const QImage &image, const QString &path)
{
    if (ImageFile::save(image, path))
        return true;
    writeFailed(path);
    return false;
}

bool ExportController::saveColorBar(const QString &path)
{
    return saveImageFile(mColorBar->grab().toImage(), path);
}

void ExportController::saveImage(const QString &fname)
{
    const int failures = mWriteFailures;
    saveImageFile(mSources.shownImage(), fname);
    saveColorBar(MapExport::numberedName(fname, QStringLiteral("cBar")));
    saveEnded(failures);
}

void ExportController::saveImageWNum(const QString &fname, const QString &num)
{
    // A number naming folders would put the image, or only its colour bar, somewhere else.
    if (num.contains(QLatin1Char('/')) || num.contains(QLatin1Char('\\'))) {
        saveFailed(tr("Number \"%1\" holds a folder separator: %2 and its colour bar not "
                      "written")
                       .arg(num, fname));
        return;
    }
    saveImage(MapExport::numberedName(fname, num));
}

void ExportController::saveAllImages(const QString &fname)
{
    const int failures = mWriteFailures;
    const QVector<LCFReference *> &refs = mAnalyzer->refs();
    for (int kind = 0; kind < mAnalyzer->refMapKinds(); ++kind) {
        for (int i = 0; i < refs.size(); ++i) {
            Analyzed2DRes *map = refs.at(i)->map(kind);
            if (!refs.at(i)->isUsed() || !map || !map->imageValid())
                continue;
            saveImageFile(*map->img(),
                          MapExport::numberedName(fname, QStringLiteral("%1-%2").arg(i).arg(kind)));
        }
    }
    saveEnded(failures);
}

int ExportController::firstShownRef() const
{
    const QVector<LCFReference *> &refs = mAnalyzer->refs();
    for (int i = 0; i < refs.size(); ++i) {
        if (refs.at(i)->showButton()->isChecked())
            return i;
    }
    return 0;
}

void ExportController::saveData(const QString &fname)
{
    const int failures = mWriteFailures;
    const int n = firstShownRef();
    if (mSettings->settings().asTiff) {
        qDebug() << "selected tiff";
        const QString path = writeShownMap(fname, n, true);
        const QString bar = MapExport::numberedName(
            MapExport::numberedName(fname, QString::number(n)), QStringLiteral("-cBar"));
        // The bar's scale is that of the map just written.
        if (!path.isEmpty() && saveColorBar(bar))
            shownMapSaved({path, bar});
    } else {
        qDebug() << "selected text";
        saveDataAsText(fname, n);
    }
    saveEnded(failures);
}

void ExportController::saveDataAsTiff(const QString &fname, int ext)
{
    const int failures = mWriteFailures;
    const QString path = writeShownMap(fname, ext, true);
    if (!path.isEmpty())
        shownMapSaved({path});
    saveEnded(failures);
}

void ExportController::saveDataAsText(const QString &fname, int ext)
{
    const int failures = mWriteFailures;
    const QString path = writeShownMap(fname, ext, false);
    if (!path.isEmpty())
        shownMapSaved({path});
    saveEnded(failures);
}

QString ExportController::writeShownMap(const QString &fname, int ext, bool asTiff)
{
    const QString path = MapExport::dataFileName(
        fname, ext, asTiff ? QStringLiteral("tif") : QStringLiteral("dat"));
    if (asTiff)
        qDebug() << "saveDataAsTiff";
    Analyzed2DRes *map = mAnalyzer->selectedMap();
    if (!map || !map->hasData()) {
        report(tr("No result map shown: %1 not saved").arg(path), MessageLine::Saving);
        return QString();
    }
    const bool written = asTiff ? MapExport::saveAsTiff(path, *map, mSettings->settings())
                                : MapExport::saveAsText(path, *map, mSettings->settings());
    if (!written) {
        writeFailed(path);
        return QString();
    }
    return path;
}

void ExportController::shownMapSaved(const QStringList &paths)
{
    QStringList names;
    for (const QString &path : paths)
        names << QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    report(
        tr("Saved %1 to %2")
            .arg(mAnalyzer->mapTitle(mAnalyzer->selectedMap()), names.join(QStringLiteral(", "))),
        MessageLine::Other);
}

bool ExportController::saveXafsSpectra(const QString &fname)
{
    if (mEngine->isRunning()) {
        report(tr("An area analysis is running: spectra not saved"), MessageLine::Other);
        return false;
    }
    if (!mSpectraExport->start(mSources.blockRequest(), mSources.background(), fname)) {
        writeFailed(SpectraExport::fileNameFor(fname));
        return false;
    }
    emit spectraExportStarted();
    return true;
}

void ExportController::spectraExportEnded(bool written, const QString &path)
{
    // A failure then belongs to the batch command that waits for the export.
    mEndingBatchCommand = mBatchSpectra;
    if (written)
        emit saved();
    else
        writeFailed(path);
    mEndingBatchCommand = false;
    if (mBatchSpectra) {
        mBatchSpectra = false;
        emit batchCommandFinished();
    }
}

void ExportController::saveFlatDark()
{
    // Without images the size is not known, and files of no pixels would replace good ones.
    const QSize size = mSources.imageSize();
    if (size.width() <= 0 || size.height() <= 0) {
        report(tr("No image loaded: flat and dark files not written"), MessageLine::Other);
        return;
    }
    const int failures = mWriteFailures;
    const int count = size.width() * size.height();
    for (const quint16 level : {quint16(1), quint16(0)}) {
        const QString path = level ? QStringLiteral("flat.dat") : QStringLiteral("dark.dat");
        const QVector<quint16> values(count, level);
        if (!writeTiff16(path, size.width(), size.height(), values.constData()))
            writeFailed(path);
    }
    saveEnded(failures);
}

bool ExportController::saveResultsH5(const QString &fname)
{
    const int failures = mWriteFailures;
    QVector<ResultsFile::Map> maps;
    // The LCF maps come kind by kind, each kind over every reference, then the fit-quality
    // maps of the whole fit.
    const QVector<Analyzed2DRes *> lcf = mAnalyzer->lcfMaps();
    const int refs = mAnalyzer->refs().size();
    const int refMaps = refs * mAnalyzer->refMapKinds();
    const char *lcfKinds[] = {"dmut", "fraction", "fraction_error"};
    const char *qualityNames[] = {"lcf_r_factor", "lcf_reduced_chi2", "lcf_subset"};
    for (int i = 0; i < lcf.size(); ++i) {
        QString name;
        if (i >= refMaps) {
            const int k = i - refMaps;
            name = k < 3 ? QString::fromLatin1(qualityNames[k])
                         : QStringLiteral("lcf_quality%1").arg(k);
        } else {
            // The maps of references not in use hold nothing of the run.
            if (!mAnalyzer->refs().at(i % refs)->isUsed())
                continue;
            const int kind = i / refs;
            const QString kindName = kind < 3 ? QString::fromLatin1(lcfKinds[kind])
                                              : QStringLiteral("kind%1").arg(kind);
            name = QStringLiteral("lcf_ref%1_%2").arg(i % refs + 1).arg(kindName);
        }
        maps.append({name, mAnalyzer->mapTitle(lcf.at(i)), lcf.at(i)});
    }
    const char *raNames[] = {"ra_dmut", "ra_residual", "ra_ratio"};
    for (int k = 0; k < Analyzer::RaShowButtons; ++k)
        maps.append({QString::fromLatin1(raNames[k]),
                     mAnalyzer->mapTitle(mAnalyzer->raMap(k)),
                     mAnalyzer->raMap(k)});
    const QVector<Analyzed2DRes *> elems = mAnalyzer->elemsMaps();
    for (int i = 0; i < elems.size(); ++i) {
        QString name = elems.at(i)->name().toLower();
        name.replace(QRegularExpression(QStringLiteral("[^a-z0-9]+")), QStringLiteral("_"));
        maps.append({QStringLiteral("elem%1_%2").arg(i).arg(name),
                     mAnalyzer->mapTitle(elems.at(i)),
                     elems.at(i)});
    }

    if (mSources.shiftMap)
        maps.append({QStringLiteral("energy_shift"), tr("Energy shift"), mSources.shiftMap()});

    ResultsFile::Settings settings;
    const BlockRequest request = mSources.blockRequest();
    settings.i1Files = request.spectra.sourceFiles(true);
    settings.i0Files = request.spectra.sourceFiles(false);
    for (const double energy : request.spectra.i1Energies())
        settings.energies << energy;
    const Background background = mSources.background();
    settings.background = background.victoreen;
    settings.preStart = background.ranges.preStart;
    settings.preEnd = background.ranges.preEnd;
    settings.postStart = background.ranges.postStart;
    settings.postEnd = background.ranges.postEnd;
    settings.mlcf = mAnalyzer->mlcf();
    settings.fitOptions = mAnalyzer->fitOptions();
    settings.version = QStringLiteral(MARVOLENTI_VERSION);
    for (LCFReference *ref : mAnalyzer->refs()) {
        ResultsFile::Reference out;
        const LCFReferenceData data = ref->data();
        out.file = ref->fileSelect()->selectedFile();
        out.used = data.used;
        out.energyShift = data.shift;
        for (int i = 0; i < data.spectrum.points.size(); ++i) {
            out.energies << data.spectrum.points.at(i).x();
            out.mu << data.spectrum.points.at(i).y();
        }
        settings.references << out;
    }
    QString error;
    if (!ResultsFile::write(fname, maps, settings, &error)) {
        saveFailed(error);
        return false;
    }
    report(tr("Results saved to %1").arg(fname), MessageLine::Saving);
    saveEnded(failures);
    return true;
}
