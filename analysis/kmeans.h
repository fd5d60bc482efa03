#pragma once

#include <QtGlobal>

#include <vector>

// k-means clustering of points of a few dimensions: k-means++ seeding from a fixed seed, Lloyd
// iterations until no point changes its cluster, and the best of several seedings by the
// within-cluster sum of squares. The result depends on the points and the seed only: the
// assignment of points is split into fixed chunks and the sums are taken in point order,
// whatever the number of threads. Points whose first coordinate is NaN take no part.
class KMeans
{
public:
    static constexpr quint64 defaultSeed = 20261208;
    static constexpr int defaultSeedings = 10;
    static constexpr int maxIterations = 100;

    struct Result
    {
        // Cluster of every point, 0 .. k - 1 in falling order of size; -1 for points left out.
        std::vector<int> labels;
        // k x dims centres.
        std::vector<double> centres;
        std::vector<qint64> sizes;
        double withinSumOfSquares = 0.0;
        // Lloyd iterations of the seeding kept.
        int iterations = 0;
    };

    // points: count x dims values, point after point.
    KMeans(const double *points, qint64 count, int dims);

    // k clusters, best of `seedings` seedings from seed. Fewer clusters than k come out when
    // fewer distinct points take part.
    Result run(int k, quint64 seed = defaultSeed, int seedings = defaultSeedings) const;

    // One Lloyd iteration from these centres: the labels of every point and the new centres;
    // returns how many points changed their label. For measuring, and used by run().
    qint64 iterate(int k, std::vector<double> &centres, std::vector<int> &labels) const;

private:
    bool takesPart(qint64 i) const;
    double distance2(qint64 i, const double *centre) const;
    std::vector<double> seedCentres(int k, quint64 seed) const;
    double withinSumOfSquares(const std::vector<double> &centres,
                              const std::vector<int> &labels) const;

    const double *mPoints;
    qint64 mCount;
    int mDims;
};
