#include "app/optiontable.h"
#include "app/startupsettings.h"

#include <QtTest>

namespace {
// Writes a configuration file into dir and returns its path.
QString writeConfig(const QTemporaryDir &dir, const QString &name, const QString &text)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return QString();
    file.write(text.toUtf8());
    return path;
}
} // namespace

class TestOptionTable : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
    void firstEntryWins();
    void configFile();
    void missingConfigFile();
    void configFileChoice();
    void startup_data();
    void startup();
};

void TestOptionTable::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("value");

    const QString prog = QStringLiteral("/usr/bin/marvolenti");
    QTest::newRow("value follows")
        << QStringList{prog, "-b", "run.bat"} << "-b" << true << "run.bat";
    QTest::newRow("next is an option") << QStringList{prog, "-b", "-x"} << "-b" << true << "";
    QTest::newRow("flag after empty -b") << QStringList{prog, "-b", "-x"} << "-x" << true << "";
    QTest::newRow("last argument") << QStringList{prog, "-d"} << "-d" << true << "";
    QTest::newRow("case sensitive") << QStringList{prog, "-E"} << "-e" << false << "";
    QTest::newRow("stray word ignored") << QStringList{prog, "word", "-j"} << "word" << false << "";
    QTest::newRow("consumed value not an option")
        << QStringList{prog, "-c", "a.cfg", "x"} << "a.cfg" << false << "";
    QTest::newRow("program path not stored") << QStringList{prog} << prog << false << "";
}

void TestOptionTable::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, name);
    QFETCH(bool, present);
    QFETCH(QString, value);

    OptionTable options;
    options.parseCommandLine(arguments);
    QCOMPARE(options.contains(name), present);
    QCOMPARE(options.value(name), value);
}

void TestOptionTable::firstEntryWins()
{
    OptionTable options;
    options.parseCommandLine(QStringList{"prog", "-d", "/first", "-d", "/second"});
    QCOMPARE(options.count(), 1);
    QCOMPARE(options.value("-d"), QString("/first"));
    QCOMPARE(options.lookup("-d", "/fallback"), QString("/first"));
    QCOMPARE(options.lookup("-q", "/fallback"), QString("/fallback"));
}

void TestOptionTable::configFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = writeConfig(dir,
                                     "config.cfg",
                                     "# a comment line\n"
                                     "\n"
                                     "     # blanks and a comment\n"
                                     "DataRoot \"/my data/root\" # where the data lives\n"
                                     "-x\n"
                                     "-x again # duplicate\n"
                                     "-b script.bat extra words\n"
                                     "Lonely\n");
    OptionTable options;
    QVERIFY(options.readConfigFile(path));
    QCOMPARE(options.count(), 4);
    QCOMPARE(options.value("DataRoot"), QString("/my data/root"));
    QVERIFY(options.contains("-x"));
    QCOMPARE(options.value("-x"), QString());
    QCOMPARE(options.value("-b"), QString("script.bat"));
    QVERIFY(options.contains("Lonely"));
}

void TestOptionTable::missingConfigFile()
{
    OptionTable options;
    QTest::ignoreMessage(QtDebugMsg, "Can't open config file : /nonexistent/config.cfg");
    QVERIFY(!options.readConfigFile("/nonexistent/config.cfg"));
    QCOMPARE(options.count(), 0);
}

void TestOptionTable::configFileChoice()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString a = writeConfig(dir, "a.cfg", "DataRoot /from-a\n");
    const QString b = writeConfig(dir, "b.cfg", "DataRoot /from-b\n");

    OptionTable both;
    both.parseCommandLine(QStringList{"prog", "-c", a, "-config", b});
    const StartupSettings fromB = StartupSettings::resolve(both, "/builtin");
    QCOMPARE(fromB.configFile, b);
    QCOMPARE(fromB.dataRoot, QString("/from-b"));

    OptionTable noValue;
    noValue.parseCommandLine(QStringList{"prog", "-c", "-e"});
    QTest::ignoreMessage(QtDebugMsg, "Can't open config file : ");
    const StartupSettings empty = StartupSettings::resolve(noValue, "/builtin");
    QCOMPARE(empty.configFile, QString());
    QCOMPARE(empty.dataRoot, QString("/builtin"));
}

void TestOptionTable::startup_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("dataRoot");
    QTest::addColumn<QString>("batchFile");
    QTest::addColumn<bool>("english");
    QTest::addColumn<bool>("execBatch");

    QTest::newRow("defaults") << QStringList{} << ""
                              << "/builtin"
                              << "" << false << false;
    QTest::newRow("-b -x") << QStringList{"-b", "-x"} << ""
                           << "/builtin"
                           << "" << false << true;
    QTest::newRow("-d last") << QStringList{"-d"} << ""
                             << ""
                             << "" << false << false;
    QTest::newRow("-e -E") << QStringList{"-e", "-E"} << ""
                           << "/builtin"
                           << "" << true << false;
    QTest::newRow("-d beats DataRoot") << QStringList{"-d", "/x"} << "DataRoot /y\n"
                                       << "/x"
                                       << "" << false << false;
    QTest::newRow("DataRoot quoted") << QStringList{} << "DataRoot \"/data dir\" # comment\n"
                                     << "/data dir"
                                     << "" << false << false;
    QTest::newRow("DataRoot alone") << QStringList{} << "DataRoot\n"
                                    << ""
                                    << "" << false << false;
    QTest::newRow("options from the file") << QStringList{} << "-e\n-b run.bat\n-x\n-x # twice\n"
                                           << "/builtin"
                                           << "run.bat" << true << true;
    QTest::newRow("command line beats the file") << QStringList{"-b", "cli.bat"} << "-b file.bat\n"
                                                 << "/builtin"
                                                 << "cli.bat" << false << false;
}

void TestOptionTable::startup()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, config);
    QFETCH(QString, dataRoot);
    QFETCH(QString, batchFile);
    QFETCH(bool, english);
    QFETCH(bool, execBatch);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString configPath = writeConfig(dir, "test.cfg", config);
    OptionTable options;
    options.parseCommandLine(QStringList{"prog", "-c", configPath} + arguments);

    const StartupSettings settings = StartupSettings::resolve(options, "/builtin");
    QCOMPARE(settings.configFile, configPath);
    QCOMPARE(settings.dataRoot, dataRoot);
    QCOMPARE(settings.batchFile, batchFile);
    QCOMPARE(settings.english, english);
    QCOMPARE(settings.execBatch, execBatch);
}

QTEST_APPLESS_MAIN(TestOptionTable)
#include "tst_optiontable.moc"
