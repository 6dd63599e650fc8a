#pragma once

#include "PeriodControls.h"

#include <QString>

class Connection;
class Query;
class QStatusBar;

// What tells the income list from the payout list.
struct RecordListKind
{
    QString table;      // "Payout"
    QString prefix;     // "P_"
    QString beforeAsc;  // the blanks before "Asc" in the ordering clause
    MonthReading monthReading;

    static const RecordListKind &payout();
    static const RecordListKind &income();

    QString keyField() const { return prefix + QStringLiteral("No"); }
};

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
