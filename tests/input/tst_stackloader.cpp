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

QTEST_MAIN(TestStackLoader)
#include "tst_stackloader.moc"
