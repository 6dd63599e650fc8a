#include "OpenDialog.h"

#include "platform/Replaceable.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QMimeDatabase>

namespace {

// Only SQLite may open the ledger's files (Tavokel.257, its -wal and -shm)
// in this process: its locks are POSIX locks, which belong to the process,
// and closing any other descriptor of those files drops every one of them,
// after which a second program deletes the log under us. The toolkit's
// dialog reads each listed file to tell its type and icon from its content;
// this provider tells them from the name alone, so the dialog opens nothing
// it lists.
class NameOnlyIconProvider : public QFileIconProvider
{
public:
    NameOnlyIconProvider() { setOptions(DontUseCustomDirectoryIcons); }

    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo &info) const override
    {
        if (info.isRoot())
            return icon(Drive);
        if (!info.isFile())
            return icon(Folder);
        const QMimeType mime = mimeByName(info);
        return QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName(), icon(File)));
    }
    QString type(const QFileInfo &info) const override
    {
        if (!info.isFile())
            return QFileIconProvider::type(info);
        const QMimeType mime = mimeByName(info);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    static QMimeType mimeByName(const QFileInfo &info)
    {
        return QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    }
};

class SystemOpenDialogs : public OpenDialogs
{
public:
    // The toolkit's own dialog, which we can keep from reading the files it
    // lists (a platform's native one would read them in our process too).
    // Any name is taken, as typed: a name that names no file ends the run.
    std::optional<QString> chooseFile(QWidget *parent) override
    {
        static NameOnlyIconProvider names;
        QFileDialog dialog(parent);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setIconProvider(&names);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().front();
    }
};

using Dialogs = Replaceable<OpenDialogs, SystemOpenDialogs>;

} // namespace

OpenDialogs &openDialogs()
{
    return Dialogs::instance();
}

std::unique_ptr<OpenDialogs> setOpenDialogs(std::unique_ptr<OpenDialogs> dialogs)
{
    return Dialogs::replace(std::move(dialogs));
}

bool OpenDialog::execute(QWidget *parent)
{
    const std::optional<QString> chosen = openDialogs().chooseFile(parent);
    if (!chosen)
        return false;
    m_fileName = *chosen;
    return true;
}
