#include "RowStore.h"

#include "ValueOrder.h"
#include "core/Error.h"

#include <QHashFunctions>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>

namespace {

constexpr std::uint32_t slotLimit = std::numeric_limits<std::uint32_t>::max();
// Past this many texts a column that rarely repeats one stops looking for repeats.
constexpr std::uint32_t internTrial = 2048;

[[noreturn]] void tooLarge()
{
    throw Error(QStringLiteral("数据集太大，无法读入内存"));
}

// Amounts of a ledger have cents; those that k / 100.0 gives back bit for bit fit in four bytes.
bool centsOf(double real, std::int32_t &cents)
{
    if (!(std::fabs(real) < 2.0e7))
        return false;
    cents = std::int32_t(std::nearbyint(real * 100));
    const double back = cents / 100.0;
    return std::bit_cast<std::uint64_t>(back) == std::bit_cast<std::uint64_t>(real);
}

QByteArrayView storedText(const std::string &texts, std::uint32_t offset)
{
    size_t at = offset;
    std::uint32_t length = 0;
    int shift = 0;
    unsigned char byte = 0;
    do {
        byte = static_cast<unsigned char>(texts[at++]);
        length |= std::uint32_t(byte & 0x7F) << shift;
        shift += 7;
    } while (byte & 0x80);
    return QByteArrayView(texts.data() + at, qsizetype(length));
}

template<typename T>
int sign(T a, T b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace

struct RowStore::Cell
{
    Tag tag = Tag::Null;
    qint64 whole = 0;
    double real = 0;
    QByteArrayView text;
};

RowStore::RowStore(int columns) : m_columns(size_t(std::max(columns, 0)))
{
}

size_t RowStore::Payloads::size() const
{
    switch (m_form) {
    case Form::Counting:
        return m_count;
    case Form::Narrow:
        return m_narrow.size();
    case Form::Wide:
        break;
    }
    return m_wide.size();
}

std::uint32_t RowStore::Payloads::operator[](size_t i) const
{
    switch (m_form) {
    case Form::Counting:
        return m_first + std::uint32_t(i);
    case Form::Narrow:
        return m_narrow[i];
    case Form::Wide:
        break;
    }
    return m_wide[i];
}

void RowStore::Payloads::push_back(std::uint32_t slot)
{
    if (m_form == Form::Counting) {
        if (m_count == 0)
            m_first = slot;
        if (slot == m_first + std::uint32_t(m_count)) {
            ++m_count;
            return;
        }
        spellOut(slot);
    }
    if (m_form == Form::Narrow && !fitsNarrow(slot))
        widen();
    if (m_form == Form::Narrow)
        m_narrow.push_back(std::uint16_t(slot));
    else
        m_wide.push_back(slot);
}

void RowStore::Payloads::set(size_t i, std::uint32_t slot)
{
    if (m_form == Form::Counting) {
        if (slot == m_first + std::uint32_t(i))
            return;
        spellOut(slot);
    }
    if (m_form == Form::Narrow && !fitsNarrow(slot))
        widen();
    if (m_form == Form::Narrow)
        m_narrow[i] = std::uint16_t(slot);
    else
        m_wide[i] = slot;
}

void RowStore::Payloads::pop_back()
{
    if (m_form == Form::Counting)
        --m_count;
    else if (m_form == Form::Narrow)
        m_narrow.pop_back();
    else
        m_wide.pop_back();
}

void RowStore::Payloads::clear()
{
    *this = Payloads();
}

void RowStore::Payloads::shrink_to_fit()
{
    m_narrow.shrink_to_fit();
    m_wide.shrink_to_fit();
}

size_t RowStore::Payloads::bytesHeld() const
{
    return m_narrow.capacity() * sizeof(std::uint16_t) + m_wide.capacity() * sizeof(std::uint32_t);
}

void RowStore::Payloads::spellOut(std::uint32_t next)
{
    const std::uint64_t last = std::uint64_t(m_first) + m_count; // one past, unwrapped
    if (fitsNarrow(next) && last <= 0x10000) {
        m_narrow.resize(m_count);
        std::iota(m_narrow.begin(), m_narrow.end(), std::uint16_t(m_first));
        m_form = Form::Narrow;
    } else {
        m_wide.resize(m_count);
        std::iota(m_wide.begin(), m_wide.end(), m_first);
        m_form = Form::Wide;
    }
}

void RowStore::Payloads::widen()
{
    m_wide.assign(m_narrow.begin(), m_narrow.end());
    m_narrow = {};
    m_form = Form::Wide;
}

void RowStore::Column::push(Tag tag, std::uint32_t slot)
{
    if (payloads.empty()) {
        uniform = tag;
        tags.clear();
    } else if (tags.empty() && tag != uniform) {
        tags.assign(payloads.size(), uniform);
    }
    if (!tags.empty())
        tags.push_back(tag);
    payloads.push_back(slot);
}

void RowStore::Column::setTag(std::uint32_t record, Tag tag)
{
    if (tags.empty()) {
        if (tag == uniform)
            return;
        tags.assign(payloads.size(), uniform);
    }
    tags[record] = tag;
}

void RowStore::appendRow(const Statement &statement)
{
    if (m_records == slotLimit)
        tooLarge();
    for (size_t c = 0; c < m_columns.size(); ++c)
        storeCell(m_columns[c], m_records, true, statement.columnValue(int(c)));
    ++m_records;
}

void RowStore::finishReading()
{
    for (Column &column : m_columns) {
        column.interning = false;
        column.interned = {};
        column.payloads.shrink_to_fit();
        column.tags.shrink_to_fit();
        column.wide.shrink_to_fit();
        column.texts.shrink_to_fit();
    }
}

size_t RowStore::bytesHeld() const
{
    size_t bytes = m_order.capacity() * sizeof(std::uint32_t);
    for (const Column &column : m_columns)
        bytes += column.payloads.bytesHeld() + column.tags.capacity()
            + column.wide.capacity() * sizeof(qint64) + column.texts.capacity()
            + column.interned.capacity() * sizeof(std::uint32_t);
    return bytes;
}

void RowStore::storeCell(Column &column, std::uint32_t record, bool append, const ColumnValue &value)
{
    Tag tag = Tag::Null;
    std::uint32_t slot = 0;
    auto wideSlot = [&](qint64 bits) {
        if (column.wide.size() >= slotLimit)
            tooLarge();
        slot = std::uint32_t(column.wide.size());
        column.wide.push_back(bits);
    };
    switch (value.type) {
    case ColumnValue::Type::Null:
        break;
    case ColumnValue::Type::Integer:
        column.sawInteger = true;
        if (value.whole >= std::numeric_limits<std::int32_t>::min()
            && value.whole <= std::numeric_limits<std::int32_t>::max()) {
            tag = Tag::Small;
            slot = std::uint32_t(std::int32_t(value.whole));
        } else {
            tag = Tag::Whole;
            wideSlot(value.whole);
        }
        break;
    case ColumnValue::Type::Real: {
        column.sawReal = true;
        std::int32_t cents = 0;
        if (centsOf(value.real, cents)) {
            tag = Tag::Cents;
            slot = std::uint32_t(cents);
        } else {
            tag = Tag::Real;
            wideSlot(std::bit_cast<qint64>(value.real));
        }
        break;
    }
    case ColumnValue::Type::Text:
        column.sawText = true;
        tag = Tag::Text;
        slot = textSlot(column, value.text.data() ? value.text : QByteArrayView(""));
        break;
    }
    if (append) {
        column.push(tag, slot);
    } else {
        column.setTag(record, tag);
        column.payloads.set(record, slot);
    }
}

std::uint32_t RowStore::textSlot(Column &column, QByteArrayView text)
{
    // Stored texts are valid UTF-8, so one found among them needs no check.
    if (column.interning && column.textsRead > 0 && storedText(column.texts, column.lastText) == text)
        return column.lastText; // rows sorted by day repeat the day
    size_t hash = 0, at = 0;
    if (column.interning) {
        if (column.interned.empty())
            column.interned.assign(1024, 0);
        hash = qHash(text);
        const std::uint32_t found = findInterned(column, text, hash, at);
        if (found != slotLimit)
            return column.lastText = noteTextRead(column, found);
    }
    QByteArray normalized;
    // Qt's check is as strict as QString::fromUtf8: no overlong forms, no
    // surrogates, nothing past U+10FFFF.
    if (!text.isValidUtf8()) {
        // Keep what QString::fromUtf8 makes of it, behind the mark it drops,
        // so that the bytes read back the same and compare as valid UTF-8.
        normalized = QByteArrayLiteral("\xEF\xBB\xBF") + QString::fromUtf8(text).toUtf8();
        if (column.interning) {
            hash = qHash(QByteArrayView(normalized));
            const std::uint32_t found = findInterned(column, normalized, hash, at);
            if (found != slotLimit)
                return column.lastText = noteTextRead(column, found);
        }
        text = normalized;
    }
    const std::uint32_t slot = appendText(column, text);
    if (!column.interning)
        return slot;
    column.interned[at] = slot + 1;
    if (++column.internedCount * 2 >= column.interned.size())
        growInterned(column);
    return column.lastText = noteTextRead(column, slot);
}

std::uint32_t RowStore::noteTextRead(Column &column, std::uint32_t slot)
{
    if (++column.textsRead == internTrial && column.internedCount * 2 > internTrial) {
        column.interning = false;
        column.interned = {};
    }
    return slot;
}

std::uint32_t RowStore::findInterned(const Column &column, QByteArrayView text, size_t hash, size_t &at)
{
    const size_t mask = column.interned.size() - 1;
    for (at = hash & mask;; at = (at + 1) & mask) {
        const std::uint32_t entry = column.interned[at];
        if (entry == 0)
            return slotLimit;
        if (storedText(column.texts, entry - 1) == text)
            return entry - 1;
    }
}

void RowStore::growInterned(Column &column)
{
    std::vector<std::uint32_t> old(column.interned.size() * 2, 0);
    old.swap(column.interned);
    const size_t mask = column.interned.size() - 1;
    for (const std::uint32_t entry : old) {
        if (entry == 0)
            continue;
        size_t at = qHash(storedText(column.texts, entry - 1)) & mask;
        while (column.interned[at] != 0)
            at = (at + 1) & mask;
        column.interned[at] = entry;
    }
}

std::uint32_t RowStore::appendText(Column &column, QByteArrayView text)
{
    const size_t offset = column.texts.size();
    if (offset + size_t(text.size()) + 5 >= slotLimit)
        tooLarge();
    std::uint32_t length = std::uint32_t(text.size());
    do {
        const unsigned char byte = (length & 0x7F) | (length > 0x7F ? 0x80 : 0);
        column.texts.push_back(char(byte));
        length >>= 7;
    } while (length != 0);
    column.texts.append(text.data(), size_t(text.size()));
    return std::uint32_t(offset);
}

RowStore::Cell RowStore::cell(std::uint32_t record, int column) const
{
    const Column &c = m_columns[size_t(column)];
    Cell cell;
    cell.tag = c.tag(record);
    const std::uint32_t slot = c.payloads[record];
    switch (cell.tag) {
    case Tag::Null:
        break;
    case Tag::Small:
        cell.whole = std::int32_t(slot);
        break;
    case Tag::Cents:
        cell.real = std::int32_t(slot) / 100.0;
        break;
    case Tag::Whole:
        cell.whole = c.wide[slot];
        break;
    case Tag::Real:
        cell.real = std::bit_cast<double>(c.wide[slot]);
        break;
    case Tag::Text:
        cell.text = storedText(c.texts, slot);
        break;
    }
    return cell;
}

QVariant RowStore::value(int row, int column) const
{
    const Cell c = cell(record(row), column);
    switch (c.tag) {
    case Tag::Null:
        return QVariant();
    case Tag::Small:
    case Tag::Whole:
        return QVariant(c.whole);
    case Tag::Cents:
    case Tag::Real:
        return QVariant(c.real);
    case Tag::Text:
        return QVariant(QString::fromUtf8(c.text));
    }
    return QVariant();
}

void RowStore::setValue(int row, int column, const QVariant &value)
{
    ColumnValue cell;
    QByteArray text;
    if (value.isNull()) {
    } else if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int) {
        cell.type = ColumnValue::Type::Integer;
        cell.whole = value.toLongLong();
    } else if (value.typeId() == QMetaType::Double) {
        cell.type = ColumnValue::Type::Real;
        cell.real = value.toDouble();
    } else {
        text = value.toString().toUtf8();
        cell.type = ColumnValue::Type::Text;
        cell.text = text;
    }
    storeCell(m_columns[size_t(column)], record(row), false, cell);
}

void RowStore::materializeOrder()
{
    if (!m_order.empty() || m_records == 0)
        return;
    m_order.resize(m_records);
    std::iota(m_order.begin(), m_order.end(), 0u);
}

void RowStore::insertBlankRow(int row)
{
    if (m_records == slotLimit)
        tooLarge();
    if (!m_order.empty() || row != int(m_records)) {
        materializeOrder();
        m_order.insert(m_order.begin() + row, m_records);
    }
    for (Column &column : m_columns)
        column.push(Tag::Null, 0);
    ++m_records;
}

void RowStore::removeRow(int row)
{
    const std::uint32_t gone = record(row);
    if (m_order.empty() && gone + 1 != m_records)
        materializeOrder();
    if (!m_order.empty()) {
        m_order.erase(m_order.begin() + row);
        if (m_order.empty()) {
            // An empty order reads as every record in turn: with no row
            // left, the unreachable records must go too.
            for (Column &column : m_columns) {
                column.payloads.clear();
                column.tags.clear();
            }
            m_records = 0;
            return;
        }
    }
    if (gone + 1 != m_records)
        return; // a record in the middle stays unreachable until the next read
    for (Column &column : m_columns) {
        column.payloads.pop_back();
        if (!column.tags.empty())
            column.tags.pop_back();
    }
    --m_records;
}

int RowStore::compareCells(const Cell &a, const Cell &b)
{
    auto rank = [](const Cell &c) {
        switch (c.tag) {
        case Tag::Null:
            return 0;
        case Tag::Cents:
        case Tag::Real:
            return std::isnan(c.real) ? 2 : 1;
        case Tag::Text:
            return 3;
        default:
            return 1;
        }
    };
    const int rankA = rank(a), rankB = rank(b);
    if (rankA != rankB)
        return rankA < rankB ? -1 : 1;
    if (rankA == 3)
        return ValueOrder::compareUtf8AsUtf16(a.text, b.text);
    if (rankA != 1)
        return 0;
    const bool wholeA = a.tag == Tag::Small || a.tag == Tag::Whole;
    const bool wholeB = b.tag == Tag::Small || b.tag == Tag::Whole;
    if (wholeA && wholeB)
        return sign(a.whole, b.whole);
    if (wholeA)
        return ValueOrder::compareWholeWithReal(a.whole, b.real);
    if (wholeB)
        return -ValueOrder::compareWholeWithReal(b.whole, a.real);
    return sign(a.real, b.real);
}

int RowStore::compare(int rowA, int rowB, int column) const
{
    return compareCells(cell(record(rowA), column), cell(record(rowB), column));
}

int RowStore::sort(const std::vector<SortKey> &keys, int tracked)
{
    if (keys.empty() || rowCount() == 0)
        return tracked;
    materializeOrder();
    const std::uint32_t trackedRecord = tracked >= 0 ? m_order[size_t(tracked)] : slotLimit;
    std::stable_sort(m_order.begin(), m_order.end(), [&](std::uint32_t a, std::uint32_t b) {
        for (const SortKey &key : keys) {
            const int c = compareCells(cell(a, key.column), cell(b, key.column));
            if (c != 0)
                return key.descending ? c > 0 : c < 0;
        }
        return false;
    });
    if (trackedRecord == slotLimit)
        return tracked;
    return int(std::find(m_order.begin(), m_order.end(), trackedRecord) - m_order.begin());
}

int RowStore::lastRowWith(int column, const QVariant &value) const
{
    const bool wholeKey = value.typeId() == QMetaType::LongLong;
    const qint64 key = wholeKey ? value.toLongLong() : 0;
    for (int row = rowCount() - 1; row >= 0; --row) {
        const Cell c = cell(record(row), column);
        if (wholeKey && (c.tag == Tag::Small || c.tag == Tag::Whole)) {
            if (c.whole == key)
                return row;
        } else if (this->value(row, column) == value) {
            return row;
        }
    }
    return -1;
}
