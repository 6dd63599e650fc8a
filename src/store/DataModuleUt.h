#pragma once

#include "Connection.h"
#include "Query.h"

#include <QObject>
#include <QString>

// The shared database objects: the one connection to the ledger data file and
// the named queries that the grids of the main window show.
class TDataModule1 : public QObject
{
    Q_OBJECT
public:
    explicit TDataModule1(QObject *parent = nullptr);

    static const QString &ledgerFileName(); // "Tavokel.257"
    // The bare ledger name made absolute against the current working directory.
    static QString ledgerFullPath();
    static QString connectionStringFor(const QString &fullPath);

    Connection ADOConnection1;
    Query ADOQuerySR{QStringLiteral("ADOQuerySR")};
    Query ADOQueryZC{QStringLiteral("ADOQueryZC")};
    Query ADOQuerySRLB{QStringLiteral("ADOQuerySRLB")};
    Query ADOQueryZCLB{QStringLiteral("ADOQueryZCLB")};
    Query ADOQuerySRTJ{QStringLiteral("ADOQuerySRTJ")};
    Query ADOQueryZCTJ{QStringLiteral("ADOQueryZCTJ")};
    Query ADOQueryJSR{QStringLiteral("ADOQueryJSR")};
};
