#pragma once

#include "LedgerRecords.h"

#include <QByteArray>

// The records as a CSV file that a spreadsheet opens as meant in Chinese:
// UTF-8 with a byte-order mark, a line of titles, CRLF line ends and RFC 4180
// quoting. A text that a spreadsheet would run as a formula (one that begins
// with =, +, -, @, a tab or a carriage return) gets an apostrophe in front.
// Days and texts come as stored; an amount as the shortest decimal that reads
// back as exactly the stored number, never rounded.
QByteArray recordsCsv(const std::vector<LedgerRecord> &records);
