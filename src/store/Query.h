#pragma once

#include "ColumnType.h"
#include "PendingRow.h"
#include "RowSetReader.h"
#include "RowStore.h"
#include "SortExpression.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

class Connection;

// The row set behind every grid and scratch query: an SQL text of the dialect,
// the rows it returned held in memory, a current row, and the browse, edit and
// insert states of a data-aware row set. A row set opened from a single-table
// SELECT that includes the table's key is editable; its posts, inserts and
// deletes go to the table at once. Every failure raises Error.
class Query : public QObject
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using FieldKind = ColumnType;

    explicit Query(QString name, QObject *parent = nullptr);
    ~Query() override;

    const QString &name() const { return m_name; }
    void setConnection(Connection *connection) { m_connection = connection; }
    Connection *connection() const { return m_connection; }

    void setSql(const QString &sql) { m_sql = sql; }
    void clearSql() { m_sql.clear(); }
    void addSql(const QString &line);
    const QString &sql() const { return m_sql; }

    void open();
    void close();
    bool isOpen() const { return m_state != State::Inactive; }
    void execSQL(); // a statement that returns no rows
    void refresh(); // settles a pending row, then re-reads the rows in place

    int recordCount() const { return m_rows.rowCount(); }
    int fieldCount() const { return int(m_fields.size()); }
    bool isEmpty() const { return m_rows.rowCount() == 0; }
    int currentRow() const { return m_current; } // -1 when there is no row
    void first();
    void next();
    void prior();
    void moveTo(int row); // posts a pending row first, as any scroll does
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }

    QStringList fieldNames() const;
    int fieldIndex(const QString &name) const; // -1 when absent

    // Field of the current row; an empty row set reads as null. Raises when the field is absent.
    QString fieldText(const QString &name) const;
    double fieldFloat(const QString &name) const; // null reads as 0
    QVariant fieldValue(const QString &name) const;
    // Any row, as a grid shows it; a pending row shows what was typed.
    QString textAt(int row, int field) const;
    QVariant valueAt(int row, int field) const { return m_rows.value(row, field); }

    State state() const { return m_state; }
    bool canModify() const { return m_keyField >= 0; }
    bool isModified() const { return m_pending.isModified(); }
    void edit();
    void insert(); // before the current row
    void append();
    void setFieldText(int field, const QString &text); // starts an edit in browse state
    void post();
    void cancel();
    void deleteRecord();
    void checkBrowseMode(); // posts a changed row, cancels an unchanged one
    // Raises unless the table still holds the current row as it was read, for
    // a delete that another statement carries out. Posts and deletes of the
    // row set check the same by themselves, in the statement that writes.
    void requireCurrentRowAsRead();

    QString sort() const { return m_sort.text(); }
    void setSort(const QString &expression); // sorts the rows in place (RowStore::sort)

signals:
    // Each about-to signal comes once nothing can fail any more, just before
    // the rows held change; its partner once they have.
    void aboutToReset();
    void reset();                // opened, closed, re-read or reordered
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentChanged(int row);
    void stateChanged();

private:
    void requireOpen() const;
    void requireModifiable() const;
    Connection &connectionForUse(); // opens the connection when it is closed
    int requireField(const QString &name) const;
    void readRows();
    void applySort();
    void setCurrent(int row);
    void setState(State state);
    void startInsert(int at);
    int dropCurrentRow(); // the row it was

    QString m_name;
    Connection *m_connection = nullptr;
    QString m_sql;
    std::vector<RowSetField> m_fields;
    RowStore m_rows;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;
    State m_state = State::Inactive;
    int m_keyField = -1;
    PendingRow m_pending;
    SortExpression m_sort;
};
