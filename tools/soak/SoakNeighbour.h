#pragma once

#include <QString>

namespace soak {

enum class Neighbour { Writer, Import };

// A second program beside the killed writer for the whole soak: it adds
// records of its own (marked "beside-N" and journalled like the writer's),
// either by the add dialogs' statement or by the program's import of an
// earlier file made for each one, and in between holds a read of the ledger
// open for a while, as another copy of the program, the support tool or a
// backup does. Runs until it is killed; raises Error when a write fails.
[[noreturn]] void runNeighbour(Neighbour kind, const QString &ledgerPath, const QString &journalPath, unsigned seed);

} // namespace soak
