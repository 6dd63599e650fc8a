#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The writer's account of what it did: a "begin" line before each write and
// an "end" line once the call returned, so that a write is acknowledged only
// when the program would have told the user it was done.
namespace soak {

// Where a soak record lives: its table, key column and the column that holds
// its marker (a text unique to the record).
struct Target
{
    QString table;
    QString key;
    QString markerColumn;
};
const std::vector<Target> &targets();
const Target &target(const QString &table);

enum class Operation { Insert, Delete };

struct Entry
{
    Operation operation;
    QString table;
    QString marker;
    bool acknowledged = false; // the "end" line followed
};

// Appends lines with write(2), so that a SIGKILL loses none that returned.
class JournalWriter
{
public:
    explicit JournalWriter(const QString &path);
    ~JournalWriter();
    void begin(Operation operation, const QString &table, const QString &marker);
    void end();

private:
    void line(const QByteArray &text);
    int m_fd;
};

std::vector<Entry> readJournal(const QString &path);

} // namespace soak
