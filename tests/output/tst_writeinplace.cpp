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
    QTest::addColumn<bool>("tiff");
    QTest::newRow("16-bit TIFF") << true;
    QTest::newRow("spectrum file") << false;
}

void TstWriteInPlace::overwritesTheFile()
{
    // Regression: the safe writers needed to create their temporary file beside the target,
    // so such a file was never overwritten.
    QFETCH(bool, tiff);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath("locked");
    const QString file = folder + "/out.dat";
    QVERIFY(QDir().mkdir(folder));
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    QVERIFY(chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
    QVERIFY(chmod(QFile::encodeName(file).constData(), 0666) == 0);
    QVERIFY(chmod(QFile::encodeName(folder).constData(), 0555) == 0);

    // Folder permissions do not bind root: write as nobody then.
    const bool root = geteuid() == 0;
    if (root)
        QVERIFY(seteuid(65534) == 0);
    const quint16 values[6] = {1, 2, 3, 4, 5, 6};
    XafsSpectrum spectrum;
    for (int i = 0; i < 20; ++i)
        spectrum.append(7000 + 10 * i, i < 10 ? 0.1 : 1.1);
    const bool written = tiff ? writeTiff16(file, 3, 2, values) : spectrum.writeFile(file, false);
    if (root)
        QVERIFY(seteuid(0) == 0);
    chmod(QFile::encodeName(folder).constData(), 0755);

    QVERIFY(written);
    if (tiff) {
        TiffData image;
        QVERIFY(image.read(file));
        QCOMPARE(image.shiftedValue(2, 1), 6.0);
    } else {
        XafsSpectrum back;
        QVERIFY(back.readFile(file));
        QCOMPARE(back.size(), 20);
    }
}

QTEST_GUILESS_MAIN(TstWriteInPlace)
#include "tst_writeinplace.moc"
