#pragma once

#include <QString>
#include <functional>

class QStatusBar;

// The application title: the main window's caption once shown, and the
// caption of the application error box.
const QString &applicationTitle();
void setApplicationTitle(const QString &title);

// The application error box for an error that no handler caught: the message,
// with "." appended when its last character's code is above ".", the
// application title, one OK button and the error icon.
QString errorBoxText(const QString &message);
void showApplicationError(const QString &message);

// Runs a handler whose failures no one catches: they end in the error box.
// Every unguarded handler goes through here, so no exception reaches Qt.
void runUnguarded(const std::function<void()> &handler);

// Runs a guarded handler: a failure ends it and its message replaces the text
// of the status bar's first panel. Nothing clears that text on success.
void runGuarded(QStatusBar *statusBar, const std::function<void()> &handler);
void reportError(QStatusBar *statusBar, const QString &message);
QString reportedError(const QStatusBar *statusBar);
