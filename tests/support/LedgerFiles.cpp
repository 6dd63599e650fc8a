#include "LedgerFiles.h"

#include "store/Connection.h"
#include "store/DataModuleUt.h"
#include "store/Statement.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

LedgerContent ledgerContent(const QString &path)
{
    LedgerContent content;
    for (const QString &table : Connection::ledgerTables() + QStringList{QStringLiteral("sqlite_sequence")})
        content[table] = fileRows(path, QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table));
    return content;
}

QStringList folderState(const QString &dir)
{
    QStringList state;
    for (const QFileInfo &info :
         QDir(dir).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name)) {
        QString hash;
        if (info.isFile()) {
            QProcess sum;
            sum.start(QStringLiteral("sha256sum"), {info.filePath()});
            if (sum.waitForFinished() && sum.exitCode() == 0)
                hash = QString::fromLatin1(sum.readAllStandardOutput()).section(QLatin1Char(' '), 0, 0);
        }
        state.append(QStringLiteral("%1 %2 %3 %4")
                         .arg(info.fileName())
                         .arg(info.size())
                         .arg(info.lastModified().toMSecsSinceEpoch())
                         .arg(hash));
    }
    return state;
}

bool copyFromAnotherProcess(const QString &from, const QString &to)
{
    return QProcess::execute(QStringLiteral("cp"), {QStringLiteral("--"), from, to}) == 0;
}

void fillLedger(const QString &path, const QStringList &statements)
{
    Connection connection;
    connection.setConnectionString(TDataModule1::connectionStringFor(path));
    connection.open();
    for (const QString &sql : statements)
        connection.execute(sql);
}

Database openFileRaw(const QString &path)
{
    Database db = openDatabase(path, Database::ReadWrite);
    db.setBusyTimeout(5000);
    return db;
}

QList<QVariantList> fileRows(const QString &path, const QString &sql)
{
    Database db = openFileRaw(path);
    Statement statement(db, sql);
    return rowsOf(statement);
}

QList<QVariantList> rowsOf(Statement &statement)
{
    QList<QVariantList> rows;
    while (statement.step()) {
        QVariantList row;
        for (int c = 0; c < statement.columnCount(); ++c)
            row.append(statement.value(c));
        rows.append(row);
    }
    return rows;
}
