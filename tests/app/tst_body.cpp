#include "app/body.h"
#include "app/uitranslators.h"
#include "batch/batchctrl.h"
#include "resources/resourceinit.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBox>
#include <QtTest>

class TestBody : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void formTexts_data();
    void formTexts();
    void imageSelectionGroup();
    void batchRunThroughTheMainWindow();
    void quitEmitsFinishing();
    void destroyWhileTheBatchWaits();
    void japaneseTranslation();
};

void TestBody::initTestCase()
{
    initMarvolentiResources();
}

void TestBody::formTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    const QList<QPair<QString, QString>> rows = {
        {"SaveFlatDark", "Save Flat Dark"},
        {"SaveDataCfgB", "Cfg."},
        {"SaveData", "Save Data"},
        {"SaveImage", "Save Image"},
        {"SaveXAFSSpectra", "Save XAFS Spectra"},
        {"DeGlitchFactor", "2.0"},
        {"DeGlitchRatio", "0.1"},
        {"DeGlitch", "de Glitch"},
        {"NormalizeEShift", "NES"},
        {"HWidth", "10"},
        {"VWidth", "10"},
        {"ResetScale", "Reset Scale"},
        {"ZoomIn", "Zoom in"},
        {"CBarAll", "Set All"},
        {"Position", "(0,0)"},
        {"Value", "0.0"},
        {"EShiftFromStd", "0.0"},
        {"EShiftOnTbl", "0.0"},
        {"BatchCtrlB", "Batch Ctrl."},
        {"CheckVals", "Chk Vals"},
        {"ShowXafsView", "Show Spectrum"},
        {"ShowAnalyzer", "Show Analyzer"},
        {"OpenCalibCtrl", "Show Cali. Ctrl."},
        {"ShowImgProc", "Show Img. Proc."},
        {"ShowData", "Data"},
        {"ShowI0", "I0"},
        {"ShowShiftMap", "Shift"},
        {"ShowResAnalysis", "Res. Analysis"},
        {"FluoType", "Fluo. Type"},
        {"label_3", "Position: "},
        {"Prev", "..."},
        {"Next", "..."},
    };
    for (const auto &row : rows)
        QTest::newRow(qPrintable(row.first)) << row.first << row.second;
}

void TestBody::formTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);

    Body body;
    QWidget *widget = body.findChild<QWidget *>(name);
    QVERIFY2(widget, qPrintable(name));
    QString shown;
    if (auto button = qobject_cast<QAbstractButton *>(widget))
        shown = button->text();
    else if (auto edit = qobject_cast<QLineEdit *>(widget))
        shown = edit->text();
    else
        shown = widget->property("text").toString();
    QCOMPARE(shown, text);
}

void TestBody::imageSelectionGroup()
{
    Body body;
    QCOMPARE(body.windowTitle(), QString("Marvolenti"));
    QCOMPARE(body.findChild<QWidget *>("DeGlitch")->toolTip(), QString("Deglitch Selected Map"));
    QCOMPARE(body.findChild<QWidget *>("NormalizeEShift")->toolTip(),
             QString("Deglitch E-Shift Map"));
    QCOMPARE(body.findChild<QToolBox *>("ToolBox")->currentIndex(), 0);
    QCOMPARE(body.findChild<QToolBox *>("ToolBox")->count(), 3);

    auto data = body.findChild<QRadioButton *>("ShowData");
    QVERIFY(data->isChecked());
    QButtonGroup *group = data->group();
    QVERIFY(group);
    QVERIFY(group->exclusive());
    const QStringList names = {"ShowData", "ShowI0", "ShowShiftMap", "ShowResAnalysis"};
    for (int id = 0; id < names.size(); ++id)
        QCOMPARE(group->button(id)->objectName(), names.at(id));
    body.show();
    QVERIFY(QTest::qWaitForWindowExposed(&body));
    auto i0 = body.findChild<QRadioButton *>("ShowI0");
    // On the indicator: a radio button takes clicks on its indicator and label only.
    QTest::mouseClick(i0, Qt::LeftButton, {}, QPoint(6, i0->height() / 2));
    QVERIFY(!data->isChecked());
    QCOMPARE(group->checkedId(), 1);
}

void TestBody::batchRunThroughTheMainWindow()
{
    Body body;
    BatchCtrl *ctrl = body.batchCtrl();
    QSignalSpy finished(&body, &Body::finishBatchExec);
    ctrl->findChild<QPlainTextEdit *>("BatchCmds")
        ->setPlainText(":echo start\nno_such 1 # c\n:rem_start\nbad\n:rem_end\n:echo end");
    QTest::mouseClick(ctrl->findChild<QAbstractButton *>("Exec"), Qt::LeftButton);
    QTRY_COMPARE(ctrl->logText(), QString("echo start\nErr: no_such 1 \necho end\n"));
    // Every line, skipped or not, is reported finished.
    QTRY_COMPARE(finished.count(), 6);
}

void TestBody::quitEmitsFinishing()
{
    Body body;
    QSignalSpy finishing(&body, &Body::finishing);
    QSignalSpy finished(&body, &Body::finishBatchExec);
    body.execCmdSlot(CmdLine("QUIT"), false);
    QCOMPARE(finishing.count(), 1);
    QCOMPARE(finished.count(), 0);

    body.execCmdSlot(CmdLine("quit"), true);
    QCOMPARE(finishing.count(), 1);
    QCOMPARE(finished.count(), 1);
}

void TestBody::destroyWhileTheBatchWaits()
{
    auto body = new Body;
    body->batchCtrl()->findChild<QPlainTextEdit *>("BatchCmds")->setPlainText("a\nb\nc\nd");
    body->batchCtrl()->execBatchSlot();
    delete body; // must stop and wait for the dispatcher's thread
}

void TestBody::japaneseTranslation()
{
    const UiTranslators translators(false);
    {
        Body body;
        QCOMPARE(body.findChild<QAbstractButton *>("ShowXafsView")->text(),
                 QString::fromUtf8("スペクトル表示"));
        QCOMPARE(body.batchCtrl()->findChild<QAbstractButton *>("Exec")->text(),
                 QString::fromUtf8("実行"));
        const auto dialogs = body.batchCtrl()->findChildren<QFileDialog *>();
        QCOMPARE(dialogs.size(), 2);
        for (const QFileDialog *dialog : dialogs)
            QCOMPARE(dialog->nameFilters().first(), QString::fromUtf8("バッチファイル (*.bat)"));
        // Untranslatable texts stay as they are.
        QCOMPARE(body.findChild<QLineEdit *>("HWidth")->text(), QString("10"));
    }
    // Regression: Qt's own dialogs stayed English in the Japanese interface.
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QCOMPARE(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->text(),
             QString::fromUtf8("キャンセル"));
}

QTEST_MAIN(TestBody)
#include "tst_body.moc"
