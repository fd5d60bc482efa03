#include "app/body.h"
#include "batch/batchcommands.h"
#include "batch/batchctrl.h"
#include "batch/cmdline.h"
#include "display/colorbar.h"
#include "display/colorscale.h"
#include "display/imagebrowser.h"
#include "display/imgdispa.h"
#include "display/xafsview.h"
#include "input/displayimagecache.h"
#include "input/eofsetup.h"
#include "input/selectdatafiles.h"
#include "input/stackloader.h"
#include "calib/imgproc.h"
#include "input/tiffdata.h"
#include "output/tiffwriter.h"
#include "resources/resourceinit.h"
#include "tests/sampledataset.h"
#include "testimages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QMutex>
#include <QSet>
#include <QWaitCondition>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Holds a loader inside its load: a two-byte file fails to read with a debug message naming
// it, and while the file is held that message keeps the loader's thread waiting in the
// message handler. Released, the message goes on to the test framework's handler.
namespace LoadStall {
QtMessageHandler previous = nullptr;
QMutex mutex;
QWaitCondition released;
QSet<QString> held;
const QString message = QStringLiteral("Error on reading file (1) ");

void install()
{
    previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            QMutexLocker lock(&mutex);
            while (text.startsWith(message) && held.contains(text.mid(message.size())))
                released.wait(&mutex);
            lock.unlock();
            previous(type, context, text);
        });
}

QString create(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("II");
    QMutexLocker lock(&mutex);
    held.insert(path);
    return path;
}

void release(const QString &path)
{
    QTest::ignoreMessage(QtDebugMsg, qPrintable(message + path));
    QMutexLocker lock(&mutex);
    held.remove(path);
    released.wakeAll();
}
} // namespace LoadStall

} // namespace

// The main window's image stacks: loading on the real loader threads, the batch commands
// that load and configure them, and the generated sample data set.
class TstStackLoading : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void batchLoadHoldsTheScriptUntilLoaded();
    void loadCommandWithoutFilesFinishesAtOnce();
    void loadOfPatternListsTheDirectory_data();
    void loadOfPatternListsTheDirectory();
    void newReplacesAndAddAppends();
    void handLoadDoesNotReleaseAWaitingBatch();
    void newRunDoesNotGoOnWithTheOldRunsLoad();
    void settingCommands_data();
    void settingCommands();
    void loadRequestReadsTheSelectorSettings_data();
    void loadRequestReadsTheSelectorSettings();
    void showAndNavigate();
    void i1ImagesTakenOverWhenTheLoadEnds();
    void i0ImagesTakenOverWhenTheLoadEnds();
    void shiftsOnlyOnI1Images();
    void clearingI0KeepsTheShownI1Image();
    void generatedDataSetLoads();
    void closingWhileLoading();
    void shownImageAndItsControlsAgree_data();
    void shownImageAndItsControlsAgree();
    void messageLine_data();
    void messageLine();
    void scriptWaitsForTheLoaderInTheProgram();
    void loadedStackKeepsFewDisplayImages();
    void energySetupOffersAReload();
    void sampleDataSetNamesThePatternsThatWould();

private:
    // Runs one batch line and returns the number of finishBatchExec() emitted by the call.
    int exec(const QString &line);
    // Waits until the batch line that is running has finished.
    void waitForFinish();
    SelectDataFiles *selector(bool i1) const;
    QStringList makeFiles(const QString &subdir, int count, const QString &suffix = "tif");
    // Starts a load whose last file holds the loader busy until releaseStalledLoad(); that
    // file then fails to read.
    bool startStalledLoad(bool i1, const QStringList &files);
    void releaseStalledLoad();

    QString mStallFile;

    QTemporaryDir mDir;
    Body *mBody = nullptr;
    QSignalSpy *mFinished = nullptr;
    // Stack sizes at every finishBatchExec().
    QList<int> mSizesAtFinish;
};

void TstStackLoading::initTestCase()
{
    initMarvolentiResources();
    QVERIFY(mDir.isValid());
    buildBatchTables();
    LoadStall::install();
}

void TstStackLoading::init()
{
    mBody = new Body;
    mFinished = new QSignalSpy(mBody, &Body::finishBatchExec);
    mSizesAtFinish.clear();
    connect(mBody, &Body::finishBatchExec, this, [this] {
        mSizesAtFinish << mBody->stacks()->i1Images().size()
                              + 1000 * mBody->stacks()->i0Images().size();
    });
}

void TstStackLoading::cleanup()
{
    delete mFinished;
    delete mBody;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int TstStackLoading::exec(const QString &line)
{
    const int before = mFinished->count();
    mBody->execCmdSlot(CmdLine(line), false);
    return mFinished->count() - before;
}

void TstStackLoading::waitForFinish()
{
    const int before = mFinished->count();
    QTRY_VERIFY(mFinished->count() > before);
}

SelectDataFiles *TstStackLoading::selector(bool i1) const
{
    return mBody->findChild<SelectDataFiles *>(i1 ? "SelectI1Files" : "SelectI0Files");
}

QStringList TstStackLoading::makeFiles(const QString &subdir, int count, const QString &suffix)
{
    QDir(mDir.path()).mkpath(subdir);
    QStringList files;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("%1/%2/I_%3_50eV.%4")
                                 .arg(mDir.path(), subdir)
                                 .arg(7100 + i)
                                 .arg(suffix);
        QVector<quint16> values = TestImages::pattern(12, 7);
        values[0] = quint16(i);
        writeTiff16(name, 12, 7, values.constData());
        files << name;
    }
    return files;
}

bool TstStackLoading::startStalledLoad(bool i1, const QStringList &files)
{
    mStallFile = LoadStall::create(mDir.filePath(QStringLiteral("stall-%1.tif").arg(i1 ? 1 : 0)));
    const QString command = i1 ? "load_I1_files new " : "load_I0_files new ";
    return exec(command + (files + QStringList{mStallFile}).join(' ')) == 0;
}

void TstStackLoading::releaseStalledLoad()
{
    LoadStall::release(mStallFile);
    waitForFinish();
}

void TstStackLoading::batchLoadHoldsTheScriptUntilLoaded()
{
    const QStringList files = makeFiles("hold", 6);
    QCOMPARE(exec("set_i1_energy_pattern \\d\\d\\d\\d_\\d\\deV"), 1);
    QCOMPARE(exec("LOAD_I1_FILES new " + files.join(' ')), 0);
    waitForFinish();
    QCOMPARE(mSizesAtFinish.last(), 6);
    for (int i = 0; i < files.size(); ++i) {
        QCOMPARE(mBody->stacks()->i1Images().at(i)->fileName, files.at(i));
        QCOMPARE(mBody->stacks()->i1Images().at(i)->energy, 7100.5 + i);
    }
}

void TstStackLoading::loadCommandWithoutFilesFinishesAtOnce()
{
    QCOMPARE(exec("load_I1_files add"), 1);
    // A directory that is not there is named on the debug output.
    const QString missing = mDir.filePath("nothing-here/");
    QTest::ignoreMessage(QtDebugMsg, qPrintable("Can't open directory " + missing));
    QCOMPARE(exec("load_I0_files_of_pattern new " + missing + " *.tif"), 1);
    QDir(mDir.path()).mkpath("empty-here");
    QCOMPARE(exec("load_I0_files_of_pattern new " + mDir.filePath("empty-here/") + " *.tif"), 1);
}

void TstStackLoading::loadOfPatternListsTheDirectory_data()
{
    QTest::addColumn<bool>("finalSeparator");
    QTest::addColumn<QString>("filters");
    QTest::addColumn<int>("expected");
    QTest::newRow("with separator") << true << "*.tif" << 4;
    QTest::newRow("without separator") << false << "*.tif" << 4;
    QTest::newRow("two filters") << true << "*.tif *.TXT" << 5;
    QTest::newRow("no filter takes every plain file") << true << "" << 5;
}

void TstStackLoading::loadOfPatternListsTheDirectory()
{
    QFETCH(bool, finalSeparator);
    QFETCH(QString, filters);
    QFETCH(int, expected);
    const QString dir = mDir.filePath("pattern");
    if (!QFileInfo::exists(dir)) {
        makeFiles("pattern", 4);
        QDir(dir).mkpath("folder.tif");
        QFile note(dir + "/z_note.TXT");
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.write("not an image at all");
    }
    // The text file fails to load; it is still listed and tried.
    if (expected == 5)
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Unknown image format .*z_note"));
    QCOMPARE(exec(QStringLiteral("load_I0_files_of_pattern new %1 %2")
                      .arg(finalSeparator ? dir + "/" : dir, filters)),
             0);
    waitForFinish();
    QCOMPARE(mBody->stacks()->i0Images().size(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(QFileInfo(mBody->stacks()->i0Images().at(i)->fileName).fileName(),
                 QStringLiteral("I_%1_50eV.tif").arg(7100 + i));
}

void TstStackLoading::clearingI0KeepsTheShownI1Image()
{
    // Regression: loading a new I0 stack blanked the I1 image on display.
    const QStringList i1 = makeFiles("keep-i1", 2);
    const QStringList i0 = makeFiles("keep-i0", 2);
    exec("load_I1_files new " + i1.join(' '));
    waitForFinish();
    auto display = mBody->findChild<ImgDispA *>("dispA");
    QVERIFY(display->imageData());
    QVERIFY(mBody->stacks()->i1Images().contains(display->imageData()));

    exec("load_I0_files new " + i0.join(' '));
    waitForFinish();
    exec("clear_I0_files");
    QVERIFY(mBody->stacks()->i1Images().contains(display->imageData()));

    exec("select_disp_image 1");
    exec("load_I0_files new " + i0.join(' '));
    waitForFinish();
    exec("seek_image 1");
    QVERIFY(mBody->stacks()->i0Images().contains(display->imageData()));
    exec("clear_I0_files");
    QCOMPARE(display->imageData(), nullptr);
}

void TstStackLoading::newReplacesAndAddAppends()
{
    const QStringList files = makeFiles("modes", 3);
    QCOMPARE(exec("load_I1_files new " + files.join(' ')), 0);
    waitForFinish();
    QCOMPARE(exec("load_I1_files add " + files.mid(0, 2).join(' ')), 0);
    waitForFinish();
    QCOMPARE(mBody->stacks()->i1Images().size(), 5);
    QCOMPARE(selector(true)->count(), 5);
    QCOMPARE(exec("load_I1_files NEW " + files.mid(2).join(' ')), 0);
    waitForFinish();
    QCOMPARE(mBody->stacks()->i1Images().size(), 1);
    QCOMPARE(selector(true)->count(), 1);
}

void TstStackLoading::handLoadDoesNotReleaseAWaitingBatch()
{
    // A load started by hand is queued before the batch's own; the batch must wait for its own.
    const QStringList first = makeFiles("hand", 5);
    const QStringList second = makeFiles("batch", 3);
    mBody->stackLoader()->read(StackModel::I1, first, true);
    QCOMPARE(exec("load_I1_files add " + second.join(' ')), 0);
    waitForFinish();
    QCOMPARE(mSizesAtFinish, QList<int>{8});
}

void TstStackLoading::newRunDoesNotGoOnWithTheOldRunsLoad()
{
    // Regression: the load of an earlier run, ending while a new run waited for its own load,
    // let the new run go on.
    const QString oldStall = LoadStall::create(mDir.filePath("oldrun.tif"));
    const QString newStall = LoadStall::create(mDir.filePath("newrun.tif"));
    BatchCtrl *ctrl = mBody->batchCtrl();
    auto *editor = ctrl->findChild<QPlainTextEdit *>("BatchCmds");
    editor->setPlainText("load_I1_files new " + oldStall + "\n:echo old-after");
    ctrl->execBatchSlot();
    const bool oldStarted = QTest::qWaitFor([&] { return ctrl->logText().contains("load_I1"); });
    editor->setPlainText("load_I0_files new " + newStall + "\n:echo new-after");
    ctrl->execBatchSlot();
    const bool newStarted = QTest::qWaitFor([&] { return ctrl->logText().contains("load_I0"); });

    // The I1 loader takes the next request only when the old run's load has ended.
    LoadStall::release(oldStall);
    const QStringList good = makeFiles("afterOldRun", 1);
    mBody->stackLoader()->read(StackModel::I1, good, false);
    const bool oldEnded = QTest::qWaitFor([&] { return mBody->stacks()->i1Images().size() == 1; });
    QCoreApplication::processEvents();
    const QString logWhileWaiting = ctrl->logText();

    LoadStall::release(newStall);
    QTRY_VERIFY(ctrl->logText().contains("echo new-after"));
    QVERIFY(oldStarted && newStarted && oldEnded);
    QVERIFY2(!logWhileWaiting.contains("after"), qPrintable(logWhileWaiting));
}

void TstStackLoading::settingCommands_data()
{
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("cut_f_i0") << "cut_f_i0 3"
                              << "i0:CutFirst"
                              << "text" << QVariant("3");
    QTest::newRow("cut_f_i1") << "cut_f_i1 x"
                              << "i1:CutFirst"
                              << "text" << QVariant("0");
    QTest::newRow("cut_l_i0") << "cut_l_i0 2"
                              << "i0:CutLast"
                              << "text" << QVariant("2");
    QTest::newRow("cut_l_i1") << "cut_l_i1 4"
                              << "i1:CutLast"
                              << "text" << QVariant("4");
    QTest::newRow("skip_i0") << "skip_i0 5"
                             << "i0:Skip"
                             << "text" << QVariant("5");
    QTest::newRow("skip_i1") << "skip_i1 2"
                             << "i1:Skip"
                             << "text" << QVariant("2");
    QTest::newRow("show_latest_i0 off") << "show_latest_i0 0"
                                        << "i0:ShowLatest"
                                        << "checked" << QVariant(false);
    QTest::newRow("show_latest_i1 2 is off") << "show_latest_i1 2"
                                             << "i1:ShowLatest"
                                             << "checked" << QVariant(false);
    QTest::newRow("eng_by_calc_i0") << "eng_by_calc_i0 1"
                                    << "s0:FromFileNum"
                                    << "checked" << QVariant(true);
    QTest::newRow("eng_by_name_i1") << "eng_by_calc_i1 1;eng_by_name_i1"
                                    << "s1:FromFileName"
                                    << "checked" << QVariant(true);
    QTest::newRow("eng_by_name_i0") << "eng_by_calc_i0 1;eng_by_name_i0"
                                    << "s0:FromFileNum"
                                    << "checked" << QVariant(false);
    QTest::newRow("set_i1_energy_pattern") << "set_i1_energy_pattern ab\\d"
                                           << "s1:Pattern"
                                           << "text" << QVariant("ab\\d");
    QTest::newRow("eng_by_name_reg_exp_i0") << "eng_by_name_reg_exp_i0 x\\d"
                                            << "s0:Pattern"
                                            << "text" << QVariant("x\\d");
    QTest::newRow("eng_by_name_factor_i1") << "eng_by_name_factor_i1 1000.25"
                                           << "s1:Factor"
                                           << "text" << QVariant("1000.25");
    QTest::newRow("eng_calc_base_i0 recomputes End") << "eng_calc_base_i0 7000.5"
                                                     << "s0:End"
                                                     << "text" << QVariant("8000.5");
    QTest::newRow("eng_calc_delta_i1 recomputes End") << "eng_calc_delta_i1 0.5"
                                                      << "s1:End"
                                                      << "text" << QVariant("8500");
    QTest::newRow("eng_calc_end_i0 recomputes Delta") << "eng_calc_end_i0 8500"
                                                      << "s0:Delta"
                                                      << "text" << QVariant("0.5");
    QTest::newRow("eng_calc_num_i1 recomputes Delta") << "eng_calc_num_i1 500"
                                                      << "s1:Delta"
                                                      << "text" << QVariant("2");
    QTest::newRow("eng_calc_even_in_eng_i0") << "eng_calc_even_in_eng_i0 1"
                                             << "s0:EvenInEnergy"
                                             << "checked" << QVariant(true);
    QTest::newRow("eng_calc_even_in_deg_i1")
        << "eng_calc_even_in_eng_i1 1;eng_calc_even_in_deg_i1 1"
        << "s1:EvenInAngle"
        << "checked" << QVariant(true);
    QTest::newRow("eng_calc_disp_unit_i0 7 does nothing")
        << "eng_calc_disp_unit_i0 1;eng_calc_disp_unit_i0 7"
        << "s0:DisplayUnit"
        << "currentIndex" << QVariant(1);
    QTest::newRow("eng_calc_disp_unit_i1") << "eng_calc_disp_unit_i1 2"
                                           << "s1:DisplayUnit"
                                           << "currentIndex" << QVariant(2);
    QTest::newRow("eng_by_ref_i0 empty") << "eng_by_ref_i0"
                                         << "s0:FromRefFile"
                                         << "checked" << QVariant(false);
    QTest::newRow("set_fluo_type") << "set_fluo_type 1"
                                   << "body:FluoType"
                                   << "checked" << QVariant(true);
}

void TstStackLoading::settingCommands()
{
    QFETCH(QString, commands);
    QFETCH(QString, target);
    QFETCH(QString, property);
    QFETCH(QVariant, value);
    for (const QString &line : commands.split(';'))
        QCOMPARE(exec(line), 1);
    const QString owner = target.section(':', 0, 0);
    const QString name = target.section(':', 1);
    QObject *parent = mBody;
    if (owner.startsWith('i'))
        parent = selector(owner == "i1");
    else if (owner.startsWith('s'))
        parent = selector(owner == "s1")->energySetup();
    QObject *widget = parent->findChild<QObject *>(name);
    QVERIFY2(widget, qPrintable(target));
    QCOMPARE(widget->property(qPrintable(property)), value);
}

void TstStackLoading::loadRequestReadsTheSelectorSettings_data()
{
    QTest::addColumn<bool>("i1");
    QTest::addColumn<QString>("skipText");
    QTest::addColumn<QString>("cutFirstText");
    QTest::addColumn<QString>("cutLastText");
    QTest::addColumn<QList<int>>("request");
    for (const bool i1 : {true, false}) {
        const char *stack = i1 ? "I1" : "I0";
        QTest::addRow("%s as typed", stack) << i1 << "3"
                                            << "1"
                                            << "2" << QList<int>{3, 1, 2};
        QTest::addRow("%s skip 0, negative cuts", stack) << i1 << "0"
                                                         << "-2"
                                                         << "-1" << QList<int>{1, 0, 0};
        QTest::addRow("%s no numbers", stack) << i1 << "abc"
                                              << "x"
                                              << "" << QList<int>{1, 0, 0};
    }
}

void TstStackLoading::loadRequestReadsTheSelectorSettings()
{
    QFETCH(bool, i1);
    QFETCH(QString, skipText);
    QFETCH(QString, cutFirstText);
    QFETCH(QString, cutLastText);
    QFETCH(QList<int>, request);
    selector(i1)->findChild<QLineEdit *>("Skip")->setText(skipText);
    selector(i1)->findChild<QLineEdit *>("CutFirst")->setText(cutFirstText);
    selector(i1)->findChild<QLineEdit *>("CutLast")->setText(cutLastText);
    QSignalSpy requests(mBody->stackLoader(),
                        i1 ? &StackLoader::loadI1Files : &StackLoader::loadI0Files);
    // No files: only the request matters here.
    const QStringList files;
    if (i1)
        mBody->stackLoader()->read(StackModel::I1, files, false);
    else
        mBody->stackLoader()->read(StackModel::I0, files, false);
    QCOMPARE(requests.count(), 1);
    const QList<QVariant> &arguments = requests.first();
    QCOMPARE(arguments.at(0).toStringList(), files);
    QCOMPARE(
        (QList<int>{arguments.at(1).toInt(), arguments.at(2).toInt(), arguments.at(3).toInt()}),
        request);
}

void TstStackLoading::showAndNavigate()
{
    const QStringList files = makeFiles("show", 4);
    auto *seekBar = mBody->findChild<QSlider *>("SeekBar");
    QCOMPARE(mBody->stacks()->width(), -1);
    QCOMPARE(exec("load_I1_files new " + files.join(' ')), 0);
    waitForFinish();
    QCOMPARE(mBody->stacks()->width(), 12);
    QCOMPARE(mBody->stacks()->height(), 7);
    QCOMPARE(seekBar->maximum(), 3);
    QCOMPARE(seekBar->value(), 3);
    QCOMPARE(selector(true)->currentIndex(), 3);

    mBody->imageBrowser()->prev();
    QCOMPARE(selector(true)->currentIndex(), 2);
    QCOMPARE(seekBar->value(), 2);
    mBody->imageBrowser()->showData(0);
    QCOMPARE(selector(true)->currentIndex(), 0);
    mBody->imageBrowser()->next();
    QCOMPARE(selector(true)->currentIndex(), 1);
    // An index outside the stack moves nothing, the slider included.
    mBody->imageBrowser()->showData(9);
    QCOMPARE(seekBar->value(), 1);
    QCOMPARE(selector(true)->currentIndex(), 1);

    // With I0 shown, navigation moves the I0 selector.
    QCOMPARE(exec("load_I0_files new " + files.mid(0, 2).join(' ')), 0);
    waitForFinish();
    mBody->findChild<QRadioButton *>("ShowI0")->setChecked(true);
    const int i0Index = selector(false)->currentIndex();
    mBody->imageBrowser()->prev();
    QCOMPARE(selector(false)->currentIndex(), qMax(i0Index - 1, 0));
    QCOMPARE(selector(true)->currentIndex(), 1);
}

void TstStackLoading::i1ImagesTakenOverWhenTheLoadEnds()
{
    // Regression: with "Show Latest" off, a load whose last file failed kept the image size,
    // the slider, the selection and the spectrum of the time before the load.
    const QStringList files = makeFiles("stalledI1", 3);
    auto *seekBar = mBody->findChild<QSlider *>("SeekBar");
    QCOMPARE(exec("show_latest_i1 0"), 1);
    QVERIFY(startStalledLoad(true, files));
    const int maximumBefore = seekBar->maximum();
    const bool arrived
        = QTest::qWaitFor([this] { return mBody->stacks()->i1Images().size() == 3; });
    // Nothing is taken over while the loader is busy.
    const int widthWhileBusy = mBody->stacks()->width();
    const int maximumWhileBusy = seekBar->maximum();
    const int spectrumWhileBusy = mBody->xafsView()->spectrum().size();
    releaseStalledLoad();
    QVERIFY(arrived);
    QCOMPARE(widthWhileBusy, -1);
    QCOMPARE(maximumWhileBusy, maximumBefore);
    QCOMPARE(spectrumWhileBusy, 0);

    QCOMPARE(mBody->stacks()->i1Images().size(), 3);
    QCOMPARE(mBody->stacks()->width(), 12);
    QCOMPARE(mBody->stacks()->height(), 7);
    QCOMPARE(seekBar->maximum(), 2);
    QCOMPARE(selector(true)->currentIndex(), 2);
    QCOMPARE(mBody->xafsView()->spectrum().size(), 3);
}

void TstStackLoading::i0ImagesTakenOverWhenTheLoadEnds()
{
    // Regression: with "Show Latest" off, the spectrum did not take in an I0 stack whose last
    // file failed to load.
    const QStringList files = makeFiles("stalledI0", 3);
    QCOMPARE(exec("load_I1_files new " + files.join(' ')), 0);
    waitForFinish();
    // Without I0 the points are -ln(I1); over the same files as I0 they become ln(1) = 0.
    const auto pointsAtZero = [this] {
        int zeros = 0;
        for (const QPointF &point : mBody->xafsView()->spectrum().points)
            zeros += qAbs(point.y()) < 1e-12 ? 1 : 0;
        return zeros;
    };
    QCOMPARE(mBody->xafsView()->spectrum().size(), 3);
    QCOMPARE(pointsAtZero(), 0);

    QCOMPARE(exec("show_latest_i0 0"), 1);
    QVERIFY(startStalledLoad(false, files));
    const bool arrived
        = QTest::qWaitFor([this] { return mBody->stacks()->i0Images().size() == 3; });
    const int zerosWhileBusy = pointsAtZero();
    releaseStalledLoad();
    QVERIFY(arrived);
    QCOMPARE(zerosWhileBusy, 0);
    QCOMPARE(mBody->stacks()->i0Images().size(), 3);
    QCOMPARE(pointsAtZero(), 3);
}

void TstStackLoading::shiftsOnlyOnI1Images()
{
    emit mBody->imgProc()->imgShift(2, 3);
    emit mBody->imgProc()->askClearAllShifts();
    const QStringList files = makeFiles("shift", 2);
    exec("load_I1_files new " + files.join(' '));
    waitForFinish();
    exec("load_I0_files new " + files.join(' '));
    waitForFinish();
    selector(true)->select(0);
    emit mBody->imgProc()->imgShift(2, -3);
    QCOMPARE(mBody->stacks()->i1Images().at(0)->shiftX, 2);
    QCOMPARE(mBody->stacks()->i1Images().at(0)->shiftY, -3);
    QCOMPARE(mBody->stacks()->i1Images().at(1)->shiftX, 0);
    mBody->stacks()->i0Images().at(0)->shiftX = 5;
    emit mBody->imgProc()->askClearAllShifts();
    QCOMPARE(mBody->stacks()->i1Images().at(0)->shiftX, 0);
    QCOMPARE(mBody->stacks()->i1Images().at(0)->shiftY, 0);
    QCOMPARE(mBody->stacks()->i0Images().at(0)->shiftX, 5);
}

void TstStackLoading::generatedDataSetLoads()
{
    const QString out = mDir.filePath("sample");
    QVERIFY(writeSampleDataSet(out, {"--size", "24", "--energies", "20"}));
    const int count = QDir(out + "/I1").entryList({"*.tif"}, QDir::Files).size();
    QVERIFY(count >= 18);

    for (const QString &line : sampleDataSetLoadLines(out)) {
        if (exec(line) == 0)
            waitForFinish();
    }
    QCOMPARE(mBody->stacks()->i1Images().size(), count);
    QCOMPARE(mBody->stacks()->i0Images().size(), count);
    double i1Sum = 0.0, i0Sum = 0.0;
    for (int i = 0; i < count; ++i) {
        const TiffData *i1 = mBody->stacks()->i1Images().at(i);
        QCOMPARE(i1->width, 24);
        QCOMPARE(mBody->stacks()->i0Images().at(i)->energy, i1->energy);
        QVERIFY2(i1->energy > 6900.0 && i1->energy < 7500.0, qPrintable(i1->fileName));
        if (i > 0)
            QVERIFY(i1->energy > mBody->stacks()->i1Images().at(i - 1)->energy);
        i1Sum += i1->binSum(12, 12, 11, 11);
        i0Sum += mBody->stacks()->i0Images().at(i)->binSum(12, 12, 11, 11);
    }
    // The sample absorbs: less comes through it than falls on it.
    QVERIFY2(i1Sum < 0.9 * i0Sum, qPrintable(QStringLiteral("I1 %1, I0 %2").arg(i1Sum).arg(i0Sum)));
}

void TstStackLoading::closingWhileLoading()
{
    // The loader objects must not be deleted while their threads still read files, and the
    // images they have sent must not be lost on the way (a leak under AddressSanitizer).
    const QStringList files = makeFiles("closing", 40);
    QCOMPARE(exec("load_I1_files new " + files.join(' ')), 0);
    QCOMPARE(exec("load_I0_files new " + files.join(' ')), 0);
    delete mFinished;
    mFinished = nullptr;
    delete mBody;
    mBody = nullptr;
}

void TstStackLoading::shownImageAndItsControlsAgree_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("index");
    QTest::newRow("seek_image") << "seek_image 1" << 1;
    QTest::newRow("slider arrow key") << "key" << 2;
    QTest::newRow("slider groove click") << "groove" << 0;
    QTest::newRow("file list, Show Latest off") << "list" << 2;
    QTest::newRow("I0 shown, Next") << "next" << 1;
}

void TstStackLoading::shownImageAndItsControlsAgree()
{
    // Regression: the slider, the file list and the colour bar went on naming another image
    // than the one on screen, and I0's Prev/Next did not redraw.
    QFETCH(QString, action);
    QFETCH(int, index);
    const bool i0Shown = action == "next";
    const QStringList files = makeFiles("agree", 4);
    exec("load_I1_files new " + files.join(' '));
    waitForFinish();
    exec("load_I0_files new " + files.join(' '));
    waitForFinish();
    mBody->show();
    QVERIFY(QTest::qWaitForWindowExposed(mBody));
    mBody->findChild<QRadioButton *>("ShowI0")->setChecked(i0Shown);
    auto *seekBar = mBody->findChild<QSlider *>("SeekBar");
    auto *list = selector(!i0Shown)->findChild<QComboBox *>("Selected");
    if (action == "key") {
        QTest::keyClick(seekBar, Qt::Key_Left);
    } else if (action == "groove") {
        QTest::mouseClick(seekBar, Qt::LeftButton, {}, QPoint(1, seekBar->height() / 2));
    } else if (action == "list") {
        selector(true)->setShowLatest(false);
        QTest::keyClick(list, Qt::Key_Up);
    } else if (action == "next") {
        QTest::mouseClick(mBody->findChild<QWidget *>("Next"), Qt::LeftButton);
    } else {
        exec(action);
    }

    const QVector<TiffData *> &stack
        = i0Shown ? mBody->stacks()->i0Images() : mBody->stacks()->i1Images();
    QCOMPARE(mBody->findChild<ImgDispA *>("dispA")->imageData(), stack.at(index));
    QCOMPARE(seekBar->value(), index);
    QCOMPARE(list->currentIndex(), index);
    // Dragging the colour bar regenerates the image on screen.
    stack.at(index)->displayImage = QImage();
    emit mBody->findChild<ColorBar *>("CBar")->cBarUpdating();
    QVERIFY(stack.at(index)->hasDisplayImage());
}

void TstStackLoading::messageLine_data()
{
    // Lines after an eV energy pattern for I1; %1 is the folder of the test files.
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("i1Left");
    const QString load = "load_I1_files_of_pattern new %1/mixed/ I_*;";
    QTest::newRow("refused files") << "load_I1_files_of_pattern new %1/mixed/"
                                   << "3 of 5 files refused: a_text.tif (Unknown image format); "
                                      "b_colour.tif (Not a greyscale TIFF); c_truncated.tif "
                                      "(Can not open TIFF)"
                                   << 2;
    QTest::newRow("images of different sizes")
        << load + "load_I0_files new %1/small.tif"
        << "Pattern \\d\\d\\d\\d_\\d\\d\\d\\d found no energy in 1 of the file names, which "
           "get their index as energy: small.tif | Images of different sizes: small.tif is 5 x 4, "
           "the first I1 image 12 x 7"
        << 2;
    // Regression: a pattern load that found nothing went on with the old images.
    QTest::newRow("pattern that matches nothing")
        << load + "load_I1_files_of_pattern new %1/mixed/ *.nomatch"
        << "No file matches *.nomatch in %1/mixed/" << 0;
    QTest::newRow("failed save") << load + "move_position 3 3;save_spectra %1/missing/pixel.dat"
                                 << "Can't save %1/missing/pixel-std.dat" << 2;
    // Regression: non-finite float samples were taken as 0 without a word.
    QTest::newRow("non-finite samples")
        << "load_I1_files_of_pattern new %1/float/"
        << "3 samples in 1 of the images are not finite numbers: left out of the spectra" << 2;
}

void TstStackLoading::messageLine()
{
    QFETCH(QString, lines);
    QFETCH(QString, message);
    QFETCH(int, i1Left);
    const QString dir = mDir.filePath("messages");
    if (!QFileInfo::exists(dir)) {
        const QStringList good = makeFiles("messages/mixed", 2);
        QVERIFY(TestImages::writeBytes(dir + "/mixed/a_text.tif", "text, not an image\n"));
        TestImages::TiffLayout colour;
        colour.bitsPerSample = 8;
        colour.samplesPerPixel = 3;
        colour.photometric = PHOTOMETRIC_RGB;
        QVERIFY(TestImages::writeTiff(
            dir + "/mixed/b_colour.tif", 4, 4, QVector<double>(16, 1.0), colour));
        QFile whole(good.first());
        QVERIFY(whole.open(QIODevice::ReadOnly));
        QVERIFY(
            TestImages::writeBytes(dir + "/mixed/c_truncated.tif", whole.read(whole.size() / 2)));
        QVERIFY(writeTiff16(dir + "/small.tif", 5, 4, TestImages::pattern(5, 4).constData()));
        TestImages::TiffLayout floats;
        floats.bitsPerSample = 32;
        floats.sampleFormat = SAMPLEFORMAT_IEEEFP;
        QDir(dir).mkpath("float");
        QVector<double> values = TestImages::asDoubles(TestImages::pattern(12, 7));
        QVERIFY(TestImages::writeTiff(dir + "/float/f_7101_50eV.tif", 12, 7, values, floats));
        values[0] = values[12] = std::nan("");
        values[30] = -std::numeric_limits<double>::infinity();
        QVERIFY(TestImages::writeTiff(dir + "/float/f_7100_50eV.tif", 12, 7, values, floats));
    }
    lines.prepend("set_i1_energy_pattern \\d\\d\\d\\d_\\d\\deV;");
    for (const QString &line : lines.replace("%1", dir).split(';')) {
        if (exec(line) == 0)
            waitForFinish();
    }
    const QString expected = QString(message).replace("%1", dir);
    QCOMPARE(mBody->messageLine(), expected);
    QVERIFY2(mBody->batchCtrl()->logText().contains(expected + "\n"),
             qPrintable(mBody->batchCtrl()->logText()));
    QCOMPARE(mBody->stacks()->i1Images().size(), i1Left);
}

void TstStackLoading::scriptWaitsForTheLoaderInTheProgram()
{
    // The loader reports the broken last file before the script's next line can run.
    QStringList files = makeFiles("program", 20);
    const QString broken = mDir.filePath("program/zz_broken.tif");
    QFile brokenFile(broken);
    QVERIFY(brokenFile.open(QIODevice::WriteOnly));
    brokenFile.write("II");
    brokenFile.close();
    files << broken;
    const QString script = mDir.filePath("load.bat");
    QFile batch(script);
    QVERIFY(batch.open(QIODevice::WriteOnly | QIODevice::Text));
    // Regression: a skip near the int range wrapped the file index and crashed the loader.
    const QString hugeSkip = "skip_i1 2147483647\ncut_f_i1 1\nload_I1_files add a b c\n";
    batch.write(
        ("load_I1_files new " + files.join(' ') + "\n" + hugeSkip + ":echo after-load\nquit\n")
            .toUtf8());
    batch.close();

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(mDir.path());
    program.start(MARVOLENTI_EXECUTABLE, {"-b", script, "-x"});
    QVERIFY(program.waitForFinished(-1));
    const QString log = QString::fromLocal8Bit(program.readAllStandardError());
    const int failure = log.indexOf("Error on reading file (1) " + broken);
    const int after = log.indexOf("echo after-load");
    QVERIFY2(failure >= 0 && after > failure, qPrintable(log));
}

QTEST_MAIN(TstStackLoading)
#include "tst_stackloading.moc"

void TstStackLoading::loadedStackKeepsFewDisplayImages()
{
    // Display images were made and kept for every image a load showed or Set All coloured.
    const QStringList files = makeFiles("few", 12);
    exec("set_i1_energy_pattern \\d\\d\\d\\d_\\d\\deV");
    exec("load_I1_files new " + files.join(' '));
    waitForFinish();
    const QVector<TiffData *> &stack = mBody->stacks()->i1Images();
    const auto holding = [&stack] {
        return std::count_if(stack.begin(), stack.end(), [](const TiffData *image) {
            return image->hasDisplayImage();
        });
    };
    QCOMPARE(mBody->findChild<ImgDispA *>("dispA")->imageData(), stack.last());
    QVERIFY(stack.last()->hasDisplayImage());
    QVERIFY(holding() <= DisplayImageCache::defaultCapacity);
    // The progress of the load, on the message line and in the batch log.
    const QString progress = "I1: 12 of 12 files, I_7111_50eV.tif";
    QCOMPARE(mBody->messageLine(), progress);
    QVERIFY(mBody->batchCtrl()->logText().contains(progress + "\n"));

    for (int k = 0; k < stack.size(); ++k)
        exec(QString("seek_image %1").arg(k));
    QCOMPARE(holding(), DisplayImageCache::defaultCapacity);
    ColorScale::current()->setLimits(0.1, 0.3);
    mBody->findChild<QPushButton *>("CBarAll")->click();
    QCOMPARE(holding(), 1);
    for (const int k : {11, 2}) {
        exec(QString("seek_image %1").arg(k));
        const QImage shown = stack.at(k)->displayImage.copy();
        stack.at(k)->makeDisplayImage();
        QCOMPARE(shown, stack.at(k)->displayImage);
    }
}

void TstStackLoading::energySetupOffersAReload()
{
    // Regression: a pattern that found no energy in any name left the user to find another.
    makeFiles("offer", 3);
    if (exec("load_I1_files_of_pattern new " + mDir.filePath("offer/") + " *.tif") == 0)
        waitForFinish();
    QCOMPARE(mBody->stacks()->i1Images().size(), 3);
    QCOMPARE(mBody->stacks()->i1Images().at(2)->energy, 2.0);
    EOFSetup *setup = selector(true)->energySetup();
    setup->show();
    QVERIFY(QTest::qWaitForWindowExposed(setup));
    auto *patterns = setup->findChild<QComboBox *>("ReloadPattern");
    QVERIFY(patterns && patterns->isVisible());
    QStringList offered;
    for (int i = 0; i < patterns->count(); ++i)
        offered << patterns->itemText(i);
    QCOMPARE(offered, (QStringList{"\\d\\d\\d\\d_\\d\\d", "\\d\\d\\d\\d_\\d\\deV"}));

    // The reload reads every listed image again, whatever the skip setting says by now.
    exec("skip_i1 2");
    patterns->setCurrentIndex(1);
    QTest::mouseClick(setup->findChild<QPushButton *>("Reload"), Qt::LeftButton);
    QTRY_VERIFY(mBody->stacks()->i1Images().size() == 3
                && mBody->stacks()->i1Images().at(2)->energy == 7102.5);
    QCOMPARE(setup->assignment().pattern, QStringLiteral("\\d\\d\\d\\d_\\d\\deV"));
    QVERIFY(!patterns->isVisible());
    setup->hide();
}

void TstStackLoading::sampleDataSetNamesThePatternsThatWould()
{
    // Regression: the sample data set under the default pattern got energies 0, 1, 2, ...
    const QString out = mDir.filePath("defaultpattern");
    QVERIFY(writeSampleDataSet(out, {"--size", "16", "--energies", "12"}));
    QString errors;
    QCOMPARE(runBatchScript(mDir.filePath("defaultpattern.bat"),
                            {"load_I1_files_of_pattern new " + quoted(out + "/I1/") + " *.tif"},
                            &errors),
             0);
    QVERIFY2(errors.contains("Patterns that find an energy in every name: \\d\\d\\d\\d_\\d\\d, "
                             "\\d\\d\\d\\d_\\d\\deV (Setup offers a reload)"),
             qPrintable(errors));
}
