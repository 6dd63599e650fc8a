#pragma once

#include <QUrl>
#include <functional>

// The desktop's handler for an address (a new mail message, a web page).
// Its result is not examined: a failure changes nothing.
void shellOpen(const QUrl &address);
// Replaces the handler (tests); an empty function restores the desktop's.
void setShellHandler(std::function<bool(const QUrl &)> handler);
