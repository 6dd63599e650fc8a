#include "LedgerSchema.h"

#include "platform/Error.h"
#include "store/Statement.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <memory>
#include <sqlite3.h>

namespace {

const char *const schema[] = {
    "CREATE TABLE Income (I_No INTEGER PRIMARY KEY AUTOINCREMENT, I_Date DATE, I_Class TEXT, I_Num REAL, I_Desc TEXT)",
    "CREATE TABLE Payout (P_No INTEGER PRIMARY KEY AUTOINCREMENT, P_Date DATE, P_Class TEXT, P_Num REAL, P_Desc TEXT)",
    "CREATE TABLE IncomeClass (IC_No INTEGER PRIMARY KEY AUTOINCREMENT, IC_Name TEXT)",
    "CREATE TABLE PayoutClass (PC_No INTEGER PRIMARY KEY AUTOINCREMENT, PC_Name TEXT)",
    "CREATE TABLE IncomeStatistic (IS_No INTEGER PRIMARY KEY AUTOINCREMENT, IS_I_Class TEXT, IS_I_Count REAL)",
    "CREATE TABLE PayoutStatistic (PS_No INTEGER PRIMARY KEY AUTOINCREMENT, PS_P_Class TEXT, PS_P_Count REAL)",
    "CREATE TABLE AllCount (AC_No INTEGER PRIMARY KEY AUTOINCREMENT, AC_I_Count REAL, AC_P_Count REAL, AC_Net_Count REAL)",
    // A period's lists and sums read only the days of the period.
    "CREATE INDEX Income_Date ON Income(I_Date)",
    "CREATE INDEX Income_Class_Date ON Income(I_Class, I_Date)",
    "CREATE INDEX Payout_Date ON Payout(P_Date)",
    "CREATE INDEX Payout_Class_Date ON Payout(P_Class, P_Date)",
};

// Listed lowest number first, so that the first name gets the lowest number.
const char *const incomeCategories[] = {"工资", "奖金", "投资收益", "其他收入"};
const char *const payoutCategories[] = {"餐饮", "交通", "购物", "住房", "医疗", "娱乐", "其他支出"};

} // namespace

void createLedgerFile(const QString &path, bool withCategories)
{
    if (QFileInfo::exists(path))
        throw Error(QStringLiteral("'%1' exists already; a new ledger is never written over a file").arg(path));
    sqlite3 *raw = nullptr;
    const QByteArray utf8 = path.toUtf8();
    const int rc = sqlite3_open_v2(utf8.constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK)
        throw Error(QStringLiteral("Cannot create '%1': %2").arg(path, QString::fromUtf8(sqlite3_errstr(rc))));
    try {
        Statement(raw, QStringLiteral("PRAGMA journal_mode=WAL")).run();
        Statement(raw, QStringLiteral("BEGIN")).run();
        for (const char *sql : schema)
            Statement(raw, QString::fromLatin1(sql)).run();
        if (withCategories) {
            for (const char *name : incomeCategories) {
                Statement insert(raw, QStringLiteral("INSERT INTO IncomeClass(IC_Name) VALUES(?)"));
                insert.bind(1, QString::fromUtf8(name));
                insert.run();
            }
            for (const char *name : payoutCategories) {
                Statement insert(raw, QStringLiteral("INSERT INTO PayoutClass(PC_Name) VALUES(?)"));
                insert.bind(1, QString::fromUtf8(name));
                insert.run();
            }
        }
        Statement(raw, QStringLiteral("COMMIT")).run();
    } catch (...) {
        db.reset();
        QFile::remove(path);
        throw;
    }
}
