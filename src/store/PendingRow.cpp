#include "PendingRow.h"

#include "FieldText.h"
#include "core/Error.h"

void PendingRow::start(size_t fieldCount)
{
    m_typed.assign(fieldCount, std::nullopt);
    m_modified = false;
}

void PendingRow::clear()
{
    m_typed.clear();
    m_modified = false;
}

void PendingRow::type(int field, const QString &text)
{
    m_typed[size_t(field)] = text;
    m_modified = true;
}

const QString *PendingRow::typed(int field) const
{
    const size_t at = size_t(field);
    return at < m_typed.size() && m_typed[at] ? &*m_typed[at] : nullptr;
}

RowWriter::Values PendingRow::values(const std::vector<RowSetField> &fields, bool inserting) const
{
    RowWriter::Values values;
    for (size_t f = 0; f < fields.size(); ++f) {
        const bool typed = bool(m_typed[f]);
        const QVariant value = typed ? fieldValue(*m_typed[f], fields[f].kind) : QVariant();
        if (fields[f].kind == ColumnType::Date && value.isNull() && (typed || inserting))
            throw Error(QStringLiteral("记录的日期不能为空"));
        if (typed)
            values.emplace_back(int(f), value);
    }
    return values;
}
