#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "batch/commandregistry.h"
#include "input/h5datasetdialog.h"
#include "input/h5source.h"
#include "input/selectdatafiles.h"
#include "input/stackloader.h"
#include "input/tiffdata.h"
#include "resources/resourceinit.h"
#include "spectra/spectrum.h"
#include "spectra/stackspectra.h"
#include "stack/stackmodel.h"
#include "../sampledataset.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <hdf5.h>

#include <functional>

// Stacks loaded from HDF5 files through the stack loader's batch commands, against the same
// data loaded from one TIFF file per energy; files that must be refused leave the old stack.
class TestH5Source : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void layouts_data();
    void layouts();
    void refused_data();
    void refused();
    void dialogChoices();
    void batchRun();

private:
    // Loads with a batch line and waits for the load; the messages said go to `said`.
    bool load(const QString &line, QStringList *said = nullptr);
    // Writes an HDF5 file through `fill`, which gets the open file.
    QString writeFile(const QString &name, const std::function<void(hid_t)> &fill);
    void compareSpectra(bool averagedFlat, const QString &row);

    QTemporaryDir mDir;
    QString mData;
    QVector<TiffData *> mTiffs[2];
    QVector<quint16> mI1Frames;
    QVector<quint16> mI0Frames;
    QVector<double> mEnergies;
    int mSize = 0;
    StackModel mStacks;
    SelectDataFiles *mSelectors[2] = {nullptr, nullptr};
    StackLoader *mLoader = nullptr;
    CommandRegistry mCommands;
};

namespace {

void writeDataset(hid_t file,
                  const char *path,
                  const QVector<hsize_t> &dims,
                  hid_t type,
                  const void *values,
                  hid_t creation = H5P_DEFAULT,
                  const char *units = nullptr)
{
    const hid_t space = H5Screate_simple(dims.size(), dims.constData(), nullptr);
    const hid_t links = H5Pcreate(H5P_LINK_CREATE);
    H5Pset_create_intermediate_group(links, 1);
    const hid_t dataset = H5Dcreate2(file, path, type, space, links, creation, H5P_DEFAULT);
    if (values)
        H5Dwrite(dataset, type, H5S_ALL, H5S_ALL, H5P_DEFAULT, values);
    if (units) {
        const hid_t text = H5Tcopy(H5T_C_S1);
        H5Tset_size(text, H5T_VARIABLE);
        const hid_t scalar = H5Screate(H5S_SCALAR);
        const hid_t attribute
            = H5Acreate2(dataset, "units", text, scalar, H5P_DEFAULT, H5P_DEFAULT);
        H5Awrite(attribute, text, &units);
        H5Aclose(attribute);
        H5Sclose(scalar);
        H5Tclose(text);
    }
    H5Dclose(dataset);
    H5Pclose(links);
    H5Sclose(space);
}

} // namespace

void TestH5Source::initTestCase()
{
    initMarvolentiResources();
    buildBatchTables();
    QVERIFY(mDir.isValid());
    mData = mDir.filePath("data");
    QVERIFY(writeSampleDataSet(mData, {"--size", "20", "--energies", "12", "--h5"}));
    for (int stack : {0, 1}) {
        const QDir dir(mData + (stack == 0 ? "/I1" : "/I0"));
        for (const QFileInfo &file : dir.entryInfoList({"*.tif"}, QDir::Files, QDir::Name)) {
            auto *image = new TiffData;
            QVERIFY(image->read(file.filePath()));
            // Names end in 7112_50eV.tif.
            QString tag = file.completeBaseName().section('_', 1).remove("eV");
            image->energy = tag.replace('_', '.').toDouble();
            mTiffs[stack] << image;
            (stack == 0 ? mI1Frames : mI0Frames)
                += QVector<quint16>(image->samples16.begin(), image->samples16.end());
            if (stack == 0)
                mEnergies << image->energy;
        }
    }
    mSize = mTiffs[0].first()->width;
    mSelectors[0] = new SelectDataFiles;
    mSelectors[1] = new SelectDataFiles;
    mLoader = new StackLoader(&mStacks, mSelectors[0], mSelectors[1]);
    mLoader->registerCommands(mCommands);
}

void TestH5Source::cleanupTestCase()
{
    delete mLoader;
    delete mSelectors[0];
    delete mSelectors[1];
    for (const QVector<TiffData *> &stack : mTiffs)
        qDeleteAll(stack);
}

bool TestH5Source::load(const QString &line, QStringList *said)
{
    QSignalSpy finished(mLoader, &StackLoader::batchLoadFinished);
    const auto connection
        = connect(mLoader, &StackLoader::report, this, [said](const QString &text, bool) {
              if (said)
                  *said << text;
          });
    const CmdLine cmd(line);
    const CommandRegistry::Command *command = mCommands.find(commandTable().lookup(cmd.cmd));
    const bool waited = command && command->handler(cmd) && finished.wait();
    disconnect(connection);
    return waited;
}

QString TestH5Source::writeFile(const QString &name, const std::function<void(hid_t)> &fill)
{
    const QString path = mDir.filePath(name);
    QMutexLocker lock(&H5Source::libraryLock());
    const hid_t file
        = H5Fcreate(QFile::encodeName(path).constData(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT);
    fill(file);
    H5Fclose(file);
    return path;
}

void TestH5Source::compareSpectra(bool averagedFlat, const QString &row)
{
    const QVector<TiffData *> i0
        = averagedFlat ? QVector<TiffData *>{mTiffs[1].first()} : mTiffs[1];
    const StackSpectra expected(mTiffs[0], i0, mSize, mSize, false);
    const StackSpectra loaded(mStacks.i1Images(), mStacks.i0Images(), mSize, mSize, false);
    for (const QPoint &at : {QPoint(0, 0), QPoint(7, 9), QPoint(mSize - 1, mSize / 2)}) {
        for (int half : {0, 2}) {
            const Spectrum want = expected.spectrumAt(at.x(), at.y(), half, half);
            const Spectrum got = loaded.spectrumAt(at.x(), at.y(), half, half);
            QCOMPARE(got.size(), want.size());
            for (int k = 0; k < want.size(); ++k) {
                QVERIFY2(qAbs(got.xAt(k) - want.xAt(k)) < 1e-9 && got.yAt(k) == want.yAt(k),
                         qPrintable(QStringLiteral("%1 at (%2, %3) half %4, point %5: (%6, %7) "
                                                   "against (%8, %9) from the TIFF files")
                                        .arg(row)
                                        .arg(at.x())
                                        .arg(at.y())
                                        .arg(half)
                                        .arg(k)
                                        .arg(got.xAt(k), 0, 'g', 17)
                                        .arg(got.yAt(k), 0, 'g', 17)
                                        .arg(want.xAt(k), 0, 'g', 17)
                                        .arg(want.yAt(k), 0, 'g', 17)));
            }
        }
    }
}

void TestH5Source::layouts_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("averagedFlat");
    QTest::addColumn<QString>("firstI1");

    const QString h5 = mDir.filePath("data/h5/");
    QTest::newRow("Data Exchange, eV")
        << "load_h5 " + h5 + "sample_exchange.h5" << false << h5 + "sample_exchange.h5 [0]";
    QTest::newRow("gzip chunks") << "load_h5 " + h5 + "sample_exchange_gzip.h5" << false
                                 << h5 + "sample_exchange_gzip.h5 [0]";
    const int last = mEnergies.size() - 1;
    QTest::newRow("root level, falling keV, darks of 0")
        << "load_h5 " + h5 + "sample_xanes.h5" << false
        << h5 + QStringLiteral("sample_xanes.h5 [%1]").arg(last);
    QTest::newRow("dataset paths, no dark")
        << "load_h5_datasets " + h5 + "sample_xanes.h5 /img_xanes /img_bkg /X_eng -" << false
        << h5 + QStringLiteral("sample_xanes.h5 [%1]").arg(last);
    // int32 samples raised by a dark of 5, two flats of the first I0 image averaged into one,
    // energies in keV by their attribute.
    QTest::newRow("generic file, darks, averaged flat")
        << "load_h5_datasets " + mDir.filePath("generic.h5")
               + " /entry/sample /entry/flat /entry/energy /entry/dark"
        << true << mDir.filePath("generic.h5 [0]");
}

void TestH5Source::layouts()
{
    QFETCH(QString, line);
    QFETCH(bool, averagedFlat);
    QFETCH(QString, firstI1);

    const qsizetype frame = qsizetype(mSize) * mSize;
    const hsize_t n = hsize_t(mEnergies.size());
    const hsize_t side = hsize_t(mSize);
    writeFile("generic.h5", [&](hid_t file) {
        QVector<qint32> sample(mI1Frames.begin(), mI1Frames.end());
        for (qint32 &value : sample)
            value += 5;
        QVector<qint32> flats(mI0Frames.begin(), mI0Frames.begin() + frame);
        flats += flats;
        for (qint32 &value : flats)
            value += 5;
        const QVector<qint32> dark(3 * frame, 5);
        QVector<double> kev;
        for (double e : mEnergies)
            kev << e / 1000;
        writeDataset(file, "/entry/sample", {n, side, side}, H5T_NATIVE_INT32, sample.constData());
        writeDataset(file, "/entry/flat", {2, side, side}, H5T_NATIVE_INT32, flats.constData());
        writeDataset(file, "/entry/dark", {3, side, side}, H5T_NATIVE_INT32, dark.constData());
        writeDataset(
            file, "/entry/energy", {n}, H5T_NATIVE_DOUBLE, kev.constData(), H5P_DEFAULT, "keV");
    });

    QStringList said;
    QVERIFY2(load(line, &said), qPrintable(said.join('\n')));
    QCOMPARE(mStacks.i1Images().size(), mEnergies.size());
    QCOMPARE(mStacks.i0Images().size(), averagedFlat ? 1 : mEnergies.size());
    QCOMPARE(mSelectors[0]->count(), mEnergies.size());
    QCOMPARE(mStacks.i1Images().first()->fileName, firstI1);
    QCOMPARE(mStacks.width(), mSize);
    compareSpectra(averagedFlat, QTest::currentDataTag());
}

void TestH5Source::refused_data()
{
    QTest::addColumn<QString>("datasets");
    QTest::addColumn<QString>("said");

    QTest::newRow("sample of rank 2") << "/flat - /energy"
                                      << "/flat has 2 dimensions, not 3";
    QTest::newRow("energies of another length")
        << "/sample - /short"
        << "/short holds 3 energies for the 4 frames of /sample";
    QTest::newRow("flat of another frame size")
        << "/sample /small /energy"
        << "the frames of /small are 4 x 2, those of /sample 6 x 5";
    QTest::newRow("compound samples") << "/compound - /energy"
                                      << "/compound holds compound";
    QTest::newRow("string energies") << "/sample - /text"
                                     << "/text holds string, not numbers";
    QTest::newRow("int64 samples") << "/wide - /energy"
                                   << "/wide holds int64";
    QTest::newRow("declared size beyond memory") << "/huge - -"
                                                 << "/huge would take";
    QTest::newRow("missing filter") << "/zstd - /energy"
                                    << "/zstd is compressed with filter zstd (id 32015)";
    QTest::newRow("no such dataset") << "/nope - /energy"
                                     << "no dataset /nope";
    QTest::newRow("energies in degrees") << "/sample - /degrees"
                                         << "/degrees is in units \"deg\"";
    QTest::newRow("energy not a number") << "/sample - /nan"
                                         << "/nan holds an energy of nan";
    QTest::newRow("truncated file") << "truncated"
                                    << "truncated.h5";
    QTest::newRow("no recognised layout") << "layout"
                                          << "neither /exchange/data nor /img_xanes";
}

void TestH5Source::refused()
{
    QFETCH(QString, datasets);
    QFETCH(QString, said);

    const QString bad = writeFile("bad.h5", [](hid_t file) {
        const QVector<quint16> frames(4 * 5 * 6, 100);
        writeDataset(file, "/sample", {4, 5, 6}, H5T_NATIVE_UINT16, frames.constData());
        writeDataset(file, "/flat", {5, 6}, H5T_NATIVE_UINT16, frames.constData());
        writeDataset(file, "/small", {4, 2, 4}, H5T_NATIVE_UINT16, frames.constData());
        writeDataset(file, "/wide", {1, 5, 6}, H5T_NATIVE_INT64, nullptr);
        const double energies[] = {7000, 7001, 7002, 7003};
        writeDataset(file, "/energy", {4}, H5T_NATIVE_DOUBLE, energies);
        writeDataset(file, "/short", {3}, H5T_NATIVE_DOUBLE, energies);
        writeDataset(file, "/degrees", {4}, H5T_NATIVE_DOUBLE, energies, H5P_DEFAULT, "deg");
        const double withNan[] = {7000, qQNaN(), 7002, 7003};
        writeDataset(file, "/nan", {4}, H5T_NATIVE_DOUBLE, withNan);
        const hid_t pair = H5Tcreate(H5T_COMPOUND, 4);
        H5Tinsert(pair, "a", 0, H5T_NATIVE_UINT16);
        H5Tinsert(pair, "b", 2, H5T_NATIVE_UINT16);
        writeDataset(file, "/compound", {4, 5, 6}, pair, nullptr);
        H5Tclose(pair);
        const hid_t text = H5Tcopy(H5T_C_S1);
        H5Tset_size(text, 8);
        writeDataset(file, "/text", {4}, text, nullptr);
        H5Tclose(text);
        const hid_t chunked = H5Pcreate(H5P_DATASET_CREATE);
        const hsize_t chunk[3] = {1, 256, 256};
        H5Pset_chunk(chunked, 3, chunk);
        writeDataset(file, "/huge", {1000000, 8192, 8192}, H5T_NATIVE_UINT16, nullptr, chunked);
        // Zstandard, which no installed plugin decodes: written through a stand-in registered
        // only while the file is made.
        const H5Z_class2_t zstd
            = {H5Z_CLASS_T_VERS,
               32015,
               1,
               1,
               "zstd",
               nullptr,
               nullptr,
               [](unsigned, size_t, const unsigned[], size_t bytes, size_t *, void **) {
                   return bytes;
               }};
        H5Zregister(&zstd);
        H5Pclose(chunked);
        const hid_t filtered = H5Pcreate(H5P_DATASET_CREATE);
        const hsize_t frame[3] = {1, 5, 6};
        H5Pset_chunk(filtered, 3, frame);
        H5Pset_filter(filtered, 32015, H5Z_FLAG_MANDATORY, 0, nullptr);
        writeDataset(file, "/zstd", {4, 5, 6}, H5T_NATIVE_UINT16, frames.constData(), filtered);
        H5Pclose(filtered);
        H5Zunregister(32015);
    });
    QFile whole(mDir.filePath("data/h5/sample_exchange.h5"));
    QVERIFY(whole.open(QIODevice::ReadOnly));
    QFile truncated(mDir.filePath("truncated.h5"));
    QVERIFY(truncated.open(QIODevice::WriteOnly));
    truncated.write(whole.read(whole.size() / 2));
    truncated.close();

    // The stack that was there before stays, image for image.
    QVERIFY(load("load_h5 " + mDir.filePath("data/h5/sample_exchange.h5")));
    const QVector<TiffData *> before = mStacks.i1Images();
    QStringList messages;
    QString line = "load_h5_datasets " + bad + ' ' + datasets;
    if (datasets == "truncated")
        line = "load_h5 " + truncated.fileName();
    else if (datasets == "layout")
        line = "load_h5 " + bad;
    QVERIFY(load(line, &messages));
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().contains(said), qPrintable(messages.first()));
    QVERIFY2(messages.first().contains(datasets == "truncated" ? truncated.fileName() : bad),
             qPrintable(messages.first()));
    QCOMPARE(mStacks.i1Images(), before);
    QCOMPARE(mSelectors[0]->count(), before.size());
}

void TestH5Source::dialogChoices()
{
    // Every dataset is listed with its shape and type; those of the layout are chosen.
    H5Source source;
    QVector<H5Source::DatasetInfo> datasets;
    QVERIFY(source.listDatasets(mData + "/h5/sample_xanes.h5", &datasets));
    QCOMPARE(datasets.size(), 4);
    QCOMPARE(datasets.at(0).path, QString("/X_eng"));
    QCOMPARE(datasets.at(0).shape, QVector<qint64>{mEnergies.size()});
    QCOMPARE(datasets.at(1).type, QString("uint16"));
    const H5DatasetDialog dialog(mData + "/h5/sample_xanes.h5", datasets);
    QCOMPARE(dialog.paths(), (QStringList{"/img_xanes", "/img_bkg", "/X_eng", "/img_dark"}));
    // Listing a file with a damaged local heap crashed inside the library's walk over links.
    const QString damaged = MARVOLENTI_TEST_DATA "/damaged-heap.h5";
    QVERIFY(!source.listDatasets(damaged, &datasets));
    QVERIFY2(source.error().startsWith(damaged), qPrintable(source.error()));
}

void TestH5Source::batchRun()
{
    // The spectra of an area saved after loading the TIFF files and after loading the same
    // stack from HDF5 (stored falling in keV, with darks of 0) are the same file.
    const QString area = "select_region 2 2 9 9\nset_band_w 1\nset_band_h 1";
    const QStringList tiffLines = sampleDataSetLoadLines(mData)
                                  << area << "save_xafs_spectra " + mDir.filePath("tiff.txt");
    const QStringList h5Lines = QStringList{"load_h5 " + mData + "/h5/sample_xanes.h5",
                                            area,
                                            "save_xafs_spectra " + mDir.filePath("h5.txt")};
    QCOMPARE(runBatchScript(mDir.filePath("tiff.bat"), tiffLines), 0);
    QCOMPARE(runBatchScript(mDir.filePath("h5.bat"), h5Lines), 0);
    QFile tiff(mDir.filePath("tiff.txt"));
    QFile h5(mDir.filePath("h5.txt"));
    QVERIFY(tiff.open(QIODevice::ReadOnly) && h5.open(QIODevice::ReadOnly));
    const QByteArray want = tiff.readAll();
    QVERIFY(want.count('\n') > 8);
    QCOMPARE(h5.readAll(), want);
}

QTEST_MAIN(TestH5Source)
#include "tst_h5source.moc"
