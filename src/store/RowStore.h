#pragma once

#include "Statement.h"

#include <QVariant>
#include <cstdint>
#include <string>
#include <vector>

// The cells of a row set, kept column by column in a compact form: whole
// numbers and amounts in cents in four bytes at most (two while they are
// small, none while they count up by one), other numbers in eight, texts as
// UTF-8, once per column while they repeat. A QVariant is built only for the
// cell asked for, so a row set over a whole ledger costs little more than its
// bytes. Rows are reached through an order that a sort permutes; cells never
// move. Values read back as SQLite gave them: qint64, double, QString or null.
class RowStore
{
public:
    struct SortKey
    {
        int column = 0;
        bool descending = false;
    };

    explicit RowStore(int columns = 0);

    int rowCount() const { return m_order.empty() ? int(m_records) : int(m_order.size()); }
    int columnCount() const { return int(m_columns.size()); }

    void appendRow(const Statement &statement); // the statement's current row
    void finishReading();                       // lets go of what only reading needed

    QVariant value(int row, int column) const;
    void setValue(int row, int column, const QVariant &value);
    void insertBlankRow(int row); // all null
    void removeRow(int row);

    // Which kinds of value a column has held, to name an expression column's kind.
    bool heldIntegers(int column) const { return m_columns[size_t(column)].sawInteger; }
    bool heldReals(int column) const { return m_columns[size_t(column)].sawReal; }
    bool heldTexts(int column) const { return m_columns[size_t(column)].sawText; }

    size_t bytesHeld() const;

    int lastRowWith(int column, const QVariant &value) const; // -1 when none
    // The order of the in-place sort, -1, 0 or 1: a strict weak order whatever
    // a column holds. Null first, then numbers by value (a whole number and a
    // real one exactly), then texts as QString compares the values read back.
    int compare(int rowA, int rowB, int column) const;
    // A stable sort in that order; answers where the row at `tracked` went
    // (-1 stays -1).
    int sort(const std::vector<SortKey> &keys, int tracked);

private:
    enum class Tag : std::uint8_t { Null, Small, Cents, Whole, Real, Text };
    struct Cell;
    // The payloads of a column. While they count up by one from the first, as
    // a table's record numbers read in key order do, only the first and their
    // count are kept; while they fit in two bytes (a few categories' texts,
    // small amounts), two bytes each; else four.
    class Payloads
    {
    public:
        size_t size() const;
        bool empty() const { return size() == 0; }
        std::uint32_t operator[](size_t i) const;
        void push_back(std::uint32_t slot);
        void set(size_t i, std::uint32_t slot);
        void pop_back();
        void clear();
        void shrink_to_fit();
        size_t bytesHeld() const;

    private:
        enum class Form : std::uint8_t { Counting, Narrow, Wide };
        static bool fitsNarrow(std::uint32_t slot) { return slot <= 0xFFFF; }
        void spellOut(std::uint32_t next); // leaves counting, in the form that holds next too
        void widen();

        Form m_form = Form::Counting;
        std::uint32_t m_first = 0;
        size_t m_count = 0;
        std::vector<std::uint16_t> m_narrow;
        std::vector<std::uint32_t> m_wide;
    };
    struct Column
    {
        Tag uniform = Tag::Null;   // the tag of every cell while `tags` is empty
        std::vector<Tag> tags;     // one per record once a column mixes tags
        Payloads payloads;         // Small, Cents, an index into `wide`, or a text's offset
        std::vector<qint64> wide;  // Whole values and the bits of Real ones
        std::string texts;         // each text as its length (LEB128) and its UTF-8 bytes
        std::vector<std::uint32_t> interned; // open addressing over offsets + 1, while reading
        std::uint32_t internedCount = 0;
        std::uint32_t textsRead = 0;
        std::uint32_t lastText = 0; // the offset of the text read last
        bool interning = true;
        bool sawInteger = false, sawReal = false, sawText = false;

        Tag tag(std::uint32_t record) const { return tags.empty() ? uniform : tags[record]; }
        void setTag(std::uint32_t record, Tag tag);
        void push(Tag tag, std::uint32_t slot);
    };

    std::uint32_t record(int row) const { return m_order.empty() ? std::uint32_t(row) : m_order[size_t(row)]; }
    void materializeOrder();
    Cell cell(std::uint32_t record, int column) const;
    static int compareCells(const Cell &a, const Cell &b);
    void storeCell(Column &column, std::uint32_t record, bool append, const ColumnValue &value);
    std::uint32_t textSlot(Column &column, QByteArrayView text);
    std::uint32_t appendText(Column &column, QByteArrayView text);
    static std::uint32_t findInterned(const Column &column, QByteArrayView text, size_t hash, size_t &at);
    static std::uint32_t noteTextRead(Column &column, std::uint32_t slot);
    void growInterned(Column &column);

    std::vector<Column> m_columns;
    std::uint32_t m_records = 0;
    std::vector<std::uint32_t> m_order; // row -> record; empty while rows are records in order
};
