#pragma once

#include "SourceSnapshot.h"

#include <QString>
#include <memory>
#include <vector>

class Database;

// The files that statements read through IN 'file', each attached read-only
// from a private snapshot (SourceSnapshot). SQLite cannot detach a file that
// the open transaction has read, so the files stay attached until no
// transaction is open; within one transaction a file named again is read from
// the same snapshot, and a new file gets a name no attached file holds.
class AttachedSources
{
public:
    // ownFile: the database of db, which no statement may read through IN.
    AttachedSources(Database &db, QString ownFile) : m_db(db), m_ownFile(std::move(ownFile)) {}

    // The schema from which a statement reads table of file; raises Error
    // naming the path when the file cannot be read or lacks the table.
    QString schemaFor(const QString &file, const QString &table);

    // Detaches every file, unless a transaction is open.
    void release() noexcept;

private:
    struct Attached
    {
        QString key;
        QString schema;
        std::unique_ptr<SourceSnapshot> snapshot;
    };

    Attached attach(const QString &file, const QString &key);
    void checkTable(const Attached &source, const QString &table);

    Database &m_db;
    QString m_ownFile;
    std::vector<Attached> m_attached;
};
