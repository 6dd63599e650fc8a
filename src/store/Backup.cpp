#include "Backup.h"

#include "core/Error.h"

#include <sqlite3.h>

Backup::Backup(const QString &path)
    : m_copy(openDatabase(path, Database::ReadWrite | Database::Create | Database::Exclusive))
{
}

void Backup::copyFrom(Database &source)
{
    sqlite3_backup *backup = sqlite3_backup_init(m_copy.handle(), "main", source.handle(), "main");
    if (!backup)
        throw sqliteError(m_copy.handle(), QString());
    const int stepped = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE)
        throw Error(QString::fromUtf8(sqlite3_errstr(stepped)), stepped);
    m_copy.execute(QStringLiteral("PRAGMA journal_mode=DELETE"));
}
