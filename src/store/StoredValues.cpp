#include "StoredValues.h"

#include "SqlText.h"
#include "Statement.h"
#include "core/Error.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace {

using Value = Database::Value;

QString shownValue(const Value &value)
{
    if (value.type() == Value::Type::Null)
        return QStringLiteral("Null");
    const bool isText = value.type() == Value::Type::Text;
    const QString text = excerpt(value.text());
    return isText ? sqlQuoted(text) : text;
}

bool isFiniteNumber(Value &value)
{
    // The same reading that the column's affinity gives the value on storing.
    switch (value.numericType()) {
    case Value::Type::Null:
    case Value::Type::Integer:
        return true;
    case Value::Type::Real:
        return std::isfinite(value.real());
    default:
        return false;
    }
}

bool isIsoDay(const Value &value)
{
    if (value.type() == Value::Type::Null)
        return true;
    if (value.type() != Value::Type::Text)
        return false;
    static const QRegularExpression iso(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    const QString text = value.text();
    return iso.match(text).hasMatch() && QDate::fromString(text, Qt::ISODate).isValid();
}

// lumibran_stored_number(column, value) and lumibran_stored_day(column, value).
template<ColumnType type>
std::optional<QString> checkStored(Value column, Value value)
{
    const bool valid = type == ColumnType::Date ? isIsoDay(value) : isFiniteNumber(value);
    if (valid)
        return std::nullopt;
    return refusedValueMessage(type, column.text(), shownValue(value));
}

const char *checkFunction(ColumnType type)
{
    return type == ColumnType::Date ? "lumibran_stored_day" : "lumibran_stored_number";
}

} // namespace

QString refusedValueMessage(ColumnType type, const QString &column, const QString &value)
{
    if (type == ColumnType::Date)
        return QStringLiteral("无效的日期：%1 列只存 YYYY-MM-DD 形式的真实日期，不能存入 %2").arg(column, value);
    return QStringLiteral("无效的数值：%1 列只存有限的数字，不能存入 %2").arg(column, value);
}

void guardStoredValues(Database &db, const QString &table, const TableColumns &columns)
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
    db.addCheck(checkFunction(ColumnType::Date), checkStored<ColumnType::Date>);
    db.addCheck(checkFunction(ColumnType::Number), checkStored<ColumnType::Number>);
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
