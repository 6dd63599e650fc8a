#pragma once

#include <QString>
#include <memory>
#include <optional>

class QWidget;

// The system's file-open dialog goes through here so that tests can answer it.
class OpenDialogs
{
public:
    virtual ~OpenDialogs() = default;
    // Shows the modal dialog; the chosen file's name, or nothing when cancelled.
    virtual std::optional<QString> chooseFile(QWidget *parent) = 0;
};

OpenDialogs &openDialogs();
// Replaces the dialogs (tests); returns the previous ones.
std::unique_ptr<OpenDialogs> setOpenDialogs(std::unique_ptr<OpenDialogs> dialogs);

// A file-open dialog with no filter, title, default extension or initial
// folder, so that every file can be chosen.
class OpenDialog
{
public:
    bool execute(QWidget *parent); // false when cancelled
    const QString &fileName() const { return m_fileName; }

private:
    QString m_fileName;
};
