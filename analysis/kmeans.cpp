#include "kmeans.h"

#include <QtConcurrent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>

namespace {

// Points assigned by one task: the chunks do not depend on the number of threads.
constexpr qint64 chunkPoints = 65536;

} // namespace

KMeans::KMeans(const double *points, qint64 count, int dims)
    : mPoints(points)
    , mCount(count)
    , mDims(dims)
{}

bool KMeans::takesPart(qint64 i) const
{
    return !std::isnan(mPoints[i * mDims]);
}

double KMeans::distance2(qint64 i, const double *centre) const
{
    const double *p = mPoints + i * mDims;
    double sum = 0.0;
    for (int d = 0; d < mDims; ++d) {
        const double diff = p[d] - centre[d];
        sum += diff * diff;
    }
    return sum;
}

std::vector<double> KMeans::seedCentres(int k, quint64 seed) const
{
    std::mt19937_64 random(seed);
    std::vector<qint64> candidates;
    for (qint64 i = 0; i < mCount; ++i) {
        if (takesPart(i))
            candidates.push_back(i);
    }
    std::vector<double> centres;
    if (candidates.empty())
        return centres;
    const auto take = [&](qint64 i) {
        centres.insert(centres.end(), mPoints + i * mDims, mPoints + (i + 1) * mDims);
    };
    take(candidates[size_t(
        std::uniform_int_distribution<size_t>(0, candidates.size() - 1)(random))]);
    std::vector<double> nearest(candidates.size(), std::numeric_limits<double>::infinity());
    for (int c = 1; c < k; ++c) {
        const double *last = centres.data() + size_t(c - 1) * mDims;
        double total = 0.0;
        for (size_t j = 0; j < candidates.size(); ++j) {
            nearest[j] = std::min(nearest[j], distance2(candidates[j], last));
            total += nearest[j];
        }
        // Every point sits on a centre: no further distinct centre.
        if (!(total > 0.0))
            break;
        double pick = std::uniform_real_distribution<double>(0.0, total)(random);
        size_t chosen = candidates.size() - 1;
        for (size_t j = 0; j < candidates.size(); ++j) {
            pick -= nearest[j];
            if (pick < 0.0 && nearest[j] > 0.0) {
                chosen = j;
                break;
            }
        }
        take(candidates[chosen]);
    }
    return centres;
}

qint64 KMeans::iterate(int k, std::vector<double> &centres, std::vector<int> &labels) const
{
    labels.resize(size_t(mCount), -1);
    const qint64 chunks = (mCount + chunkPoints - 1) / chunkPoints;
    std::vector<qint64> changedIn(size_t(chunks), 0);
    std::vector<qint64> chunkIndex(static_cast<size_t>(chunks));
    std::iota(chunkIndex.begin(), chunkIndex.end(), qint64(0));
    const double *centreData = centres.data();
    QtConcurrent::blockingMap(chunkIndex, [&](qint64 chunk) {
        const qint64 end = std::min(mCount, (chunk + 1) * chunkPoints);
        qint64 changed = 0;
        for (qint64 i = chunk * chunkPoints; i < end; ++i) {
            if (!takesPart(i))
                continue;
            int best = 0;
            double bestDistance = distance2(i, centreData);
            for (int c = 1; c < k; ++c) {
                const double d = distance2(i, centreData + size_t(c) * mDims);
                if (d < bestDistance) {
                    bestDistance = d;
                    best = c;
                }
            }
            if (labels[size_t(i)] != best) {
                labels[size_t(i)] = best;
                ++changed;
            }
        }
        changedIn[size_t(chunk)] = changed;
    });
    // New centres from the sums in point order; a cluster left empty keeps its centre.
    std::vector<double> sums(size_t(k) * mDims, 0.0);
    std::vector<qint64> counts(size_t(k), 0);
    for (qint64 i = 0; i < mCount; ++i) {
        const int c = labels[size_t(i)];
        if (c < 0)
            continue;
        ++counts[size_t(c)];
        for (int d = 0; d < mDims; ++d)
            sums[size_t(c) * mDims + d] += mPoints[i * mDims + d];
    }
    for (int c = 0; c < k; ++c) {
        if (counts[size_t(c)] == 0)
            continue;
        for (int d = 0; d < mDims; ++d)
            centres[size_t(c) * mDims + d]
                = sums[size_t(c) * mDims + d] / double(counts[size_t(c)]);
    }
    return std::accumulate(changedIn.begin(), changedIn.end(), qint64(0));
}

double KMeans::withinSumOfSquares(const std::vector<double> &centres,
                                  const std::vector<int> &labels) const
{
    double sum = 0.0;
    for (qint64 i = 0; i < mCount; ++i) {
        if (labels[size_t(i)] >= 0)
            sum += distance2(i, centres.data() + size_t(labels[size_t(i)]) * mDims);
    }
    return sum;
}

KMeans::Result KMeans::run(int k, quint64 seed, int seedings) const
{
    Result best;
    best.withinSumOfSquares = std::numeric_limits<double>::infinity();
    std::mt19937_64 seeds(seed);
    for (int s = 0; s < qMax(1, seedings); ++s) {
        std::vector<double> centres = seedCentres(qMax(1, k), seeds());
        const int found = int(centres.size()) / qMax(1, mDims);
        if (found == 0)
            return Result();
        std::vector<int> labels(size_t(mCount), -1);
        int iterations = 0;
        while (iterations < maxIterations) {
            ++iterations;
            if (iterate(found, centres, labels) == 0)
                break;
        }
        const double wcss = withinSumOfSquares(centres, labels);
        if (wcss < best.withinSumOfSquares) {
            best.withinSumOfSquares = wcss;
            best.labels = std::move(labels);
            best.centres = std::move(centres);
            best.iterations = iterations;
        }
    }
    // Clusters numbered by falling size, ties by their first point.
    const int found = int(best.centres.size()) / qMax(1, mDims);
    std::vector<qint64> sizes(size_t(found), 0);
    std::vector<qint64> first(size_t(found), mCount);
    for (qint64 i = 0; i < mCount; ++i) {
        const int c = best.labels[size_t(i)];
        if (c >= 0) {
            ++sizes[size_t(c)];
            first[size_t(c)] = std::min(first[size_t(c)], i);
        }
    }
    std::vector<int> order(static_cast<size_t>(found));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return sizes[size_t(a)] != sizes[size_t(b)] ? sizes[size_t(a)] > sizes[size_t(b)]
                                                    : first[size_t(a)] < first[size_t(b)];
    });
    std::vector<int> rank(static_cast<size_t>(found));
    Result result;
    result.withinSumOfSquares = best.withinSumOfSquares;
    result.iterations = best.iterations;
    for (int r = 0; r < found; ++r) {
        rank[size_t(order[size_t(r)])] = r;
        result.sizes.push_back(sizes[size_t(order[size_t(r)])]);
        const double *centre = best.centres.data() + size_t(order[size_t(r)]) * mDims;
        result.centres.insert(result.centres.end(), centre, centre + mDims);
    }
    result.labels = std::move(best.labels);
    for (int &label : result.labels) {
        if (label >= 0)
            label = rank[size_t(label)];
    }
    return result;
}
