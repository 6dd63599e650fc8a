#pragma once

#include <QString>
#include <QTemporaryDir>

// A private copy of a database file that statements read through IN 'file'.
// The file is only read: nothing is created or changed beside it, so a file in
// a folder the user cannot write, or on a read-only medium, reads all the same.
// Committed rows that still sit in its -wal are part of the copy, and a
// transaction left unfinished in its -journal is undone in the copy, exactly
// as SQLite would see the file itself.
class SourceSnapshot
{
public:
    // Raises Error, in the user's language, when the file is missing, a
    // folder, not a database, damaged or unreadable; the message ends with
    // the path.
    explicit SourceSnapshot(const QString &path);
    SourceSnapshot(const SourceSnapshot &) = delete;
    SourceSnapshot &operator=(const SourceSnapshot &) = delete;

    const QString &path() const { return m_path; }       // the file named in the statement, made absolute
    const QString &copyPath() const { return m_copyPath; } // a database without -wal or -journal

private:
    void copyFiles();
    void recoverCopy();

    QString m_path;
    QTemporaryDir m_dir;
    QString m_copyPath;
};

// Whether two names reach the same file: the same file identity (another
// hard link, another mount of the folder); a name of no file reaches none.
bool isSameFile(const QString &a, const QString &b);

// Whether a snapshot of source would read one of the files of database (the
// file, its -wal, -shm or -journal): a database open in this process may be
// read only by SQLite, since closing any other descriptor of its files drops
// every lock SQLite holds on them.
bool sharesAFileWith(const QString &source, const QString &database);
