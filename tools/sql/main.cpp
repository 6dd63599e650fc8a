// lumibran-sql FILE: runs statements of the ledger's SQL dialect, one per line
// from standard input, through the same engine layer as the program.
#include "core/Error.h"
#include "store/DataModuleUt.h"
#include "store/Query.h"
#include "store/SqlTokenizer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

bool returnsRows(const QString &sql)
{
    const SqlTokens tokens = tokenizeSql(sql);
    for (size_t i : significantTokens(tokens))
        return tokens[i].isWord("SELECT") || tokens[i].isWord("PRAGMA") || tokens[i].isWord("WITH");
    return false;
}

void printRows(Query &query)
{
    QTextStream out(stdout);
    out << query.fieldNames().join(QLatin1Char('\t')) << '\n';
    for (query.first(); !query.eof(); query.next()) {
        QStringList values;
        for (const QString &name : query.fieldNames())
            values.append(query.fieldText(name));
        out << values.join(QLatin1Char('\t')) << '\n';
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 1 || args[0].startsWith(QLatin1String("-"))) {
        std::fprintf(stderr, "usage: lumibran-sql FILE < statements\n");
        return 2;
    }
    TDataModule1 module;
    module.ADOConnection1.setConnectionString(
        TDataModule1::connectionStringFor(QFileInfo(args[0]).absoluteFilePath()));
    try {
        module.ADOConnection1.open();
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    Query query(QStringLiteral("Query"));
    query.setConnection(&module.ADOConnection1);
    bool failed = false;
    std::string line;
    while (std::getline(std::cin, line)) {
        const QString sql = QString::fromStdString(line);
        if (sql.trimmed().isEmpty())
            continue;
        try {
            query.close();
            query.setSql(sql);
            if (returnsRows(sql)) {
                query.open();
                printRows(query);
                std::fflush(stdout); // another program may wait for the rows
            } else {
                query.execSQL();
            }
        } catch (const Error &e) {
            std::fprintf(stderr, "%s\n", e.what());
            std::fflush(stdout);
            failed = true;
        }
    }
    return failed ? 1 : 0;
}
