#pragma once

#include "platform/MessageBoxes.h"

#include <QList>
#include <QStringList>

// Answers message boxes without showing them and remembers what they said;
// with toolkit set, remembers them and has the toolkit show them, for the
// test to answer as a user.
class ScriptedMessageBoxes : public MessageBoxes
{
public:
    struct Shown
    {
        Icon icon;
        QString caption;
        QString text;
        int buttons;
    };

    Button show(Icon icon, const QString &caption, const QString &text, int buttons) override
    {
        shown.append({icon, caption, text, buttons});
        if (toolkit)
            return toolkit->show(icon, caption, text, buttons);
        return answers.isEmpty() ? Ok : answers.takeFirst();
    }

    QList<Shown> shown;
    QList<Button> answers;
    MessageBoxes *toolkit = nullptr;
};
