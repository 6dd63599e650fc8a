#pragma once

#include <QComboBox>
#include <functional>

// An editable combo box that completes typed text from its list. A completion
// that changes the chosen item counts as a pick (selected()); one that keeps
// it counts as nothing; other typing, Backspace included, counts as a change
// (changed()). Each typed character passes a key filter first, which may
// replace it or drop it (QChar()). Writes from code raise neither notification.
// The wheel picks another item only while the box holds the focus.
class SelectorBox : public QComboBox
{
    Q_OBJECT
public:
    explicit SelectorBox(QWidget *parent = nullptr);

    // Also holds pasted text to the characters the filter lets through.
    void setKeyFilter(std::function<QChar(QChar)> filter);
    void setText(const QString &text); // quietly
    QString text() const { return currentText(); }

signals:
    void changed();
    void selected();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void typed(const QString &text);

    std::function<QChar(QChar)> m_keyFilter;
    bool m_deleting = false;
    QString m_settled; // the text before the edit that is being reported
};
