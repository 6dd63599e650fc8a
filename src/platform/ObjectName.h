#pragma once

#include <QLatin1String>

// Gives a control its design name, the name that the handlers and tests use.
template <class W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}
