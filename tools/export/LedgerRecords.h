#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <vector>

// One income or payout record, its values as the ledger holds them (a text,
// a number or null).
struct LedgerRecord
{
    bool payout;
    QVariant date;
    QVariant category;
    QVariant amount;
    QVariant note;
};

// The days to read, both included; a null day leaves that end open.
struct DayRange
{
    QDate from;
    QDate to;
};

// The income and payout records of a ledger file within range, ordered by day
// and key (income before payout on a tie). The file is only read, in one go,
// so that the program beside it waits for nothing; it is never created, and no
// -wal is left behind. Raises Error for a missing file or one that is no ledger.
std::vector<LedgerRecord> readLedgerRecords(const QString &path, const DayRange &range);
