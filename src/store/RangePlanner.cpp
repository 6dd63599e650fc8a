#include "RangePlanner.h"

#include "SqlText.h"
#include "core/Error.h"

#include <QDate>
#include <algorithm>
#include <optional>

namespace {

// From this share of the table on, one pass through it is cheaper than the
// index: measured on a century of records, the two cost the same at about a
// third of the table when the records were entered day by day, and the index
// costs more when they were not.
constexpr double scanShare = 1.0 / 3;

// SELECT columns FROM table WHERE column BETWEEN 'a' AND 'b' ORDER BY key [ASC|DESC]
struct RangeList
{
    size_t tableToken = 0; // in the full token list
    QString table, column, from, to, key;
};

std::optional<RangeList> rangeListOf(const SqlTokens &tokens)
{
    const std::vector<size_t> at = significantTokens(tokens);
    const auto token = [&](size_t i) -> const SqlToken * { return i < at.size() ? &tokens[at[i]] : nullptr; };
    const auto isWord = [&](size_t i, const char *word) { return token(i) && token(i)->isWord(word); };
    const auto isName = [&](size_t i) { return token(i) && token(i)->isName(); };
    const auto isText = [&](size_t i) { return token(i) && token(i)->kind == SqlToken::Kind::String; };
    if (!isWord(0, "SELECT"))
        return std::nullopt;
    // Plain columns only: DISTINCT, an aggregate or a subquery leave the
    // order of their rows to the plan.
    size_t i = 1;
    for (;; i += 2) {
        const SqlToken *item = token(i);
        const bool column = item && (item->isSymbol("*") || (item->isName() && !item->isWord("DISTINCT")
                                                             && !item->isWord("ALL") && !item->isWord("FROM")));
        if (!column)
            return std::nullopt;
        if (isWord(i + 1, "FROM"))
            break;
        if (!token(i + 1) || !token(i + 1)->isSymbol(","))
            return std::nullopt;
    }
    const size_t table = i + 2;
    if (!isName(table) || !isWord(table + 1, "WHERE") || !isName(table + 2) || !isWord(table + 3, "BETWEEN")
        || !isText(table + 4) || !isWord(table + 5, "AND") || !isText(table + 6) || !isWord(table + 7, "ORDER")
        || !isWord(table + 8, "BY") || !isName(table + 9))
        return std::nullopt;
    size_t end = table + 10;
    if (isWord(end, "ASC") || isWord(end, "DESC"))
        ++end;
    if (token(end))
        return std::nullopt;
    return RangeList{at[table],
                     token(table)->name(),
                     token(table + 2)->name(),
                     token(table + 4)->stringValue(),
                     token(table + 6)->stringValue(),
                     token(table + 9)->name()};
}

std::optional<qint64> dayNumber(const QString &text)
{
    const QDate day = QDate::fromString(text, Qt::ISODate);
    return day.isValid() ? std::optional(day.toJulianDay()) : std::nullopt;
}

std::optional<qint64> dayNumber(const QVariant &value)
{
    return value.typeId() == QMetaType::QString ? dayNumber(value.toString()) : std::nullopt;
}

} // namespace

bool RangePlanner::choose(Database &db, SqlTokens &tokens, const ColumnsOf &columnsOf)
{
    const std::optional<RangeList> list = rangeListOf(tokens);
    if (!list)
        return false;
    // What cannot be judged keeps SQLite's plan; the statement itself then
    // reports what is wrong.
    try {
        Table *facts = tableFacts(db, list->table, columnsOf);
        if (!facts || facts->key.isEmpty() || list->key.compare(facts->key, Qt::CaseInsensitive) != 0
            || !facts->indexed.contains(list->column.toLower()))
            return false;
        if (shareOf(db, *facts, list->table, list->column, list->from, list->to) < scanShare)
            return false;
    } catch (const Error &) {
        return false;
    }
    const auto at = tokens.begin() + qsizetype(list->tableToken) + 1;
    tokens.insert(at, {{SqlToken::Kind::Space, QStringLiteral(" ")},
                       {SqlToken::Kind::Word, QStringLiteral("NOT")},
                       {SqlToken::Kind::Space, QStringLiteral(" ")},
                       {SqlToken::Kind::Word, QStringLiteral("INDEXED")}});
    return true;
}

void RangePlanner::clear() noexcept
{
    m_tables.clear();
}

// The record number is the one column of the primary key when it is declared
// INTEGER and so is the rowid itself: no index of its own stands for it (a
// WITHOUT ROWID table and INTEGER PRIMARY KEY DESC have one, and the latter
// takes nulls). A column leads an index that min() and max() can read when
// the index covers every row and compares its values as they are.
RangePlanner::Table *RangePlanner::tableFacts(Database &db, const QString &table, const ColumnsOf &columnsOf)
{
    const QString name = table.toLower();
    if (const auto found = m_tables.find(name); found != m_tables.end())
        return &*found;
    // A table that is missing now is looked for again when it is named again.
    const TableColumns columns = columnsOf(table);
    if (columns.empty())
        return nullptr;
    Table facts;
    const auto keyParts = std::count_if(columns.begin(), columns.end(), [](const TableColumn &c) { return c.primaryKeyPart > 0; });
    const auto key = std::find_if(columns.begin(), columns.end(), [](const TableColumn &c) { return c.primaryKeyPart > 0; });
    bool keyHasIndex = false;
    Statement indexes(db, QStringLiteral("PRAGMA main.index_list(%1)").arg(sqlQuotedName(table)));
    while (indexes.step()) {
        const QString index = indexes.value(1).toString();
        keyHasIndex = keyHasIndex || indexes.value(3).toString() == QLatin1String("pk");
        if (indexes.value(4).toInt() != 0)
            continue; // partial
        Statement first(db, QStringLiteral("PRAGMA main.index_xinfo(%1)").arg(sqlQuotedName(index)));
        if (first.step() && !first.value(2).isNull()
            && first.value(4).toString().compare(QLatin1String("BINARY"), Qt::CaseInsensitive) == 0)
            facts.indexed.insert(first.value(2).toString().toLower());
    }
    if (keyParts == 1 && !keyHasIndex && key->declaredType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
        facts.key = key->name;
    return &m_tables.insert(name, facts).value();
}

// The share of the table's span of days that from..to covers; 0 when a value
// is no day.
double RangePlanner::shareOf(Database &db, Table &facts, const QString &table, const QString &column,
                             const QString &from, const QString &to)
{
    auto &bounds = facts.bounds[column.toLower()];
    if (!bounds) {
        const QString c = sqlQuotedName(column), t = sqlQuotedName(table);
        bounds = CachedStatement::prepare(db, QStringLiteral("SELECT (SELECT min(%1) FROM %2), (SELECT max(%1) FROM %2)").arg(c, t));
        if (!bounds)
            return 0;
    }
    if (bounds->inUse)
        return 0;
    Statement probe(db, bounds);
    if (!probe.step())
        return 0;
    const auto first = dayNumber(probe.value(0)), last = dayNumber(probe.value(1));
    const auto lo = dayNumber(from), hi = dayNumber(to);
    if (!first || !last || !lo || !hi || *last < *first)
        return 0;
    const qint64 covered = std::min(*hi, *last) - std::max(*lo, *first) + 1;
    return covered <= 0 ? 0 : double(covered) / double(*last - *first + 1);
}
