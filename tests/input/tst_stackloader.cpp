#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "batch/commandregistry.h"
#include "input/selectdatafiles.h"
#include "input/stackloader.h"
#include "input/tiffdata.h"
#include "output/tiffwriter.h"
#include "resources/resourceinit.h"
#include "stack/stackmodel.h"
#include "testimages.h"
#include "tests/sampledataset.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The stack loader without the main window: batch lines through its registered commands
// fill a stack model, and a load command waits for the end of its own load.
class TestStackLoader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void commands_data();
    void commands();
    void multiPageStackAsFiles_data();
    void multiPageStackAsFiles();

private:
    QTemporaryDir mDir;
    QStringList mFiles;
};

void TestStackLoader::initTestCase()
{
    initMarvolentiResources();
    buildBatchTables();
    QVERIFY(mDir.isValid());
    for (int i = 0; i < 3; ++i) {
        mFiles << mDir.filePath(QStringLiteral("I_%1_50eV.tif").arg(7100 + i));
        QVERIFY(writeTiff16(mFiles.last(), 12, 7, TestImages::pattern(12, 7).constData()));
    }
}

void TestStackLoader::commands_data()
{
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QString>("load");
    QTest::addColumn<bool>("inUse");
    QTest::addColumn<bool>("waits");
    QTest::addColumn<int>("i1Count");
    QTest::addColumn<int>("i0Count");
    QTest::addColumn<QString>("said");

    const QString files = mFiles.join(' ');
    QTest::newRow("I1") << QStringList() << "load_I1_files new " + files << false << true << 3 << 0
                        << QString();
    QTest::newRow("I0 every second file")
        << QStringList{"skip_i0 2"} << "load_I0_files new " + files << false << true << 0 << 2
        << QString();
    QTest::newRow("pattern without a match")
        << QStringList() << "load_I1_files_of_pattern new " + mDir.path() + " *.xyz" << false
        << false << 0 << 0 << "No file matches *.xyz in " + mDir.path();
    QTest::newRow("images in use")
        << QStringList() << "load_I1_files new " + files << true << false << 0 << 0
        << "Images in use by an area analysis: not cleared or loaded";
}

void TestStackLoader::commands()
{
    QFETCH(QStringList, settings);
    QFETCH(QString, load);
    QFETCH(bool, inUse);
    QFETCH(bool, waits);
    QFETCH(int, i1Count);
    QFETCH(int, i0Count);
    QFETCH(QString, said);

    StackModel stacks;
    stacks.setInUseCheck([inUse] { return inUse; });
    SelectDataFiles i1Selector;
    SelectDataFiles i0Selector;
    StackLoader loader(&stacks, &i1Selector, &i0Selector);
    CommandRegistry commands;
    loader.registerCommands(commands);
    QStringList messages;
    connect(&loader, &StackLoader::message, this, [&](const QString &text) { messages << text; });
    connect(
        &loader, &StackLoader::report, this, [&](const QString &text, bool) { messages << text; });
    QSignalSpy finished(&loader, &StackLoader::batchLoadFinished);
    QSignalSpy takenOver(&loader, &StackLoader::takenOver);

    const auto run = [&commands](const QString &line) {
        const CmdLine cmd(line);
        const CommandRegistry::Command *command = commands.find(commandTable().lookup(cmd.cmd));
        return command && command->handler(cmd);
    };
    for (const QString &line : settings)
        QVERIFY(!run(line));
    QCOMPARE(run(load), waits);
    if (waits)
        QVERIFY(finished.wait());
    QCOMPARE(stacks.i1Images().size(), i1Count);
    QCOMPARE(stacks.i0Images().size(), i0Count);
    QCOMPARE(i1Selector.count(), i1Count);
    QCOMPARE(stacks.width(), i1Count > 0 ? 12 : -1);
    QCOMPARE(takenOver.isEmpty(), !waits);
    if (!said.isEmpty())
        QCOMPARE(messages.value(0), said);
    QCOMPARE(finished.count(), waits ? 1 : 0);
}

void TestStackLoader::multiPageStackAsFiles_data()
{
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<bool>("labelled");
    QTest::addColumn<QString>("said");

    const QStringList byCalc{"eng_by_calc_i1 1",
                             "eng_calc_disp_unit_i1 0",
                             "eng_calc_even_in_eng_i1 1",
                             "eng_calc_base_i1 7000",
                             "eng_calc_delta_i1 2.5"};
    QTest::newRow("energies of the slice labels") << QStringList() << true << QString();
    QTest::newRow("pages skipped and cut as files")
        << QStringList{"skip_i1 3", "cut_f_i1 1", "cut_l_i1 2"} << true << QString();
    QTest::newRow("even spacing without labels") << byCalc << false << QString();
    QTest::newRow("energy by name without labels")
        << QStringList() << false << "Energy from the file name gives every page";
}

// Every page of a multi-page TIFF loads as the same-numbered file of a one-file-per-energy
// stack would: samples bit for bit, energy, order, and the skip and cut settings.
void TestStackLoader::multiPageStackAsFiles()
{
    QFETCH(QStringList, settings);
    QFETCH(bool, labelled);
    QFETCH(QString, said);

    const QString set = mDir.filePath(QStringLiteral("multipage"));
    if (!QFileInfo::exists(set + "/stack_I1.tif"))
        QVERIFY(writeSampleDataSet(set, {"--size", "16", "--energies", "12", "--multipage"}));
    const QStringList files = QDir(set + "/I1").entryList({"*.tif"}, QDir::Files, QDir::Name);
    QString stackFile = set + "/stack_I1.tif";
    if (!labelled) {
        // The same pages without slice labels.
        QVector<QVector<quint16>> pages;
        for (const QString &file : files) {
            TiffData image;
            QVERIFY(image.read(set + "/I1/" + file));
            pages << QVector<quint16>(image.samples16.begin(), image.samples16.end());
        }
        stackFile = set + "/unlabelled.tif";
        QVERIFY(writeTiff16Pages(stackFile, 16, 16, int(pages.size()), [&pages](int i) {
            return pages.at(i).constData();
        }));
    }

    const auto load = [&](const QString &line, QStringList *messages) {
        StackModel *stacks = new StackModel;
        SelectDataFiles *selector = new SelectDataFiles;
        SelectDataFiles i0Selector;
        StackLoader loader(stacks, selector, &i0Selector);
        CommandRegistry commands;
        loader.registerCommands(commands);
        connect(&loader, &StackLoader::report, this, [messages](const QString &text, bool) {
            *messages << text;
        });
        QSignalSpy finished(&loader, &StackLoader::batchLoadFinished);
        for (const QString &setting : settings
                                          + QStringList{"set_i1_energy_pattern "
                                                        "\\d\\d\\d\\d_\\d\\deV",
                                                        line}) {
            const CmdLine cmd(setting);
            const CommandRegistry::Command *command = commands.find(commandTable().lookup(cmd.cmd));
            if (command && command->handler(cmd))
                finished.wait();
        }
        return std::make_pair(stacks, selector);
    };
    QStringList fileMessages, pageMessages;
    const auto [byFile, fileList]
        = load("load_I1_files_of_pattern new " + set + "/I1 *.tif", &fileMessages);
    const auto [byPage, pageList] = load("load_I1_files new " + stackFile, &pageMessages);
    const QVector<TiffData *> &expected = byFile->i1Images();
    const QVector<TiffData *> &pages = byPage->i1Images();
    QVERIFY(expected.size() >= 4);
    QCOMPARE(pages.size(), expected.size());
    for (int i = 0; i < pages.size(); ++i) {
        QVERIFY(pages.at(i)->samples16
                == QVector<quint16>(expected.at(i)->samples16.begin(),
                                    expected.at(i)->samples16.end()));
        if (said.isEmpty())
            QCOMPARE(pages.at(i)->energy, expected.at(i)->energy);
        QCOMPARE(pageList->listedNames().at(i),
                 QStringLiteral("%1 [%2]").arg(stackFile).arg(pages.at(i)->page + 1));
    }
    QVERIFY2(pageMessages.join(' ').contains("multi-page files hold"),
             qPrintable(pageMessages.join(' ')));
    QCOMPARE(pageMessages.join(' ').contains(said), true);
    if (said.isEmpty())
        QVERIFY(!pageMessages.join(' ').contains("same energy"));
    delete byFile;
    delete byPage;
    delete fileList;
    delete pageList;
}

QTEST_MAIN(TestStackLoader)
#include "tst_stackloader.moc"
