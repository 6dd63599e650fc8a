#pragma once

// Hands the pages that freed blocks leave behind back to the system. The
// allocator would otherwise keep megabytes scattered among live blocks for as
// long as the program runs, once a row set or a cache over a whole ledger
// has been let go of. With an event loop, it is done once the work at hand
// is over.
void returnFreedMemory() noexcept;
