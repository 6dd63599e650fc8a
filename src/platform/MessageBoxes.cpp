#include "MessageBoxes.h"

#include "Replaceable.h"

#include <QApplication>
#include <QMessageBox>

namespace {

class WidgetMessageBoxes : public MessageBoxes
{
public:
    Button show(Icon icon, const QString &caption, const QString &text, int buttons) override
    {
        QMessageBox box(icon == Icon::Error ? QMessageBox::Critical
                            : icon == Icon::Question ? QMessageBox::Question
                                                     : QMessageBox::NoIcon,
                        caption, text, QMessageBox::NoButton, QApplication::activeWindow());
        box.addButton(QMessageBox::Ok);
        if (buttons & Cancel)
            box.addButton(QMessageBox::Cancel);
        return box.exec() == QMessageBox::Ok ? Ok : Cancel;
    }
};

using Boxes = Replaceable<MessageBoxes, WidgetMessageBoxes>;

} // namespace

MessageBoxes &messageBoxes()
{
    return Boxes::instance();
}

std::unique_ptr<MessageBoxes> setMessageBoxes(std::unique_ptr<MessageBoxes> boxes)
{
    return Boxes::replace(std::move(boxes));
}
