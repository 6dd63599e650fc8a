#include "Query.h"

#include "Connection.h"
#include "DialectTranslator.h"
#include "SqlText.h"
#include "platform/DateConventions.h"
#include "platform/Error.h"

#include <QDate>
#include <algorithm>
#include <cmath>
#include <sqlite3.h>

namespace {

// Null, then numbers, then texts, as SQLite orders mixed values.
int typeRank(const QVariant &value)
{
    if (value.isNull())
        return 0;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong)
        return std::isnan(value.toDouble()) ? 2 : 1;
    return 3;
}

template<typename T>
int sign(T a, T b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Exact, where converting the whole number to a double would round it.
int compareWholeWithDouble(qint64 whole, double d)
{
    constexpr double twoTo63 = 9223372036854775808.0;
    if (d >= twoTo63)
        return -1;
    if (d < -twoTo63)
        return 1;
    const double floor = std::floor(d);
    const int c = sign(whole, qint64(floor));
    return c != 0 ? c : (floor < d ? -1 : 0);
}

int compareNumbers(const QVariant &a, const QVariant &b)
{
    const bool wholeA = a.typeId() == QMetaType::LongLong, wholeB = b.typeId() == QMetaType::LongLong;
    if (wholeA && wholeB)
        return sign(a.toLongLong(), b.toLongLong());
    if (wholeA)
        return compareWholeWithDouble(a.toLongLong(), b.toDouble());
    if (wholeB)
        return -compareWholeWithDouble(b.toLongLong(), a.toDouble());
    return sign(a.toDouble(), b.toDouble());
}

} // namespace

int Query::compareValues(const QVariant &a, const QVariant &b)
{
    const int rankA = typeRank(a), rankB = typeRank(b);
    if (rankA != rankB)
        return rankA < rankB ? -1 : 1;
    if (rankA == 1)
        return compareNumbers(a, b);
    if (rankA == 3)
        return a.toString().compare(b.toString());
    return 0;
}

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
    for (const Field &field : m_fields)
        names.append(field.name);
    return names;
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
    std::vector<Field> fields;
    std::vector<Row> rows;
    connectionForUse().query(m_sql, [&](Statement &statement) {
        sqlite3_stmt *stmt = statement.handle();
        const int columns = statement.columnCount();
        for (int c = 0; c < columns; ++c) {
            Field field;
            field.name = QString::fromUtf8(sqlite3_column_name(stmt, c));
            const char *table = sqlite3_column_table_name(stmt, c);
            const char *origin = sqlite3_column_origin_name(stmt, c);
            const char *database = sqlite3_column_database_name(stmt, c);
            if (table && origin && database && qstrcmp(database, "main") == 0) {
                field.table = QString::fromUtf8(table);
                field.column = QString::fromUtf8(origin);
            }
            field.kind = columnTypeOf(QString::fromLatin1(sqlite3_column_decltype(stmt, c)));
            fields.push_back(field);
        }
        while (statement.step()) {
            Row row(static_cast<size_t>(columns));
            for (int c = 0; c < columns; ++c)
                row[size_t(c)] = statement.value(c);
            rows.push_back(std::move(row));
        }
    });
    // An expression column takes its kind from the values it holds.
    for (size_t c = 0; c < fields.size(); ++c) {
        if (!fields[c].column.isEmpty() || fields[c].kind != FieldKind::Text)
            continue;
        bool sawReal = false, sawInteger = false, sawText = false;
        for (const Row &row : rows) {
            sawReal |= row[c].typeId() == QMetaType::Double;
            sawInteger |= row[c].typeId() == QMetaType::LongLong;
            sawText |= row[c].typeId() == QMetaType::QString;
        }
        if (!sawText && sawReal)
            fields[c].kind = FieldKind::Number;
        else if (!sawText && sawInteger)
            fields[c].kind = FieldKind::Integer;
    }
    m_fields = std::move(fields);
    m_rows = std::move(rows);
    findKey();
}

void Query::findKey()
{
    m_keyField = -1;
    if (m_fields.empty() || !m_connection || !m_connection->connected())
        return;
    const QString table = m_fields.front().table;
    for (const Field &field : m_fields)
        if (field.table.isEmpty() || field.table != table)
            return;
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const char *type = nullptr;
        int notNull = 0, primaryKey = 0, autoIncrement = 0;
        const QByteArray t = table.toUtf8(), c = m_fields[i].column.toUtf8();
        if (sqlite3_table_column_metadata(m_connection->handle(), "main", t.constData(), c.constData(), &type,
                                          nullptr, &notNull, &primaryKey, &autoIncrement)
                == SQLITE_OK
            && primaryKey && columnTypeOf(QString::fromLatin1(type)) == FieldKind::Integer) {
            m_keyField = int(i);
            return;
        }
    }
}

void Query::open()
{
    if (isOpen())
        return;
    readRows();
    m_sort.clear();
    m_typed.clear();
    m_modified = false;
    m_state = State::Browse;
    m_current = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
    emit reset();
    emit stateChanged();
    emit currentChanged(m_current);
}

void Query::close()
{
    if (!isOpen())
        return;
    m_state = State::Inactive;
    m_fields.clear();
    m_rows.clear();
    m_typed.clear();
    m_modified = false;
    m_sort.clear();
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
    const QVariant key = (m_keyField >= 0 && m_current >= 0) ? m_rows[size_t(m_current)][size_t(m_keyField)] : QVariant();
    const int oldCurrent = m_current;
    readRows();
    applySort();
    m_current = m_rows.empty() ? -1 : std::min(std::max(oldCurrent, 0), int(m_rows.size()) - 1);
    if (!key.isNull())
        for (size_t i = 0; i < m_rows.size(); ++i)
            if (m_rows[i][size_t(m_keyField)] == key)
                m_current = int(i);
    m_bof = m_current <= 0;
    m_eof = m_rows.empty();
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
    setCurrent(m_rows.empty() ? -1 : 0);
    m_bof = true;
    m_eof = m_rows.empty();
}

void Query::next()
{
    requireOpen();
    checkBrowseMode();
    if (m_current + 1 < int(m_rows.size())) {
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
    if (row < 0 || row >= int(m_rows.size()))
        return;
    setCurrent(row);
    m_bof = row == 0;
    m_eof = false;
}

QVariant Query::fieldValue(const QString &name) const
{
    const int field = requireField(name);
    if (m_current < 0)
        return QVariant();
    if (m_state != State::Browse && m_typed[size_t(field)])
        return converted(field, *m_typed[size_t(field)]);
    return m_rows[size_t(m_current)][size_t(field)];
}

QString Query::fieldText(const QString &name) const
{
    const int field = requireField(name);
    return m_current < 0 ? QString() : textAt(m_current, field);
}

double Query::fieldFloat(const QString &name) const
{
    const QVariant value = fieldValue(name);
    if (value.isNull())
        return 0;
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        throw Error(QStringLiteral("不是有效的数字：'%1'").arg(excerpt(value.toString())));
    return number;
}

QString Query::textOf(const QVariant &value, FieldKind kind)
{
    if (value.isNull())
        return QString();
    if (value.typeId() == QMetaType::Double)
        return generalNumber(value.toDouble());
    if (kind == FieldKind::Date && value.typeId() == QMetaType::QString) {
        const QDate date = QDate::fromString(value.toString(), Qt::ISODate);
        if (date.isValid())
            return DateConventions::system().format(date);
    }
    return value.toString();
}

QString Query::textAt(int row, int field) const
{
    if (row == m_current && m_state != State::Browse && m_typed[size_t(field)])
        return *m_typed[size_t(field)];
    return textOf(m_rows[size_t(row)][size_t(field)], m_fields[size_t(field)].kind);
}

QVariant Query::converted(int field, const QString &text) const
{
    const QString trimmed = text.trimmed();
    switch (m_fields[size_t(field)].kind) {
    case FieldKind::Text:
        return text;
    case FieldKind::Integer: {
        if (trimmed.isEmpty())
            return QVariant();
        bool ok = false;
        const qint64 value = trimmed.toLongLong(&ok);
        if (!ok)
            throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
        return value;
    }
    case FieldKind::Number: {
        if (trimmed.isEmpty())
            return QVariant();
        bool ok = false;
        const double value = trimmed.toDouble(&ok);
        if (!ok || !std::isfinite(value))
            throw Error(QStringLiteral("不是有效的数字：'%1'").arg(excerpt(text)));
        return value;
    }
    case FieldKind::Date: {
        if (trimmed.isEmpty())
            return QVariant();
        const auto date = readDialectDate(trimmed);
        if (!date)
            throw Error(QStringLiteral("'%1' is not a valid date").arg(text));
        return date->toString(QStringLiteral("yyyy-MM-dd"));
    }
    }
    return text;
}

void Query::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged();
}

void Query::edit()
{
    requireOpen();
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    if (!canModify())
        throw Error(QStringLiteral("数据集是只读的，不能修改：%1").arg(m_name));
    if (m_rows.empty()) {
        startInsert(0);
        return;
    }
    m_typed.assign(m_fields.size(), std::nullopt);
    m_modified = false;
    setState(State::Edit);
}

void Query::startInsert(int at)
{
    if (!canModify())
        throw Error(QStringLiteral("数据集是只读的，不能修改：%1").arg(m_name));
    m_rows.insert(m_rows.begin() + at, Row(m_fields.size()));
    m_typed.assign(m_fields.size(), std::nullopt);
    m_modified = false;
    m_current = at;
    m_bof = m_eof = false;
    m_state = State::Insert;
    emit rowInserted(at);
    emit stateChanged();
    emit currentChanged(at);
}

void Query::insert()
{
    requireOpen();
    checkBrowseMode();
    startInsert(std::max(m_current, 0));
}

void Query::append()
{
    requireOpen();
    checkBrowseMode();
    startInsert(int(m_rows.size()));
}

void Query::setFieldText(int field, const QString &text)
{
    requireOpen();
    if (m_state == State::Browse)
        edit();
    m_typed[size_t(field)] = text;
    m_modified = true;
    emit rowChanged(m_current);
}

QString Query::rowWriteTable() const
{
    return m_fields[size_t(m_keyField)].table;
}

void Query::post()
{
    requireOpen();
    if (m_state != State::Edit && m_state != State::Insert)
        throw Error(QStringLiteral("%1: Dataset not in edit or insert mode").arg(m_name));
    std::vector<std::pair<int, QVariant>> values;
    for (size_t f = 0; f < m_fields.size(); ++f)
        if (m_typed[f])
            values.emplace_back(int(f), converted(int(f), *m_typed[f]));

    Connection &connection = connectionForUse();
    const QString table = rowWriteTable();
    Row &row = m_rows[size_t(m_current)];
    QVariant key = row[size_t(m_keyField)];
    connection.writeTo(table, [&] {
        sqlite3 *db = connection.handle();
        if (m_state == State::Insert) {
            QStringList columns, marks;
            for (const auto &[field, value] : values) {
                columns.append(sqlQuotedName(m_fields[size_t(field)].column));
                marks.append(QStringLiteral("?"));
            }
            const QString sql = values.empty()
                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(sqlQuotedName(table))
                : QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                      .arg(sqlQuotedName(table), columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
            Statement insert(db, sql);
            for (size_t i = 0; i < values.size(); ++i)
                insert.bind(int(i) + 1, values[i].second);
            insert.run();
            key = qint64(sqlite3_last_insert_rowid(db));
        } else if (!values.empty()) {
            QStringList assignments;
            for (const auto &[field, value] : values)
                assignments.append(sqlQuotedName(m_fields[size_t(field)].column) + QStringLiteral("=?"));
            Statement update(db, QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                                     .arg(sqlQuotedName(table), assignments.join(QLatin1Char(',')),
                                          sqlQuotedName(m_fields[size_t(m_keyField)].column)));
            int index = 1;
            for (const auto &[field, value] : values)
                update.bind(index++, value);
            update.bind(index, key);
            update.run();
            for (const auto &[field, value] : values)
                if (field == m_keyField)
                    key = value;
        }
    });

    // Read the row back as the table stored it.
    QStringList columns;
    for (const Field &field : m_fields)
        columns.append(sqlQuotedName(field.column));
    Statement reread(connection.handle(), QStringLiteral("SELECT %1 FROM %2 WHERE %3=?")
                                              .arg(columns.join(QLatin1Char(',')), sqlQuotedName(table),
                                                   sqlQuotedName(m_fields[size_t(m_keyField)].column)));
    reread.bind(1, key);
    if (reread.step())
        for (size_t f = 0; f < m_fields.size(); ++f)
            row[f] = reread.value(int(f));
    m_typed.clear();
    m_modified = false;
    setState(State::Browse);
    emit rowChanged(m_current);
}

void Query::cancel()
{
    if (m_state == State::Edit) {
        m_typed.clear();
        m_modified = false;
        setState(State::Browse);
        emit rowChanged(m_current);
    } else if (m_state == State::Insert) {
        const int row = m_current;
        m_rows.erase(m_rows.begin() + row);
        m_typed.clear();
        m_modified = false;
        m_current = m_rows.empty() ? -1 : std::min(row, int(m_rows.size()) - 1);
        m_eof = m_rows.empty();
        m_state = State::Browse;
        emit rowRemoved(row);
        emit stateChanged();
        emit currentChanged(m_current);
    }
}

void Query::checkBrowseMode()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    if (m_modified)
        post();
    else
        cancel();
}

void Query::deleteRecord()
{
    requireOpen();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_rows.empty())
        throw Error(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (!canModify())
        throw Error(QStringLiteral("数据集是只读的，不能修改：%1").arg(m_name));
    cancel();
    Connection &connection = connectionForUse();
    const QString table = rowWriteTable();
    const QVariant key = m_rows[size_t(m_current)][size_t(m_keyField)];
    connection.writeTo(table, [&] {
        Statement remove(connection.handle(), QStringLiteral("DELETE FROM %1 WHERE %2=?")
                                                  .arg(sqlQuotedName(table), sqlQuotedName(m_fields[size_t(m_keyField)].column)));
        remove.bind(1, key);
        remove.run();
    });
    const int row = m_current;
    m_rows.erase(m_rows.begin() + row);
    m_current = m_rows.empty() ? -1 : std::min(row, int(m_rows.size()) - 1);
    m_eof = m_rows.empty();
    emit rowRemoved(row);
    emit currentChanged(m_current);
}

void Query::setSort(const QString &expression)
{
    requireOpen();
    checkBrowseMode();
    for (const QString &part : expression.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(QLatin1Char(' '));
        if (words.isEmpty() || words.front().isEmpty())
            continue;
        requireField(words.front());
        if (words.size() > 2
            || (words.size() == 2 && words[1].compare(QLatin1String("ASC"), Qt::CaseInsensitive) != 0
                && words[1].compare(QLatin1String("DESC"), Qt::CaseInsensitive) != 0))
            throw Error(QStringLiteral("排序表达式无效：'%1'（%2）").arg(excerpt(expression), m_name));
    }
    m_sort = expression;
    applySort();
    emit reset();
    emit currentChanged(m_current);
}

void Query::applySort()
{
    std::vector<std::pair<int, bool>> keys; // field, descending
    for (const QString &part : m_sort.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(QLatin1Char(' '));
        const int field = fieldIndex(words.front());
        if (field >= 0)
            keys.emplace_back(field, words.size() == 2 && words[1].compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0);
    }
    if (keys.empty() || m_rows.empty())
        return;
    const Row *currentRow = m_current >= 0 ? &m_rows[size_t(m_current)] : nullptr;
    std::vector<size_t> order(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        for (const auto &[field, descending] : keys) {
            const int c = compareValues(m_rows[a][size_t(field)], m_rows[b][size_t(field)]);
            if (c != 0)
                return descending ? c > 0 : c < 0;
        }
        return false;
    });
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    int newCurrent = m_current;
    for (size_t i = 0; i < order.size(); ++i) {
        if (currentRow == &m_rows[order[i]])
            newCurrent = int(i);
        sorted.push_back(std::move(m_rows[order[i]]));
    }
    m_rows = std::move(sorted);
    m_current = newCurrent;
}
