// The edit and insert states of a row set: what is typed into a row, and its
// post, cancel and delete.
#include "Query.h"
#include "RowWriter.h"
#include "core/Error.h"

#include <algorithm>

void Query::requireModifiable() const
{
    if (!canModify())
        throw Error(QStringLiteral("数据集是只读的，不能修改：%1").arg(m_name));
}

void Query::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged();
}

void Query::edit()
{
    requireOpen();
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    requireModifiable();
    if (isEmpty()) {
        startInsert(0);
        return;
    }
    m_pending.start(m_fields.size());
    setState(State::Edit);
}

void Query::startInsert(int at)
{
    requireModifiable();
    emit rowAboutToBeInserted(at);
    m_rows.insertBlankRow(at);
    m_pending.start(m_fields.size());
    m_current = at;
    m_bof = m_eof = false;
    m_state = State::Insert;
    emit rowInserted(at);
    emit stateChanged();
    emit currentChanged(at);
}

void Query::insert()
{
    requireOpen();
    checkBrowseMode();
    startInsert(std::max(m_current, 0));
}

void Query::append()
{
    requireOpen();
    checkBrowseMode();
    startInsert(recordCount());
}

void Query::setFieldText(int field, const QString &text)
{
    requireOpen();
    if (m_state == State::Browse)
        edit();
    m_pending.type(field, text);
    emit rowChanged(m_current);
}

void Query::requireCurrentRowAsRead()
{
    requireOpen();
    if (m_current < 0)
        throw Error(QStringLiteral("Cannot perform this operation on an empty dataset"));
    // The check needs no key of the table's own: a list over a table without
    // one is checked, and deleted by its statement, all the same.
    if (RowWriter::sourceTable(m_fields).isEmpty())
        requireModifiable();
    RowWriter(connectionForUse(), m_fields, m_keyField).requireAsRead(m_rows, m_current);
}

void Query::post()
{
    requireOpen();
    if (m_state != State::Edit && m_state != State::Insert)
        throw Error(QStringLiteral("%1: Dataset not in edit or insert mode").arg(m_name));
    const RowWriter::Values values = m_pending.values(m_fields, m_state == State::Insert);
    RowWriter writer(connectionForUse(), m_fields, m_keyField);
    const QVariant key = m_state == State::Insert ? writer.insert(values) : writer.update(m_rows, m_current, values);
    writer.reread(key, m_rows, m_current);
    m_pending.clear();
    setState(State::Browse);
    emit rowChanged(m_current);
}

void Query::cancel()
{
    if (m_state == State::Edit) {
        m_pending.clear();
        setState(State::Browse);
        emit rowChanged(m_current);
    } else if (m_state == State::Insert) {
        m_pending.clear();
        const int row = dropCurrentRow();
        m_state = State::Browse;
        emit rowRemoved(row);
        emit stateChanged();
        emit currentChanged(m_current);
    }
}

int Query::dropCurrentRow()
{
    const int row = m_current;
    emit rowAboutToBeRemoved(row);
    m_rows.removeRow(row);
    m_current = isEmpty() ? -1 : std::min(row, recordCount() - 1);
    m_eof = isEmpty();
    return row;
}

void Query::checkBrowseMode()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    if (m_pending.isModified())
        post();
    else
        cancel();
}

void Query::deleteRecord()
{
    requireOpen();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (isEmpty())
        throw Error(QStringLiteral("Cannot perform this operation on an empty dataset"));
    requireModifiable();
    RowWriter(connectionForUse(), m_fields, m_keyField).remove(m_rows, m_current);
    cancel(); // only a deletion that took place drops what was typed into the row
    const int row = dropCurrentRow();
    emit rowRemoved(row);
    emit currentChanged(m_current);
}
