#include "LedgerSchema.h"

#include "core/Error.h"
#include "store/Statement.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <memory>

namespace {

// Days are ISO texts of real days and amounts finite numbers, or null, also
// for writers other than this program (the engine checks older ledgers itself).
QString day(const char *column)
{
    return QStringLiteral("%1 DATE CHECK (%1 IS NULL OR (typeof(%1) = 'text' AND %1 >= '0001' AND date(%1, '+0 days') IS %1))")
        .arg(QLatin1String(column));
}

QString number(const char *column)
{
    return QStringLiteral("%1 REAL CHECK (%1 IS NULL OR %1 BETWEEN -1.7976931348623157e308 AND 1.7976931348623157e308)")
        .arg(QLatin1String(column));
}

QStringList schema()
{
    return {
        QStringLiteral("CREATE TABLE Income (I_No INTEGER PRIMARY KEY AUTOINCREMENT, %1, I_Class TEXT, %2, I_Desc TEXT)")
            .arg(day("I_Date"), number("I_Num")),
        QStringLiteral("CREATE TABLE Payout (P_No INTEGER PRIMARY KEY AUTOINCREMENT, %1, P_Class TEXT, %2, P_Desc TEXT)")
            .arg(day("P_Date"), number("P_Num")),
        QStringLiteral("CREATE TABLE IncomeClass (IC_No INTEGER PRIMARY KEY AUTOINCREMENT, IC_Name TEXT)"),
        QStringLiteral("CREATE TABLE PayoutClass (PC_No INTEGER PRIMARY KEY AUTOINCREMENT, PC_Name TEXT)"),
        QStringLiteral("CREATE TABLE IncomeStatistic (IS_No INTEGER PRIMARY KEY AUTOINCREMENT, IS_I_Class TEXT, %1)")
            .arg(number("IS_I_Count")),
        QStringLiteral("CREATE TABLE PayoutStatistic (PS_No INTEGER PRIMARY KEY AUTOINCREMENT, PS_P_Class TEXT, %1)")
            .arg(number("PS_P_Count")),
        QStringLiteral("CREATE TABLE AllCount (AC_No INTEGER PRIMARY KEY AUTOINCREMENT, %1, %2, %3)")
            .arg(number("AC_I_Count"), number("AC_P_Count"), number("AC_Net_Count")),
        // A period's lists and sums read only the days of the period. A
        // category's sum is read from its index alone, without a visit to each
        // record. The day index keeps the days alone, so that the categories of
        // a period still come in the order of their first record.
        QStringLiteral("CREATE INDEX Income_Date ON Income(I_Date)"),
        QStringLiteral("CREATE INDEX Income_Class_Date ON Income(I_Class, I_Date, I_Num)"),
        QStringLiteral("CREATE INDEX Payout_Date ON Payout(P_Date)"),
        QStringLiteral("CREATE INDEX Payout_Class_Date ON Payout(P_Class, P_Date, P_Num)"),
    };
}

// Listed lowest number first, so that the first name gets the lowest number.
const char *const incomeCategories[] = {"工资", "奖金", "投资收益", "其他收入"};
const char *const payoutCategories[] = {"餐饮", "交通", "购物", "住房", "医疗", "娱乐", "其他支出"};

} // namespace

void createLedgerFile(const QString &path, bool withCategories)
{
    if (QFileInfo::exists(path))
        throw Error(QStringLiteral("'%1' exists already; a new ledger is never written over a file").arg(path));
    Database db;
    try {
        db = openDatabase(path, Database::ReadWrite | Database::Create | Database::Exclusive);
    } catch (const Error &e) {
        throw Error(QStringLiteral("Cannot create '%1': %2").arg(path, e.message()), e.resultCode());
    }
    try {
        Statement(db, QStringLiteral("PRAGMA journal_mode=WAL")).run();
        Statement(db, QStringLiteral("BEGIN")).run();
        for (const QString &sql : schema())
            Statement(db, sql).run();
        if (withCategories) {
            for (const char *name : incomeCategories) {
                Statement insert(db, QStringLiteral("INSERT INTO IncomeClass(IC_Name) VALUES(?)"));
                insert.bind(1, QString::fromUtf8(name));
                insert.run();
            }
            for (const char *name : payoutCategories) {
                Statement insert(db, QStringLiteral("INSERT INTO PayoutClass(PC_Name) VALUES(?)"));
                insert.bind(1, QString::fromUtf8(name));
                insert.run();
            }
        }
        Statement(db, QStringLiteral("COMMIT")).run();
    } catch (...) {
        db = Database();
        QFile::remove(path);
        throw;
    }
}
