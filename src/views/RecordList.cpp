#include "RecordList.h"

#include "core/Error.h"
#include "platform/ErrorReport.h"
#include "store/Connection.h"
#include "store/Query.h"
#include "store/SqlText.h"

#include <QRegularExpression>

RecordList::RecordList(const RecordListKind &kind, Query &query, Connection &connection, PeriodControls controls,
                       QStatusBar *statusBar)
    : m_kind(kind), m_query(query), m_connection(connection), m_controls(controls), m_statusBar(statusBar)
{
}

QString RecordList::refreshSql() const
{
    return recordListSql(m_kind, statisticsPeriod(m_controls, m_kind.monthReading));
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
