#include "OpenDialog.h"

#include <QFileDialog>

namespace {

class SystemOpenDialogs : public OpenDialogs
{
public:
    std::optional<QString> chooseFile(QWidget *parent) override
    {
        const QString name = QFileDialog::getOpenFileName(parent);
        if (name.isEmpty())
            return std::nullopt;
        return name;
    }
};

std::unique_ptr<OpenDialogs> &current()
{
    static std::unique_ptr<OpenDialogs> dialogs = std::make_unique<SystemOpenDialogs>();
    return dialogs;
}

} // namespace

OpenDialogs &openDialogs()
{
    return *current();
}

std::unique_ptr<OpenDialogs> setOpenDialogs(std::unique_ptr<OpenDialogs> dialogs)
{
    std::swap(current(), dialogs);
    return dialogs;
}

bool OpenDialog::execute(QWidget *parent)
{
    const std::optional<QString> chosen = openDialogs().chooseFile(parent);
    if (!chosen)
        return false;
    m_fileName = *chosen;
    return true;
}
