#include "input/tiffdata.h"
#include "stack/stackmodel.h"

#include <QSignalSpy>
#include <QtTest>

// The stack model without any window: what it holds, the queries made of it, its signals.
class TestStackModel : public QObject
{
    Q_OBJECT

private slots:
    void queries_data();
    void queries();
    void clearDeletesOneStack();
    void shiftsOnI1Only();
};

namespace {

// An image of w x h samples of value; sizes are written "WxH".
TiffData *image(const QString &size, double energy, quint16 value = 1000)
{
    auto *data = new TiffData;
    data->width = size.section('x', 0, 0).toInt();
    data->height = size.section('x', 1, 1).toInt();
    data->energy = energy;
    data->fileName = QStringLiteral("%1.tif").arg(energy);
    data->sampleKind = TiffData::ImgRows;
    for (int k = 0; k < data->width * data->height; ++k)
        data->samples16.append(value);
    return data;
}

void fill(StackModel &model, const QStringList &i1Sizes, const QStringList &i0Sizes)
{
    for (int k = 0; k < i1Sizes.size(); ++k)
        model.append(StackModel::I1, image(i1Sizes.at(k), 7000.0 + k, 500));
    for (int k = 0; k < i0Sizes.size(); ++k)
        model.append(StackModel::I0, image(i0Sizes.at(k), 6990.0 + 20 * k, 1000));
}

} // namespace

void TestStackModel::queries_data()
{
    QTest::addColumn<QStringList>("i1Sizes");
    QTest::addColumn<QStringList>("i0Sizes");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("mismatched");

    QTest::newRow("empty") << QStringList() << QStringList() << -1 << 0 << QString();
    QTest::newRow("I0 only") << QStringList() << QStringList{"4x3"} << -1 << 0 << QString();
    QTest::newRow("agree") << QStringList{"4x3", "4x3"} << QStringList{"4x3"} << 4 << 3
                           << QString();
    QTest::newRow("I1 differs") << QStringList{"4x3", "4x2", "5x3"} << QStringList{"4x3"} << 4 << 3
                                << "7001.tif";
    QTest::newRow("I0 differs") << QStringList{"4x3"} << QStringList{"4x3", "3x3"} << 4 << 3
                                << "7010.tif";
}

void TestStackModel::queries()
{
    QFETCH(QStringList, i1Sizes);
    QFETCH(QStringList, i0Sizes);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, mismatched);

    StackModel model;
    QSignalSpy loaded(&model, &StackModel::loaded);
    fill(model, i1Sizes, i0Sizes);
    QCOMPARE(loaded.count(), i1Sizes.size() + i0Sizes.size());
    QCOMPARE(model.width(), -1);
    QCOMPARE(model.takeSizeOfFirstI1(), !i1Sizes.isEmpty());
    QCOMPARE(model.width(), width);
    QCOMPARE(model.height(), height);
    const TiffData *odd = model.mismatchedImage();
    QCOMPARE(odd ? odd->fileName : QString(), mismatched);

    // The snapshot takes the stacks as they are: one point per I1 image, ln(1000 / 500).
    const StackSpectra spectra = model.spectra(false);
    QCOMPARE(spectra.i1Count(), i1Sizes.size());
    if (mismatched.isEmpty() && !i1Sizes.isEmpty() && !i0Sizes.isEmpty()) {
        const Spectrum spectrum = spectra.spectrumAt(1, 1, 0, 0);
        QCOMPARE(spectrum.size(), i1Sizes.size());
        QVERIFY2(qAbs(spectrum.yAt(0) - std::log(2.0)) < 1e-9,
                 qPrintable(QString::number(spectrum.yAt(0), 'g', 12)));
    }
}

void TestStackModel::clearDeletesOneStack()
{
    StackModel model;
    fill(model, {"4x3", "4x3"}, {"4x3"});
    bool heldAtNotice = false;
    connect(&model, &StackModel::aboutToClear, this, [&](StackModel::Stack stack) {
        heldAtNotice = stack == StackModel::I0 && model.i0Images().size() == 1;
    });
    QSignalSpy cleared(&model, &StackModel::cleared);
    const TiffData *kept = model.i1Images().first();
    model.clear(StackModel::I0);
    QVERIFY(heldAtNotice);
    QCOMPARE(cleared.count(), 1);
    QVERIFY(model.i0Images().isEmpty());
    QCOMPARE(model.image(StackModel::I1, 0), kept);
    QCOMPARE(model.image(StackModel::I1, 2), nullptr);
}

void TestStackModel::shiftsOnI1Only()
{
    StackModel model;
    fill(model, {"4x3", "4x3"}, {"4x3"});
    QSignalSpy shifts(&model, &StackModel::shiftsChanged);
    QSignalSpy energies(&model, &StackModel::energiesChanged);
    model.setShift(1, 2, -3);
    model.setShift(5, 1, 1);
    QCOMPARE(shifts.count(), 1);
    QCOMPARE(model.i1Images().at(1)->shiftX, 2);
    QCOMPARE(model.i1Images().at(1)->shiftY, -3);
    model.i0Images().first()->shiftX = 4;
    model.clearShifts();
    QCOMPARE(shifts.count(), 2);
    QCOMPARE(model.i1Images().at(1)->shiftX, 0);
    QCOMPARE(model.i0Images().first()->shiftX, 4);
    model.setEnergy(StackModel::I0, 0, 7200.0);
    QCOMPARE(energies.count(), 1);
    QCOMPARE(model.i0Images().first()->energy, 7200.0);
}

QTEST_GUILESS_MAIN(TestStackModel)
#include "tst_stackmodel.moc"
