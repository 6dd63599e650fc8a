#include "MessageBoxes.h"

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

std::unique_ptr<MessageBoxes> &current()
{
    static std::unique_ptr<MessageBoxes> boxes = std::make_unique<WidgetMessageBoxes>();
    return boxes;
}

} // namespace

MessageBoxes &messageBoxes()
{
    return *current();
}

std::unique_ptr<MessageBoxes> setMessageBoxes(std::unique_ptr<MessageBoxes> boxes)
{
    std::swap(current(), boxes);
    return boxes;
}
