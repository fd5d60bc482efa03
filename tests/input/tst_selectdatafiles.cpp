#include "input/eofsetup.h"
#include "input/selectdatafiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The file selector and its energy setup window, driven as the user and the batch drive them.
class TstSelectDataFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void addFileListsImagesWithTheirEnergies();
    void navigationStaysInTheList();
    void showLatestGatesTheSelectionSignal();
    void dialogSelectionCarriesTheMode();
    void setupStartsWithTheFirstPattern();
    void newPatternSetsTheFactor_data();
    void newPatternSetsTheFactor();
    void editingKeepsEndEqualStartPlusPointsTimesDelta();
    void settersDriveTheEnergy_data();
    void settersDriveTheEnergy();
    void referenceFileSetter();

private:
    template<typename T>
    T *setupWidget(const char *name) const
    {
        return mSelector->energySetup()->findChild<T *>(QLatin1String(name));
    }
    template<typename T>
    T *widget(const char *name) const
    {
        return mSelector->findChild<T *>(QLatin1String(name));
    }

    SelectDataFiles *mSelector = nullptr;
};

void TstSelectDataFiles::init()
{
    mSelector = new SelectDataFiles;
}

void TstSelectDataFiles::cleanup()
{
    delete mSelector;
    mSelector = nullptr;
    // The selector's dialog and setup window go with deleteLater().
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TstSelectDataFiles::addFileListsImagesWithTheirEnergies()
{
    mSelector->setEngByNameRegExp(QStringLiteral("\\d\\d\\d\\d_\\d\\deV"));
    QCOMPARE(mSelector->addFile(QStringLiteral("/d/I1_7112_50eV.tif"), 0), 7112.5);
    QCOMPARE(mSelector->addFile(QStringLiteral("/d/I1_7113_00eV.tif"), 1), 7113.0);
    auto *list = widget<QComboBox>("Selected");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->itemText(1), QStringLiteral("/d/I1_7113_00eV.tif"));
    QCOMPARE(list->itemData(1).toDouble(), 7113.0);
    QCOMPARE(widget<QLabel>("Count")->text(), QStringLiteral("2"));
    mSelector->clearFiles();
    QCOMPARE(mSelector->count(), 0);
    QCOMPARE(widget<QLabel>("Count")->text(), QStringLiteral("0"));
}

void TstSelectDataFiles::navigationStaysInTheList()
{
    for (int i = 0; i < 3; ++i)
        mSelector->addFile(QStringLiteral("/d/f%1.tif").arg(i), i);
    mSelector->select(2);
    QCOMPARE(mSelector->currentIndex(), 2);
    mSelector->next();
    QCOMPARE(mSelector->currentIndex(), 2);
    mSelector->prev();
    mSelector->prev();
    mSelector->prev();
    QCOMPARE(mSelector->currentIndex(), 0);
    mSelector->select(3);
    mSelector->select(-1);
    QCOMPARE(mSelector->currentIndex(), 0);
}

void TstSelectDataFiles::showLatestGatesTheSelectionSignal()
{
    for (int i = 0; i < 3; ++i)
        mSelector->addFile(QStringLiteral("/d/f%1.tif").arg(i), i);
    QSignalSpy selected(mSelector, &SelectDataFiles::currentIndexChanged);
    mSelector->setShowLatest(false);
    mSelector->select(1);
    QCOMPARE(selected.count(), 0);
    mSelector->setShowLatest(true);
    mSelector->select(2);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.first().first().toInt(), 2);
}

void TstSelectDataFiles::dialogSelectionCarriesTheMode()
{
    QFileDialog *dialog = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *d = qobject_cast<QFileDialog *>(w);
            d && d->fileMode() == QFileDialog::ExistingFiles)
            dialog = d;
    }
    QVERIFY(dialog);
    QSignalSpy selected(mSelector, &SelectDataFiles::filesSelected);
    const QStringList files{QStringLiteral("/d/a.tif"), QStringLiteral("/d/b.tif")};
    emit dialog->filesSelected(files);
    widget<QRadioButton>("AddFiles")->click();
    emit dialog->filesSelected(files);
    QCOMPARE(selected.count(), 2);
    QCOMPARE(selected.at(0).at(0).toStringList(), files);
    QCOMPARE(selected.at(0).at(1).toBool(), true);
    QCOMPARE(selected.at(1).at(1).toBool(), false);
}

void TstSelectDataFiles::setupStartsWithTheFirstPattern()
{
    QCOMPARE(setupWidget<QLineEdit>("Pattern")->text(),
             QStringLiteral("\\d\\d\\d\\d_\\d\\d\\d\\d"));
    QCOMPARE(setupWidget<QLineEdit>("Factor")->text(), QStringLiteral("1"));
    auto *list = setupWidget<QComboBox>("PatternList");
    QCOMPARE(list->count(), 8);
    QCOMPARE(list->currentIndex(), 0);
    QCOMPARE(list->itemText(7), QStringLiteral("\\d_\\d\\d\\d\\d\\d\\dKeV"));
}

void TstSelectDataFiles::newPatternSetsTheFactor_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("factor");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("count");
    QTest::newRow("listed keV pattern") << "\\d_\\d\\d\\d\\d\\d\\dKeV"
                                        << "1000" << 7 << 8;
    QTest::newRow("listed eV pattern") << "\\d\\d\\d\\d_\\d\\deV"
                                       << "1" << 2 << 8;
    QTest::newRow("new pattern is appended") << "E\\d\\d\\d\\dkev"
                                             << "1000" << 8 << 9;
}

void TstSelectDataFiles::newPatternSetsTheFactor()
{
    QFETCH(QString, pattern);
    QFETCH(QString, factor);
    QFETCH(int, index);
    QFETCH(int, count);
    auto *edit = setupWidget<QLineEdit>("Pattern");
    setupWidget<QLineEdit>("Factor")->setText(QStringLiteral("7"));
    edit->setText(pattern);
    mSelector->energySetup()->newPattern();
    QCOMPARE(setupWidget<QLineEdit>("Factor")->text(), factor);
    auto *list = setupWidget<QComboBox>("PatternList");
    QCOMPARE(list->currentIndex(), index);
    QCOMPARE(list->count(), count);
    QCOMPARE(edit->text(), pattern);
}

void TstSelectDataFiles::editingKeepsEndEqualStartPlusPointsTimesDelta()
{
    EOFSetup *setup = mSelector->energySetup();
    setup->show();
    auto *start = setupWidget<QLineEdit>("Start");
    start->selectAll();
    QTest::keyClicks(start, QStringLiteral("7000"));
    QTest::keyClick(start, Qt::Key_Return);
    QCOMPARE(setupWidget<QLineEdit>("End")->text(), QStringLiteral("8000"));
    auto *end = setupWidget<QLineEdit>("End");
    end->selectAll();
    QTest::keyClicks(end, QStringLiteral("7500"));
    QTest::keyClick(end, Qt::Key_Return);
    QCOMPARE(setupWidget<QLineEdit>("Delta")->text(), QStringLiteral("0.5"));
    mSelector->setEngCalcNum(250);
    QCOMPARE(setupWidget<QLineEdit>("Delta")->text(), QStringLiteral("2"));
    mSelector->setEngCalcDelta(0.25);
    QCOMPARE(setupWidget<QLineEdit>("End")->text(), QStringLiteral("7062.5"));
}

void TstSelectDataFiles::settersDriveTheEnergy_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<double>("energy");
    QTest::newRow("by name with factor") << "name 0.5" << 3556.25;
    QTest::newRow("calculated, even in energy, eV") << "calc eV energy" << 7003.0;
    QTest::newRow("calculated, even in energy, keV") << "calc keV energy" << 7003.0;
    QTest::newRow("unit index out of range keeps eV") << "calc bad energy" << 7003.0;
}

void TstSelectDataFiles::settersDriveTheEnergy()
{
    QFETCH(QString, setup);
    QFETCH(double, energy);
    const QStringList words = setup.split(QLatin1Char(' '));
    if (words.first() == QLatin1String("name")) {
        mSelector->setEngByNameRegExp(QStringLiteral("\\d\\d\\d\\d_\\d\\d"));
        mSelector->setEngByNameFactor(words.at(1).toDouble());
    } else {
        mSelector->setEngByCalc(true);
        mSelector->setEvenInEng(true);
        const bool keV = words.at(1) == QLatin1String("keV");
        mSelector->setDispUnit(keV ? 1 : words.at(1) == QLatin1String("bad") ? 3 : 0);
        mSelector->setEngCalcStart(keV ? 7.0 : 7000.0);
        mSelector->setEngCalcDelta(keV ? 0.0015 : 1.5);
    }
    const double result = mSelector->addFile(QStringLiteral("/d/x_7112_50.tif"), 2);
    QVERIFY2(qAbs(result - energy) < 1e-9,
             qPrintable(QStringLiteral("%1: %2, expected %3").arg(setup).arg(result).arg(energy)));
}

void TstSelectDataFiles::referenceFileSetter()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("angles.dat"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("# angles\n16.0\n15.0\n");
    out.close();
    QTest::ignoreMessage(QtDebugMsg, "reading simple");
    mSelector->setEngByRef(file);
    QVERIFY(setupWidget<QRadioButton>("FromRefFile")->isChecked());
    QCOMPARE(setupWidget<QLineEdit>("RefFilePath")->text(), file);
    QCOMPARE(mSelector->energySetup()->refEnergies().size(), 2);
    QCOMPARE(mSelector->addFile(QStringLiteral("/d/a.tif"), 5),
             mSelector->energySetup()->refEnergies().at(1));

    mSelector->setEngByRef(QString());
    QVERIFY(setupWidget<QLineEdit>("RefFilePath")->text().isEmpty());
    QCOMPARE(mSelector->energySetup()->refEnergies().size(), 2);
}

QTEST_MAIN(TstSelectDataFiles)
#include "tst_selectdatafiles.moc"
