#include "spectra/numbertext.h"

#include <QtTest>

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void grouping_data();
    void grouping();
};

void TestNumberText::grouping_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << 0.0 << QStringLiteral("0");
    QTest::newRow("three digits") << 999.0 << QStringLiteral("999");
    QTest::newRow("four digits") << 1000.0 << QStringLiteral("1,000");
    QTest::newRow("six digits") << 123456.0 << QStringLiteral("123,456");
    QTest::newRow("fraction") << 12345.6 << QStringLiteral("12,345.6");
    QTest::newRow("exponent after a dot") << 1234567.5 << QStringLiteral("1.23457e+06");
    QTest::newRow("small") << 0.5 << QStringLiteral("0.5");
    QTest::newRow("16-bit sample") << 65535.0 << QStringLiteral("65,535");
    // Regression: the sign was counted as a digit ("-,123,456").
    QTest::newRow("negative six digits") << -123456.0 << QStringLiteral("-123,456");
    QTest::newRow("negative three digits") << -123.0 << QStringLiteral("-123");
    QTest::newRow("negative fraction") << -1234.5 << QStringLiteral("-1,234.5");
    // Regression: an exponent without a dot was split ("1e,+06").
    QTest::newRow("exponent without a dot") << 1e6 << QStringLiteral("1e+06");
    QTest::newRow("negative exponent without a dot") << -1e100 << QStringLiteral("-1e+100");
}

void TestNumberText::grouping()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(groupedNumberText(value), expected);
}

QTEST_MAIN(TestNumberText)
#include "tst_numbertext.moc"
