#include "DialectTranslator.h"

#include "SqlText.h"
#include "SqlTokenizer.h"
#include "core/DateConventions.h"
#include "core/Error.h"

namespace {

using Kind = SqlToken::Kind;

SqlToken stringToken(const QString &value)
{
    return {Kind::String, sqlQuoted(value)};
}

// Walks the significant tokens of a statement; blanks are kept in place.
class Walker
{
public:
    explicit Walker(SqlTokens &tokens) : m_tokens(tokens), m_at(significantTokens(tokens)) {}

    size_t size() const { return m_at.size(); }
    SqlToken &operator[](size_t i) { return m_tokens[m_at[i]]; }
    size_t tokenIndex(size_t i) const { return m_at[i]; }
    bool has(size_t i) const { return i < m_at.size(); }
    bool isWord(size_t i, const char *word) { return has(i) && (*this)[i].isWord(word); }
    bool isSymbol(size_t i, const char *symbol) { return has(i) && (*this)[i].isSymbol(symbol); }
    void erase(size_t i) { (*this)[i] = {Kind::Space, QString()}; }

    // Index of the matching ")" for the "(" at i, or size() when there is none.
    size_t closing(size_t open)
    {
        int depth = 0;
        for (size_t i = open; i < size(); ++i) {
            if ((*this)[i].isSymbol("("))
                ++depth;
            else if ((*this)[i].isSymbol(")") && --depth == 0)
                return i;
        }
        return size();
    }

    // Splits the items between "(" at open and its ")" at commas of depth one.
    std::vector<std::pair<size_t, size_t>> items(size_t open, size_t close) { return split(open + 1, close); }

    // Splits the tokens from..to (exclusive) at commas outside parentheses.
    std::vector<std::pair<size_t, size_t>> split(size_t from, size_t to)
    {
        std::vector<std::pair<size_t, size_t>> result;
        int depth = 0;
        size_t start = from;
        for (size_t i = from; i < to; ++i) {
            if ((*this)[i].isSymbol("("))
                ++depth;
            else if ((*this)[i].isSymbol(")"))
                --depth;
            else if (depth == 0 && (*this)[i].isSymbol(",")) {
                result.emplace_back(start, i);
                start = i + 1;
            }
        }
        if (start < to || !result.empty())
            result.emplace_back(start, to);
        return result;
    }

    // The text token that an item from..to consists of, inside any number of
    // parentheses; size() when the item is anything else.
    size_t quotedText(size_t from, size_t to)
    {
        while (to > from + 1 && isSymbol(from, "(") && closing(from) == to - 1) {
            ++from;
            --to;
        }
        return to == from + 1 && (*this)[from].kind == Kind::String ? from : size();
    }

private:
    SqlTokens &m_tokens;
    std::vector<size_t> m_at;
};

void convertDateLiterals(SqlTokens &tokens)
{
    for (SqlToken &token : tokens) {
        if (token.kind != Kind::DateLiteral)
            continue;
        const auto date = readDialectDate(token.dateText());
        if (!date)
            throw Error(QStringLiteral("日期无效，没有这一天：%1").arg(excerpt(token.text)));
        token = stringToken(isoDay(*date));
    }
}

QString storedDate(const SqlToken &value)
{
    const auto date = readDialectDate(value.stringValue());
    if (!date)
        throw Error(QStringLiteral("'%1' is not a valid date").arg(excerpt(value.stringValue())));
    return isoDay(*date);
}

bool isDateColumnOf(const TableColumns &columns, const QString &name)
{
    for (const TableColumn &column : columns)
        if (column.name.compare(name, Qt::CaseInsensitive) == 0)
            return column.type == ColumnType::Date;
    return false;
}

// The value at item from..to becomes an ISO text when the column holds dates
// and the value is a text.
void convertStoredDate(Walker &w, size_t from, size_t to, const TableColumns &columns, const QString &column)
{
    const size_t text = w.quotedText(from, to);
    if (text < w.size() && isDateColumnOf(columns, column))
        w[text] = stringToken(storedDate(w[text]));
}

// INSERT INTO t[(c1, ...)] VALUES(v1, ...)[, (...)]: texts given to date
// columns become ISO texts; without a column list the values go to the
// table's columns in order.
void convertInsertedDates(Walker &w, const ColumnsOf &columnsOf, QString &writtenTable)
{
    if (!w.isWord(0, "INSERT") || !w.isWord(1, "INTO") || !w.has(2) || !w[2].isName())
        return;
    writtenTable = w[2].name();
    const TableColumns columns = columnsOf(writtenTable);
    QStringList names;
    size_t at = 3;
    if (w.isSymbol(at, "(")) {
        const size_t close = w.closing(at);
        for (const auto &[start, end] : w.items(at, close))
            names.append(end == start + 1 && w[start].isName() ? w[start].name() : QString());
        at = close + 1;
    } else {
        for (const TableColumn &column : columns)
            names.append(column.name);
    }
    if (!w.isWord(at, "VALUES"))
        return;
    ++at;
    while (w.isSymbol(at, "(")) {
        const size_t close = w.closing(at);
        const auto values = w.items(at, close);
        for (size_t i = 0; i < values.size() && i < size_t(names.size()); ++i)
            convertStoredDate(w, values[i].first, values[i].second, columns, names[int(i)]);
        if (!w.isSymbol(close + 1, ","))
            return;
        at = close + 2;
    }
}

// UPDATE t SET c = 'text', ...: the same for assigned date columns.
void convertUpdatedDates(Walker &w, const ColumnsOf &columnsOf, QString &writtenTable)
{
    if (!w.isWord(0, "UPDATE") || !w.has(1) || !w[1].isName() || !w.isWord(2, "SET"))
        return;
    writtenTable = w[1].name();
    const TableColumns columns = columnsOf(writtenTable);
    size_t end = 3;
    for (int depth = 0; end < w.size() && !(depth == 0 && w.isWord(end, "WHERE")); ++end)
        depth += w.isSymbol(end, "(") ? 1 : (w.isSymbol(end, ")") ? -1 : 0);
    for (const auto &[start, stop] : w.split(3, end))
        if (stop > start + 2 && w[start].isName() && w.isSymbol(start + 1, "="))
            convertStoredDate(w, start + 2, stop, columns, w[start].name());
}

// Where a name stands: a FROM list names tables; anything else names columns.
enum class Clause { Other, FromList, JoinCondition };

Clause clauseAfter(Walker &w, size_t i, Clause current)
{
    if (w.isWord(i, "FROM") || w.isWord(i, "JOIN"))
        return Clause::FromList;
    if (current == Clause::FromList && (w.isWord(i, "ON") || w.isWord(i, "USING")))
        return Clause::JoinCondition;
    if (current == Clause::JoinCondition && w.isSymbol(i, ","))
        return Clause::FromList;
    for (const char *word : {"SELECT", "WHERE", "GROUP", "HAVING", "ORDER", "UNION", "EXCEPT", "INTERSECT", "LIMIT",
                             "SET", "VALUES", "WINDOW"})
        if (w.isWord(i, word))
            return Clause::Other;
    return current;
}

// table IN 'file' reads the table from another database file. Only a table of
// a FROM list counts: in a condition, "column IN 'x'" is no file.
void attachSources(Walker &w, TranslatedStatement &result, const SourceSchemaFor &schemaFor)
{
    std::vector<Clause> clauses{Clause::Other}; // one per parenthesis depth
    for (size_t i = 0; w.has(i); ++i) {
        if (w.isSymbol(i, "(")) {
            clauses.push_back(Clause::Other);
            continue;
        }
        if (w.isSymbol(i, ")")) {
            if (clauses.size() > 1)
                clauses.pop_back();
            continue;
        }
        clauses.back() = clauseAfter(w, i, clauses.back());
        const bool tableBefore = i >= 2 && w[i - 1].isName() && clauses.back() == Clause::FromList
            && (w.isWord(i - 2, "FROM") || w.isWord(i - 2, "JOIN") || w.isSymbol(i - 2, ","));
        if (!tableBefore || !w.isWord(i, "IN") || !w.has(i + 1) || w[i + 1].kind != Kind::String)
            continue;
        const TranslatedStatement::Source source{w[i + 1].stringValue(), w[i - 1].name()};
        const QString schema = schemaFor ? schemaFor(source.file, source.table) : sourceSchema(result.sources.size());
        result.sources.append(source);
        w[i - 1] = {Kind::Word, schema + QLatin1Char('.') + sqlQuotedName(source.table)};
        w.erase(i);
        w.erase(i + 1);
    }
}

// Distinct(col) names its result column col, as a bare Distinct col does.
void unwrapDistinct(Walker &w)
{
    for (size_t i = 0; w.has(i + 3); ++i) {
        if (w.isWord(i, "DISTINCT") && w.isSymbol(i + 1, "(") && w[i + 2].isName() && w.isSymbol(i + 3, ")")) {
            w[i + 1] = {Kind::Space, QStringLiteral(" ")};
            w.erase(i + 3);
        }
    }
}

std::optional<TranslatedStatement::CounterReset> counterReset(Walker &w, const QString &sql)
{
    if (!w.isWord(0, "ALTER") || !w.isWord(1, "TABLE") || !w.isWord(3, "ALTER"))
        return std::nullopt;
    // ALTER TABLE t ALTER COLUMN c COUNTER(seed, step), and nothing else.
    const bool wellFormed = w.has(2) && w[2].isName() && w.isWord(4, "COLUMN") && w.has(5) && w[5].isName()
        && w.isWord(6, "COUNTER") && w.isSymbol(7, "(") && w.has(8) && w[8].kind == Kind::Number
        && w.isSymbol(9, ",") && w.has(10) && w[10].kind == Kind::Number && w.isSymbol(11, ")") && w.size() == 12;
    if (!wellFormed)
        throw Error(QStringLiteral("ALTER TABLE 语句的写法不对，应为 ALTER TABLE 表 ALTER COLUMN 列 COUNTER(起始值, 步长)：%1")
                        .arg(excerpt(sql.trimmed())));
    TranslatedStatement::CounterReset reset{w[2].name(), w[5].name(), 1};
    bool okSeed = false, okStep = false;
    reset.seed = w[8].text.toLongLong(&okSeed);
    const qint64 step = w[10].text.toLongLong(&okStep);
    if (!okSeed || reset.seed < 1 || !okStep)
        throw Error(QStringLiteral("COUNTER 的起始值或步长无效，应为正整数：%1").arg(excerpt(sql.trimmed())));
    if (step != 1)
        throw Error(QStringLiteral("不支持步长不为 1 的 COUNTER：%1").arg(excerpt(sql.trimmed())));
    return reset;
}

} // namespace

QString sourceSchema(qsizetype index)
{
    return QStringLiteral("lumibran_source%1").arg(index);
}

std::optional<QDate> readDialectDate(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('-'));
    if (parts.size() == 3)
        if (const auto date = dateFromParts(parts[0], parts[1], parts[2]))
            return date;
    return DateConventions::system().tryRead(text);
}

TranslatedStatement translateStatement(const QString &sql, const ColumnsOf &columnsOf, const SourceSchemaFor &schemaFor)
{
    SqlTokens tokens = tokenizeSql(sql);
    TranslatedStatement result;
    {
        Walker w(tokens);
        if ((result.counterReset = counterReset(w, sql)))
            return result;
    }
    convertDateLiterals(tokens);
    Walker w(tokens);
    convertInsertedDates(w, columnsOf, result.writtenTable);
    convertUpdatedDates(w, columnsOf, result.writtenTable);
    if (w.isWord(0, "DELETE") && w.isWord(1, "FROM") && w.has(2) && w[2].isName())
        result.writtenTable = w[2].name();
    attachSources(w, result, schemaFor);
    unwrapDistinct(w);
    result.sql = joinSql(tokens);
    if (w.isWord(0, "INSERT") && w.isWord(1, "INTO") && w.has(2) && w[2].isName() && w.isWord(3, "SELECT"))
        result.insertSelect = TranslatedStatement::InsertSelect{
            w[2].name(), joinSql(SqlTokens(tokens.begin() + qsizetype(w.tokenIndex(3)), tokens.end()))};
    result.tokens = std::move(tokens);
    return result;
}
