#include "analysis/analyzed2dres.h"
#include "analysis/analyzer.h"
#include "analysis/elemctrl.h"
#include "analysis/lcfreference.h"
#include "analysis/xafsfileselect.h"
#include "display/xafsview.h"
#include "resources/resourceinit.h"
#include "spectra/victoreentable.h"

#include "referencespectra.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

using namespace ReferenceSpectra;

// The analyser window: its first state, the map it selects for display, and the fit of the
// spectrum it is given, made on the worker's thread and shown in the reference rows.
class TestAnalyzer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void newWindow();
    void selectedMap_data();
    void selectedMap();
    void fitShownInTheRows_data();
    void fitShownInTheRows();
    void elementRows();

private:
    QTemporaryDir mDir;
};

namespace {

QString fieldText(const LCFReference *ref, const char *name)
{
    return ref->findChild<QLineEdit *>(QLatin1String(name))->text();
}

} // namespace

void TestAnalyzer::initTestCase()
{
    initMarvolentiResources();
    readVictoreenTable();
    QVERIFY(mDir.isValid());
    // The second compound is recorded 3 eV high.
    QVERIFY(writeSpectrum(mDir.filePath("ref1.dat"),
                          sampled(6900, 7400, 0.5, 0.0, [](double e) { return mu(1, e); })));
    QVERIFY(writeSpectrum(mDir.filePath("ref2.dat"),
                          sampled(6900, 7400, 0.5, 3.0, [](double e) { return mu(2, e); })));
}

void TestAnalyzer::newWindow()
{
    Analyzer analyzer;
    QCOMPARE(analyzer.refs().size(), 4);
    for (int k = 0; k < 4; ++k) {
        const LCFReference *ref = analyzer.refs().at(k);
        QCOMPARE(ref->fileSelect()->use(), k < 2);
        QCOMPARE(ref->showButton()->isChecked(), k == 0);
        QCOMPARE(ref->findChild<QPushButton *>()->text(),
                 QStringLiteral("Select Ref%1").arg(k + 1));
    }
    QCOMPARE(analyzer.findChild<QPushButton *>("AskAnalyze")->text(), QStringLiteral("Analyze"));
    QVERIFY(analyzer.findChild<QCheckBox *>("DoMLCFA")->isChecked());
    QCOMPARE(analyzer.findChild<QLineEdit *>("RAAtEV")->text(), QStringLiteral("8200"));
    QCOMPARE(analyzer.findChild<QLineEdit *>("RAFactor")->text(), QStringLiteral("1.0"));
    QCOMPARE(analyzer.view()->windowTitle(), QStringLiteral("Analyzing Spectrum"));
    QCOMPARE(analyzer.selectedMap(), analyzer.refs().first()->map(0));
}

void TestAnalyzer::selectedMap_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("imageType");
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("raImages");
    QTest::addColumn<int>("ref");
    QTest::addColumn<int>("ra");

    QTest::newRow("LCF, first reference, dmut") << 0 << 0 << 0 << false << 0 << -1;
    QTest::newRow("LCF, third reference, fraction") << 0 << 1 << 2 << false << 2 << -1;
    // Regression: a reference added later took id 4, that of the "Show dmut" button.
    QTest::newRow("LCF, fifth reference: id 7") << 0 << 1 << 7 << false << 4 << -1;
    QTest::newRow("LCF, a residual-absorption button") << 0 << 0 << 5 << true << -1 << -1;
    QTest::newRow("RA, residual map before its image") << 1 << 0 << 5 << false << -1 << -1;
    QTest::newRow("RA, residual map") << 1 << 0 << 5 << true << -1 << 1;
    QTest::newRow("RA, ratio map") << 1 << 0 << 6 << true << -1 << 2;
    QTest::newRow("RA, a reference button") << 1 << 0 << 0 << true << -1 << -1;
    QTest::newRow("element analysis") << 2 << 0 << 0 << true << -1 << -1;
}

void TestAnalyzer::selectedMap()
{
    QFETCH(int, mode);
    QFETCH(int, imageType);
    QFETCH(int, id);
    QFETCH(bool, raImages);
    QFETCH(int, ref);
    QFETCH(int, ra);

    Analyzer analyzer;
    analyzer.findChild<QPushButton *>("AddRef")->click();
    QCOMPARE(analyzer.refs().size(), 5);
    QCOMPARE(analyzer.refs().at(4)->fileSelect()->use(), false);
    for (int k = 0; raImages && k < 3; ++k) {
        analyzer.raMap(k)->reset(4, 4);
        analyzer.raMap(k)->genImg();
    }
    analyzer.setAnalysisMode(mode);
    analyzer.setImageType(imageType);
    QSignalSpy changed(&analyzer, &Analyzer::changedSelection);
    analyzer.selectImage(id);
    QCOMPARE(changed.count(), 1);

    Analyzed2DRes *expected = nullptr;
    if (ref >= 0) {
        QVERIFY(analyzer.refs().at(ref)->showButton()->isChecked());
        expected = analyzer.refs().at(ref)->map(imageType);
    } else if (ra >= 0) {
        expected = analyzer.raMap(ra);
    }
    QCOMPARE(analyzer.selectedMap(), expected);
}

void TestAnalyzer::fitShownInTheRows_data()
{
    QTest::addColumn<bool>("shiftFirst");
    QTest::addColumn<bool>("contAccess");
    QTest::addColumn<int>("lcfMode");
    QTest::addColumn<QStringList>("shown");

    const QStringList fractions = {"30.00", "70.00", "0.75", "1.75"};
    QTest::newRow("LCF, shift set with the file") << false << false << 0 << fractions;
    // Regression: a shift typed before the file was read was applied to it twice.
    QTest::newRow("LCF, shift typed first, file chosen in the dialog")
        << true << false << 0 << fractions;
    QTest::newRow("MLCF") << false << false << 1 << fractions;
    QTest::newRow("area run: the rows keep what they had")
        << false << true << 0 << QStringList{"", "", "", ""};
}

void TestAnalyzer::fitShownInTheRows()
{
    QFETCH(bool, shiftFirst);
    QFETCH(bool, contAccess);
    QFETCH(int, lcfMode);
    QFETCH(QStringList, shown);

    Analyzer analyzer;
    LCFReference *first = analyzer.refs().at(0);
    LCFReference *second = analyzer.refs().at(1);
    first->setStd(true, 0.0, mDir.filePath("ref1.dat"), "0");
    if (shiftFirst) {
        QLineEdit *deltaE = second->findChild<QLineEdit *>("DeltaE");
        deltaE->setText("3");
        emit deltaE->editingFinished();
        second->findChild<QCheckBox *>("IsVictreen")->setChecked(false);
        QFileDialog *dialog = second->fileSelect()->fileDialog();
        dialog->selectFile(mDir.filePath("ref2.dat"));
        static_cast<QDialog *>(dialog)->accept();
        QCOMPARE(second->fileSelect()->selectedFile(), mDir.filePath("ref2.dat"));
    } else {
        second->setStd(true, 3.0, mDir.filePath("ref2.dat"), "0");
    }
    analyzer.setLCFMode(lcfMode);
    analyzer.setContAccess(contAccess);

    QSignalSpy finished(&analyzer, &Analyzer::finished);
    const XafsSpectrum sample = mixture(false, 0.3, 0.7);
    // Regression: an area run waited forever for the answer to an empty block spectrum.
    analyzer.analyzeAndShowSpectrum(XafsSpectrum());
    analyzer.analyzeAndShowSpectrum(sample);
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() > 0 && analyzer.lastFit().done, 60000);
    QCOMPARE(analyzer.view()->spectrum().size(), sample.size());
    QCOMPARE(finished.count(), contAccess ? 2 : 1);
    QCOMPARE(analyzer.fitResult().size(), sample.size());
    // During area runs the fit weighs the references by their stored coefficients (none yet).
    if (contAccess)
        QCOMPARE(analyzer.fitResult().maxY, 0.0);
    QCOMPARE(QStringList({fieldText(first, "R"),
                          fieldText(second, "R"),
                          fieldText(first, "T"),
                          fieldText(second, "T")}),
             shown);
    QVERIFY(std::abs(second->coefficient() - (contAccess ? 0.0 : 0.7)) < 1e-6);
}

void TestAnalyzer::elementRows()
{
    Analyzer analyzer;
    analyzer.setAnalysisMode(2);
    analyzer.setElemsSortByAN(true);
    analyzer.setTargetElements("Zn Fe");
    QCOMPARE(analyzer.elems().size(), 2);
    const ElemCtrl *fe = analyzer.elems().at(0);
    ElemCtrl *zn = analyzer.elems().at(1);
    QCOMPARE(fe->name(), QString("Fe-K"));
    QVERIFY(fe->mainTarget()->isChecked() && fe->showButton()->isChecked());
    zn->showButton()->click();
    analyzer.selectElemsDispMode(4);
    QCOMPARE(analyzer.selectedMap(), zn->map(2));
    QCOMPARE(zn->map(2)->name(), QString("Zn-K Elem Ctrl MP"));
    analyzer.selectElemsDispMode(3);
    QCOMPARE(analyzer.selectedMap(), analyzer.corMap(1));
    analyzer.selectElemsDispMode(9);
    QCOMPARE(analyzer.selectedMap(), nullptr);

    const XafsSpectrum sample = mixture(false, 0.3, 0.7);
    const ElemResults expected
        = ElemAnalysis::analyze(sample, analyzer.elemsParams(), 0, analyzer.elemsBackgrounds());
    QSignalSpy finished(&analyzer, &Analyzer::analyzeElemsFinished);
    analyzer.analyzeAndShowSpectrum(sample);
    // Regression: the worker read the rows' parameters from its own thread, while they changed.
    zn->setThDMut(-100);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
    QVERIFY(expected.values[ElemResults::DMut].at(0) > 0.1);
    QCOMPARE(fe->findChild<QLineEdit *>("DMuT")->text(),
             QString::number(expected.values[ElemResults::DMut].at(0), 'g', 6));
    QCOMPARE(zn->findChild<QLineEdit *>("DMuT")->text(), QString("-1"));
}

QTEST_MAIN(TestAnalyzer)
#include "tst_analyzer.moc"
