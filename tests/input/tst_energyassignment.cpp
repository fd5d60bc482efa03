#include "input/bragg.h"
#include "input/energyassignment.h"

#include <QTemporaryDir>
#include <QtTest>

// Reference values below were computed independently in double precision from Bragg's law
// with d = 3.13553 A, hc = 12398.424360387684 eV A and pi = 3.1415926535.
class TstEnergyAssignment : public QObject
{
    Q_OBJECT

private slots:
    void bragg_data();
    void bragg();
    void energyFromName_data();
    void energyFromName();
    void factorForPattern_data();
    void factorForPattern();
    void calculation_data();
    void calculation();
    void referenceList_data();
    void referenceList();
    void referenceFile_data();
    void referenceFile();
    void unreadableReferenceKeepsList();
    void badAngleRefusesTheFile_data();
    void badAngleRefusesTheFile();
    void methodChoosesTheRule();

private:
    QTemporaryDir mDir;
};

namespace {

void compareEnergy(double actual, double expected, double tolerance, const QString &what)
{
    QVERIFY2(qAbs(actual - expected) <= tolerance,
             qPrintable(QStringLiteral("%1: %2, expected %3 (error %4)")
                            .arg(what)
                            .arg(actual, 0, 'g', 15)
                            .arg(expected, 0, 'g', 15)
                            .arg(actual - expected)));
}

} // namespace

void TstEnergyAssignment::bragg_data()
{
    QTest::addColumn<double>("energy");
    QTest::addColumn<double>("angle");
    QTest::newRow("Fe K edge") << 7112.0 << 16.140454555531868;
    QTest::newRow("30 degrees") << 3954.1718180687362 << 30.0;
}

void TstEnergyAssignment::bragg()
{
    QFETCH(double, energy);
    QFETCH(double, angle);
    compareEnergy(Bragg::angleOf(energy), angle, 1e-9, QStringLiteral("angle of %1").arg(energy));
    compareEnergy(Bragg::energyOf(angle), energy, 1e-7, QStringLiteral("energy of %1").arg(angle));
}

void TstEnergyAssignment::energyFromName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<double>("factor");
    QTest::addColumn<int>("fNo");
    QTest::addColumn<double>("energy");
    QTest::newRow("eV with decimals") << "/data/scan_7112_50eV.img"
                                      << "\\d\\d\\d\\d_\\d\\deV" << 1.0 << 3 << 7112.5;
    QTest::newRow("keV times 1000") << "/data/img_7_112500KeV.tif"
                                    << "\\d_\\d\\d\\d\\d\\d\\dKeV" << 1000.0 << 3 << 7112.5;
    QTest::newRow("directory matches first")
        << "/data/2019_0101/a_7112_5000.tif"
        << "\\d\\d\\d\\d_\\d\\d\\d\\d" << 1.0 << 0 << 2019.0101;
    QTest::newRow("dot pattern") << "/d/a7112.25.tif"
                                 << "\\d\\d\\d\\d\\.\\d\\d" << 1.0 << 0 << 7112.25;
    QTest::newRow("no match gives the index") << "/data/image.tif"
                                              << "\\d\\d\\d\\d_\\d\\d" << 2.0 << 7 << 14.0;
    QTest::newRow("invalid pattern gives the index") << "/d/7112_50.tif"
                                                     << "(" << 1.0 << 5 << 5.0;
    QTest::newRow("factor not positive is not used")
        << "/d/7112_50.tif"
        << "\\d\\d\\d\\d_\\d\\d" << -3.0 << 0 << 7112.5;
}

void TstEnergyAssignment::energyFromName()
{
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    QFETCH(double, factor);
    QFETCH(int, fNo);
    QFETCH(double, energy);
    compareEnergy(EnergyAssignment::energyFromName(name, fNo, pattern, factor),
                  energy,
                  1e-9,
                  QStringLiteral("%1 with %2").arg(name, pattern));
}

void TstEnergyAssignment::factorForPattern_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("factor");
    QTest::newRow("KeV") << "\\d_\\d\\d\\d\\d\\d\\dKeV"
                         << "1000";
    QTest::newRow("keV lower case") << "\\d\\d_\\d\\dkev"
                                    << "1000";
    QTest::newRow("eV") << "\\d\\d\\d\\d_\\d\\deV"
                        << "1";
    QTest::newRow("plain") << "\\d\\d\\d\\d_\\d\\d\\d\\d"
                           << "1";
}

void TstEnergyAssignment::factorForPattern()
{
    QFETCH(QString, pattern);
    QFETCH(QString, factor);
    QCOMPARE(EnergyAssignment::factorTextFor(pattern), factor);
}

void TstEnergyAssignment::calculation_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("evenInEnergy");
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("delta");
    QTest::addColumn<double>("end");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("fNo");
    QTest::addColumn<double>("energy");
    QTest::newRow("eV even in energy") << 0 << true << 8000.0 << 0.5 << 0.0 << 1 << 4 << 8002.0;
    QTest::newRow("keV even in energy") << 1 << true << 8.0 << 0.001 << 0.0 << 1 << 4 << 8004.0;
    QTest::newRow("deg even in energy")
        << 2 << true << 16.0 << 0.01 << 0.0 << 1 << 3 << 7159.706575179596;
    QTest::newRow("deg even in angle")
        << 2 << false << 17.0 << 0.25 << 0.0 << 1 << 1 << 6667.145776105031;
    QTest::newRow("eV even in angle, first")
        << 0 << false << 7000.0 << 0.0 << 7200.0 << 100 << 0 << 7000.0;
    QTest::newRow("eV even in angle, middle")
        << 0 << false << 7000.0 << 0.0 << 7200.0 << 100 << 50 << 7098.532338310411;
    QTest::newRow("eV even in angle, last")
        << 0 << false << 7000.0 << 0.0 << 7200.0 << 100 << 100 << 7200.0;
    QTest::newRow("keV even in angle, middle")
        << 1 << false << 7.0 << 0.0 << 7.2 << 100 << 50 << 7098.532338310411;
}

void TstEnergyAssignment::calculation()
{
    QFETCH(int, unit);
    QFETCH(bool, evenInEnergy);
    QFETCH(double, start);
    QFETCH(double, delta);
    QFETCH(double, end);
    QFETCH(int, points);
    QFETCH(int, fNo);
    QFETCH(double, energy);
    EnergyAssignment rule;
    rule.method = EnergyAssignment::FromFileNum;
    rule.unit = EnergyAssignment::Unit(unit);
    rule.evenInEnergy = evenInEnergy;
    rule.start = start;
    rule.delta = delta;
    rule.end = end;
    rule.numOfPoints = points;
    compareEnergy(rule.energyOf(QStringLiteral("/d/7112_50eV.tif"), fNo),
                  energy,
                  1e-6,
                  QStringLiteral("unit %1, image %2").arg(unit).arg(fNo));
}

void TstEnergyAssignment::referenceList_data()
{
    QTest::addColumn<int>("fNo");
    QTest::addColumn<double>("energy");
    QTest::newRow("inside") << 2 << 7003.0;
    QTest::newRow("beyond the end takes the last") << 7 << 7005.0;
    QTest::newRow("negative takes the first") << -2 << 7001.0;
}

void TstEnergyAssignment::referenceList()
{
    QFETCH(int, fNo);
    QFETCH(double, energy);
    EnergyAssignment rule;
    rule.method = EnergyAssignment::FromRefFile;
    QCOMPARE(rule.energyOf(QString(), fNo), 8000.0 + fNo);
    rule.refEnergies = {7001.0, 7002.0, 7003.0, 7004.0, 7005.0};
    QCOMPARE(rule.energyOf(QString(), fNo), energy);
}

void TstEnergyAssignment::referenceFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QVector<double>>("angles");
    QTest::newRow("plain: first line never data, comments and blank lines skipped")
        << QByteArray("17.0\n16.5 1 2\n# 15.0\n\n  16.0\n") << QVector<double>{16.5, 16.0};
    QTest::newRow("9809: angles in the second column after Offset")
        << QByteArray("9809     KEK-PF  BL9A\n 1 10.0 x\n   Offset  1 2 3\n"
                      " 16.3 16.25 1 2\n 16.1 16.05 3 4\n")
        << QVector<double>{16.25, 16.05};
    QTest::newRow("9809 without Offset gives nothing")
        << QByteArray("9809 x\n1 16.2\n") << QVector<double>{};
}

void TstEnergyAssignment::referenceFile()
{
    QFETCH(QByteArray, text);
    QFETCH(QVector<double>, angles);
    const QString file = mDir.filePath(QStringLiteral("ref.dat"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(text);
    out.close();
    QVector<double> energies{1.0, 2.0, 3.0};
    QTest::ignoreMessage(QtDebugMsg, "reading simple");
    QVERIFY(EnergyAssignment::readReferenceFile(file, &energies));
    QCOMPARE(energies.size(), angles.size());
    for (int i = 0; i < angles.size(); ++i)
        compareEnergy(
            energies.at(i), Bragg::energyOf(angles.at(i)), 1e-9, QStringLiteral("line %1").arg(i));
}

void TstEnergyAssignment::unreadableReferenceKeepsList()
{
    const QString file = mDir.filePath(QStringLiteral("missing.dat"));
    QVector<double> energies{1.0, 2.0};
    QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("Can't open ref file ") + file));
    QVERIFY(!EnergyAssignment::readReferenceFile(file, &energies));
    QCOMPARE(energies, (QVector<double>{1.0, 2.0}));
}

void TstEnergyAssignment::badAngleRefusesTheFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("badLine");
    QTest::newRow("decimal comma") << QByteArray("angles\n16.5\n16,25\n16.0\n") << "3: 16,25";
    QTest::newRow("binary junk") << QByteArray("x\n16.5\n\x01\x02"
                                               "zz\n")
                                 << "3: \x01\x02"
                                    "zz";
    QTest::newRow("9809 angle of zero, no finite energy")
        << QByteArray("9809 x\nOffset\n1 16.2\n2 0\n") << "4: 2 0";
}

void TstEnergyAssignment::badAngleRefusesTheFile()
{
    // Regression: unreadable angles gave every image the energy inf or NaN, silently.
    QFETCH(QByteArray, text);
    QFETCH(QString, badLine);
    const QString file = mDir.filePath(QStringLiteral("bad.dat"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(text);
    out.close();
    QVector<double> energies{1.0, 2.0};
    QTest::ignoreMessage(QtDebugMsg, "reading simple");
    const QStringList parts = badLine.split(QStringLiteral(": "));
    QTest::ignoreMessage(QtDebugMsg,
                         qPrintable(QStringLiteral("Bad angle in ref file %1 at line %2: %3")
                                        .arg(file, parts.at(0), parts.at(1))));
    QVERIFY(!EnergyAssignment::readReferenceFile(file, &energies));
    QCOMPARE(energies, (QVector<double>{1.0, 2.0}));
}

void TstEnergyAssignment::methodChoosesTheRule()
{
    EnergyAssignment rule;
    rule.pattern = QStringLiteral("\\d\\d\\d\\d_\\d\\deV");
    rule.evenInEnergy = true;
    rule.refEnergies = {7500.0};
    const QString name = QStringLiteral("/d/I1_7112_50eV.tif");
    rule.method = EnergyAssignment::FromFileName;
    QCOMPARE(rule.energyOf(name, 2), 7112.5);
    rule.method = EnergyAssignment::FromFileNum;
    QCOMPARE(rule.energyOf(name, 2), 8002.0);
    rule.method = EnergyAssignment::FromRefFile;
    QCOMPARE(rule.energyOf(name, 2), 7500.0);
}

QTEST_MAIN(TstEnergyAssignment)
#include "tst_energyassignment.moc"
