#include "SoakNeighbour.h"

#include "SoakJournal.h"
#include "import/LedgerImport.h"
#include "newledger/LedgerSchema.h"
#include "store/DataModuleUt.h"
#include "store/Statement.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <random>
#include <thread>

namespace soak {

namespace {

class Beside
{
public:
    Beside(Neighbour kind, const QString &ledgerPath, const QString &journalPath, unsigned seed)
        : m_kind(kind), m_ledgerPath(ledgerPath), m_journal(journalPath), m_random(seed),
          m_sourcePath(QFileInfo(journalPath).absolutePath() + QStringLiteral("/earlier.257"))
    {
        m_module.ADOConnection1.setConnectionString(TDataModule1::connectionStringFor(ledgerPath));
        m_module.ADOConnection1.open();
        m_reader = openDatabase(ledgerPath, Database::ReadOnly);
        m_reader.setBusyTimeout(10000);
    }

    void step()
    {
        const QString marker = QStringLiteral("beside-%1").arg(++m_count);
        m_journal.begin(Operation::Insert, QStringLiteral("Payout"), marker);
        if (m_kind == Neighbour::Import)
            importOne(marker);
        else
            m_module.ADOConnection1.execute(
                QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-5-1','交通',2,'%1')").arg(marker));
        m_journal.end();
        QCoreApplication::processEvents(); // the program's event loop, which retries held-up copies
        holdARead();
    }

private:
    // An earlier file holding one record, brought in as the import window does.
    void importOne(const QString &marker)
    {
        QFile::remove(m_sourcePath);
        createLedgerFile(m_sourcePath, false);
        {
            Connection source;
            source.setConnectionString(TDataModule1::connectionStringFor(m_sourcePath));
            source.open();
            source.execute(QStringLiteral("Insert Into Payout(P_Date,P_Class,P_Num,P_Desc) Values('2010-6-1','书籍',3,'%1')").arg(marker));
        }
        importLedger(TDataModule1::connectionStringFor(m_ledgerPath), m_sourcePath, false);
    }

    void holdARead()
    {
        Statement(m_reader, QStringLiteral("BEGIN")).run();
        Statement(m_reader, QStringLiteral("SELECT count(*), sum(P_Num) FROM Payout")).run();
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 40)(m_random)));
        Statement(m_reader, QStringLiteral("COMMIT")).run();
    }

    Neighbour m_kind;
    QString m_ledgerPath;
    TDataModule1 m_module;
    Database m_reader;
    JournalWriter m_journal;
    std::mt19937 m_random;
    QString m_sourcePath;
    int m_count = 0;
};

} // namespace

void runNeighbour(Neighbour kind, const QString &ledgerPath, const QString &journalPath, unsigned seed)
{
    Beside beside(kind, ledgerPath, journalPath, seed);
    for (;;)
        beside.step();
}

} // namespace soak
