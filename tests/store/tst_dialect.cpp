#include "core/DateConventions.h"
#include "core/Error.h"
#include "store/DialectTranslator.h"
#include "store/SqlTokenizer.h"
#include "support/ErrorMessage.h"

#include <QTest>

namespace {

TableColumns ledgerColumns(const QString &table)
{
    for (const char *prefix : {"Income", "Payout"})
        if (table.compare(QLatin1String(prefix), Qt::CaseInsensitive) == 0) {
            const QString p = table.left(1).toUpper() + QLatin1Char('_');
            return {{p + QStringLiteral("No"), ColumnType::Integer, QStringLiteral("INTEGER"), 1},
                    {p + QStringLiteral("Date"), ColumnType::Date, QStringLiteral("DATE"), 0},
                    {p + QStringLiteral("Class"), ColumnType::Text, QStringLiteral("TEXT"), 0},
                    {p + QStringLiteral("Num"), ColumnType::Number, QStringLiteral("REAL"), 0},
                    {p + QStringLiteral("Desc"), ColumnType::Text, QStringLiteral("TEXT"), 0}};
        }
    return {};
}

QString translated(const QString &sql)
{
    return translateStatement(sql, ledgerColumns).sql;
}

QString failure(const QString &sql)
{
    return errorMessageOf([&] { translated(sql); });
}

} // namespace

class TestDialect : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { DateConventions::setSystem(DateConventions::standard()); }

    void tokenizerKeepsTheTextWhole()
    {
        const QString sql = QStringLiteral("Select [I_Date], \"x\"\"y\" From Income Where I_Desc='it''s #1' And I_Date = #2010-3-1# -- note\n");
        const SqlTokens tokens = tokenizeSql(sql);
        QCOMPARE(joinSql(tokens), sql);
        int strings = 0, dates = 0, quoted = 0;
        for (const SqlToken &t : tokens) {
            strings += t.kind == SqlToken::Kind::String;
            dates += t.kind == SqlToken::Kind::DateLiteral;
            quoted += t.kind == SqlToken::Kind::Quoted;
        }
        QCOMPARE(strings, 1); // the # inside the text is no date literal
        QCOMPARE(dates, 1);
        QCOMPARE(quoted, 2);
        QVERIFY_THROWS_EXCEPTION(Error, tokenizeSql(QStringLiteral("Select 'open")));
    }

    void blockCommentsHideQuotesAndDateMarks()
    {
        const QString sql = QStringLiteral("Select /* it's #1 */ * From Payout Where P_Date = #2010-3-1# /* open 'x");
        const SqlTokens tokens = tokenizeSql(sql);
        QCOMPARE(joinSql(tokens), sql);
        int strings = 0, dates = 0;
        for (const SqlToken &t : tokens) {
            strings += t.kind == SqlToken::Kind::String;
            dates += t.kind == SqlToken::Kind::DateLiteral;
        }
        QCOMPARE(strings, 0);
        QCOMPARE(dates, 1);
        QCOMPARE(translated(sql), QStringLiteral("Select /* it's #1 */ * From Payout Where P_Date = '2010-03-01' /* open 'x"));
        QCOMPARE(translated(QStringLiteral("Insert Into Payout(P_Date /* day */, P_Num) Values(/* it's */ '2010-3-5', 1)")),
                 QStringLiteral("Insert Into Payout(P_Date /* day */, P_Num) Values(/* it's */ '2010-03-05', 1)"));
    }

    void aNulCharacterIsRefused()
    {
        const QString sql = QStringLiteral("DELETE FROM Payout") + QChar(0) + QStringLiteral(" WHERE P_No=1");
        QVERIFY_THROWS_EXCEPTION(Error, tokenizeSql(sql));
        QVERIFY(failure(sql).contains(QLatin1String("NUL")));
    }

    void messagesQuoteAtMostAboutTwoHundredCharacters_data()
    {
        QTest::addColumn<QString>("sql");
        const QString tail(5000, QLatin1Char('x'));
        QTest::newRow("open text") << QStringLiteral("Select '") + tail;
        QTest::newRow("open name") << QStringLiteral("Select [") + tail;
        QTest::newRow("open date") << QStringLiteral("Select #") + tail;
        QTest::newRow("no such day") << QStringLiteral("Select #2010-2-30") + tail + QLatin1Char('#');
        QTest::newRow("stored date") << QStringLiteral("Insert Into Payout(P_Date) Values('") + tail + QStringLiteral("')");
        QTest::newRow("counter") << QStringLiteral("ALTER TABLE t ALTER COLUMN c COUNTER ") + tail;
        QTest::newRow("nul") << QStringLiteral("Select ") + QChar(0) + tail;
    }
    void messagesQuoteAtMostAboutTwoHundredCharacters()
    {
        QFETCH(QString, sql);
        const QString message = failure(sql);
        QVERIFY(!message.isEmpty());
        QVERIFY2(message.size() < 280, qPrintable(QString::number(message.size())));
    }

    void dateLiteralsBecomeIsoTexts_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("range") << "Where [P_Date] between #2010-03-1# And #2010-03-31# Order By P_No  Asc"
                               << "Where [P_Date] between '2010-03-01' And '2010-03-31' Order By P_No  Asc";
        QTest::newRow("day") << "Where I_Date = #2007-5-9#" << "Where I_Date = '2007-05-09'";
        QTest::newRow("leap") << "Where P_Date = #2008-02-29#" << "Where P_Date = '2008-02-29'";
    }
    void dateLiteralsBecomeIsoTexts()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(translated(sql), expected);
    }

    void impossibleDateLiteralsFailQuotingTheLiteral_data()
    {
        QTest::addColumn<QString>("literal");
        for (const char *literal : {"#2010-04-31#", "#2010-13-1#", "#2010-1-0#", "#0-1-1#", "#2010--1#", "#2010-x-1#", "##"})
            QTest::newRow(literal) << QString::fromLatin1(literal);
    }
    void impossibleDateLiteralsFailQuotingTheLiteral()
    {
        QFETCH(QString, literal);
        const QString message = failure(QStringLiteral("Select * From Payout Where P_Date = ") + literal);
        QVERIFY2(message.contains(literal), qPrintable(message));
    }

    void systemShortDateLiteralsAreRead()
    {
        DateConventions::setSystem(DateConventions(QStringLiteral("d/M/yyyy"), QLatin1Char('/'),
                                                   DateConventions::Order::DayMonthYear));
        QCOMPARE(translated(QStringLiteral("Where I_Date between #1/3/2010# And #2010-3-31#")),
                 QStringLiteral("Where I_Date between '2010-03-01' And '2010-03-31'"));
    }

    void datesStoredIntoDateColumnsAreConverted()
    {
        QCOMPARE(translated(QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-3-5','Food',12.5,'lunch')")),
                 QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-03-05','Food',12.5,'lunch')"));
        // Only the date column's value: a note that looks like a date stays as typed.
        QCOMPARE(translated(QStringLiteral("Insert Into Income(I_Date,I_Desc) Values('2010-3-5','2010-3-5')")),
                 QStringLiteral("Insert Into Income(I_Date,I_Desc) Values('2010-03-05','2010-3-5')"));
        QCOMPARE(failure(QStringLiteral("Insert Into Payout(P_Date,P_Class) Values('2010-2-30','Food')")),
                 QStringLiteral("'2010-2-30' is not a valid date"));
        QCOMPARE(translated(QStringLiteral("UPDATE payout SET P_Date='2010-3-5', P_Desc='x' WHERE P_No=1")),
                 QStringLiteral("UPDATE payout SET P_Date='2010-03-05', P_Desc='x' WHERE P_No=1"));
    }

    void inClauseNamesAnAttachedFile()
    {
        const TranslatedStatement t = translateStatement(
            QStringLiteral("INSERT INTO IncomeClass SELECT * FROM  IncomeClass IN '/old data/旧账本''s.257'"), ledgerColumns);
        QCOMPARE(t.sources.size(), 1);
        QCOMPARE(t.sources[0].file, QStringLiteral("/old data/旧账本's.257"));
        QCOMPARE(t.sources[0].table, QStringLiteral("IncomeClass"));
        QVERIFY2(t.sql.startsWith(QStringLiteral("INSERT INTO IncomeClass SELECT * FROM  ") + sourceSchema(0) + QStringLiteral(".\"IncomeClass\"")),
                 qPrintable(t.sql));
        QVERIFY(!t.sql.contains(QLatin1String(" IN ")));
        QCOMPARE(t.writtenTable, QStringLiteral("IncomeClass"));
        QVERIFY(t.insertSelect);
        QCOMPARE(t.insertSelect->table, QStringLiteral("IncomeClass"));
        QCOMPARE(t.insertSelect->select.trimmed(), QStringLiteral("SELECT * FROM  ") + sourceSchema(0) + QStringLiteral(".\"IncomeClass\""));
    }

    void inAfterAColumnIsNoFile_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("where") << QStringLiteral("Select * From IncomeClass Where IC_Name IN 'x'");
        QTest::newRow("select list") << QStringLiteral("Select IC_No, IC_Name IN 'x' From IncomeClass");
        QTest::newRow("join condition") << QStringLiteral("Select * From Income JOIN IncomeClass ON I_Class IN 'x'");
        QTest::newRow("having") << QStringLiteral("Select I_Class From Income Group By I_Class Having I_Class IN 'x'");
        QTest::newRow("subquery condition")
            << QStringLiteral("Select * From Income Where I_No IN (Select P_No From Payout Where P_Class IN 'x')");
        QTest::newRow("update") << QStringLiteral("UPDATE Payout SET P_Desc = 'y' WHERE P_Class IN 'x'");
    }

    void inAfterAColumnIsNoFile()
    {
        QFETCH(QString, sql);
        const TranslatedStatement t = translateStatement(sql, ledgerColumns);
        QVERIFY(t.sources.isEmpty());
        QCOMPARE(t.sql, sql);
    }

    void everyTableOfAFromListMayComeFromAFile()
    {
        QStringList asked;
        const TranslatedStatement t = translateStatement(
            QStringLiteral("Select * From Income IN 'a.257', (Select * From Payout IN 'b.257') q "
                           "Join IncomeClass IN 'a.257' On I_Class = IC_Name, [PayoutClass] IN 'c.257' "
                           "Where I_Class IN 'x'"),
            ledgerColumns, [&](const QString &file, const QString &table) {
                asked.append(file + QLatin1Char(':') + table);
                return QStringLiteral("s%1").arg(asked.size());
            });
        QCOMPARE(asked, (QStringList{QStringLiteral("a.257:Income"), QStringLiteral("b.257:Payout"),
                                     QStringLiteral("a.257:IncomeClass"), QStringLiteral("c.257:PayoutClass")}));
        QCOMPARE(t.sql.simplified(), QStringLiteral("Select * From s1.\"Income\" , (Select * From s2.\"Payout\" ) q "
                                                    "Join s3.\"IncomeClass\" On I_Class = IC_Name, s4.\"PayoutClass\" "
                                                    "Where I_Class IN 'x'"));
        QVERIFY(!t.insertSelect);
    }

    void distinctNamesItsColumn()
    {
        QCOMPARE(translated(QStringLiteral("Select Distinct(I_Class) From Income")),
                 QStringLiteral("Select Distinct I_Class From Income"));
    }

    void counterResetIsRecognised()
    {
        const TranslatedStatement t =
            translateStatement(QStringLiteral(" ALTER TABLE PayOutClass ALTER COLUMN PC_No COUNTER(1, 1)"), ledgerColumns);
        QVERIFY(t.counterReset);
        QCOMPARE(t.counterReset->table, QStringLiteral("PayOutClass"));
        QCOMPARE(t.counterReset->column, QStringLiteral("PC_No"));
        QCOMPARE(t.counterReset->seed, 1);
        const TranslatedStatement spaced =
            translateStatement(QStringLiteral("alter table [Income] alter column I_No counter ( 5 , 1 ) -- again"), ledgerColumns);
        QVERIFY(spaced.counterReset);
        QCOMPARE(spaced.counterReset->table, QStringLiteral("Income"));
        QCOMPARE(spaced.counterReset->seed, 5);
    }

    void counterTakesOnlyItsOneForm_data()
    {
        QTest::addColumn<QString>("sql");
        for (const char *sql : {"ALTER TABLE Income ALTER COLUMN I_No COUNTER garbage",
                                "ALTER TABLE Income ALTER COLUMN I_No COUNTER",
                                "ALTER TABLE Income ALTER COLUMN I_No COUNTER(1)",
                                "ALTER TABLE Income ALTER COLUMN I_No COUNTER(1, 1, 1)",
                                "ALTER TABLE Income ALTER COLUMN I_No COUNTER(1, 1) garbage",
                                "ALTER TABLE Income ALTER COLUMN I_No COUNTER(1, 1",
                                "ALTER TABLE Income ALTER I_No COUNTER(1, 1)",
                                "ALTER TABLE Income ALTER COLUMN I_No INTEGER",
                                "ALTER TABLE Income ALTER COLUMN I_No COUNTER(a, 1)",
                                "ALTER TABLE Income ALTER COLUMN I_No COUNTER(-1, 1)",
                                "ALTER TABLE Income ALTER COLUMN I_No COUNTER(0, 1)",
                                "ALTER TABLE Income ALTER COLUMN I_No COUNTER(1.5, 1)",
                                "ALTER TABLE Income ALTER COLUMN I_No COUNTER(1, 2)",
                                "ALTER TABLE Income ALTER COLUMN I_No COUNTER(99999999999999999999, 1)"})
            QTest::newRow(sql) << QString::fromLatin1(sql);
    }
    void counterTakesOnlyItsOneForm()
    {
        QFETCH(QString, sql);
        QVERIFY(!failure(sql).isEmpty());
    }

    void writtenTableIsKnown()
    {
        QCOMPARE(translateStatement(QStringLiteral("DELETE FROM AllCount"), ledgerColumns).writtenTable, QStringLiteral("AllCount"));
        QCOMPARE(translateStatement(QStringLiteral("Select * From AllCount"), ledgerColumns).writtenTable, QString());
    }
};

QTEST_GUILESS_MAIN(TestDialect)
#include "tst_dialect.moc"
