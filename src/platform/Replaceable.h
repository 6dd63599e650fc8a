#pragma once

#include <memory>

// The one instance of an interface that the program goes through for what
// tests must answer themselves (message boxes, the file dialog): a Default,
// made on first use, until a test puts its own in place.
template <class Interface, class Default>
class Replaceable
{
public:
    static Interface &instance() { return *slot(); }

    // Puts another instance in place; returns the previous one.
    static std::unique_ptr<Interface> replace(std::unique_ptr<Interface> next)
    {
        std::swap(slot(), next);
        return next;
    }

private:
    static std::unique_ptr<Interface> &slot()
    {
        static std::unique_ptr<Interface> current = std::make_unique<Default>();
        return current;
    }
};
