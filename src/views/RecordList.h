#pragma once

#include "PeriodControls.h"
#include "core/RecordQueries.h"

class Connection;
class Query;
class QStatusBar;

// One of the two lists of the period's records, over its data-module query.
class RecordList
{
public:
    RecordList(const RecordListKind &kind, Query &query, Connection &connection, PeriodControls controls,
               QStatusBar *statusBar);

    // The list's SQL text for the period; raises when the month cannot be read.
    QString refreshSql() const;
    // Guarded: a failure is reported in the status bar.
    void refresh();
    // Unguarded: failures reach the caller.
    void deleteCurrent();
    // Guarded.
    void save();

private:
    const RecordListKind &m_kind;
    Query &m_query;
    Connection &m_connection;
    PeriodControls m_controls;
    QStatusBar *m_statusBar;
};
