#pragma once

#include <QString>
#include <exception>

// The one exception type of the program: every failure travels as an Error
// whose message is the text that the user finally sees (status bar or error box).
// A failure that SQLite reported also carries SQLite's (extended) result code.
class Error : public std::exception
{
public:
    explicit Error(QString message, int resultCode = 0)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8()), m_resultCode(resultCode)
    {
    }

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }
    int resultCode() const noexcept { return m_resultCode; } // 0 where SQLite gave none

private:
    QString m_message;
    QByteArray m_utf8;
    int m_resultCode = 0;
};

// A value or statement as a message quotes it: whole while it is short, else
// cut with "…" after 200 characters, or sooner where 30 characters pass
// without a place to break the line, so that a message box or tooltip wraps
// the message between whole words.
QString excerpt(const QString &text);
