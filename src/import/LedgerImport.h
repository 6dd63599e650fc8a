#pragma once

#include <QString>

// Brings the categories and records of an earlier data file into the ledger,
// on a connection of its own, as one transaction: either every statement takes
// effect or none does, the restarted numbering included. With clearFirst the
// ledger is emptied first, after a copy of it has been written beside it
// ("Tavokel.257.before-import-YYYYMMDD-HHMMSS"), which a failed run removes
// again since it leaves the ledger as it was.
// Raises Error with the reason; the ledger data file itself, its -wal, -shm
// and -journal are refused as the source before any statement runs.
void importLedger(const QString &ledgerConnectionString, const QString &sourcePath, bool clearFirst);
