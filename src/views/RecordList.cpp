#include "RecordList.h"

#include "core/Error.h"
#include "platform/ErrorReport.h"
#include "store/Connection.h"
#include "store/Query.h"
#include "store/SqlText.h"

#include <QRegularExpression>

const RecordListKind &RecordListKind::payout()
{
    static const RecordListKind kind{QStringLiteral("Payout"), QStringLiteral("P_"), QStringLiteral("  "),
                                     MonthReading::DateAndTime};
    return kind;
}

const RecordListKind &RecordListKind::income()
{
    static const RecordListKind kind{QStringLiteral("Income"), QStringLiteral("I_"), QStringLiteral(" "),
                                     MonthReading::Date};
    return kind;
}

RecordList::RecordList(const RecordListKind &kind, Query &query, Connection &connection, PeriodControls controls,
                       QStatusBar *statusBar)
    : m_kind(kind), m_query(query), m_connection(connection), m_controls(controls), m_statusBar(statusBar)
{
}

QString RecordList::refreshSql() const
{
    const StatisticsPeriod period = statisticsPeriod(m_controls, m_kind.monthReading);
    const QString &p = m_kind.prefix;
    const QString head = QStringLiteral("Select %1No,%1Date,%1Class,%1Num,%1Desc From %2 Where ").arg(p, m_kind.table);
    const QString order = QStringLiteral("# Order By %1No%2Asc").arg(p, m_kind.beforeAsc);
    if (period.mode == RangeMode::Day)
        return head + p + QStringLiteral("Date = #") + period.start + order;
    return head + QLatin1Char('[') + p + QStringLiteral("Date] between #") + period.start + QStringLiteral("# And #")
        + period.end + order;
}

void RecordList::refresh()
{
    runGuarded(m_statusBar, [this] {
        const QString sql = refreshSql();
        m_query.setConnection(&m_connection);
        m_query.close();
        m_query.clearSql();
        m_query.addSql(sql);
        m_query.open();
    });
}

void RecordList::deleteCurrent()
{
    m_connection.open();
    Query scratch(QStringLiteral("ADOQueryDelete"));
    const QString key = m_query.fieldText(m_kind.keyField());
    if (key.isEmpty())
        return;
    // The key stands bare in the statement: only a whole number may.
    static const QRegularExpression wholeNumber(QRegularExpression::anchoredPattern(QStringLiteral("-?[0-9]+")));
    if (!wholeNumber.match(key).hasMatch())
        throw Error(QStringLiteral("记录编号不是整数，不能删除：'%1'").arg(excerpt(key)));
    scratch.setConnection(&m_connection);
    scratch.clearSql();
    scratch.addSql(QStringLiteral("Delete From %1 Where %2=").arg(m_kind.table, m_kind.keyField()) + key);
    // Checked and deleted in one transaction, so that nothing can change the
    // record in between.
    m_connection.transaction([&] {
        m_query.requireCurrentRowAsRead();
        scratch.execSQL();
    });
    refresh();
}

void RecordList::save()
{
    runGuarded(m_statusBar, [this] {
        if (m_query.fieldText(m_kind.keyField()).isEmpty())
            return;
        m_query.post();
        refresh();
    });
}
