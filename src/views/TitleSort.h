#pragma once

class QueryTableModel;
class Query;
class QStatusBar;

// The title click of every grid: sorts the rows the query holds in place by
// the clicked column, without running the query again, and marks that title
// alone with "↑" or "↓". The direction follows only the query's sort
// expression: an ascending sort on this very column turns descending, any
// other state (none, another column, descending) ascending. A failure (the
// query not open) leaves no title marked and goes to the status bar.
void sortByTitle(QueryTableModel &grid, Query &query, int column, QStatusBar *statusBar);
