#pragma once

#include <QString>
#include <exception>

// The one exception type of the program: every failure travels as an Error
// whose message is the text that the user finally sees (status bar or error box).
class Error : public std::exception
{
public:
    explicit Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A value or statement as a message quotes it: whole while it is short, else
// cut with "…" after 200 characters, or sooner where 30 characters pass
// without a place to break the line, so that a message box or tooltip wraps
// the message between whole words.
QString excerpt(const QString &text);
