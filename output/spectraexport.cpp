#include "spectraexport.h"

#include "analysis/blockengine.h"
#include "output/h5file.h"
#include "output/savefile.h"
#include "spectra/edgenormalization.h"
#include "spectra/xafsspectrum.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include <limits>

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
    if (mFile || mH5 || mEngine->isRunning())
        return false;
    const QString path = fileNameFor(fname);
    const bool h5 = path.endsWith(QLatin1String(".h5"), Qt::CaseInsensitive);
    auto file = std::make_unique<SaveFile>(path);
    if (h5 ? !startH5(request, path) : !file->open(QIODevice::WriteOnly | QIODevice::Text)) {
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
    if (h5) {
        // Values alone: the energies are written once. The block's base lines as its spectrum
        // would fit them, without building the spectrum.
        request.valueCount = 2 + points;
        request.kernel = [background, points](const BlockRequest::Block &block, double *values) {
            thread_local EdgeNormalization levels;
            const int n = qMin(points, block.raw.size());
            values[0] = block.energyShift;
            values[1] = n;
            if (n == 0)
                return;
            block.normalize(background, levels);
            for (int i = 0; i < n; ++i) {
                const double pre = levels.preValues[size_t(i)];
                const double post = levels.postValues[size_t(i)];
                values[2 + i] = (block.raw.yAt(i) - post) / (post - pre);
            }
        };
    }
    mFinished = connect(mEngine, &BlockEngine::finished, this, &SpectraExport::runEnded);
    if (h5) {
        if (mEngine->start(request, [this](const AreaWalk &at, const double *values) {
                recordH5(at, values);
            }))
            return true;
        disconnect(mFinished);
        mH5.reset();
        return false;
    }
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

bool SpectraExport::startH5(const BlockRequest &request, const QString &path)
{
    const AreaWalk &w = request.walk;
    mColumns = w.columns();
    mPoints = request.spectra.i1Count();
    mRowBlocks = 0;
    mRow.assign(size_t(mColumns) * size_t(mPoints), 0.0f);
    mCentresX.clear();
    mCentresY.clear();
    mShifts.clear();
    auto file = std::make_unique<H5File>(path);
    file->setAttribute(QStringLiteral("/"), "NX_class", QStringLiteral("NXroot"));
    file->setAttribute(QStringLiteral("/"), "default", QStringLiteral("entry"));
    file->addGroup(QStringLiteral("/entry"), "NXentry");
    file->setAttribute(QStringLiteral("/entry"), "default", QStringLiteral("spectra"));
    const QString group = QStringLiteral("/entry/spectra");
    file->addGroup(group, "NXdata");
    file->setAttribute(group, "signal", QStringLiteral("data"));
    file->setAttribute(group, "axes", QStringList{QStringLiteral("."), QStringLiteral("energy")});
    file->setAttribute(group, "energy_indices", 1.0);
    file->setAttribute(
        group, "title", QStringLiteral("double-normalised spectra of the blocks, in walk order"));
    const QVector<double> energies(request.spectra.i1Energies().begin(),
                                   request.spectra.i1Energies().end());
    file->writeDoubles(group + QStringLiteral("/energy"), energies, "eV");
    const QVector<qint64> walk{w.x0, w.x1, w.y0, w.y1, w.xw, w.yw, w.stepX, w.stepY};
    file->writeInts(group + QStringLiteral("/walk"), walk);
    file->setAttribute(group + QStringLiteral("/walk"),
                       "description",
                       QStringLiteral("x0 x1 y0 y1, bin half width and height, step dX dY"));
    file->createFloatRows(group + QStringLiteral("/data"), w.count(), mPoints, mColumns);
    if (!file->ok())
        return false;
    mH5 = std::move(file);
    return true;
}

void SpectraExport::recordH5(const AreaWalk &walk, const double *values)
{
    const int n = qMin(int(values[1]), mPoints);
    float *out = mRow.data() + mRowBlocks * mPoints;
    // Points a block's spectrum lacks (a block outside the image has none) are NaN.
    for (int i = 0; i < mPoints; ++i)
        out[i] = i < n ? float(values[2 + i]) : std::numeric_limits<float>::quiet_NaN();
    mShifts.push_back(values[0]);
    mCentresX.push_back(double(walk.cx));
    mCentresY.push_back(double(walk.cy));
    if (++mRowBlocks == mColumns) {
        mH5->appendRows(mRow.data(), mRowBlocks);
        mRowBlocks = 0;
    }
}

void SpectraExport::runEnded(bool completed)
{
    disconnect(mFinished);
    if (mH5) {
        mH5->appendRows(mRow.data(), mRowBlocks);
        std::unique_ptr<H5File> file = std::move(mH5);
        const QString group = QStringLiteral("/entry/spectra");
        file->writeDoubles(group + QStringLiteral("/energy_shift"),
                           QVector<double>(mShifts.begin(), mShifts.end()),
                           "eV");
        file->writeDoubles(group + QStringLiteral("/x"),
                           QVector<double>(mCentresX.begin(), mCentresX.end()),
                           "pixel");
        file->writeDoubles(group + QStringLiteral("/y"),
                           QVector<double>(mCentresY.begin(), mCentresY.end()),
                           "pixel");
        const bool written = completed && file->commit();
        emit finished(written, file->path());
        return;
    }
    mOut.flush();
    if (!completed || mOut.status() != QTextStream::Ok)
        mFile->cancelWriting();
    const bool written = mFile->commitWhole();
    const QString path = mFile->fileName();
    mOut.setDevice(nullptr);
    mFile.reset();
    emit finished(written, path);
}
