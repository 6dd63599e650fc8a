#pragma once

#include <QString>
#include <memory>

class QWidget;

// Message boxes go through here so that tests can answer them.
class MessageBoxes
{
public:
    enum class Icon { None, Error, Question };
    enum Button { Ok = 1, Cancel = 2 };

    virtual ~MessageBoxes() = default;
    // Shows a modal box and returns the button pressed.
    virtual Button show(Icon icon, const QString &caption, const QString &text, int buttons) = 0;
};

MessageBoxes &messageBoxes();
// Replaces the boxes (tests); returns the previous ones.
std::unique_ptr<MessageBoxes> setMessageBoxes(std::unique_ptr<MessageBoxes> boxes);
