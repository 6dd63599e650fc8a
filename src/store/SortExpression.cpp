#include "SortExpression.h"

#include "SqlText.h"
#include "core/Error.h"

#include <QStringList>

SortExpression::SortExpression(const QString &text, const QString &rowSet,
                               const std::function<int(const QString &)> &fieldOf)
    : m_text(text)
{
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(QLatin1Char(' '));
        if (words.isEmpty() || words.front().isEmpty())
            continue;
        fieldOf(words.front());
        const bool ascending = words.size() == 2 && words[1].compare(QLatin1String("ASC"), Qt::CaseInsensitive) == 0;
        const bool descending = words.size() == 2 && words[1].compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
        if (words.size() > 2 || (words.size() == 2 && !ascending && !descending))
            throw Error(QStringLiteral("排序表达式无效：'%1'（%2）").arg(excerpt(text), rowSet));
        m_parts.push_back({words.front(), descending});
    }
}

std::vector<RowStore::SortKey> SortExpression::keys(const std::function<int(const QString &)> &indexOf) const
{
    std::vector<RowStore::SortKey> keys;
    for (const Part &part : m_parts)
        if (const int field = indexOf(part.field); field >= 0)
            keys.push_back({field, part.descending});
    return keys;
}
