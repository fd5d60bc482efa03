#include "componentrun.h"

#include "analysis/analyzed2dres.h"
#include "analysis/blockengine.h"
#include "analysis/gridspectrumkernel.h"

#include <QSaveFile>
#include <QTextStream>

#include <cmath>
#include <limits>

ComponentRun::ComponentRun(BlockEngine *engine, QObject *parent)
    : QObject(parent)
    , mEngine(engine)
{}

QColor ComponentRun::clusterColour(int cluster)
{
    static const QColor first[] = {QColor(90, 90, 90),
                                   QColor(31, 119, 180),
                                   QColor(255, 127, 14),
                                   QColor(44, 160, 44),
                                   QColor(214, 39, 40),
                                   QColor(148, 103, 189),
                                   QColor(140, 86, 75),
                                   QColor(227, 119, 194),
                                   QColor(188, 189, 34),
                                   QColor(23, 190, 207)};
    const int known = int(sizeof(first) / sizeof(first[0]));
    if (cluster >= 0 && cluster < known)
        return first[cluster];
    // Beyond them, hues a golden angle apart.
    return QColor::fromHsv(int(cluster * 137.508) % 360, 200, 230);
}

ComponentRun::~ComponentRun()
{
    stop();
}

bool ComponentRun::startAnalysis(BlockRequest request,
                                 const Background &background,
                                 const QVector<Analyzed2DRes *> &scoreMaps)
{
    if (isRunning() || scoreMaps.isEmpty() || request.spectra.i1Count() < 2)
        return false;
    auto kernel = std::make_shared<GridSpectrumKernel>(background, request.spectra.i1Energies());
    const int points = kernel->points();
    auto sums = std::make_shared<PerThread<PrincipalComponents::Sums>>(
        [points] { return PrincipalComponents::Sums(points); });
    request.valueCount = 1;
    request.kernel = [kernel, sums](const BlockRequest::Block &block, double *values) {
        thread_local std::vector<double> spectrum;
        spectrum.resize(size_t(kernel->points()));
        values[0] = kernel->compute(block, spectrum.data()) ? 1.0 : 0.0;
        if (values[0] != 0.0)
            sums->local().add(spectrum.data());
    };
    mFinished = connect(mEngine, &BlockEngine::finished, this, &ComponentRun::engineFinished);
    if (!mEngine->start(request, [](const AreaWalk &, const double *) {})) {
        disconnect(mFinished);
        return false;
    }
    mRequest = request;
    mBackground = background;
    mKernel = kernel;
    mTally = kernel->tally();
    mSpectrumSums = sums;
    mScoreMaps = scoreMaps;
    mWalk = request.walk;
    mScoreCount = scoreMaps.size();
    mScored = false;
    mComponents = PrincipalComponents();
    mClusters = KMeans::Result();
    mClusterSpectra.clear();
    mStage = SummingSpectra;
    return true;
}

bool ComponentRun::startScores()
{
    PrincipalComponents::Sums total(mKernel->points());
    for (const auto &sums : mSpectrumSums->all())
        total.merge(*sums);
    mSpectrumSums.reset();
    mComponents = PrincipalComponents::fromSums(total, mKernel->energies());
    if (!mComponents.isValid())
        return false;
    mScoreCount = qMin(mScoreCount, mComponents.points());
    for (int k = 0; k < mScoreMaps.size(); ++k) {
        mScoreMaps.at(k)->reset(mWalk);
        mScoreMaps.at(k)->setNo(k);
    }
    mRecorded = 0;
    BlockRequest request = mRequest;
    // Each block's normalisation is counted once, in the first pass.
    const auto kernel = std::make_shared<GridSpectrumKernel>(mBackground, mKernel->energies());
    const int count = mScoreCount;
    auto components = std::make_shared<const PrincipalComponents>(mComponents);
    request.valueCount = 1 + count;
    request.kernel = [kernel, components, count](const BlockRequest::Block &block, double *values) {
        thread_local std::vector<double> spectrum;
        spectrum.resize(size_t(kernel->points()));
        values[0] = kernel->compute(block, spectrum.data()) ? 1.0 : 0.0;
        if (values[0] != 0.0)
            components->scores(spectrum.data(), count, values + 1);
    };
    const auto recorder = [this](const AreaWalk &walk, const double *values) {
        ++mRecorded;
        // Blocks left out show as cells without a value.
        for (int k = 0; k < mScoreCount; ++k) {
            mScoreMaps.at(k)->record(
                walk, values[0] != 0.0 ? values[1 + k] : std::numeric_limits<double>::quiet_NaN());
        }
    };
    if (!mEngine->start(request, recorder))
        return false;
    mStage = Scoring;
    return true;
}

bool ComponentRun::startClusters(BlockRequest request,
                                 int k,
                                 Analyzed2DRes *clusterMap,
                                 quint64 seed)
{
    const AreaWalk &walk = request.walk;
    if (isRunning() || k < 1 || !mScored || !clusterMap || walk.x0 != mWalk.x0
        || walk.x1 != mWalk.x1 || walk.y0 != mWalk.y0 || walk.y1 != mWalk.y1 || walk.xw != mWalk.xw
        || walk.yw != mWalk.yw || request.spectra.i1Energies() != mComponents.energies())
        return false;
    // The scores are gathered for the clustering only.
    {
        const std::vector<double> blockScores = scores();
        mClusters = KMeans(blockScores.data(), mWalk.count(), mScoreCount).run(k, seed);
    }
    mClusterSpectra.clear();
    const int found = clusterCount();
    if (found == 0)
        return false;
    // The cluster map, numbered from 1; 0 where a block was left out.
    clusterMap->reset(mWalk);
    AreaWalk cursor = mWalk;
    cursor.rewind();
    bool newRow = false;
    for (const int label : mClusters.labels) {
        clusterMap->record(cursor, double(label + 1));
        cursor.next(newRow);
    }

    auto kernel = std::make_shared<GridSpectrumKernel>(mBackground, mComponents.energies());
    const int points = kernel->points();
    auto sums = std::make_shared<PerThread<ClusterSums>>([found, points] {
        return ClusterSums{std::vector<double>(size_t(found) * points, 0.0),
                           std::vector<qint64>(size_t(found), 0)};
    });
    auto labels = std::make_shared<const std::vector<int>>(mClusters.labels);
    const AreaWalk blocks = mWalk;
    request.valueCount = 1;
    request.kernel
        = [kernel, sums, labels, blocks](const BlockRequest::Block &block, double *values) {
              values[0] = 0.0;
              const qint64 column = (block.cx - blocks.x0 - blocks.xw) / blocks.stepX;
              const qint64 row = (block.cy - blocks.y0 - blocks.yw) / blocks.stepY;
              const int label = labels->at(size_t(row * blocks.columns() + column));
              if (label < 0)
                  return;
              thread_local std::vector<double> spectrum;
              spectrum.resize(size_t(kernel->points()));
              if (!kernel->compute(block, spectrum.data()))
                  return;
              ClusterSums &mine = sums->local();
              double *sum = mine.sums.data() + size_t(label) * kernel->points();
              for (int i = 0; i < kernel->points(); ++i)
                  sum[i] += spectrum[size_t(i)];
              ++mine.counts[size_t(label)];
          };
    mFinished = connect(mEngine, &BlockEngine::finished, this, &ComponentRun::engineFinished);
    if (!mEngine->start(request, [](const AreaWalk &, const double *) {})) {
        disconnect(mFinished);
        return false;
    }
    mRequest = request;
    mClusterSums = sums;
    mStage = SummingClusters;
    return true;
}

void ComponentRun::finishClusters()
{
    const int found = clusterCount();
    const int points = mComponents.points();
    std::vector<double> total(size_t(found) * points, 0.0);
    std::vector<qint64> counts(size_t(found), 0);
    for (const auto &sums : mClusterSums->all()) {
        for (size_t i = 0; i < total.size(); ++i)
            total[i] += sums->sums[i];
        for (int c = 0; c < found; ++c)
            counts[size_t(c)] += sums->counts[size_t(c)];
    }
    mClusterSums.reset();
    mClusterSpectra.assign(size_t(found), std::vector<double>());
    for (int c = 0; c < found; ++c) {
        if (counts[size_t(c)] == 0)
            continue;
        mClusterSpectra[size_t(c)].assign(total.begin() + size_t(c) * points,
                                          total.begin() + size_t(c + 1) * points);
        for (double &v : mClusterSpectra[size_t(c)])
            v /= double(counts[size_t(c)]);
    }
}

void ComponentRun::engineFinished(bool completed)
{
    disconnect(mFinished);
    if (!isRunning())
        return;
    if (completed && mStage == SummingSpectra) {
        mFinished = connect(mEngine, &BlockEngine::finished, this, &ComponentRun::engineFinished);
        if (startScores())
            return;
        disconnect(mFinished);
        completed = false;
    }
    if (completed && mStage == Scoring)
        mScored = true;
    if (completed && mStage == SummingClusters)
        finishClusters();
    end(completed);
}

void ComponentRun::end(bool completed)
{
    const Stage stage = mStage;
    mStage = Idle;
    mRequest = BlockRequest();
    mSpectrumSums.reset();
    mClusterSums.reset();
    if (stage == SummingClusters)
        emit clustersEnded(completed);
    else
        emit analysisEnded(completed);
}

void ComponentRun::stop()
{
    if (!isRunning())
        return;
    disconnect(mFinished);
    if (mEngine)
        mEngine->stopAndWait();
    if (mStage != SummingClusters)
        mScored = false;
    end(false);
}

std::vector<double> ComponentRun::scores() const
{
    std::vector<double> points;
    if (!mScored)
        return points;
    points.reserve(size_t(mWalk.count()) * size_t(mScoreCount));
    AreaWalk cursor = mWalk;
    cursor.rewind();
    bool newRow = false;
    // A block centred outside the map had no spectrum.
    do {
        const bool inside = cursor.centreInside(mWalk.width, mWalk.height);
        for (int k = 0; k < mScoreCount; ++k) {
            points.push_back(inside ? mScoreMaps.at(k)->value(cursor.cx, cursor.cy)
                                    : std::numeric_limits<double>::quiet_NaN());
        }
    } while (cursor.next(newRow));
    return points;
}

bool ComponentRun::saveClusterSpectrum(int cluster, const QString &path) const
{
    if (cluster < 1 || cluster > int(mClusterSpectra.size())
        || mClusterSpectra[size_t(cluster - 1)].empty())
        return false;
    const std::vector<double> &spectrum = mClusterSpectra[size_t(cluster - 1)];
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "# Marvolenti cluster " << cluster << " of " << clusterCount() << ": "
        << mClusters.sizes[size_t(cluster - 1)]
        << " blocks, mean double-normalised spectrum\n# energy(eV) value\n";
    for (int i = 0; i < mComponents.points(); ++i)
        out << QString::number(mComponents.energies()[size_t(i)], 'g', 10) << ' '
            << QString::number(spectrum[size_t(i)], 'g', 10) << '\n';
    out.flush();
    return out.status() == QTextStream::Ok && file.commit();
}
