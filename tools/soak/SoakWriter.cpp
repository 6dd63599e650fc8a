#include "SoakWriter.h"

#include "SoakJournal.h"
#include "store/DataModuleUt.h"
#include "store/SqlText.h"

#include <QCoreApplication>
#include <random>

namespace soak {

namespace {

class Writer
{
public:
    Writer(const QString &ledgerPath, const QString &journalPath, unsigned seed)
        : m_journal(journalPath), m_random(seed), m_prefix(QStringLiteral("soak%1-").arg(seed))
    {
        m_module.ADOConnection1.setConnectionString(TDataModule1::connectionStringFor(ledgerPath));
        m_module.ADOConnection1.open();
    }

    void step()
    {
        const int choice = pick(100);
        const Target &record = targets()[size_t(pick(2))];
        if (choice < 35)
            insertByStatement(record);
        else if (choice < 55)
            insertByPost(record);
        else if (choice < 65)
            insertByPost(targets()[size_t(2 + pick(2))]);
        else if (choice < 85)
            deleteOne(targets()[size_t(pick(4))], choice < 75);
        else
            statisticsRun();
    }

private:
    int pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(m_random); }
    QString nextMarker() { return m_prefix + QString::number(++m_count); }
    Connection &connection() { return m_module.ADOConnection1; }

    // The add dialogs' statement.
    void insertByStatement(const Target &record)
    {
        const QString marker = nextMarker();
        const QString p = record.key.left(2);
        m_journal.begin(Operation::Insert, record.table, marker);
        connection().execute(QStringLiteral("Insert Into %1(%2Date,%2Class,%2Num,%2Desc) Values('2010-3-%3','餐饮',%4.5,'%5')")
                                 .arg(record.table, p).arg(1 + pick(28)).arg(pick(1000)).arg(marker));
        m_journal.end();
    }

    // A new row typed into a grid and posted.
    void insertByPost(const Target &target)
    {
        Query query(QStringLiteral("ADOQuerySoak"));
        query.setConnection(&connection());
        query.setSql(QStringLiteral("Select * From %1 Where %2 = 0").arg(target.table, target.key));
        query.open();
        query.append();
        const QString marker = nextMarker();
        query.setFieldText(query.fieldIndex(target.markerColumn), marker);
        if (target.markerColumn.endsWith(QLatin1String("Desc"))) {
            const QString p = target.key.left(2);
            query.setFieldText(query.fieldIndex(p + QStringLiteral("Date")), QStringLiteral("2010-4-%1").arg(1 + pick(30)));
            query.setFieldText(query.fieldIndex(p + QStringLiteral("Num")), QString::number(pick(100000) / 100.0));
        }
        m_journal.begin(Operation::Insert, target.table, marker);
        query.post();
        m_journal.end();
    }

    // The list's delete statement, or a grid's own delete.
    void deleteOne(const Target &target, bool byStatement)
    {
        Query query(QStringLiteral("ADOQuerySoak"));
        query.setConnection(&connection());
        query.setSql(QStringLiteral("Select %1, %2 From %3 Where %2 Like 'soak%'").arg(target.key, target.markerColumn, target.table));
        query.open();
        if (query.isEmpty())
            return;
        query.moveTo(pick(query.recordCount()));
        const QString marker = query.fieldText(target.markerColumn);
        m_journal.begin(Operation::Delete, target.table, marker);
        if (byStatement)
            connection().execute(QStringLiteral("Delete From %1 Where %2=%3").arg(target.table, target.key, query.fieldText(target.key)));
        else
            query.deleteRecord();
        m_journal.end();
    }

    // Scratch writes only: they may stay in the log.
    void statisticsRun()
    {
        connection().scratchBatch([&] {
            connection().execute(QStringLiteral("DELETE FROM AllCount"));
            connection().execute(QStringLiteral("INSERT INTO AllCount(AC_I_Count,AC_P_Count,AC_Net_Count) VALUES(%1, 0, %1 )")
                                     .arg(pick(1000)));
        });
    }

    TDataModule1 m_module;
    JournalWriter m_journal;
    std::mt19937 m_random;
    QString m_prefix;
    int m_count = 0;
};

} // namespace

void runWriter(const QString &ledgerPath, const QString &journalPath, unsigned seed)
{
    Writer writer(ledgerPath, journalPath, seed);
    for (;;) {
        writer.step();
        QCoreApplication::processEvents(); // the program's event loop, which retries held-up copies
    }
}

} // namespace soak
