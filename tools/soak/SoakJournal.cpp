#include "SoakJournal.h"

#include "core/Error.h"

#include <QFile>
#include <fcntl.h>
#include <unistd.h>

namespace soak {

const std::vector<Target> &targets()
{
    static const std::vector<Target> all = {
        {QStringLiteral("Income"), QStringLiteral("I_No"), QStringLiteral("I_Desc")},
        {QStringLiteral("Payout"), QStringLiteral("P_No"), QStringLiteral("P_Desc")},
        {QStringLiteral("IncomeClass"), QStringLiteral("IC_No"), QStringLiteral("IC_Name")},
        {QStringLiteral("PayoutClass"), QStringLiteral("PC_No"), QStringLiteral("PC_Name")},
    };
    return all;
}

const Target &target(const QString &table)
{
    for (const Target &t : targets())
        if (t.table == table)
            return t;
    throw Error(QStringLiteral("no soak table %1").arg(table));
}

JournalWriter::JournalWriter(const QString &path)
    : m_fd(::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644))
{
    if (m_fd < 0)
        throw Error(QStringLiteral("cannot write the journal %1").arg(path));
}

JournalWriter::~JournalWriter()
{
    ::close(m_fd);
}

void JournalWriter::line(const QByteArray &text)
{
    const QByteArray whole = text + '\n';
    if (::write(m_fd, whole.constData(), size_t(whole.size())) != whole.size())
        throw Error(QStringLiteral("cannot write the journal"));
}

void JournalWriter::begin(Operation operation, const QString &table, const QString &marker)
{
    line((operation == Operation::Insert ? "begin insert " : "begin delete ") + table.toUtf8() + ' ' + marker.toUtf8());
}

void JournalWriter::end()
{
    line("end");
}

std::vector<Entry> readJournal(const QString &path)
{
    std::vector<Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QStringList words = QString::fromUtf8(raw).split(QLatin1Char(' '));
        if (words.size() == 4 && words[0] == QLatin1String("begin"))
            entries.push_back({words[1] == QLatin1String("insert") ? Operation::Insert : Operation::Delete, words[2], words[3]});
        else if (words.size() == 1 && words[0] == QLatin1String("end") && !entries.empty())
            entries.back().acknowledged = true;
    }
    return entries;
}

} // namespace soak
