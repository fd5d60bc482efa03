#include "spectraexport.h"

#include "analysis/blockengine.h"
#include "output/savefile.h"
#include "spectra/xafsspectrum.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

SpectraExport::SpectraExport(BlockEngine *engine, QObject *parent)
    : QObject(parent)
    , mEngine(engine)
{}

SpectraExport::~SpectraExport()
{
    if (mFile)
        mFile->cancelWriting();
}

QString SpectraExport::fileNameFor(const QString &fname)
{
    const QFileInfo info(fname);
    if (!info.suffix().isEmpty())
        return info.absoluteFilePath();
    return info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral(".dat"));
}

bool SpectraExport::start(BlockRequest request, const Background &background, const QString &fname)
{
    if (mFile || mEngine->isRunning())
        return false;
    const QString path = fileNameFor(fname);
    auto file = std::make_unique<SaveFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Text)) {
        qDebug().noquote() << "Can't open" << path;
        return false;
    }
    // Per block: its shift, its number of points, then energy and value of every point.
    const int points = request.spectra.i1Count();
    request.valueCount = 2 + 2 * points;
    request.kernel = [background, points](const BlockRequest::Block &block, double *values) {
        Spectrum raw;
        block.raw.copyTo(raw);
        const XafsSpectrum spectrum(raw, background, block.energyShift);
        const int n = qMin(points, spectrum.points.size());
        values[0] = block.energyShift;
        values[1] = n;
        for (int i = 0; i < n; ++i) {
            values[2 + 2 * i] = spectrum.xAt(i);
            values[3 + 2 * i] = i < spectrum.doubleNormPostBase.points.size()
                                    ? spectrum.doubleNormPostBase.points.at(i).y()
                                    : 0.0;
        }
    };
    mFile = std::move(file);
    mOut.setDevice(mFile.get());
    const AreaWalk &w = request.walk;
    mOut << "# Marvolenti Save Xafs Spectra 1.0\n"
         << "# X-Range (x0, x1), steps : " << w.x0 << ' ' << w.x1 << ' ' << w.columns() << '\n'
         << "# Y-Range (y0, y1), steps : " << w.y0 << ' ' << w.y1 << ' ' << w.rows() << '\n'
         << "# Full Width, Height      : " << w.width << ' ' << w.height << '\n'
         << "# Bin Half Width, Height  : " << w.xw << ' ' << w.yw << '\n'
         << "# Step dX, dY             : " << w.stepX << ' ' << w.stepY << '\n'
         << "# End of Header\n";
    mFinished = connect(mEngine, &BlockEngine::finished, this, &SpectraExport::runEnded);
    if (!mEngine->start(request,
                        [this](const AreaWalk &at, const double *values) { record(at, values); })) {
        disconnect(mFinished);
        mOut.setDevice(nullptr);
        mFile->cancelWriting();
        mFile.reset();
        return false;
    }
    return true;
}

void SpectraExport::record(const AreaWalk &walk, const double *values)
{
    if (walk.cx == walk.x0 + walk.xw) {
        const double span = double(walk.y1 - walk.y0);
        qDebug().noquote() << "Save Xafs Spectra : Progress" << (walk.cy - walk.y0) / span * 100.0;
    }
    mOut << QStringLiteral("%1 %2 %3").arg(walk.cx).arg(walk.cy).arg(values[0], 0, 'g', -1);
    const int n = int(values[1]);
    for (int i = 0; i < n; ++i)
        mOut << ' ' << values[2 + 2 * i] << ' ' << values[3 + 2 * i];
    mOut << '\n';
}

void SpectraExport::runEnded(bool completed)
{
    disconnect(mFinished);
    mOut.flush();
    if (!completed || mOut.status() != QTextStream::Ok)
        mFile->cancelWriting();
    const bool written = mFile->commitWhole();
    const QString path = mFile->fileName();
    mOut.setDevice(nullptr);
    mFile.reset();
    emit finished(written, path);
}
