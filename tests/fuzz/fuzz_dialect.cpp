// libFuzzer harness for the dialect: any text goes through the tokenizer and
// the translator. Oracles: the tokens put together give the text back; a
// translated statement tokenizes again; no failure but Error escapes.
#include "core/Error.h"
#include "store/DialectTranslator.h"
#include "store/SqlTokenizer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>

namespace {

TableColumns ledgerColumns(const QString &table)
{
    const QString p = table.left(1).toUpper() + QLatin1Char('_');
    if (table.compare(QLatin1String("Income"), Qt::CaseInsensitive) != 0
        && table.compare(QLatin1String("Payout"), Qt::CaseInsensitive) != 0)
        return {};
    return {{p + QStringLiteral("No"), ColumnType::Integer, QStringLiteral("INTEGER"), 1},
            {p + QStringLiteral("Date"), ColumnType::Date, QStringLiteral("DATE"), 0},
            {p + QStringLiteral("Class"), ColumnType::Text, QStringLiteral("TEXT"), 0},
            {p + QStringLiteral("Num"), ColumnType::Number, QStringLiteral("REAL"), 0},
            {p + QStringLiteral("Desc"), ColumnType::Text, QStringLiteral("TEXT"), 0}};
}

[[noreturn]] void broken(const char *oracle, const QString &sql)
{
    std::fprintf(stderr, "%s\n%s\n", oracle, sql.toUtf8().constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString sql = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    SqlTokens tokens;
    try {
        tokens = tokenizeSql(sql);
    } catch (const Error &) {
        return 0;
    }
    if (joinSql(tokens) != sql)
        broken("the tokens do not give the text back", sql);
    for (const SqlToken &token : tokens)
        if (token.text.isEmpty())
            broken("an empty token", sql);

    TranslatedStatement translated;
    try {
        translated = translateStatement(sql, ledgerColumns);
    } catch (const Error &) {
        return 0;
    }
    if (translated.counterReset)
        return 0;
    try {
        tokenizeSql(translated.sql);
    } catch (const Error &) {
        broken("the translation does not tokenize", sql);
    }
    return 0;
}
