#include "app/takefirstitem.h"

#include <QtTest>

class TestTakeFirstItem : public QObject
{
    Q_OBJECT

private slots:
    void split_data();
    void split();
    void walkLine();
};

void TestTakeFirstItem::split_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("rest");
    QTest::addColumn<QString>("diagnostic");

    QTest::newRow("leading blanks") << "  abc def"
                                    << "abc"
                                    << " def"
                                    << "";
    QTest::newRow("last word") << " def"
                               << "def"
                               << ""
                               << "";
    QTest::newRow("quoted with blank") << "\"a b\" c"
                                       << "a b"
                                       << " c"
                                       << "";
    QTest::newRow("quotes glued to next word") << "\"a\"b c"
                                               << "a"
                                               << "b c"
                                               << "";
    QTest::newRow("empty quotes") << "\"\" x"
                                  << ""
                                  << " x"
                                  << "";
    QTest::newRow("tab separated") << "k\tv"
                                   << "k"
                                   << "\tv"
                                   << "";
    QTest::newRow("blanks only") << "   "
                                 << ""
                                 << ""
                                 << "";
    QTest::newRow("empty") << ""
                           << ""
                           << ""
                           << "";
    QTest::newRow("unclosed quote")
        << "  \"a b"
        << "a b"
        << ""
        << "In a line [  \"a b] item is started from quote but not ended by quote";
    QTest::newRow("quote at word end")
        << "ab\" c"
        << "ab\""
        << " c"
        << "In a line [ab\" c] item is started from not quote but ended by quote";
    QTest::newRow("quote at end of last word")
        << "ab\""
        << "ab\""
        << ""
        << "In a line [ab\"] item is started from not quote but ended by quote";
}

void TestTakeFirstItem::split()
{
    QFETCH(QString, text);
    QFETCH(QString, item);
    QFETCH(QString, rest);
    QFETCH(QString, diagnostic);

    if (!diagnostic.isEmpty())
        QTest::ignoreMessage(QtDebugMsg, qPrintable(diagnostic));
    const TextItem result = takeFirstItem(text);
    QCOMPARE(result.item, item);
    QCOMPARE(result.rest, rest);
}

void TestTakeFirstItem::walkLine()
{
    QStringList items;
    TextItem part{QString(), QStringLiteral("load \"C:/my data/a.tif\"  b.tif  ")};
    do {
        part = takeFirstItem(part.rest);
        if (!part.item.isEmpty())
            items << part.item;
    } while (!part.rest.isEmpty());
    QCOMPARE(items, QStringList({"load", "C:/my data/a.tif", "b.tif"}));
}

QTEST_APPLESS_MAIN(TestTakeFirstItem)
#include "tst_takefirstitem.moc"
