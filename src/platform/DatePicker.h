#pragma once

#include <QDateEdit>

// A date picker (date only, in the system's short date format). It tells of a
// change that the user made, not of one made from code, and of released keys.
// The wheel steps it only while it holds the focus.
class DatePicker : public QDateEdit
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);

    void setDateQuietly(const QDate &date);

signals:
    void userChanged();
    void keyReleased(int key);

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    bool m_quiet = false;
    QDate m_last;
};
