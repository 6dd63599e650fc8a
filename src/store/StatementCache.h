#pragma once

#include "SqlTokenizer.h"
#include "Statement.h"

#include <QHash>
#include <QString>
#include <memory>
#include <optional>

// Prepared statements kept per connection for reuse. The refresh chain sends
// the same few statements again and again with other dates and categories;
// preparing each one afresh cost more than running it. So the literals of a
// statement's WHERE clauses and VALUES lists become parameters, the rest of
// the text (its skeleton) names the prepared statement, and the literals are
// bound to it with the very values SQLite would have read from the text.
// Anything unusual is prepared afresh from the full text, so that results and
// error messages stay exactly those of the text.
class StatementCache
{
public:
    // The prepared form of an SQLite text, given with its tokens; raises
    // Error as Statement does.
    Statement prepare(Database &db, const QString &sql, SqlTokens tokens);
    void clear() noexcept;

private:
    std::shared_ptr<CachedStatement> entryFor(Database &db, const QString &skeleton);
    std::optional<double> realOf(Database &db, const QString &literal);

    QHash<QString, std::shared_ptr<CachedStatement>> m_entries;
    std::shared_ptr<CachedStatement> m_toReal;
};
