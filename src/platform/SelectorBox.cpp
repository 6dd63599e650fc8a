#include "SelectorBox.h"

#include "CompactStyle.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

SelectorBox::SelectorBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    useCompactStyle(this);
    lineEdit()->setTextMargins(0, 0, 0, 0);
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, &SelectorBox::typed);
    connect(this, &QComboBox::activated, this, [this] { emit selected(); });
}

void SelectorBox::setText(const QString &text)
{
    const QSignalBlocker blocker(this);
    const int index = findText(text);
    if (index >= 0)
        setCurrentIndex(index);
    setEditText(text);
}

bool SelectorBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        m_deleting = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete;
        const QString text = key->text();
        if (m_keyFilter && text.size() == 1 && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            const QChar replaced = m_keyFilter(text[0]);
            if (replaced.isNull())
                return true; // dropped before the box sees it
            if (replaced != text[0]) {
                QKeyEvent substitute(QEvent::KeyPress, 0, key->modifiers(), QString(replaced));
                lineEdit()->event(&substitute);
                return true;
            }
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void SelectorBox::typed(const QString &text)
{
    if (!m_deleting && !text.isEmpty()) {
        for (int i = 0; i < count(); ++i) {
            const QString item = itemText(i);
            if (!item.startsWith(text))
                continue;
            const bool newChoice = i != currentIndex();
            {
                const QSignalBlocker blocker(this);
                setCurrentIndex(i);
                lineEdit()->setText(item);
                lineEdit()->setSelection(int(text.size()), int(item.size() - text.size()));
            }
            if (newChoice) {
                emit selected();
                return;
            }
            break;
        }
    }
    emit changed();
}
