#include "analysis/kmeans.h"

#include <QThreadPool>
#include <QtTest>

#include <cmath>
#include <limits>
#include <random>
#include <set>

// k-means on well-separated synthetic clusters: every cluster found whole, the same labels
// from the same seed, whatever the number of threads, and points left out kept apart.
class TestKMeans : public QObject
{
    Q_OBJECT

private slots:
    void recoversSeparatedClusters_data();
    void recoversSeparatedClusters();
};

void TestKMeans::recoversSeparatedClusters_data()
{
    QTest::addColumn<int>("clusters");
    QTest::addColumn<int>("dims");
    QTest::addColumn<int>("perCluster");
    QTest::addColumn<double>("spread");
    QTest::addColumn<int>("leftOut");

    QTest::newRow("3 clusters in 2-D") << 3 << 2 << 200 << 0.5 << 0;
    QTest::newRow("6 clusters in 3-D, points left out") << 6 << 3 << 500 << 1.0 << 37;
    QTest::newRow("5 clusters in 4-D, unequal sizes") << 5 << 4 << -300 << 0.8 << 5;
    // More points than one chunk of the parallel assignment.
    QTest::newRow("4 clusters in 2-D, 100 000 points") << 4 << 2 << 25000 << 1.0 << 11;
}

void TestKMeans::recoversSeparatedClusters()
{
    QFETCH(int, clusters);
    QFETCH(int, dims);
    QFETCH(int, perCluster);
    QFETCH(double, spread);
    QFETCH(int, leftOut);

    // Centres 20 apart along a diagonal walk; a negative perCluster gives cluster c
    // |perCluster| * (c + 1) / clusters points.
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, spread);
    std::vector<double> points;
    std::vector<int> truth;
    for (int c = 0; c < clusters; ++c) {
        const int count = perCluster > 0 ? perCluster : -perCluster * (c + 1) / clusters;
        for (int i = 0; i < count; ++i) {
            for (int d = 0; d < dims; ++d)
                points.push_back(20.0 * ((c + d) % clusters) + noise(random));
            truth.push_back(c);
        }
    }
    // Shuffled, with points left out spread among them.
    std::vector<int> order(truth.size() + size_t(leftOut));
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), random);
    std::vector<double> shuffled;
    std::vector<int> shuffledTruth;
    for (const int i : order) {
        if (i >= int(truth.size())) {
            shuffled.insert(shuffled.end(), size_t(dims), std::numeric_limits<double>::quiet_NaN());
            shuffledTruth.push_back(-1);
        } else {
            shuffled.insert(
                shuffled.end(), points.begin() + i * dims, points.begin() + (i + 1) * dims);
            shuffledTruth.push_back(truth[size_t(i)]);
        }
    }

    const KMeans kmeans(shuffled.data(), qint64(shuffledTruth.size()), dims);
    const KMeans::Result result = kmeans.run(clusters);
    QCOMPARE(int(result.sizes.size()), clusters);
    // Every true cluster carries one label, and no two share one.
    std::vector<int> labelOf(size_t(clusters), -2);
    std::set<int> used;
    for (size_t i = 0; i < shuffledTruth.size(); ++i) {
        const int t = shuffledTruth[i];
        const int label = result.labels[i];
        if (t < 0) {
            QCOMPARE(label, -1);
            continue;
        }
        if (labelOf[size_t(t)] == -2) {
            labelOf[size_t(t)] = label;
            QVERIFY2(used.insert(label).second,
                     qPrintable(QStringLiteral("cluster %1 shares label %2").arg(t).arg(label)));
        }
        QVERIFY2(label == labelOf[size_t(t)],
                 qPrintable(QStringLiteral("point %1 of cluster %2: label %3, the others %4")
                                .arg(i)
                                .arg(t)
                                .arg(label)
                                .arg(labelOf[size_t(t)])));
    }
    // Numbered by falling size.
    for (size_t c = 1; c < result.sizes.size(); ++c)
        QVERIFY(result.sizes[c - 1] >= result.sizes[c]);

    // The same seed gives the same labels and centres, on one thread as on all of them.
    const int threads = QThreadPool::globalInstance()->maxThreadCount();
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    const KMeans::Result single = kmeans.run(clusters);
    QThreadPool::globalInstance()->setMaxThreadCount(threads);
    QVERIFY(single.labels == result.labels);
    QVERIFY(single.centres == result.centres);
    QCOMPARE(single.withinSumOfSquares, result.withinSumOfSquares);
}

QTEST_GUILESS_MAIN(TestKMeans)
#include "tst_kmeans.moc"
