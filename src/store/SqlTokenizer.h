#pragma once

#include <QString>
#include <vector>

// A token of the ledger's SQL dialect. Texts keep their exact source form so
// that a statement can be put back together unchanged where it is not rewritten.
struct SqlToken
{
    enum class Kind {
        Space,       // blanks, line breaks and comments
        Word,        // keyword or bare identifier
        Quoted,      // [name], "name" or `name`
        String,      // 'text' with '' for a quote
        DateLiteral, // #...#
        Number,
        Symbol,      // operators and punctuation
    };

    Kind kind;
    QString text;

    bool isWord(const char *word) const; // case-blind keyword test
    bool isSymbol(const char *symbol) const;
    bool isName() const { return kind == Kind::Word || kind == Kind::Quoted; }
    QString name() const;        // identifier without its brackets or quotes
    QString stringValue() const; // the value of a String token
    QString dateText() const;    // the text between the # marks
};

using SqlTokens = std::vector<SqlToken>;

// Splits a statement into tokens; raises Error on a NUL character and on an
// unterminated string, quoted name or date literal. Comments (-- and /* */)
// are blanks, as SQLite reads them.
SqlTokens tokenizeSql(const QString &sql);

QString joinSql(const SqlTokens &tokens);

// A token list with the blanks and comments left out, for looking at structure.
std::vector<size_t> significantTokens(const SqlTokens &tokens);
