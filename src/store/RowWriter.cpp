#include "RowWriter.h"

#include "Connection.h"
#include "SqlText.h"
#include "core/Error.h"

#include <QStringList>
#include <algorithm>

namespace {

// A stale edit stays in its row until the user gives it up: a refresh alone
// would try to save it again.
Error staleEdit()
{
    return Error(QStringLiteral("这条记录在显示之后已被修改或删除，修改没有保存，请按 Esc 放弃修改后再刷新"));
}

Error staleDelete()
{
    return Error(QStringLiteral("这条记录在显示之后已被修改或删除，没有删除，请刷新后再试"));
}

} // namespace

QString RowWriter::sourceTable(const std::vector<RowSetField> &fields)
{
    if (fields.empty())
        return QString();
    const QString table = fields.front().table;
    for (const RowSetField &field : fields)
        if (field.table.isEmpty() || field.table != table)
            return QString();
    return table;
}

int RowWriter::keyFieldOf(Connection &connection, const std::vector<RowSetField> &fields)
{
    const QString table = sourceTable(fields);
    if (table.isEmpty() || !connection.connected())
        return -1;
    const TableColumns columns = connection.columnsOf(table);
    for (size_t i = 0; i < fields.size(); ++i) {
        const auto described = std::find_if(columns.begin(), columns.end(), [&](const TableColumn &column) {
            return column.name.compare(fields[i].column, Qt::CaseInsensitive) == 0;
        });
        if (described != columns.end() && described->primaryKeyPart > 0 && described->type == ColumnType::Integer)
            return int(i);
    }
    return -1;
}

RowWriter::RowWriter(Connection &connection, const std::vector<RowSetField> &fields, int keyField)
    : m_connection(connection), m_fields(fields), m_keyField(keyField), m_table(sourceTable(fields))
{
}

QString RowWriter::rowAsReadCondition() const
{
    QStringList tests;
    for (const RowSetField &field : m_fields)
        tests.append(sqlQuotedName(field.column) + QStringLiteral(" IS ?"));
    return tests.join(QStringLiteral(" AND "));
}

int RowWriter::bindRowAsRead(Statement &statement, int firstIndex, const RowStore &rows, int row) const
{
    for (size_t f = 0; f < m_fields.size(); ++f)
        statement.bind(firstIndex++, rows.value(row, int(f)));
    return firstIndex;
}

void RowWriter::requireAsRead(const RowStore &rows, int row)
{
    Statement find(m_connection.database(),
                   QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(sqlQuotedName(m_table), rowAsReadCondition()));
    bindRowAsRead(find, 1, rows, row);
    if (!find.step() || find.value(0).toLongLong() == 0)
        throw staleDelete();
}

QVariant RowWriter::insert(const Values &values)
{
    QVariant key;
    m_connection.writeTo(m_table, [&] {
        QStringList columns, marks;
        for (const auto &[field, value] : values) {
            columns.append(sqlQuotedName(m_fields[size_t(field)].column));
            marks.append(QStringLiteral("?"));
        }
        const QString sql = values.empty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(sqlQuotedName(m_table))
            : QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                  .arg(sqlQuotedName(m_table), columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        Statement insert(m_connection.database(), sql);
        for (size_t i = 0; i < values.size(); ++i)
            insert.bind(int(i) + 1, values[i].second);
        insert.run();
        key = m_connection.lastInsertRowId();
    });
    return key;
}

QVariant RowWriter::update(const RowStore &rows, int row, const Values &values)
{
    QVariant key = rows.value(row, m_keyField);
    m_connection.writeTo(m_table, [&] {
        if (values.empty())
            return;
        QStringList assignments;
        for (const auto &[field, value] : values)
            assignments.append(sqlQuotedName(m_fields[size_t(field)].column) + QStringLiteral("=?"));
        Statement update(m_connection.database(),
                         QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                             .arg(sqlQuotedName(m_table), assignments.join(QLatin1Char(',')), rowAsReadCondition()));
        int index = 1;
        for (const auto &[field, value] : values)
            update.bind(index++, value);
        bindRowAsRead(update, index, rows, row);
        update.run();
        if (update.changes() == 0)
            throw staleEdit();
        for (const auto &[field, value] : values)
            if (field == m_keyField)
                key = value;
    });
    return key;
}

void RowWriter::remove(const RowStore &rows, int row)
{
    m_connection.writeTo(m_table, [&] {
        Statement remove(m_connection.database(),
                         QStringLiteral("DELETE FROM %1 WHERE %2").arg(sqlQuotedName(m_table), rowAsReadCondition()));
        bindRowAsRead(remove, 1, rows, row);
        remove.run();
        if (remove.changes() == 0)
            throw staleDelete();
    });
}

void RowWriter::reread(const QVariant &key, RowStore &rows, int row)
{
    QStringList columns;
    for (const RowSetField &field : m_fields)
        columns.append(sqlQuotedName(field.column));
    Statement reread(m_connection.database(),
                     QStringLiteral("SELECT %1 FROM %2 WHERE %3=?")
                         .arg(columns.join(QLatin1Char(',')), sqlQuotedName(m_table),
                              sqlQuotedName(m_fields[size_t(m_keyField)].column)));
    reread.bind(1, key);
    if (reread.step())
        for (size_t f = 0; f < m_fields.size(); ++f)
            rows.setValue(row, int(f), reread.value(int(f)));
}
