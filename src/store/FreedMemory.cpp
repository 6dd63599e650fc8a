#include "FreedMemory.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdlib> // defines __GLIBC__ where it is glibc
#ifdef __GLIBC__
#include <malloc.h>
#endif

void returnFreedMemory() noexcept
{
#ifdef __GLIBC__
    // Trimming walks the whole heap: once, when the event loop next comes
    // round, serves every large row set and pass of the refresh at hand.
    static bool pending = false;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app) {
        malloc_trim(0);
        return;
    }
    if (pending)
        return;
    pending = true;
    QTimer::singleShot(0, app, [] {
        pending = false;
        malloc_trim(0);
    });
#endif
}
