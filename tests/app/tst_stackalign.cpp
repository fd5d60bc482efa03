#include "../sampledataset.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

// Whole-stack alignment through the real program: align_stack on the sample set with known
// whole-pixel and sub-pixel drifts finds them, and the fractions of an LCF run come closer to
// the truth once the shifts are applied.
class TstStackAlign : public QObject
{
    Q_OBJECT

private slots:
    void driftedSampleSet();
};

namespace {

constexpr int size = 64;

QVector<QStringList> rowsOf(const QString &fileName, QChar separator)
{
    QVector<QStringList> rows;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return rows;
    while (!file.atEnd()) {
        const QString line = QString::fromLatin1(file.readLine()).trimmed();
        if (!line.isEmpty() && !line.startsWith('#'))
            rows << line.split(separator, Qt::SkipEmptyParts);
    }
    return rows;
}

// RMS error of the fraction map saved as "x,y,value" lines against the truth, over the blocks
// of 3 x 3 pixels wholly inside the sample and away from the image border.
double fractionError(const QString &mapFile, const QVector<QStringList> &truth)
{
    double sum = 0.0;
    int count = 0;
    for (const QStringList &block : rowsOf(mapFile, ',')) {
        const int x = block.at(0).toInt(), y = block.at(1).toInt();
        if (x < 6 || y < 6 || x >= size - 6 || y >= size - 6)
            continue;
        double expected = 0.0;
        bool inside = true;
        for (int j = -1; j <= 1; ++j) {
            for (int i = -1; i <= 1; ++i) {
                const double f = truth.at(y + j).at(x + i).toDouble();
                inside = inside && f >= 0.0;
                expected += f / 9.0;
            }
        }
        if (inside) {
            const double error = block.at(2).toDouble() - expected;
            sum += error * error;
            ++count;
        }
    }
    return count > 0 ? std::sqrt(sum / count) : 1e300;
}

} // namespace

void TstStackAlign::driftedSampleSet()
{
    QTemporaryDir dir;
    const QString sample = dir.filePath("sample");
    QVERIFY(writeSampleDataSet(sample, {"--size", QString::number(size), "--drift"}));
    const QString table = dir.filePath("shifts.txt");
    const QStringList lcf = sampleReferenceLines(sample)
                            + QStringList{"select_region 0 0 64 64",
                                          "set_band_w 1",
                                          "set_band_h 1",
                                          "analyzer_exec_LCF",
                                          "analyzer_select_image 0",
                                          "analyzer_select_image_type 1",
                                          "saveDataCfg_save_as_text",
                                          "saveDataCfg_text_as_csv",
                                          "saveDataCfg_text_as_xyz"};
    // Not aligned; whole pixels from a registration; whole and sub-pixel from its table.
    const QStringList steps[] = {
        {},
        {"align_i0 none", "align_stack last", "save_shift_table " + quoted(table)},
        {"load_shift_table " + quoted(table) + " i1", "align_apply_subpixel fourier"},
    };
    double errors[3];
    for (int run = 0; run < 3; ++run) {
        const QString map = dir.filePath(QString("f%1.dat").arg(run));
        QCOMPARE(runBatchScript(dir.filePath("run.bat"),
                                sampleDataSetLoadLines(sample) + steps[run] + lcf
                                    + QStringList{"save_data " + quoted(map), "quit"}),
                 0);
        errors[run] = fractionError(dir.filePath(QString("f%1-0.dat").arg(run)),
                                    rowsOf(sample + "/fraction_A.txt", ' '));
    }

    const QVector<QStringList> found = rowsOf(table, ' ');
    const QVector<QStringList> truth = rowsOf(sample + "/drift.txt", ' ');
    QCOMPARE(found.size(), truth.size());
    double sum = 0.0;
    for (int i = 0; i < found.size(); ++i) {
        const double dx = -(truth.at(i).at(2).toDouble() + truth.at(i).at(4).toDouble());
        const double dy = -(truth.at(i).at(3).toDouble() + truth.at(i).at(5).toDouble());
        sum += std::pow(found.at(i).at(2).toDouble() - dx, 2)
               + std::pow(found.at(i).at(3).toDouble() - dy, 2);
    }
    const double rms = std::sqrt(sum / found.size());
    qInfo("shift RMS error %.4f px; fraction RMS error: not aligned %.4f, whole pixels %.4f, "
          "whole and sub-pixel %.4f",
          rms,
          errors[0],
          errors[1],
          errors[2]);
    QVERIFY2(rms <= 0.05, qPrintable(QString::number(rms)));
    QVERIFY(errors[1] < errors[0]);
    QVERIFY(errors[2] < errors[0]);
}

QTEST_GUILESS_MAIN(TstStackAlign)
#include "tst_stackalign.moc"
