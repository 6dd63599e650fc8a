#include "Query.h"

#include "Connection.h"
#include "FieldText.h"
#include "RowWriter.h"
#include "core/Error.h"

#include <algorithm>

Query::Query(QString name, QObject *parent) : QObject(parent), m_name(std::move(name))
{
}

Query::~Query() = default;

void Query::addSql(const QString &line)
{
    if (!m_sql.isEmpty())
        m_sql += QLatin1Char('\n');
    m_sql += line;
}

void Query::requireOpen() const
{
    if (m_state == State::Inactive)
        throw Error(QStringLiteral("数据集已关闭，不能执行这个操作：%1").arg(m_name));
}

Connection &Query::connectionForUse()
{
    if (!m_connection)
        throw Error(QStringLiteral("数据集没有连接：%1").arg(m_name));
    m_connection->open();
    return *m_connection;
}

void Query::readRows()
{
    RowSetRead read = readRowSet(connectionForUse(), m_sql);
    const int keyField = RowWriter::keyFieldOf(*m_connection, read.fields);
    emit aboutToReset();
    m_fields = std::move(read.fields);
    replaceRows(m_rows, std::move(read.rows));
    m_keyField = keyField;
}

void Query::open()
{
    if (isOpen())
        return;
    readRows();
    m_sort = SortExpression();
    m_pending.clear();
    m_state = State::Browse;
    m_current = isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = isEmpty();
    emit reset();
    emit stateChanged();
    emit currentChanged(m_current);
}

void Query::close()
{
    if (!isOpen())
        return;
    emit aboutToReset();
    m_state = State::Inactive;
    m_fields.clear();
    replaceRows(m_rows, RowStore());
    m_pending.clear();
    m_sort = SortExpression();
    m_keyField = -1;
    m_current = -1;
    m_bof = m_eof = true;
    emit reset();
    emit stateChanged();
    emit currentChanged(m_current);
}

void Query::execSQL()
{
    connectionForUse().execute(m_sql);
}

void Query::refresh()
{
    requireOpen();
    checkBrowseMode();
    const QVariant key = (m_keyField >= 0 && m_current >= 0) ? m_rows.value(m_current, m_keyField) : QVariant();
    const int oldCurrent = m_current;
    readRows();
    applySort();
    m_current = isEmpty() ? -1 : std::min(std::max(oldCurrent, 0), recordCount() - 1);
    if (!key.isNull()) {
        const int row = m_rows.lastRowWith(m_keyField, key);
        if (row >= 0)
            m_current = row;
    }
    m_bof = m_current <= 0;
    m_eof = isEmpty();
    emit reset();
    emit currentChanged(m_current);
}

void Query::setCurrent(int row)
{
    if (row == m_current)
        return;
    m_current = row;
    emit currentChanged(row);
}

void Query::first()
{
    requireOpen();
    checkBrowseMode();
    setCurrent(isEmpty() ? -1 : 0);
    m_bof = true;
    m_eof = isEmpty();
}

void Query::next()
{
    requireOpen();
    checkBrowseMode();
    if (m_current + 1 < recordCount()) {
        setCurrent(m_current + 1);
        m_bof = false;
        m_eof = false;
    } else {
        m_eof = true;
    }
}

void Query::prior()
{
    requireOpen();
    checkBrowseMode();
    if (m_current > 0) {
        setCurrent(m_current - 1);
        m_bof = false;
        m_eof = false;
    } else {
        m_bof = true;
    }
}

void Query::moveTo(int row)
{
    requireOpen();
    if (row == m_current)
        return;
    const int countBefore = recordCount();
    const int leaving = m_current;
    checkBrowseMode();
    // Dropping an unchanged new row above the target shifts the target up.
    if (recordCount() < countBefore && leaving < row)
        --row;
    if (row < 0 || row >= recordCount())
        return;
    setCurrent(row);
    m_bof = row == 0;
    m_eof = false;
}

int Query::requireField(const QString &name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        throw Error(QStringLiteral("找不到字段 %1：%2").arg(name, m_name));
    return index;
}

int Query::fieldIndex(const QString &name) const
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QStringList Query::fieldNames() const
{
    QStringList names;
    for (const RowSetField &field : m_fields)
        names.append(field.name);
    return names;
}

QVariant Query::fieldValue(const QString &name) const
{
    const int field = requireField(name);
    if (m_current < 0)
        return QVariant();
    if (const QString *typed = m_pending.typed(field))
        return ::fieldValue(*typed, m_fields[size_t(field)].kind);
    return m_rows.value(m_current, field);
}

QString Query::fieldText(const QString &name) const
{
    const int field = requireField(name);
    return m_current < 0 ? QString() : textAt(m_current, field);
}

double Query::fieldFloat(const QString &name) const
{
    return fieldNumber(fieldValue(name));
}

QString Query::textAt(int row, int field) const
{
    if (const QString *typed = row == m_current ? m_pending.typed(field) : nullptr)
        return *typed;
    return ::fieldText(m_rows.value(row, field), m_fields[size_t(field)].kind);
}

void Query::setSort(const QString &expression)
{
    requireOpen();
    checkBrowseMode();
    SortExpression sort(expression, m_name, [this](const QString &field) { return requireField(field); });
    emit aboutToReset();
    m_sort = std::move(sort);
    applySort();
    emit reset();
    emit currentChanged(m_current);
}

void Query::applySort()
{
    m_current = m_rows.sort(m_sort.keys([this](const QString &field) { return fieldIndex(field); }), m_current);
}
