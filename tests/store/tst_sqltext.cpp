#include "store/SqlText.h"

#include <QTest>

class TestSqlText : public QObject
{
    Q_OBJECT
private slots:
    void quotingDoublesEveryQuote()
    {
        QCOMPARE(sqlQuoted(QStringLiteral("lunch")), QStringLiteral("'lunch'"));
        QCOMPARE(sqlQuoted(QStringLiteral("Tom's 'big' day")), QStringLiteral("'Tom''s ''big'' day'"));
        QCOMPARE(sqlQuoted(QString()), QStringLiteral("''"));
    }

    void generalNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("fraction") << 250.5 << "250.5";
        QTest::newRow("whole") << 1000.0 << "1000";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("small") << 0.00001 << "1E-5";
        QTest::newRow("smallest fixed") << 0.0001 << "0.0001";
        QTest::newRow("half") << 0.5 << "0.5";
        QTest::newRow("negative") << -250.0 << "-250";
        QTest::newRow("big") << 1.5e20 << "1.5E20";
        QTest::newRow("15 digits") << 123456789012345.0 << "123456789012345";
        QTest::newRow("16 digits") << 1234567890123456.0 << "1.23456789012346E15";
        QTest::newRow("binary noise") << 0.1 + 0.2 << "0.3";
        QTest::newRow("cents") << 1234.56 << "1234.56";
    }
    void generalNumber()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(::generalNumber(value), text);
    }
};

QTEST_GUILESS_MAIN(TestSqlText)
#include "tst_sqltext.moc"
