#pragma once

#include <QString>

namespace soak {

// Writes to the ledger through the engine as the program does (the add
// dialogs' statements, grid posts, category saves, deletes, statistics runs)
// until it is killed, journalling each record write around its call.
// Raises Error when a write fails.
[[noreturn]] void runWriter(const QString &ledgerPath, const QString &journalPath, unsigned seed);

} // namespace soak
