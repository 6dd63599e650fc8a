#include "platform/DateConventions.h"
#include "platform/Error.h"

#include <QTest>

class TestDateConventions : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { DateConventions::setSystem(DateConventions::standard()); }

    void standardFormatPrintsWithoutLeadingZeros()
    {
        QCOMPARE(DateConventions::system().format(QDate(2010, 3, 10)), QStringLiteral("2010-3-10"));
        QCOMPARE(DateConventions::system().format(QDate(2007, 12, 1)), QStringLiteral("2007-12-1"));
    }

    void readsDates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("padded") << "2010-03-09" << QDate(2010, 3, 9);
        QTest::newRow("bare") << "2007-5-9" << QDate(2007, 5, 9);
        QTest::newRow("mixed") << "2010-03-1" << QDate(2010, 3, 1);
        QTest::newRow("leap day") << "2008-02-29" << QDate(2008, 2, 29);
        QTest::newRow("no leap day") << "2007-02-29" << QDate();
        QTest::newRow("month 13") << "2010-13-01" << QDate();
        QTest::newRow("day 0") << "2010-1-0" << QDate();
        QTest::newRow("year 0") << "0-1-1" << QDate();
        QTest::newRow("empty part") << "2010--1" << QDate();
        QTest::newRow("letters") << "2010-a-1" << QDate();
        QTest::newRow("two parts") << "2010-1" << QDate();
    }
    void readsDates()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        const auto read = DateConventions::system().tryRead(text);
        QCOMPARE(read.value_or(QDate()), date);
    }

    void conversionMessagesQuoteTheText()
    {
        try {
            DateConventions::system().toDate(QStringLiteral("2010-13-01"));
            QFAIL("no error");
        } catch (const Error &e) {
            QCOMPARE(e.message(), QStringLiteral("'2010-13-01' is not a valid date"));
        }
        try {
            DateConventions::system().toDateTime(QStringLiteral("2010-13-1"));
            QFAIL("no error");
        } catch (const Error &e) {
            QCOMPARE(e.message(), QStringLiteral("'2010-13-1' is not a valid date and time"));
        }
        try {
            textToInt(QString());
            QFAIL("no error");
        } catch (const Error &e) {
            QCOMPARE(e.message(), QStringLiteral("'' is not a valid integer value"));
        }
    }

    void dateTimeAcceptsAnOptionalTime()
    {
        QCOMPARE(DateConventions::system().toDateTime(QStringLiteral("2010-3-1")), QDateTime(QDate(2010, 3, 1), QTime(0, 0)));
        QCOMPARE(DateConventions::system().toDateTime(QStringLiteral("2010-3-1 13:45:10")),
                 QDateTime(QDate(2010, 3, 1), QTime(13, 45, 10)));
    }

    void otherConventionsRefuseYearMonthDay()
    {
        DateConventions::setSystem(DateConventions(QStringLiteral("d/M/yyyy"), QLatin1Char('/'),
                                                   DateConventions::Order::DayMonthYear));
        QCOMPARE(DateConventions::system().format(QDate(2010, 3, 10)), QStringLiteral("10/3/2010"));
        QCOMPARE(DateConventions::system().tryRead(QStringLiteral("10/3/2010")).value_or(QDate()), QDate(2010, 3, 10));
        QVERIFY(!DateConventions::system().tryRead(QStringLiteral("2010-3-10")));
        QVERIFY_THROWS_EXCEPTION(Error, DateConventions::system().toDate(QStringLiteral("2010-3-01")));
    }

    void integers()
    {
        QCOMPARE(textToInt(QStringLiteral("09")), 9);
        QCOMPARE(textToInt(QStringLiteral("2011")), 2011);
        QVERIFY_THROWS_EXCEPTION(Error, textToInt(QStringLiteral("99999999999")));
        QVERIFY_THROWS_EXCEPTION(Error, textToInt(QStringLiteral("1a")));
    }
};

QTEST_GUILESS_MAIN(TestDateConventions)
#include "tst_dateconventions.moc"
