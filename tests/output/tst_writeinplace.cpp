#include "calib/energyshiftmap.h"
#include "input/tiffdata.h"
#include "output/tiffwriter.h"
#include "spectra/xafsspectrum.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// Saving over a writable file that lies in a folder where no new file can be made: the
// writers fall back from a temporary file beside it to writing the file in place.
class TstWriteInPlace : public QObject
{
    Q_OBJECT

private slots:
    void overwritesTheFile_data();
    void overwritesTheFile();
};

void TstWriteInPlace::overwritesTheFile_data()
{
    QTest::addColumn<int>("writer");
    QTest::newRow("16-bit TIFF") << 0;
    QTest::newRow("spectrum file") << 1;
    QTest::newRow("energy-shift map") << 2;
}

void TstWriteInPlace::overwritesTheFile()
{
    // Regression: the safe writers needed a temporary file beside the target, so a writable
    // file in a folder that is not writable was never overwritten.
    QFETCH(int, writer);
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.filePath("locked"));
    const QString file = dir.filePath("locked/out.dat");
    QVERIFY(QDir().mkdir(folder) && QFile(file).open(QIODevice::WriteOnly));
    QVERIFY(chmod(QFile::encodeName(dir.path()), 0755) == 0 && chmod(folder, 0555) == 0);
    QVERIFY(chmod(QFile::encodeName(file), 0666) == 0);

    // Folder permissions do not bind root: write as nobody then.
    const bool root = geteuid() == 0;
    QVERIFY(!root || seteuid(65534) == 0);
    const quint16 values[6] = {1, 2, 3, 4, 5, 6};
    XafsSpectrum spectrum;
    for (int i = 0; i < 20; ++i)
        spectrum.append(7000 + 10 * i, i < 10 ? 0.1 : 1.1);
    EnergyShiftMap map;
    map.resize(3, 2);
    const bool written = writer == 0   ? writeTiff16(file, 3, 2, values)
                         : writer == 1 ? spectrum.writeFile(file, false)
                                       : map.save(file, 7112.0, 3.13553, "std.dat");
    QVERIFY(!root || seteuid(0) == 0);
    chmod(folder, 0755);

    QVERIFY(written);
    TiffData image;
    XafsSpectrum back;
    int width = 0;
    int height = 0;
    QVERIFY(writer == 0   ? image.read(file) && image.shiftedValue(2, 1) == 6.0
            : writer == 1 ? back.readFile(file) && back.size() == 20
                          : map.load(file, 0.0, width, height) && width == 3);
}

QTEST_GUILESS_MAIN(TstWriteInPlace)
#include "tst_writeinplace.moc"
