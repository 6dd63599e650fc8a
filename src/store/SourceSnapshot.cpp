#include "SourceSnapshot.h"

#include "Database.h"
#include "core/Error.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace {

// A copy is only trusted when no file of the database changed while it was taken.
constexpr int copyAttempts = 3;
const char *const companions[] = {"", "-wal", "-journal"};

struct Stamp
{
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;

    bool operator==(const Stamp &) const = default;
};

Stamp stampOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return {true, info.size(), info.lastModified()};
}

QList<Stamp> stampsOf(const QString &path)
{
    QList<Stamp> stamps;
    for (const char *suffix : companions)
        stamps.append(stampOf(path + QLatin1String(suffix)));
    return stamps;
}

Error unreadable(const QString &reason, const QString &path)
{
    return Error(QStringLiteral("无法读取数据库文件（%1）：%2").arg(reason, path));
}

Error notADatabase(const QString &path)
{
    return Error(QStringLiteral("不是数据库文件：%1").arg(path));
}

Error corrupt(const QString &path)
{
    return Error(QStringLiteral("数据库文件已损坏：%1").arg(path));
}

// QFile::copy gives the copy the source's permissions; SQLite must be able
// to write the copy all the same, that of a read-only file included.
void copyFile(const QString &from, const QString &to, const QString &source)
{
    QFile file(from);
    if (!file.copy(to))
        throw unreadable(file.errorString(), source);
    QFile copy(to);
    if (!copy.setPermissions(QFile::ReadOwner | QFile::WriteOwner))
        throw Error(QStringLiteral("无法建立数据库文件的临时副本（%1）：%2").arg(copy.errorString(), source));
}

} // namespace

SourceSnapshot::SourceSnapshot(const QString &path) : m_path(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()))
{
    const QFileInfo info(m_path);
    if (!info.exists())
        throw Error(QStringLiteral("找不到数据库文件：%1").arg(m_path));
    if (info.isDir())
        throw Error(QStringLiteral("这是文件夹，不是数据库文件：%1").arg(m_path));
    if (!info.isFile() || info.size() == 0)
        throw notADatabase(m_path);
    if (!m_dir.isValid())
        throw Error(QStringLiteral("无法建立临时文件夹（%1）：%2").arg(m_dir.errorString(), m_path));
    m_copyPath = m_dir.filePath(QStringLiteral("source.db"));
    copyFiles();
    recoverCopy();
}

void SourceSnapshot::copyFiles()
{
    for (int attempt = 0; attempt < copyAttempts; ++attempt) {
        for (const char *suffix : companions)
            QFile::remove(m_copyPath + QLatin1String(suffix));
        const QList<Stamp> before = stampsOf(m_path);
        for (qsizetype i = 0; i < before.size(); ++i)
            if (before[i].exists)
                copyFile(m_path + QLatin1String(companions[i]), m_copyPath + QLatin1String(companions[i]), m_path);
        if (stampsOf(m_path) == before)
            return;
    }
    throw Error(QStringLiteral("数据库文件正被其他程序改写，请稍后再试：%1").arg(m_path));
}

// Opening the copy read-write lets SQLite bring in what the -wal holds and
// undo what the -journal records; the copy is then one plain file.
void SourceSnapshot::recoverCopy()
{
    QString checked;
    try {
        Database db = openDatabase(m_copyPath, Database::ReadWrite | Database::NoMutex);
        db.execute(QStringLiteral("PRAGMA journal_mode=DELETE"));
        checked = db.firstText(QStringLiteral("PRAGMA quick_check(1)"));
    } catch (const Error &e) {
        switch (sqliteFailureOf(e)) {
        case SqliteFailure::NotADatabase:
            throw notADatabase(m_path);
        case SqliteFailure::Corrupt:
            throw corrupt(m_path);
        case SqliteFailure::Other:
            break;
        }
        throw unreadable(e.message(), m_path);
    }
    if (checked != QLatin1String("ok"))
        throw corrupt(m_path);
}

bool isSameFile(const QString &a, const QString &b)
{
    std::error_code missing; // either name reaches no file: not the same
    return std::filesystem::equivalent(QFile::encodeName(a).toStdString(), QFile::encodeName(b).toStdString(), missing);
}

bool sharesAFileWith(const QString &source, const QString &database)
{
    for (const char *sourceSuffix : companions)
        for (const char *databaseSuffix : {"", "-wal", "-shm", "-journal"})
            if (isSameFile(source + QLatin1String(sourceSuffix), database + QLatin1String(databaseSuffix)))
                return true;
    return false;
}
