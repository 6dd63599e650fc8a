#pragma once

#include "RowStore.h"

#include <QString>
#include <functional>
#include <vector>

// The sort expression of a row set's in-place sort: field names separated by
// commas, each optionally followed by ASC or DESC.
class SortExpression
{
public:
    SortExpression() = default; // no sort
    // fieldOf gives a named field's index or raises; a part with more than
    // ASC or DESC after its name raises "排序表达式无效" naming rowSet.
    SortExpression(const QString &text, const QString &rowSet, const std::function<int(const QString &)> &fieldOf);

    const QString &text() const { return m_text; }
    // The keys over the fields that indexOf finds (-1: gone since, left out).
    std::vector<RowStore::SortKey> keys(const std::function<int(const QString &)> &indexOf) const;

private:
    struct Part
    {
        QString field;
        bool descending = false;
    };
    QString m_text;
    std::vector<Part> m_parts;
};
