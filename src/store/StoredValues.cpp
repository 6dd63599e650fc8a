#include "StoredValues.h"

#include "SqlText.h"
#include "Statement.h"
#include "platform/Error.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <sqlite3.h>

namespace {

QString shownValue(sqlite3_value *value)
{
    if (sqlite3_value_type(value) == SQLITE_NULL)
        return QStringLiteral("Null");
    const bool isText = sqlite3_value_type(value) == SQLITE_TEXT;
    const QString text = excerpt(
        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(value)), sqlite3_value_bytes(value)));
    return isText ? sqlQuoted(text) : text;
}

bool isFiniteNumber(sqlite3_value *value)
{
    // The same reading that the column's affinity gives the value on storing.
    switch (sqlite3_value_numeric_type(value)) {
    case SQLITE_NULL:
    case SQLITE_INTEGER:
        return true;
    case SQLITE_FLOAT:
        return std::isfinite(sqlite3_value_double(value));
    default:
        return false;
    }
}

bool isIsoDay(sqlite3_value *value)
{
    if (sqlite3_value_type(value) == SQLITE_NULL)
        return true;
    if (sqlite3_value_type(value) != SQLITE_TEXT)
        return false;
    static const QRegularExpression iso(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(value)));
    return iso.match(text).hasMatch() && QDate::fromString(text, Qt::ISODate).isValid();
}

// lumibran_stored_number(column, value) and lumibran_stored_day(column, value):
// null when the value may be stored, an error that ends the statement otherwise.
template<ColumnType type>
void checkStored(sqlite3_context *context, int, sqlite3_value **args)
{
    const bool valid = type == ColumnType::Date ? isIsoDay(args[1]) : isFiniteNumber(args[1]);
    if (valid) {
        sqlite3_result_null(context);
        return;
    }
    const QString column = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(args[0])));
    const QByteArray message = refusedValueMessage(type, column, shownValue(args[1])).toUtf8();
    sqlite3_result_error(context, message.constData(), int(message.size()));
    sqlite3_result_error_code(context, SQLITE_CONSTRAINT_FUNCTION);
}

const char *checkFunction(ColumnType type)
{
    return type == ColumnType::Date ? "lumibran_stored_day" : "lumibran_stored_number";
}

void registerChecks(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    if (sqlite3_create_function_v2(db, checkFunction(ColumnType::Date), 2, flags, nullptr,
                                   checkStored<ColumnType::Date>, nullptr, nullptr, nullptr)
            != SQLITE_OK
        || sqlite3_create_function_v2(db, checkFunction(ColumnType::Number), 2, flags, nullptr,
                                      checkStored<ColumnType::Number>, nullptr, nullptr, nullptr)
            != SQLITE_OK)
        raiseSqliteError(db, QStringLiteral("无法安装数值和日期的检查"));
}

} // namespace

QString refusedValueMessage(ColumnType type, const QString &column, const QString &value)
{
    if (type == ColumnType::Date)
        return QStringLiteral("无效的日期：%1 列只存 YYYY-MM-DD 形式的真实日期，不能存入 %2").arg(column, value);
    return QStringLiteral("无效的数值：%1 列只存有限的数字，不能存入 %2").arg(column, value);
}

void guardStoredValues(sqlite3 *db, const QString &table, const TableColumns &columns)
{
    QStringList checks, checkedColumns;
    for (const TableColumn &column : columns) {
        if (column.type != ColumnType::Date && column.type != ColumnType::Number)
            continue;
        checks.append(QStringLiteral("%1(%2, NEW.%3)")
                          .arg(QLatin1String(checkFunction(column.type)), sqlQuoted(column.name), sqlQuotedName(column.name)));
        checkedColumns.append(sqlQuotedName(column.name));
    }
    if (checks.isEmpty())
        return;
    registerChecks(db);
    const QString body = QStringLiteral(" BEGIN SELECT ") + checks.join(QStringLiteral(", ")) + QStringLiteral("; END");
    const QString target = QStringLiteral("main.") + sqlQuotedName(table);
    Statement(db, QStringLiteral("CREATE TEMP TRIGGER %1 BEFORE INSERT ON %2")
                      .arg(sqlQuotedName(QStringLiteral("lumibran_insert_") + table), target) + body)
        .run();
    Statement(db, QStringLiteral("CREATE TEMP TRIGGER %1 BEFORE UPDATE OF %2 ON %3")
                      .arg(sqlQuotedName(QStringLiteral("lumibran_update_") + table), checkedColumns.join(QLatin1Char(',')), target)
                  + body)
        .run();
}
