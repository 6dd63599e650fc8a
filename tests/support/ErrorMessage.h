#pragma once

#include "core/Error.h"

#include <QString>
#include <functional>

// The message of the Error that an action raises, as the program would
// report it; empty when the action succeeds.
inline QString errorMessageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Error &e) {
        return e.message();
    }
    return QString();
}
