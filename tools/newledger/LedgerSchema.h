#pragma once

#include <QString>

// Creates a new, empty ledger data file with its seven tables, and unless told
// otherwise a short list of default income and payout categories.
// Raises Error when the file exists already or cannot be written.
void createLedgerFile(const QString &path, bool withCategories = true);
