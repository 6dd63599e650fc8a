#include "ErrorReport.h"

#include "core/Error.h"
#include "MessageBoxes.h"

#include <QLabel>
#include <QPalette>
#include <QToolTip>
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
        panel->setTextFormat(Qt::PlainText); // the message exactly, whatever it holds
        // The bar is 19 pixels high: the message takes the size and colour
        // of the system's status text, not the window's 16-pixel blue.
        QFont font = panel->font();
        font.setPixelSize(12);
        panel->setFont(font);
        QPalette palette = panel->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        panel->setPalette(palette);
        statusBar->addWidget(panel);
    }
    return panel;
}

// The whole message as a tooltip: one line while it is short, else wrapped
// at a readable width; blanks and any "<" in it show as they are.
QString toolTipFor(const QString &message)
{
    constexpr int wrapWidth = 480;
    if (message.isEmpty())
        return QString();
    if (QFontMetrics(QToolTip::font()).horizontalAdvance(message) <= wrapWidth)
        return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(message.toHtmlEscaped());
    return QStringLiteral("<table width='%1'><tr><td style='white-space:pre-wrap'>%2</td></tr></table>")
        .arg(wrapWidth)
        .arg(message.toHtmlEscaped());
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

// The panel keeps its 300 pixels; its tooltip shows the whole message.
void reportError(QStatusBar *statusBar, const QString &message)
{
    if (!statusBar)
        return;
    QLabel *panel = firstPanel(statusBar);
    panel->setText(message);
    panel->setToolTip(toolTipFor(message));
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
