#pragma once

#include "Database.h"

#include <QString>

// A copy of a database in a new file, written through SQLite's online backup:
// consistent while the source stays open and others write to it, and a
// plain file with no -wal beside it, so that it can be moved on its own.
class Backup
{
public:
    // Creates the file, never over an existing one. Raises Error with
    // SQLite's message; nothing is created then.
    explicit Backup(const QString &path);

    // Copies source's main database into the file. Raises Error with
    // SQLite's message; the file may hold part of the copy then.
    void copyFrom(Database &source);

private:
    Database m_copy;
};
