#include <QtTest>

#include <sys/stat.h>

// Runs the real program headless on batch files and reads what it writes to stderr.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void batchRunLogsInOrderAndQuits();
    void configurationStartsTheBatch();
    void headlessRunEndsWithItsBatch_data();
    void headlessRunEndsWithItsBatch();

private:
    struct Run
    {
        int exitCode = -1;
        QStringList lines;
    };
    Run runProgram(const QString &workDir, const QStringList &arguments);
};

TestStartup::Run TestStartup::runProgram(const QString &workDir, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workDir);
    process.start(MARVOLENTI_EXECUTABLE, arguments);
    Run run;
    // A bound for runs that hang; a run that reaches it fails with exit code -1.
    if (!process.waitForFinished(5 * 60 * 1000)) {
        process.kill();
        process.waitForFinished(-1);
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.lines = QString::fromUtf8(process.readAllStandardError()).split('\n');
    return run;
}

static void writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
    file.write(text.toUtf8());
}

void TestStartup::batchRunLogsInOrderAndQuits()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString script = dir.filePath("run.bat");
    writeFile(script,
              "# a first script\n"
              ":for i %i 1 2\n"
              ":echo \"pass %i\"\n"
              "set_band_w %i  # bin half width\n"
              ":next i\n"
              ":rem_start\n"
              "not_a_command\n"
              ":rem_end\n"
              "no_such_command 1\n"
              "quit\n"
              "set_band_h 5\n");

    const Run run = runProgram(dir.path(), {"-e", "-b", script, "-x"});
    QCOMPARE(run.exitCode, 0);

    const QStringList expected = {"for i : %i = 1",
                                  "echo pass 1",
                                  "set_band_w : 1 # bin half width",
                                  "next i : %i = 2",
                                  "echo pass 2",
                                  "set_band_w : 2 # bin half width",
                                  "next i : %i = 2",
                                  "Err: no_such_command 1",
                                  "quit : "};
    QStringList logged;
    for (const QString &line : run.lines) {
        if (expected.contains(line) || line.startsWith("set_band_h"))
            logged << line;
    }
    QCOMPARE(logged, expected);
}

void TestStartup::configurationStartsTheBatch()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    writeFile(dir.filePath("run.bat"), ":echo configured\nquit\n");
    // Read from the working directory under its default name.
    writeFile(dir.filePath("config.cfg"), "-b run.bat # the script\n-x\n-e\n");

    const Run run = runProgram(dir.path(), {});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.lines.contains("echo configured"), qPrintable(run.lines.join('\n')));
}

void TestStartup::headlessRunEndsWithItsBatch_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("logged");

    // Regression: without quit, a headless run never ended.
    QTest::newRow("script ends") << ":echo one\n" << 0 << QStringList{"echo one"};
    QTest::newRow("stopped by :end") << ":echo one\n:end\n:echo never\nquit\n"
                                     << 0 << QStringList{"echo one"};
    QTest::newRow("inside an unterminated comment block") << ":echo one\n:rem_start\n:echo hidden\n"
                                                          << 0 << QStringList{"echo one"};
    QTest::newRow("batch file cannot be read") << QString() << 1 << QStringList();

    // Regression: three loops whose values repeat the next one's placeholder asked for more
    // than 2^31 characters, and the program aborted.
    const QString growing = ":echo " + QString("%a").repeated(256);
    QTest::newRow("loop values grow a line without bound")
        << ":for a %a " + QString("%b").repeated(256) + " 1\n:for b %b "
               + QString("%c").repeated(256) + " 1\n:for c %c " + QString("%d").repeated(256)
               + " 1\n" + growing + "\n:echo next\n"
        << 0 << QStringList{"Err: " + growing, "echo next"};

    // Regression: a named pipe among the files hung the loader in its open.
    QTest::newRow("named pipe among the files")
        << "load_i1_files new %DIR%/pipe.tif\n:echo after\n"
        << 0 << QStringList{"Not a regular file %DIR%/pipe.tif", "echo after"};
}

void TestStartup::headlessRunEndsWithItsBatch()
{
    QFETCH(QString, script);
    QFETCH(int, exitCode);
    QFETCH(QStringList, logged);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(mkfifo(QFile::encodeName(dir.filePath("pipe.tif")).constData(), 0600) == 0);
    const QString batch = dir.filePath("run.bat");
    if (!script.isNull())
        writeFile(batch, script.replace("%DIR%", dir.path()));

    const Run run = runProgram(dir.path(), {"-e", "-b", batch, "-x"});
    QStringList seen;
    for (const QString &line : run.lines) {
        if (line.startsWith("echo ") || line.startsWith("Err: ") || line.startsWith("Not a "))
            seen << line;
    }
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(seen, logged.replaceInStrings("%DIR%", dir.path()));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
