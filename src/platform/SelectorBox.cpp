#include "SelectorBox.h"

#include "CompactStyle.h"
#include "FocusedWheel.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QValidator>

namespace {

// Applies the key filter to a whole text, as if each character were typed.
class FilterValidator : public QValidator
{
public:
    FilterValidator(std::function<QChar(QChar)> filter, QObject *parent)
        : QValidator(parent), m_filter(std::move(filter))
    {
    }

    State validate(QString &input, int &) const override
    {
        for (const QChar c : std::as_const(input))
            if (m_filter(c) != c)
                return Invalid;
        return Acceptable;
    }

private:
    std::function<QChar(QChar)> m_filter;
};

} // namespace

SelectorBox::SelectorBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    useCompactStyle(this);
    takeWheelOnlyWithFocus(this);
    lineEdit()->setTextMargins(0, 0, 0, 0);
    connect(lineEdit(), &QLineEdit::textEdited, this, &SelectorBox::typed);
    connect(this, &QComboBox::activated, this, [this] {
        m_settled = currentText();
        emit selected();
    });
}

void SelectorBox::setKeyFilter(std::function<QChar(QChar)> filter)
{
    m_keyFilter = filter;
    setValidator(new FilterValidator(std::move(filter), this));
}

void SelectorBox::setText(const QString &text)
{
    const QSignalBlocker blocker(this);
    const int index = findText(text);
    if (index >= 0)
        setCurrentIndex(index);
    setEditText(text);
    m_settled = text;
}

// Keys reach the combo box, which hands them to its text field itself: the
// filter has to sit here. Only keys that type a character pass it; Tab,
// Enter, Esc and the keys that move or delete keep their meaning.
void SelectorBox::keyPressEvent(QKeyEvent *event)
{
    m_deleting = event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete;
    const QString text = event->text();
    const bool typesCharacter = text.size() == 1 && (text[0].isPrint() || text[0] == QChar(8))
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (m_keyFilter && typesCharacter) {
        const QChar replaced = m_keyFilter(text[0]);
        if (replaced.isNull()) {
            event->accept(); // dropped before the box sees it
        } else if (replaced != text[0]) {
            QKeyEvent substitute(QEvent::KeyPress, 0, event->modifiers(), QString(replaced));
            QComboBox::keyPressEvent(&substitute);
        } else {
            QComboBox::keyPressEvent(event);
        }
    } else {
        QComboBox::keyPressEvent(event);
    }
    m_deleting = false;
}

void SelectorBox::typed(const QString &text)
{
    const QString before = m_settled;
    m_settled = text;
    if (m_deleting || text.isEmpty()) {
        emit changed();
        return;
    }
    const int match = [&] {
        for (int i = 0; i < count(); ++i)
            if (itemText(i).startsWith(text))
                return i;
        return -1;
    }();
    if (match < 0) {
        emit changed();
        return;
    }
    const QString item = itemText(match);
    {
        const QSignalBlocker blocker(this);
        setCurrentIndex(match);
        lineEdit()->setText(item);
        lineEdit()->setSelection(int(text.size()), int(item.size() - text.size()));
    }
    m_settled = item;
    if (item != before)
        emit selected();
}
