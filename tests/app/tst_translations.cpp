#include <QtTest>

// Every user-visible text of every window must have a Japanese translation. For each folder's
// translation file, lupdate is run again over the folder and its forms, and every text it finds
// must be present and translated in the committed file.
class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void complete_data();
    void complete();
};

namespace {
const QString sourceDir = QStringLiteral(MARVOLENTI_SOURCE_DIR);

// (context, source) -> translation of every message in a .ts file.
QHash<QString, QString> readMessages(const QString &path, QString *error)
{
    QHash<QString, QString> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = "cannot read " + path;
        return messages;
    }
    QXmlStreamReader xml(&file);
    QString context, source, translation;
    bool unfinished = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("name"))
                context = xml.readElementText();
            else if (xml.name() == QLatin1String("source"))
                source = xml.readElementText();
            else if (xml.name() == QLatin1String("translation")) {
                unfinished = xml.attributes().value("type") == QLatin1String("unfinished");
                translation = xml.readElementText();
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            messages.insert(context + "|" + source, unfinished ? QString() : translation);
        }
    }
    if (xml.hasError())
        *error = path + ": " + xml.errorString();
    return messages;
}
} // namespace

void TestTranslations::complete_data()
{
    QTest::addColumn<QString>("folder");
    const QStringList files = QDir(sourceDir + "/resources/i18n").entryList({"*_ja_JP.ts"});
    QVERIFY(!files.isEmpty());
    for (const QString &file : files) {
        const QString folder = file.left(file.indexOf("_ja_JP.ts"));
        QTest::newRow(qPrintable(folder)) << folder;
    }
}

void TestTranslations::complete()
{
    QFETCH(QString, folder);

    // The forms of a folder are those named after one of its headers.
    QStringList inputs{sourceDir + "/" + folder};
    const QStringList forms = QDir(sourceDir + "/forms").entryList({"*.ui"});
    for (const QString &form : forms) {
        if (QFile::exists(sourceDir + "/" + folder + "/" + QFileInfo(form).baseName() + ".h"))
            inputs << sourceDir + "/forms/" + form;
    }

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fresh = dir.filePath("fresh.ts");
    QProcess lupdate;
    lupdate.start(MARVOLENTI_LUPDATE,
                  QStringList{"-silent", "-locations", "none"} + inputs
                      + QStringList{"-ts", fresh});
    QVERIFY(lupdate.waitForFinished(-1));
    QCOMPARE(lupdate.exitCode(), 0);

    QString error;
    const QHash<QString, QString> found = readMessages(fresh, &error);
    const QHash<QString, QString> committed
        = readMessages(sourceDir + "/resources/i18n/" + folder + "_ja_JP.ts", &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    QStringList missing;
    for (auto it = found.cbegin(); it != found.cend(); ++it) {
        if (committed.value(it.key()).isEmpty())
            missing << it.key();
    }
    missing.sort();
    QVERIFY2(missing.isEmpty(), qPrintable("untranslated: " + missing.join(", ")));
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
