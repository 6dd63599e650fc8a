#include "Shell.h"

#include <QDesktopServices>

namespace {
std::function<bool(const QUrl &)> &handler()
{
    static std::function<bool(const QUrl &)> open;
    return open;
}
} // namespace

void shellOpen(const QUrl &address)
{
    if (handler())
        handler()(address);
    else
        QDesktopServices::openUrl(address);
}

void setShellHandler(std::function<bool(const QUrl &)> open)
{
    handler() = std::move(open);
}
