#pragma once

#include "RowSetReader.h"

#include <QString>
#include <QVariant>
#include <utility>
#include <vector>

class Connection;
class Statement;

// Writes the rows of a row set back to the one table that all its fields come
// from, finding each by its key. A row is updated or deleted only while the
// table still holds it as it was read: its key and every value it showed. A
// record that another program, an import or another window changed or
// deleted since matches no row, so that it is neither overwritten nor removed
// unseen. Every write goes through the connection's sync policy.
class RowWriter
{
public:
    using Values = std::vector<std::pair<int, QVariant>>; // field and value to store

    // The one table that all fields come from; empty when there is none.
    static QString sourceTable(const std::vector<RowSetField> &fields);
    // The field that keys that table; -1 when the rows cannot be written back.
    static int keyFieldOf(Connection &connection, const std::vector<RowSetField> &fields);

    // keyField may be -1 for requireAsRead alone, which needs no key.
    RowWriter(Connection &connection, const std::vector<RowSetField> &fields, int keyField);

    // Each raises Error; update and remove refuse a row changed since it was read.
    QVariant insert(const Values &values);                                // the new row's key
    QVariant update(const RowStore &rows, int row, const Values &values); // its key afterwards
    void remove(const RowStore &rows, int row);
    void requireAsRead(const RowStore &rows, int row); // for a delete that another statement carries out
    // Reads the row with key into row as the table stored it.
    void reread(const QVariant &key, RowStore &rows, int row);

private:
    QString rowAsReadCondition() const;
    int bindRowAsRead(Statement &statement, int firstIndex, const RowStore &rows, int row) const; // the next index

    Connection &m_connection;
    const std::vector<RowSetField> &m_fields;
    int m_keyField;
    QString m_table;
};
