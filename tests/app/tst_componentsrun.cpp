#include "analysis/blockengine.h"
#include "analysis/componentrun.h"
#include "analysis/analyzed2dres.h"
#include "analysis/analyzer.h"
#include "analysis/componentscontroller.h"
#include "analysis/componentswindow.h"
#include "analysis/lcfreference.h"
#include "analysis/xafsfileselect.h"
#include "display/curvesplot.h"
#include "app/body.h"
#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "resources/resourceinit.h"
#include "spectra/xafsspectrum.h"
#include "tests/sampledataset.h"

#include <Eigen/SVD>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <map>
#include <set>

// The principal components and clusters of the sample data set: the components against a
// singular value decomposition of the spectra built one by one, and a batch run of the real
// program that finds the discs as clusters and fits with their spectra as references.
class TestComponentsRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void componentsOfTheSpectra_data();
    void componentsOfTheSpectra();
    void clustersAndReferencesInABatch();
    void window();

private:
    int exec(const QString &line);

    QTemporaryDir mDir;
    QString mSample;
    Body *mBody = nullptr;
    QSignalSpy *mFinished = nullptr;
};

namespace {

constexpr int smallSize = 24;
constexpr int sampleSize = 48;

QVector<double> numbers(const QString &path, QChar separator = QChar())
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (!separator.isNull())
        text.replace(separator, QLatin1Char(' '));
    QVector<double> values;
    for (const QString &word : text.split(QRegExp("\\s+"), Qt::SkipEmptyParts))
        values << (word.compare(QLatin1String("nan"), Qt::CaseInsensitive) == 0 ? std::nan("")
                                                                                : word.toDouble());
    return values;
}

// A map saved as "x,y,value" lines, as width x height values (NaN where none was written).
QVector<double> savedMap(const QString &path, int size)
{
    const QVector<double> xyv = numbers(path, QLatin1Char(','));
    QVector<double> map(size * size, std::nan(""));
    for (int i = 0; i + 2 < xyv.size(); i += 3)
        map[int(xyv[i + 1]) * size + int(xyv[i])] = xyv[i + 2];
    return map;
}

} // namespace

void TestComponentsRun::initTestCase()
{
    initMarvolentiResources();
    buildBatchTables();
    QVERIFY(mDir.isValid());
    const QString small = mDir.filePath("small");
    QVERIFY(writeSampleDataSet(small, {"--size", QString::number(smallSize), "--energies", "60"}));
    mSample = mDir.filePath("sample");
    QVERIFY(writeSampleDataSet(mSample, {"--size", QString::number(sampleSize)}));

    mBody = new Body;
    mFinished = new QSignalSpy(mBody, &Body::finishBatchExec);
    for (const QString &line : sampleDataSetLoadLines(small)) {
        const int before = mFinished->count();
        mBody->execCmdSlot(CmdLine(line), false);
        QTRY_VERIFY_WITH_TIMEOUT(mFinished->count() > before, 600000);
    }
}

void TestComponentsRun::cleanupTestCase()
{
    delete mFinished;
    delete mBody;
}

int TestComponentsRun::exec(const QString &line)
{
    const int before = mFinished->count();
    mBody->execCmdSlot(CmdLine(line), false);
    [&] { QTRY_VERIFY_WITH_TIMEOUT(mFinished->count() > before, 600000); }();
    return mFinished->count() - before;
}

void TestComponentsRun::componentsOfTheSpectra_data()
{
    QTest::addColumn<QRect>("area");
    QTest::addColumn<int>("bin");
    QTest::addColumn<int>("components");
    QTest::addColumn<int>("threads");

    QTest::newRow("whole image, bin 0, 3 components")
        << QRect(0, 0, smallSize, smallSize) << 0 << 3 << 0;
    QTest::newRow("part, bin 0, 2 components, one thread") << QRect(2, 3, 19, 17) << 0 << 2 << 1;
}

void TestComponentsRun::componentsOfTheSpectra()
{
    QFETCH(QRect, area);
    QFETCH(int, bin);
    QFETCH(int, components);
    QFETCH(int, threads);

    const int allThreads = mBody->blockEngine()->maxThreads();
    if (threads > 0)
        mBody->blockEngine()->setMaxThreads(threads);
    exec(QStringLiteral("select_region %1 %2 %3 %4")
             .arg(area.left())
             .arg(area.top())
             .arg(area.right() + 1)
             .arg(area.bottom() + 1));
    exec(QStringLiteral("set_band_w %1").arg(bin));
    exec(QStringLiteral("set_band_h %1").arg(bin));
    exec(QStringLiteral("pca_exec %1").arg(components));
    mBody->blockEngine()->setMaxThreads(allThreads);

    const ComponentRun *run = mBody->componentsController()->run();
    const PrincipalComponents &pca = run->components();
    QVERIFY(pca.isValid());
    const std::vector<double> scores = run->scores();
    QCOMPARE(run->componentCount(), components);

    // The spectra of the blocks kept, built one by one as the spectrum at the cursor is.
    const BlockRequest request = mBody->blockRequest();
    AreaWalk walk = request.walk;
    walk.rewind();
    std::vector<std::vector<double>> rows;
    std::vector<qint64> blocks;
    qint64 block = 0;
    bool newRow = false;
    do {
        if (!std::isnan(scores[size_t(block) * components])) {
            const XafsSpectrum spectrum = request.spectra.xafsSpectrumAt(
                int(walk.cx), int(walk.cy), bin, bin, Background(), 0.0);
            std::vector<double> row;
            for (const QPointF &point : spectrum.doubleNormPreBase.points)
                row.push_back(point.y());
            rows.push_back(row);
            blocks.push_back(block);
        }
        ++block;
    } while (walk.next(newRow));
    QCOMPARE(qint64(rows.size()), pca.blocks());
    QVERIFY2(rows.size() > 20, qPrintable(QString::number(rows.size())));

    const int points = pca.points();
    Eigen::MatrixXd spectra(Eigen::Index(rows.size()), points);
    for (size_t r = 0; r < rows.size(); ++r) {
        QCOMPARE(int(rows[r].size()), points);
        for (int i = 0; i < points; ++i)
            spectra(Eigen::Index(r), i) = rows[r][size_t(i)];
    }
    const Eigen::RowVectorXd mean = spectra.colwise().mean();
    const Eigen::MatrixXd centred = spectra.rowwise() - mean;
    const Eigen::JacobiSVD<Eigen::MatrixXd> svd(centred, Eigen::ComputeThinV);
    QVERIFY((pca.mean().transpose() - mean).cwiseAbs().maxCoeff() < 1e-9);
    const double scale = svd.singularValues()(0) * svd.singularValues()(0);
    for (int k = 0; k < components; ++k) {
        const double expected
            = svd.singularValues()(k) * svd.singularValues()(k) / double(rows.size() - 1);
        QVERIFY2(std::abs(pca.eigenvalues()(k) - expected) < 1e-9 * scale,
                 qPrintable(QStringLiteral("eigenvalue %1: %2, expected %3")
                                .arg(k)
                                .arg(pca.eigenvalues()(k), 0, 'g', 12)
                                .arg(expected, 0, 'g', 12)));
        // Eigenvectors up to their sign.
        const Eigen::VectorXd v = svd.matrixV().col(k);
        const double sign = v.dot(pca.eigenvectors().col(k)) < 0.0 ? -1.0 : 1.0;
        const double error = (pca.eigenvectors().col(k) - sign * v).cwiseAbs().maxCoeff();
        QVERIFY2(
            error < 1e-6,
            qPrintable(QStringLiteral("eigenvector %1: largest difference %2").arg(k).arg(error)));
        // The scores kept are those of the spectra.
        for (size_t r = 0; r < rows.size(); r += 7) {
            const double score = sign * centred.row(Eigen::Index(r)).dot(v);
            const double kept = scores[size_t(blocks[r]) * components + k];
            QVERIFY2(std::abs(kept - score) < 1e-6,
                     qPrintable(QStringLiteral("block %1, component %2: %3, expected %4")
                                    .arg(blocks[r])
                                    .arg(k)
                                    .arg(kept)
                                    .arg(score)));
        }
    }
}

void TestComponentsRun::clustersAndReferencesInABatch()
{
    const QString out = mDir.filePath("out");
    QVERIFY(QDir().mkpath(out));
    const QVector<double> truth = numbers(mSample + "/fraction_A.txt");
    QCOMPARE(truth.size(), sampleSize * sampleSize);
    const auto at
        = [](const QVector<double> &map, int x, int y) { return map[y * sampleSize + x]; };
    // The disc centres in the truth, and the region of every point away from the rims, which
    // drift by up to 3 pixels (2 for the small centre disc).
    const QVector<double> regions = {1.0, 0.0, 0.25, 0.75, 0.5, -1.0};
    const auto regionOf = [&](int x, int y) {
        const double f = at(truth, x, y);
        const int margin = f == 0.5 ? 2 : 3;
        if (x < margin || y < margin || x >= sampleSize - margin || y >= sampleSize - margin)
            return std::nan("");
        for (int dy = -margin; dy <= margin; ++dy)
            for (int dx = -margin; dx <= margin; ++dx)
                if (at(truth, x + dx, y + dy) != f)
                    return std::nan("");
        return f;
    };

    // First the clusters; then the clusters of discs A and B as references 0 and 1.
    QStringList lines = sampleDataSetLoadLines(mSample);
    lines << "align_stack last" << QStringLiteral("select_region 0 0 %1 %1").arg(sampleSize)
          << "set_band_w 0"
          << "set_band_h 0"
          << "pca_exec 3"
          << "pca_save " + quoted(out + "/pca.txt") << "cluster_exec 6"
          << "cluster_save_spectra " + quoted(out + "/cluster") << "components_select_map cluster"
          << "saveDataCfg_save_as_text"
          << "saveDataCfg_text_as_csv"
          << "saveDataCfg_text_as_xyz"
          << "save_data " + quoted(out + "/clusters.dat") << "components_select_map score 1"
          << "save_data " + quoted(out + "/score1.dat");
    QString errors;
    QCOMPARE(runBatchScript(mDir.filePath("clusters.bat"), lines, &errors), 0);
    const QVector<double> clusters = savedMap(out + "/clusters-0.dat", sampleSize);
    const QVector<double> scores = savedMap(out + "/score1-0.dat", sampleSize);
    QVERIFY2(!clusters.isEmpty() && !std::isnan(clusters[0]), qPrintable(errors.right(2000)));

    // Every region away from the rims is one cluster of its own; the background, without an
    // edge, is left out (0) and has no scores.
    std::map<double, std::set<int>> clustersOf;
    for (int y = 0; y < sampleSize; ++y) {
        for (int x = 0; x < sampleSize; ++x) {
            const double region = regionOf(x, y);
            if (std::isnan(region))
                continue;
            clustersOf[region].insert(int(at(clusters, x, y)));
            QCOMPARE(std::isnan(at(scores, x, y)), region < 0.0);
        }
    }
    std::set<int> seen;
    for (const double region : regions) {
        const std::set<int> &found = clustersOf[region];
        QString names;
        for (const int c : found)
            names += QString::number(c) + ' ';
        qInfo().noquote() << "region of fraction" << region << "in cluster(s)" << names;
        QVERIFY2(found.size() == 1,
                 qPrintable(QStringLiteral("region %1: %2").arg(region).arg(names)));
        QVERIFY2(seen.insert(*found.begin()).second,
                 qPrintable(QStringLiteral("cluster %1 again").arg(names)));
        QCOMPARE(*found.begin() == 0, region < 0.0);
    }
    QVERIFY(QFile::exists(out + "/pca.txt"));
    QVERIFY(QFile::exists(out + "/cluster-5.dat"));

    // LCF with the clusters of discs A and B as references, then with the true references.
    const int clusterA = *clustersOf[1.0].begin();
    const int clusterB = *clustersOf[0.0].begin();
    QStringList fit = lines.mid(0, 11);
    fit << QStringLiteral("cluster_to_reference %1 0 %2").arg(clusterA).arg(quoted(out + "/ref"))
        << QStringLiteral("cluster_to_reference %1 1 %2").arg(clusterB).arg(quoted(out + "/ref"))
        << "analyzer_exec_LCF"
        << "analyzer_select_image 0"
        << "analyzer_select_image_type 1"
        << "saveDataCfg_save_as_text"
        << "saveDataCfg_text_as_csv"
        << "saveDataCfg_text_as_xyz"
        << "save_data " + quoted(out + "/clusterfit.dat");
    fit << sampleReferenceLines(mSample) << "analyzer_exec_LCF"
        << "save_data " + quoted(out + "/truefit.dat");
    QCOMPARE(runBatchScript(mDir.filePath("fit.bat"), fit, &errors), 0);
    QVERIFY(QFile::exists(QStringLiteral("%1/ref-%2.dat").arg(out).arg(clusterA)));
    const QVector<double> clusterFit = savedMap(out + "/clusterfit-0.dat", sampleSize);
    const QVector<double> trueFit = savedMap(out + "/truefit-0.dat", sampleSize);
    std::map<double, QPair<double, int>> sums;
    double largest = 0.0;
    for (int y = 0; y < sampleSize; ++y) {
        for (int x = 0; x < sampleSize; ++x) {
            const double region = regionOf(x, y);
            if (std::isnan(region) || region < 0.0)
                continue;
            const double difference = std::abs(at(clusterFit, x, y) - at(trueFit, x, y));
            largest = std::max(largest, difference);
            QVERIFY2(difference < 0.05,
                     qPrintable(QStringLiteral("(%1, %2), fraction %3: %4 with the clusters, "
                                               "%5 with the true references")
                                    .arg(x)
                                    .arg(y)
                                    .arg(region)
                                    .arg(at(clusterFit, x, y))
                                    .arg(at(trueFit, x, y))));
            sums[region].first += at(clusterFit, x, y) - at(trueFit, x, y);
            ++sums[region].second;
        }
    }
    for (const auto &region : sums)
        qInfo().noquote() << QStringLiteral("disc of fraction %1: mean difference %2 over %3 "
                                            "pixels")
                                 .arg(region.first)
                                 .arg(region.second.first / region.second.second, 0, 'f', 4)
                                 .arg(region.second.second);
    qInfo().noquote() << "largest difference of a pixel's fraction:" << largest;
    QCOMPARE(int(sums.size()), 5);
}

void TestComponentsRun::window()
{
    ComponentsController *controller = mBody->componentsController();
    ComponentsWindow *window = controller->window();
    QTest::mouseClick(mBody->analyzer()->componentsButton(), Qt::LeftButton);
    QVERIFY(window->isVisible());
    // Beside the analyser on a screen 1920 pixels wide.
    const int widths = window->sizeHint().width() + mBody->analyzer()->sizeHint().width();
    QVERIFY2(widths <= 1920,
             qPrintable(QStringLiteral("window %1 + analyser %2 pixels")
                            .arg(window->sizeHint().width())
                            .arg(mBody->analyzer()->sizeHint().width())));
    exec(QStringLiteral("select_region 0 0 %1 %1").arg(smallSize));
    exec("set_band_w 0");
    exec("set_band_h 0");

    QSignalSpy analysed(controller, &ComponentsController::analysisEnded);
    window->findChildren<QSpinBox *>().at(0)->setValue(2);
    QTest::mouseClick(window->analyseButton(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(analysed.count(), 1, 600000);
    QCOMPARE(analysed.at(0).at(0).toBool(), true);
    const ComponentRun *run = controller->run();
    // The variance of every component, the eigenspectra of those kept.
    QCOMPARE(window->screePlot()->curves().at(0).points.size(), run->components().points());
    QCOMPARE(window->eigenspectraPlot()->curves().size(), 2);

    QSignalSpy clustered(controller, &ComponentsController::clustersEnded);
    // Four classes: the blocks left out and three clusters.
    window->findChildren<QSpinBox *>().at(1)->setValue(4);
    QTest::mouseClick(window->clusterButton(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(clustered.count(), 1, 600000);
    QCOMPARE(run->clusterCount(), 3);
    // Three clusters and the blocks left out, each in its colour on the map too.
    QCOMPARE(window->legend()->count(), 4);
    QCOMPARE(window->clusterPlot()->curves().size(), 3);
    Analyzed2DRes *map = controller->clusterMap();
    QVERIFY(map->img());
    for (int y = 0; y < smallSize; y += 5) {
        for (int x = 0; x < smallSize; x += 5) {
            const int cluster = int(map->value(x, y));
            QCOMPARE(map->img()->pixelColor(x, y), ComponentRun::clusterColour(cluster));
        }
    }

    // The cluster map chosen in the window is the analyser's map until it chooses one itself.
    auto *maps = window->findChild<QComboBox *>();
    maps->setFocus();
    maps->setCurrentIndex(0);
    QTest::keyClick(maps, Qt::Key_End);
    QCOMPARE(maps->currentData().toInt(), -1);
    QCOMPARE(mBody->analyzer()->selectedMap(), map);
    mBody->analyzer()->selectImage(0);
    QVERIFY(mBody->analyzer()->selectedMap() != map);

    // Cluster 2 into reference row 3, in use.
    window->legend()->setCurrentRow(1);
    window->findChildren<QSpinBox *>().at(2)->setValue(3);
    window->findChild<QLineEdit *>()->setText(mDir.filePath("windowref"));
    QTest::mouseClick(window->toReferenceButton(), Qt::LeftButton);
    const LCFReference *reference = mBody->analyzer()->refs().at(3);
    QVERIFY(reference->isUsed());
    QVERIFY(QFile::exists(mDir.filePath("windowref-2.dat")));
    window->hide();
}

QTEST_MAIN(TestComponentsRun)
#include "tst_componentsrun.moc"
