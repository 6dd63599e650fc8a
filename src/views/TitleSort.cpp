#include "TitleSort.h"

#include "grid/QueryTableModel.h"
#include "platform/ErrorReport.h"
#include "store/Query.h"

void sortByTitle(QueryTableModel &grid, Query &query, int column, QStatusBar *statusBar)
{
    static const QString up(QChar(0x2191)), down(QChar(0x2193));
    runGuarded(statusBar, [&] {
        for (int c = 0; c < grid.columnCount(); ++c) {
            QString title = grid.headerData(c, Qt::Horizontal).toString();
            title.remove(down);
            title.remove(up);
            grid.setHeaderData(c, Qt::Horizontal, title);
        }
        const QString &field = grid.column(column).field;
        const QString ascending = field + QStringLiteral(" ASC");
        // Compared exactly: only our own ascending sort on this column turns descending.
        const bool turn = query.sort() == ascending;
        query.setSort(turn ? field + QStringLiteral(" DESC") : ascending);
        QString title = grid.headerData(column, Qt::Horizontal).toString();
        title.remove(turn ? up : down);
        grid.setHeaderData(column, Qt::Horizontal, title + (turn ? down : up));
    });
}
