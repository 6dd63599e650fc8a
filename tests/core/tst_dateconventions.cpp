#include "core/DateConventions.h"
#include "core/Error.h"
#include "support/ErrorMessage.h"

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

    // Each message quotes the text, a long one cut with "…" where a line
    // could not break within 30 characters, or after 200.
    void conversionMessagesQuoteTheText_data()
    {
        QTest::addColumn<QString>("conversion");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString nines(400, QLatin1Char('9'));
        const QString words = QStringLiteral("ab ").repeated(100);
        const QString chinese = QStringLiteral("年月日").repeated(100);
        QTest::newRow("date") << "date" << "2010-13-01" << "'2010-13-01' is not a valid date";
        QTest::newRow("date and time") << "date and time" << "2010-13-1" << "'2010-13-1' is not a valid date and time";
        QTest::newRow("empty") << "integer" << "" << "'' is not a valid integer value";
        QTest::newRow("long date") << "date" << nines << "'" + nines.left(30) + "…' is not a valid date";
        // Where a line may break is the toolkit's rule: not between numbers.
        QTest::newRow("long date and time") << "date and time" << "2010-1-1 " + nines
                                            << "'" + ("2010-1-1 " + nines).left(30) + "…' is not a valid date and time";
        QTest::newRow("long integer") << "integer" << nines << "'" + nines.left(30) + "…' is not a valid integer value";
        QTest::newRow("many short words") << "integer" << words << "'" + words.left(200) + "…' is not a valid integer value";
        QTest::newRow("Chinese breaks anywhere") << "integer" << chinese
                                                 << "'" + chinese.left(200) + "…' is not a valid integer value";
    }
    void conversionMessagesQuoteTheText()
    {
        QFETCH(QString, conversion);
        QFETCH(QString, text);
        QFETCH(QString, message);
        const DateConventions &system = DateConventions::system();
        const std::function<void()> convert = conversion == QLatin1String("date") ? std::function<void()>([&] { system.toDate(text); })
            : conversion == QLatin1String("date and time")                        ? std::function<void()>([&] { system.toDateTime(text); })
                                                                                   : std::function<void()>([&] { textToInt(text); });
        QCOMPARE(errorMessageOf(convert), message);
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
