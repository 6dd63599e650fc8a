#include "SqlTokenizer.h"

#include "SqlText.h"
#include "core/Error.h"

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c.unicode() > 0x7f;
}

bool isWordPart(QChar c)
{
    return isWordStart(c) || c.isDigit() || c == QLatin1Char('$');
}

// Reads up to the closing character; a doubled closing character stands for itself.
qsizetype closingOf(const QString &sql, qsizetype start, QChar close, bool doubledEscapes)
{
    for (qsizetype i = start + 1; i < sql.size(); ++i) {
        if (sql[i] != close)
            continue;
        if (doubledEscapes && i + 1 < sql.size() && sql[i + 1] == close) {
            ++i;
            continue;
        }
        return i;
    }
    return -1;
}

// Blanks and punctuation are about half of all tokens: one shared string for
// each of the common ones saves an allocation apiece.
QString tokenText(const QString &sql, qsizetype at, qsizetype length)
{
    if (length == 1) {
        static const QString common[] = {QStringLiteral(" "), QStringLiteral(","), QStringLiteral("("),
                                         QStringLiteral(")"), QStringLiteral("="), QStringLiteral("*")};
        for (const QString &text : common)
            if (text.front() == sql[at])
                return text;
    }
    return sql.mid(at, length);
}

} // namespace

// Statements are walked keyword by keyword; the first character turns most
// candidates away before any length is counted.
bool SqlToken::isWord(const char *word) const
{
    if (kind != Kind::Word || text.isEmpty() || (text.front().unicode() | 0x20) != (uchar(word[0]) | 0x20))
        return false;
    const QLatin1String keyword(word);
    return text.size() == keyword.size() && text.compare(keyword, Qt::CaseInsensitive) == 0;
}

bool SqlToken::isSymbol(const char *symbol) const
{
    return kind == Kind::Symbol && !text.isEmpty() && text.front() == QLatin1Char(symbol[0]) && text == QLatin1String(symbol);
}

QString SqlToken::name() const
{
    if (kind != Kind::Quoted)
        return text;
    const QString inner = text.mid(1, text.size() - 2);
    if (text.startsWith(QLatin1Char('[')))
        return inner;
    const QString quote = text.left(1);
    return QString(inner).replace(quote + quote, quote);
}

QString SqlToken::stringValue() const
{
    return text.mid(1, text.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
}

QString SqlToken::dateText() const
{
    return text.mid(1, text.size() - 2);
}

SqlTokens tokenizeSql(const QString &sql)
{
    refuseNul(sql);
    SqlTokens tokens;
    tokens.reserve(size_t(sql.size() / 4));
    qsizetype i = 0;
    const qsizetype n = sql.size();
    auto push = [&](SqlToken::Kind kind, qsizetype end) {
        tokens.push_back({kind, tokenText(sql, i, end - i)});
        i = end;
    };
    auto enclosed = [&](SqlToken::Kind kind, QChar close, bool doubled, const QString &what) {
        const qsizetype end = closingOf(sql, i, close, doubled);
        if (end < 0)
            throw Error(QStringLiteral("语句中的%1没有结束：%2").arg(what, excerpt(sql.mid(i))));
        push(kind, end + 1);
    };

    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            qsizetype end = i;
            while (end < n && sql[end].isSpace())
                ++end;
            push(SqlToken::Kind::Space, end);
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            push(SqlToken::Kind::Space, end < 0 ? n : end);
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            // As SQLite reads it: an unclosed comment runs to the end.
            const qsizetype close = sql.indexOf(QStringLiteral("*/"), i + 2);
            push(SqlToken::Kind::Space, close < 0 ? n : close + 2);
        } else if (c == QLatin1Char('\'')) {
            enclosed(SqlToken::Kind::String, QLatin1Char('\''), true, QStringLiteral("文本"));
        } else if (c == QLatin1Char('"')) {
            enclosed(SqlToken::Kind::Quoted, QLatin1Char('"'), true, QStringLiteral("名称"));
        } else if (c == QLatin1Char('`')) {
            enclosed(SqlToken::Kind::Quoted, QLatin1Char('`'), true, QStringLiteral("名称"));
        } else if (c == QLatin1Char('[')) {
            enclosed(SqlToken::Kind::Quoted, QLatin1Char(']'), false, QStringLiteral("名称"));
        } else if (c == QLatin1Char('#')) {
            enclosed(SqlToken::Kind::DateLiteral, QLatin1Char('#'), false, QStringLiteral("日期"));
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && sql[i + 1].isDigit())) {
            qsizetype end = i;
            while (end < n && (sql[end].isDigit() || sql[end] == QLatin1Char('.')))
                ++end;
            if (end < n && (sql[end] == QLatin1Char('e') || sql[end] == QLatin1Char('E'))) {
                qsizetype exp = end + 1;
                if (exp < n && (sql[exp] == QLatin1Char('+') || sql[exp] == QLatin1Char('-')))
                    ++exp;
                if (exp < n && sql[exp].isDigit()) {
                    end = exp;
                    while (end < n && sql[end].isDigit())
                        ++end;
                }
            }
            push(SqlToken::Kind::Number, end);
        } else if (isWordStart(c)) {
            qsizetype end = i;
            while (end < n && isWordPart(sql[end]))
                ++end;
            push(SqlToken::Kind::Word, end);
        } else {
            static const char *const pairs[] = {"<>", "<=", ">=", "!=", "==", "||"};
            qsizetype end = i + 1;
            for (const char *pair : pairs)
                if (sql.mid(i, 2) == QLatin1String(pair))
                    end = i + 2;
            push(SqlToken::Kind::Symbol, end);
        }
    }
    return tokens;
}

QString joinSql(const SqlTokens &tokens)
{
    qsizetype size = 0;
    for (const SqlToken &token : tokens)
        size += token.text.size();
    QString sql;
    sql.reserve(size);
    for (const SqlToken &token : tokens)
        sql += token.text;
    return sql;
}

std::vector<size_t> significantTokens(const SqlTokens &tokens)
{
    std::vector<size_t> indexes;
    for (size_t i = 0; i < tokens.size(); ++i)
        if (tokens[i].kind != SqlToken::Kind::Space)
            indexes.push_back(i);
    return indexes;
}
