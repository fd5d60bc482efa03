#include <QtTest>

// Runs the real program headless on batch files and reads what it writes to stderr.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void batchRunLogsInOrderAndQuits();
    void configurationStartsTheBatch();

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
    if (!process.waitForFinished(-1))
        return run;
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

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
