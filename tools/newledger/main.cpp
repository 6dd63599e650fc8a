// lumibran-newledger [--no-categories] [PATH]: creates a new, empty ledger data file.
#include "LedgerSchema.h"
#include "core/Error.h"
#include "store/DataModuleUt.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    bool withCategories = true;
    QString path;
    const QStringList args = app.arguments().mid(1);
    for (const QString &arg : args) {
        if (arg == QLatin1String("--no-categories")) {
            withCategories = false;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::printf("usage: lumibran-newledger [--no-categories] [PATH]\n"
                        "Creates a new ledger data file (default Tavokel.257 in the current directory).\n");
            return 0;
        } else if (path.isEmpty() && !arg.startsWith(QLatin1String("--"))) {
            path = arg;
        } else {
            std::fprintf(stderr, "lumibran-newledger: unexpected argument '%s'\n", qPrintable(arg));
            return 2;
        }
    }
    if (path.isEmpty())
        path = TDataModule1::ledgerFullPath();
    try {
        createLedgerFile(path, withCategories);
    } catch (const Error &e) {
        std::fprintf(stderr, "lumibran-newledger: %s\n", e.what());
        return 1;
    }
    std::printf("created %s\n", qPrintable(path));
    return 0;
}
