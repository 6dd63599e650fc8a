#include "Query.h"

#include "Connection.h"
#include "DialectTranslator.h"
#include "SqlText.h"
#include "ValueOrder.h"
#include "platform/DateConventions.h"
#include "platform/Error.h"

#include <QDate>
#include <algorithm>
#include <cmath>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// A row set over a whole ledger holds megabytes in many blocks; once it is
// dropped, give the freed pages back, which the allocator would otherwise
// keep scattered among the live ones for as long as the program runs.
constexpr size_t largeRowSet = size_t(1) << 20;

void returnFreedPages()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// Null, then numbers, then texts, as SQLite orders mixed values.
int typeRank(const QVariant &value)
{
    if (value.isNull())
        return 0;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong)
        return std::isnan(value.toDouble()) ? 2 : 1;
    return 3;
}

int compareNumbers(const QVariant &a, const QVariant &b)
{
    const bool wholeA = a.typeId() == QMetaType::LongLong, wholeB = b.typeId() == QMetaType::LongLong;
    if (wholeA && wholeB) {
        const qint64 x = a.toLongLong(), y = b.toLongLong();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (wholeA)
        return ValueOrder::compareWholeWithReal(a.toLongLong(), b.toDouble());
    if (wholeB)
        return -ValueOrder::compareWholeWithReal(b.toLongLong(), a.toDouble());
    const double x = a.toDouble(), y = b.toDouble();
    return x < y ? -1 : (x > y ? 1 : 0);
}

Error staleRow(const QString &outcome)
{
    return Error(QStringLiteral("这条记录在显示之后已被修改或删除，%1，请刷新后再试").arg(outcome));
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
    RowStore rows;
    connectionForUse().query(m_sql, [&](Statement &statement) {
        // A kept statement is prepared again by its first step when another
        // program changed the schema meanwhile: its columns are read after it.
        bool haveRow = statement.step();
        const int columns = statement.columnCount();
        for (int c = 0; c < columns; ++c) {
            Field field;
            field.name = statement.columnName(c);
            const QString table = statement.originTable(c), origin = statement.originColumn(c);
            if (!table.isEmpty() && !origin.isEmpty() && statement.originDatabase(c) == QLatin1String("main")) {
                field.table = table;
                field.column = origin;
            }
            field.kind = columnTypeOf(origin, statement.declaredType(c));
            fields.push_back(field);
        }
        rows = RowStore(columns);
        for (; haveRow; haveRow = statement.step())
            rows.appendRow(statement);
    });
    // An expression column takes its kind from the values it holds.
    for (size_t c = 0; c < fields.size(); ++c) {
        if (!fields[c].column.isEmpty() || fields[c].kind != FieldKind::Text)
            continue;
        const int column = int(c);
        if (!rows.heldTexts(column) && rows.heldReals(column))
            fields[c].kind = FieldKind::Number;
        else if (!rows.heldTexts(column) && rows.heldIntegers(column))
            fields[c].kind = FieldKind::Integer;
    }
    rows.finishReading();
    const bool large = m_rows.bytesHeld() >= largeRowSet || rows.bytesHeld() >= largeRowSet;
    m_fields = std::move(fields);
    m_rows = std::move(rows);
    if (large)
        returnFreedPages();
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
    const TableColumns columns = m_connection->columnsOf(table);
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const auto described = std::find_if(columns.begin(), columns.end(), [&](const TableColumn &column) {
            return column.name.compare(m_fields[i].column, Qt::CaseInsensitive) == 0;
        });
        if (described != columns.end() && described->primaryKeyPart > 0 && described->type == FieldKind::Integer) {
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
    m_state = State::Inactive;
    m_fields.clear();
    const bool large = m_rows.bytesHeld() >= largeRowSet;
    m_rows = RowStore();
    if (large)
        returnFreedPages();
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

QVariant Query::fieldValue(const QString &name) const
{
    const int field = requireField(name);
    if (m_current < 0)
        return QVariant();
    if (m_state != State::Browse && m_typed[size_t(field)])
        return converted(field, *m_typed[size_t(field)]);
    return m_rows.value(m_current, field);
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
    return textOf(m_rows.value(row, field), m_fields[size_t(field)].kind);
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
    if (isEmpty()) {
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
    m_rows.insertBlankRow(at);
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
    startInsert(recordCount());
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

// The current row as it was read: its key and every value it showed. A record
// that another program, an import or another window changed or deleted since
// matches no row, so that it is neither overwritten nor removed unseen.
QString Query::rowAsReadCondition() const
{
    QStringList tests;
    for (const Field &field : m_fields)
        tests.append(sqlQuotedName(field.column) + QStringLiteral(" IS ?"));
    return tests.join(QStringLiteral(" AND "));
}

int Query::bindRowAsRead(Statement &statement, int firstIndex) const
{
    for (size_t f = 0; f < m_fields.size(); ++f)
        statement.bind(firstIndex++, m_rows.value(m_current, int(f)));
    return firstIndex;
}

void Query::requireCurrentRowAsRead()
{
    requireOpen();
    if (m_current < 0)
        throw Error(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (!canModify())
        throw Error(QStringLiteral("数据集是只读的，不能修改：%1").arg(m_name));
    Statement find(connectionForUse().database(), QStringLiteral("SELECT count(*) FROM %1 WHERE %2")
                                                     .arg(sqlQuotedName(rowWriteTable()), rowAsReadCondition()));
    bindRowAsRead(find, 1);
    if (!find.step() || find.value(0).toLongLong() == 0)
        throw staleRow(QStringLiteral("没有删除"));
}

void Query::post()
{
    requireOpen();
    if (m_state != State::Edit && m_state != State::Insert)
        throw Error(QStringLiteral("%1: Dataset not in edit or insert mode").arg(m_name));
    std::vector<std::pair<int, QVariant>> values;
    for (size_t f = 0; f < m_fields.size(); ++f) {
        const bool typed = bool(m_typed[f]);
        const QVariant value = typed ? converted(int(f), *m_typed[f]) : QVariant();
        // A record without a day falls out of every period, where no list
        // could ever show it again.
        if (m_fields[f].kind == FieldKind::Date && value.isNull() && (typed || m_state == State::Insert))
            throw Error(QStringLiteral("记录的日期不能为空"));
        if (typed)
            values.emplace_back(int(f), value);
    }

    Connection &connection = connectionForUse();
    const QString table = rowWriteTable();
    QVariant key = m_rows.value(m_current, m_keyField);
    connection.writeTo(table, [&] {
        Database &db = connection.database();
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
            key = db.lastInsertRowId();
        } else if (!values.empty()) {
            QStringList assignments;
            for (const auto &[field, value] : values)
                assignments.append(sqlQuotedName(m_fields[size_t(field)].column) + QStringLiteral("=?"));
            Statement update(db, QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                     .arg(sqlQuotedName(table), assignments.join(QLatin1Char(',')), rowAsReadCondition()));
            int index = 1;
            for (const auto &[field, value] : values)
                update.bind(index++, value);
            bindRowAsRead(update, index);
            update.run();
            if (update.changes() == 0)
                throw staleRow(QStringLiteral("修改没有保存"));
            for (const auto &[field, value] : values)
                if (field == m_keyField)
                    key = value;
        }
    });

    // Read the row back as the table stored it.
    QStringList columns;
    for (const Field &field : m_fields)
        columns.append(sqlQuotedName(field.column));
    Statement reread(connection.database(), QStringLiteral("SELECT %1 FROM %2 WHERE %3=?")
                                              .arg(columns.join(QLatin1Char(',')), sqlQuotedName(table),
                                                   sqlQuotedName(m_fields[size_t(m_keyField)].column)));
    reread.bind(1, key);
    if (reread.step())
        for (size_t f = 0; f < m_fields.size(); ++f)
            m_rows.setValue(m_current, int(f), reread.value(int(f)));
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
        m_rows.removeRow(row);
        m_typed.clear();
        m_modified = false;
        m_current = isEmpty() ? -1 : std::min(row, recordCount() - 1);
        m_eof = isEmpty();
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
    if (isEmpty())
        throw Error(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (!canModify())
        throw Error(QStringLiteral("数据集是只读的，不能修改：%1").arg(m_name));
    cancel();
    Connection &connection = connectionForUse();
    const QString table = rowWriteTable();
    connection.writeTo(table, [&] {
        Statement remove(connection.database(),
                         QStringLiteral("DELETE FROM %1 WHERE %2").arg(sqlQuotedName(table), rowAsReadCondition()));
        bindRowAsRead(remove, 1);
        remove.run();
        if (remove.changes() == 0)
            throw staleRow(QStringLiteral("没有删除"));
    });
    const int row = m_current;
    m_rows.removeRow(row);
    m_current = isEmpty() ? -1 : std::min(row, recordCount() - 1);
    m_eof = isEmpty();
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
    std::vector<RowStore::SortKey> keys;
    for (const QString &part : m_sort.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(QLatin1Char(' '));
        const int field = fieldIndex(words.front());
        if (field >= 0)
            keys.push_back({field, words.size() == 2 && words[1].compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0});
    }
    m_current = m_rows.sort(keys, m_current);
}
