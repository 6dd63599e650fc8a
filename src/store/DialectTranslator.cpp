#include "DialectTranslator.h"

#include "SqlText.h"
#include "SqlTokenizer.h"
#include "platform/DateConventions.h"
#include "platform/Error.h"

namespace {

using Kind = SqlToken::Kind;

SqlToken stringToken(const QString &value)
{
    return {Kind::String, sqlQuoted(value)};
}

QString isoText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
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
    std::vector<std::pair<size_t, size_t>> items(size_t open, size_t close)
    {
        std::vector<std::pair<size_t, size_t>> result;
        int depth = 0;
        size_t start = open + 1;
        for (size_t i = open + 1; i < close; ++i) {
            if ((*this)[i].isSymbol("("))
                ++depth;
            else if ((*this)[i].isSymbol(")"))
                --depth;
            else if (depth == 0 && (*this)[i].isSymbol(",")) {
                result.emplace_back(start, i);
                start = i + 1;
            }
        }
        if (start < close || !result.empty())
            result.emplace_back(start, close);
        return result;
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
            throw Error(QStringLiteral("Invalid date %1 in statement: it names no real day").arg(token.text));
        token = stringToken(isoText(*date));
    }
}

QString storedDate(const SqlToken &value)
{
    const auto date = readDialectDate(value.stringValue());
    if (!date)
        throw Error(QStringLiteral("'%1' is not a valid date").arg(value.stringValue()));
    return isoText(*date);
}

// INSERT INTO t(c1, ...) VALUES(v1, ...): quoted date texts become ISO texts.
void convertInsertedDates(Walker &w, const DateColumnTest &isDateColumn, QString &writtenTable)
{
    if (!w.isWord(0, "INSERT") || !w.isWord(1, "INTO") || !w.has(2) || !w[2].isName())
        return;
    writtenTable = w[2].name();
    if (!w.isSymbol(3, "("))
        return;
    const size_t columnsEnd = w.closing(3);
    if (!w.isWord(columnsEnd + 1, "VALUES") || !w.isSymbol(columnsEnd + 2, "("))
        return;
    const auto columns = w.items(3, columnsEnd);
    const auto values = w.items(columnsEnd + 2, w.closing(columnsEnd + 2));
    for (size_t i = 0; i < columns.size() && i < values.size(); ++i) {
        const auto [cStart, cEnd] = columns[i];
        const auto [vStart, vEnd] = values[i];
        if (cEnd != cStart + 1 || vEnd != vStart + 1 || w[vStart].kind != Kind::String)
            continue;
        if (isDateColumn(writtenTable, w[cStart].name()))
            w[vStart] = stringToken(storedDate(w[vStart]));
    }
}

// UPDATE t SET c = 'text', ...: the same for assigned date columns.
void convertUpdatedDates(Walker &w, const DateColumnTest &isDateColumn, QString &writtenTable)
{
    if (!w.isWord(0, "UPDATE") || !w.has(1) || !w[1].isName() || !w.isWord(2, "SET"))
        return;
    writtenTable = w[1].name();
    for (size_t i = 3; w.has(i + 2) && !w.isWord(i, "WHERE"); ++i) {
        if (w[i].isName() && w.isSymbol(i + 1, "=") && w[i + 2].kind == Kind::String
            && (w.isSymbol(i + 3, ",") || !w.has(i + 3) || w.isWord(i + 3, "WHERE"))
            && isDateColumn(writtenTable, w[i].name()))
            w[i + 2] = stringToken(storedDate(w[i + 2]));
    }
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
    // ALTER TABLE t ALTER COLUMN c COUNTER ( seed , step )
    if (!w.isWord(0, "ALTER") || !w.isWord(1, "TABLE") || !w.isWord(3, "ALTER"))
        return std::nullopt;
    const size_t column = w.isWord(4, "COLUMN") ? 5 : 4;
    if (!w.has(column + 1) || !w[2].isName() || !w[column].isName() || !w.isWord(column + 1, "COUNTER"))
        return std::nullopt;
    TranslatedStatement::CounterReset reset{w[2].name(), w[column].name(), 1};
    qint64 step = 1;
    if (w.isSymbol(column + 2, "(")) {
        const size_t close = w.closing(column + 2);
        const auto args = w.items(column + 2, close);
        bool okSeed = true, okStep = true;
        if (args.size() != 2 || args[0].second != args[0].first + 1 || args[1].second != args[1].first + 1
            || close + 1 != w.size())
            throw Error(QStringLiteral("Syntax error in COUNTER definition: %1").arg(sql.trimmed()));
        reset.seed = w[args[0].first].text.toLongLong(&okSeed);
        step = w[args[1].first].text.toLongLong(&okStep);
        if (!okSeed || !okStep || reset.seed < 1)
            throw Error(QStringLiteral("Invalid COUNTER seed or step"));
    }
    if (step != 1)
        throw Error(QStringLiteral("COUNTER with a step other than 1 is not supported"));
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

TranslatedStatement translateStatement(const QString &sql, const DateColumnTest &isDateColumn,
                                       const SourceSchemaFor &schemaFor)
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
    convertInsertedDates(w, isDateColumn, result.writtenTable);
    convertUpdatedDates(w, isDateColumn, result.writtenTable);
    if (w.isWord(0, "DELETE") && w.isWord(1, "FROM") && w.has(2) && w[2].isName())
        result.writtenTable = w[2].name();
    attachSources(w, result, schemaFor);
    unwrapDistinct(w);
    result.sql = joinSql(tokens);
    if (w.isWord(0, "INSERT") && w.isWord(1, "INTO") && w.has(2) && w[2].isName() && w.isWord(3, "SELECT"))
        result.insertSelect = TranslatedStatement::InsertSelect{
            w[2].name(), joinSql(SqlTokens(tokens.begin() + qsizetype(w.tokenIndex(3)), tokens.end()))};
    return result;
}
