#include "ErrorReport.h"

#include "Error.h"
#include "MessageBoxes.h"

#include <QLabel>
#include <QStatusBar>

namespace {

QString &title()
{
    static QString text;
    return text;
}

// The first (only) panel of a status bar: a 300-pixel label.
QLabel *firstPanel(QStatusBar *statusBar)
{
    auto *panel = statusBar->findChild<QLabel *>(QStringLiteral("Panel0"));
    if (!panel) {
        panel = new QLabel(statusBar);
        panel->setObjectName(QStringLiteral("Panel0"));
        panel->setFixedWidth(300);
        statusBar->addWidget(panel);
    }
    return panel;
}

} // namespace

const QString &applicationTitle()
{
    return title();
}

void setApplicationTitle(const QString &text)
{
    title() = text;
}

QString errorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() > QChar(QLatin1Char('.')).unicode())
        return message + QLatin1Char('.');
    return message;
}

void showApplicationError(const QString &message)
{
    messageBoxes().show(MessageBoxes::Icon::Error, applicationTitle(), errorBoxText(message), MessageBoxes::Ok);
}

void runUnguarded(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const Error &e) {
        showApplicationError(e.message());
    } catch (const std::exception &e) {
        showApplicationError(QString::fromUtf8(e.what()));
    }
}

void reportError(QStatusBar *statusBar, const QString &message)
{
    if (statusBar)
        firstPanel(statusBar)->setText(message);
}

QString reportedError(const QStatusBar *statusBar)
{
    const auto *panel = statusBar->findChild<QLabel *>(QStringLiteral("Panel0"));
    return panel ? panel->text() : QString();
}

void runGuarded(QStatusBar *statusBar, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const Error &e) {
        reportError(statusBar, e.message());
    } catch (const std::exception &e) {
        reportError(statusBar, QString::fromUtf8(e.what()));
    }
}
