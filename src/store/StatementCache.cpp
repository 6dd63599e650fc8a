#include "StatementCache.h"

#include "SqlTokenizer.h"
#include "core/Error.h"

#include <QRegularExpression>
#include <optional>
#include <vector>

namespace {

// More would mean the texts are not repeating; the cache then starts over.
constexpr qsizetype maxEntries = 200;

struct Literal
{
    enum class Kind { Text, Integer, Real };
    Kind kind;
    QString text; // the value of a text, the source form of a number
    bool negated = false; // written right after a minus sign
};

struct Skeleton
{
    QString text;
    std::vector<Literal> literals;
};

// The kind a number literal has in SQLite, or nothing when it stays in the
// text: anything but a well-formed decimal (SQLite refuses "1.2.3" and reads
// hexadecimal by rules of its own), or an integer too large for 64 bits.
std::optional<Literal::Kind> numberKind(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral("^(?:\\d+(?:\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"));
    const QRegularExpressionMatch match = decimal.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    if (text.contains(QLatin1Char('.')) || match.hasCaptured(1))
        return Literal::Kind::Real;
    bool fits = false;
    text.toLongLong(&fits);
    return fits ? std::optional(Literal::Kind::Integer) : std::nullopt;
}

// The clauses whose literals are values compared or stored, never column
// numbers (ORDER BY 1), names of result columns or parts of the schema.
enum class Clause { Other, Values, Inherited };

Clause clauseOf(const SqlToken &word)
{
    if (word.isWord("WHERE") || word.isWord("VALUES"))
        return Clause::Values;
    static const char *const others[] = {"SELECT", "FROM",  "GROUP", "ORDER",     "LIMIT",  "HAVING",    "SET",
                                         "ON",     "USING", "UNION", "INTERSECT", "EXCEPT", "RETURNING", "WINDOW",
                                         "OFFSET", "COLLATE"};
    for (const char *other : others)
        if (word.isWord(other))
            return Clause::Other;
    return Clause::Inherited;
}

std::optional<Skeleton> skeletonOf(SqlTokens tokens)
{
    const std::vector<size_t> significant = significantTokens(tokens);
    if (significant.empty())
        return std::nullopt;
    const SqlToken &head = tokens[significant.front()];
    if (!head.isWord("SELECT") && !head.isWord("INSERT") && !head.isWord("UPDATE") && !head.isWord("DELETE"))
        return std::nullopt;

    Skeleton skeleton;
    // Per parenthesis depth: whether literals are values, which a parenthesis
    // inherits from the clause that holds it until a clause of its own starts;
    // whether the clause lists result columns; whether the parenthesis lies
    // within such a list, where a column without an alias is named by its
    // text, literals included.
    struct Depth
    {
        bool values = false;
        bool results = false;
        bool named = false;
    };
    std::vector<Depth> depths(1);
    bool afterMinus = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        SqlToken &token = tokens[i];
        const bool negated = afterMinus;
        if (token.kind != SqlToken::Kind::Space)
            afterMinus = token.isSymbol("-");
        // "123abc" is one bad token to SQLite, two tokens to us.
        const bool glued = i + 1 < tokens.size() && tokens[i + 1].kind != SqlToken::Kind::Space
            && tokens[i + 1].kind != SqlToken::Kind::Symbol;
        switch (token.kind) {
        case SqlToken::Kind::Word:
            if (const Clause clause = clauseOf(token); clause != Clause::Inherited) {
                depths.back().values = clause == Clause::Values;
                depths.back().results = token.isWord("SELECT") || token.isWord("RETURNING");
            }
            break;
        case SqlToken::Kind::Symbol:
            // Parameters of its own would clash with the numbering of ours.
            if (token.isSymbol("?") || token.isSymbol(":") || token.isSymbol("@") || token.isSymbol("$"))
                return std::nullopt;
            if (token.isSymbol("("))
                depths.push_back({depths.back().values, depths.back().results, depths.back().named || depths.back().results});
            else if (token.isSymbol(")") && depths.size() > 1)
                depths.pop_back();
            break;
        case SqlToken::Kind::String:
            if (depths.back().values && !depths.back().named && !glued) {
                skeleton.literals.push_back({Literal::Kind::Text, token.stringValue()});
                token.text = QLatin1Char('?') + QString::number(skeleton.literals.size());
            }
            break;
        case SqlToken::Kind::Number:
            if (depths.back().values && !depths.back().named && !glued)
                if (const auto kind = numberKind(token.text)) {
                    skeleton.literals.push_back({*kind, token.text, negated});
                    token.text = QLatin1Char('?') + QString::number(skeleton.literals.size());
                }
            break;
        default:
            break;
        }
    }
    if (skeleton.literals.empty())
        return std::nullopt;
    skeleton.text = joinSql(tokens);
    return skeleton;
}

} // namespace

void StatementCache::clear() noexcept
{
    m_entries.clear();
    m_toReal.reset();
}

std::shared_ptr<CachedStatement> StatementCache::entryFor(Database &db, const QString &skeleton)
{
    if (auto found = m_entries.constFind(skeleton); found != m_entries.constEnd())
        return found.value();
    auto entry = CachedStatement::prepare(db, skeleton);
    if (!entry)
        return nullptr;
    if (m_entries.size() >= maxEntries)
        m_entries.clear(); // statements in use stay alive with their holders
    m_entries.insert(skeleton, entry);
    return entry;
}

// SQLite reads a real literal and a text cast to REAL with the same routine;
// asking it keeps every digit of the value as the text would have given it.
std::optional<double> StatementCache::realOf(Database &db, const QString &literal)
{
    if (!m_toReal && !(m_toReal = CachedStatement::prepare(db, QStringLiteral("SELECT CAST(?1 AS REAL)"))))
        return std::nullopt;
    Statement cast(db, m_toReal);
    try {
        cast.bind(1, literal);
        if (!cast.step())
            return std::nullopt;
    } catch (const Error &) {
        return std::nullopt;
    }
    return cast.value(0).toDouble();
}

Statement StatementCache::prepare(Database &db, const QString &sql, SqlTokens tokens)
{
    const std::optional<Skeleton> skeleton = skeletonOf(std::move(tokens));
    if (!skeleton)
        return Statement(db, sql);
    auto entry = entryFor(db, skeleton->text);
    // In use means a reader is still stepping through it: this one is a
    // statement run from within that reader.
    if (!entry || entry->inUse)
        return Statement(db, sql);
    Statement statement(db, entry, sql);
    for (size_t i = 0; i < skeleton->literals.size(); ++i) {
        const Literal &literal = skeleton->literals[i];
        QVariant value;
        if (literal.kind == Literal::Kind::Text) {
            value = literal.text;
        } else if (literal.kind == Literal::Kind::Integer) {
            value = literal.text.toLongLong();
        } else if (const std::optional<double> real = realOf(db, literal.text)) {
            // SQLite negates a written number itself but subtracts a bound
            // one from zero, which loses the sign of a zero.
            if (literal.negated && *real == 0)
                return Statement(db, sql);
            value = *real;
        } else {
            return Statement(db, sql);
        }
        try {
            statement.bind(int(i) + 1, value);
        } catch (const Error &) {
            return Statement(db, sql);
        }
    }
    return statement;
}
