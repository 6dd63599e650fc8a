#include "AttachedSources.h"

#include "DialectTranslator.h"
#include "Statement.h"
#include "core/Error.h"

#include <QFileInfo>
#include <QUrl>
#include <algorithm>

QString AttachedSources::schemaFor(const QString &file, const QString &table)
{
    const QFileInfo info(file);
    const QString key = info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
    auto found = std::find_if(m_attached.begin(), m_attached.end(), [&](const Attached &a) { return a.key == key; });
    if (found == m_attached.end())
        found = m_attached.insert(m_attached.end(), attach(file, key));
    checkTable(*found, table);
    return found->schema;
}

void AttachedSources::release() noexcept
{
    if (m_db.inTransaction())
        return;
    // A file still in use stays attached under its own name, so that a
    // failed detach blocks no later statement.
    std::erase_if(m_attached, [this](const Attached &a) {
        const QByteArray detach = QStringLiteral("DETACH DATABASE %1").arg(a.schema).toUtf8();
        return m_db.tryExecute(detach.constData());
    });
}

AttachedSources::Attached AttachedSources::attach(const QString &file, const QString &key)
{
    // The snapshot copies with plain file calls, which would drop the locks
    // SQLite holds on our own file: that file is read through SQLite alone.
    if (sharesAFileWith(file, m_ownFile))
        throw Error(QStringLiteral("不能通过 IN 读取正在使用的账本文件本身：%1").arg(QFileInfo(file).absoluteFilePath()));
    auto snapshot = std::make_unique<SourceSnapshot>(file);
    QString schema;
    for (qsizetype i = 0; schema.isEmpty(); ++i)
        if (std::none_of(m_attached.begin(), m_attached.end(), [&](const Attached &a) { return a.schema == sourceSchema(i); }))
            schema = sourceSchema(i);
    const QString uri = QString::fromUtf8(QUrl::fromLocalFile(snapshot->copyPath()).toEncoded()) + QStringLiteral("?mode=ro");
    Statement statement(m_db, QStringLiteral("ATTACH DATABASE ? AS %1").arg(schema));
    statement.bind(1, uri);
    try {
        statement.run();
    } catch (const Error &e) {
        throw Error(QStringLiteral("无法读取数据库文件（%1）：%2").arg(e.message(), snapshot->path()));
    }
    return {key, schema, std::move(snapshot)};
}

// Only a plain table is read: a view or virtual table of that name could
// run without end (a recursive view fills the disk) or read other files.
void AttachedSources::checkTable(const Attached &source, const QString &table)
{
    Statement find(m_db, QStringLiteral("SELECT type = 'table' AND sql NOT LIKE 'CREATE VIRTUAL%' FROM %1.sqlite_master "
                                        "WHERE type IN ('table', 'view') AND name = ? COLLATE NOCASE").arg(source.schema));
    find.bind(1, table);
    if (!find.step())
        throw Error(QStringLiteral("数据库文件中没有表 %1：%2").arg(table, source.snapshot->path()));
    if (find.value(0).toInt() == 0)
        throw Error(QStringLiteral("数据库文件中的 %1 不是普通的表：%2").arg(table, source.snapshot->path()));
}
