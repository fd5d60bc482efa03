#include "batch/batchcommands.h"
#include "batch/cmdline.h"
#include "batch/loopvar.h"

#include <QtTest>

class TestCmdLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void argOutOfRange();
    void commandTable();
    void lookupIgnoresCase_data();
    void lookupIgnoresCase();
    void loopValues_data();
    void loopValues();
};

void TestCmdLine::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("cmd");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("isDirective");

    QTest::newRow("command") << "load_I1_files new a.tif b.tif"
                             << "load_I1_files new a.tif b.tif"
                             << "load_I1_files" << QStringList{"new", "a.tif", "b.tif"} << false;
    QTest::newRow("quoted argument") << "save_image \"my file.png\""
                                     << "save_image \"my file.png\""
                                     << "save_image" << QStringList{"my file.png"} << false;
    QTest::newRow("comment reaches the arguments")
        << "seek_image 3 # third"
        << "seek_image 3 "
        << "seek_image" << QStringList{"3", "#", "third"} << false;
    QTest::newRow("comment line") << "# nothing"
                                  << ""
                                  << "" << QStringList{} << false;
    QTest::newRow("empty") << ""
                           << ""
                           << "" << QStringList{} << false;
    QTest::newRow("blanks only") << "   "
                                 << "   "
                                 << "" << QStringList{} << false;
    QTest::newRow("directive") << ":for i %i 1 3"
                               << ":for i %i 1 3"
                               << ":for" << QStringList{"i", "%i", "1", "3"} << true;
    QTest::newRow("hash inside quotes still cuts the line")
        << "save_image \"a#b\""
        << "save_image \"a"
        << "save_image" << QStringList{"a#b"} << false;
}

void TestCmdLine::parse()
{
    QFETCH(QString, text);
    QFETCH(QString, line);
    QFETCH(QString, cmd);
    QFETCH(QStringList, args);
    QFETCH(bool, isDirective);

    const CmdLine c(text);
    QCOMPARE(c.rawLine, text);
    QCOMPARE(c.line, line);
    QCOMPARE(c.cmd, cmd);
    QCOMPARE(c.args, args);
    QCOMPARE(c.isDirective, isDirective);
}

void TestCmdLine::argOutOfRange()
{
    const CmdLine c("move_position 10 20");
    QCOMPARE(c.arg(0), QString("10"));
    QCOMPARE(c.arg(1), QString("20"));
    QCOMPARE(c.arg(2), QString());
    QCOMPARE(c.arg(-1), QString());
}

void TestCmdLine::commandTable()
{
    const NameIdTable &table = ::commandTable();
    QCOMPARE(table.size(), 141);
    QCOMPARE(table.notFound(), int(NoSuchCommand));
    // Commands added later take ids after the "not found" of the first 112.
    QCOMPARE(table.lookup("CALIB_SET_CRYSTAL"), 113);
    QCOMPARE(table.lookup("calib_normalize_map"), 114);
    QCOMPARE(table.lookup("save_xafs_spectra"), 119);
    QCOMPARE(table.lookup("set_norm_preset"), 126);
    QCOMPARE(table.lookup("save_results_h5"), 127);
    QCOMPARE(table.lookup("align_stack"), 128);
    QCOMPARE(table.lookup("load_shift_table"), 133);
    QCOMPARE(table.lookup("load_h5"), 134);
    QCOMPARE(table.lookup("load_h5_datasets"), 135);
    QCOMPARE(table.lookup("pca_exec"), 136);
    QCOMPARE(table.lookup("components_select_map"), 141);

    // Every id appears once, and the three places where ids leave the table order hold.
    QSet<int> ids;
    for (const auto &entry : table.entries())
        ids.insert(entry.second);
    QCOMPARE(ids.size(), table.size());
    QCOMPARE(table.entries().at(41).first, QString("scale_reset"));
    QCOMPARE(table.entries().at(41).second, 53);
    QCOMPARE(table.entries().at(45).first, QString("set_band_w"));
    QCOMPARE(table.lookup("select_region"), 52);
    QCOMPARE(table.lookup("save_spectra"), 51);
    QCOMPARE(table.lookup("calib_exec"), 96);
    QCOMPARE(table.lookup("calib_clear_map"), 98);
    QCOMPARE(table.lookup("xafs_view_enerugy_correction"), 56);
    QCOMPARE(table.lookup("analyzer_view_enerugy_correction"), 74);
    QCOMPARE(table.lookup("quit"), 111);
    QCOMPARE(directiveTable().size(), 6);
}

void TestCmdLine::lookupIgnoresCase_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("directive");

    QTest::newRow("upper command") << "LOAD_I0_FILES" << int(LoadI0Files) << int(NoSuchDirective);
    QTest::newRow("mixed command")
        << "Analyzer_Exec_lcf" << int(AnalyzerExecLCF) << int(NoSuchDirective);
    QTest::newRow("upper directive") << ":FOR" << int(NoSuchCommand) << int(DirFor);
    QTest::newRow("mixed directive") << ":Echo" << int(NoSuchCommand) << int(DirEcho);
    QTest::newRow("unknown") << "load" << int(NoSuchCommand) << int(NoSuchDirective);
    QTest::newRow("empty") << "" << int(NoSuchCommand) << int(NoSuchDirective);
}

void TestCmdLine::lookupIgnoresCase()
{
    QFETCH(QString, word);
    QFETCH(int, command);
    QFETCH(int, directive);
    QCOMPARE(::commandTable().lookup(word), command);
    QCOMPARE(directiveTable().lookup(word), directive);
}

void TestCmdLine::loopValues_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QStringList>("values");

    QTest::newRow("rising") << "1"
                            << "3"
                            << "" << QStringList{"1", "2", "3"};
    QTest::newRow("falling") << "3"
                             << "1"
                             << "" << QStringList{"3", "2", "1"};
    QTest::newRow("equal runs once") << "5"
                                     << "5"
                                     << "" << QStringList{"5"};
    QTest::newRow("zero-padded step 2") << "01"
                                        << "12"
                                        << "2" << QStringList{"01", "03", "05", "07", "09", "11"};
    QTest::newRow("padding grows past width") << "008"
                                              << "100"
                                              << "46" << QStringList{"008", "054", "100"};
    QTest::newRow("step 0 reads as 1") << "1"
                                       << "2"
                                       << "0" << QStringList{"1", "2"};
    QTest::newRow("text counts as 0") << "a"
                                      << "2"
                                      << "" << QStringList{"a", "1", "2"};
}

void TestCmdLine::loopValues()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, step);
    QFETCH(QStringList, values);

    LoopVar loop;
    loop.startText = start;
    loop.endText = end;
    loop.stepText = step;
    loop.current = start;
    QStringList seen{loop.current};
    while (loop.advance() && seen.size() < 100)
        seen << loop.current;
    QCOMPARE(seen, values);
    QCOMPARE(loop.current, values.last());
}

QTEST_APPLESS_MAIN(TestCmdLine)
#include "tst_cmdline.moc"
