#include "TextBox.h"

#include <QLineEdit>
#include <limits>

QLineEdit *newTextBox(QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
}
