#include "DataModuleUt.h"

#include "ConnectionString.h"

#include <QDir>

TDataModule1::TDataModule1(QObject *parent) : QObject(parent)
{
    ADOConnection1.setScratchTables(
        {QStringLiteral("IncomeStatistic"), QStringLiteral("PayoutStatistic"), QStringLiteral("AllCount")});
    for (Query *query : {&ADOQuerySR, &ADOQueryZC, &ADOQuerySRLB, &ADOQueryZCLB, &ADOQuerySRTJ, &ADOQueryZCTJ,
                         &ADOQueryJSR})
        query->setConnection(&ADOConnection1);
}

const QString &TDataModule1::ledgerFileName()
{
    static const QString name = QStringLiteral("Tavokel.257");
    return name;
}

QString TDataModule1::ledgerFullPath()
{
    return QDir::toNativeSeparators(QDir::current().absoluteFilePath(ledgerFileName()));
}

QString TDataModule1::connectionStringFor(const QString &fullPath)
{
    return ledgerConnectionString(fullPath);
}
