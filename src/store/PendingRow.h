#pragma once

#include "RowWriter.h"

#include <QString>
#include <optional>
#include <vector>

// The texts typed into a row set's row being edited or inserted, until the
// row is posted or cancelled.
class PendingRow
{
public:
    void start(size_t fieldCount); // a row is pending, nothing typed yet
    void clear();                  // none is pending
    void type(int field, const QString &text);
    const QString *typed(int field) const; // null where nothing was typed
    bool isModified() const { return m_modified; }

    // The values to store, one per typed field. A record without a day falls
    // out of every period, where no list could ever show it again: a day
    // typed empty, or never typed into a new row, raises Error.
    RowWriter::Values values(const std::vector<RowSetField> &fields, bool inserting) const;

private:
    std::vector<std::optional<QString>> m_typed;
    bool m_modified = false;
};
