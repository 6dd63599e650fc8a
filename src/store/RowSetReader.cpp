#include "RowSetReader.h"

#include "Connection.h"
#include "FreedMemory.h"

namespace {

constexpr size_t largeRowSet = size_t(1) << 20;

} // namespace

RowSetRead readRowSet(Connection &connection, const QString &sql)
{
    RowSetRead read;
    connection.query(sql, [&](Statement &statement) {
        // A kept statement is prepared again by its first step when another
        // program changed the schema meanwhile: its columns are read after it.
        bool haveRow = statement.step();
        const int columns = statement.columnCount();
        for (int c = 0; c < columns; ++c) {
            RowSetField field;
            field.name = statement.columnName(c);
            const QString table = statement.originTable(c), origin = statement.originColumn(c);
            if (!table.isEmpty() && !origin.isEmpty() && statement.originDatabase(c) == QLatin1String("main")) {
                field.table = table;
                field.column = origin;
            }
            field.kind = columnTypeOf(origin, statement.declaredType(c));
            read.fields.push_back(field);
        }
        read.rows = RowStore(columns);
        for (; haveRow; haveRow = statement.step())
            read.rows.appendRow(statement);
    });
    // An expression column takes its kind from the values it holds.
    for (size_t c = 0; c < read.fields.size(); ++c) {
        RowSetField &field = read.fields[c];
        if (!field.column.isEmpty() || field.kind != ColumnType::Text)
            continue;
        const int column = int(c);
        if (!read.rows.heldTexts(column) && read.rows.heldReals(column))
            field.kind = ColumnType::Number;
        else if (!read.rows.heldTexts(column) && read.rows.heldIntegers(column))
            field.kind = ColumnType::Integer;
    }
    read.rows.finishReading();
    return read;
}

void replaceRows(RowStore &held, RowStore &&fresh)
{
    const bool large = held.bytesHeld() >= largeRowSet || fresh.bytesHeld() >= largeRowSet;
    held = std::move(fresh);
    if (large)
        returnFreedMemory();
}
