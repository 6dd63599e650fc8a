// lumibran-export [--from YYYY-MM-DD] [--to YYYY-MM-DD] [LEDGER]: writes the
// income and payout records of a ledger (default Tavokel.257 in the current
// directory) to standard output as CSV for a spreadsheet.
#include "CsvWriter.h"
#include "LedgerRecords.h"
#include "core/Error.h"
#include "store/DataModuleUt.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const char usage[] = "usage: lumibran-export [--from YYYY-MM-DD] [--to YYYY-MM-DD] [LEDGER] > records.csv\n";

QDate isoDay(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    return form.match(text).hasMatch() ? QDate::fromString(text, Qt::ISODate) : QDate();
}

int usageError(const QString &message)
{
    std::fprintf(stderr, "lumibran-export: %s\n%s", qPrintable(message), usage);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    DayRange range;
    QString path;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::printf("%sWrites the income and payout records of the ledger (default Tavokel.257 in the\n"
                        "current directory) as CSV, ordered by day; --from and --to limit the days.\n",
                        usage);
            return 0;
        }
        if (arg == QLatin1String("--from") || arg == QLatin1String("--to")) {
            QDate &day = arg == QLatin1String("--from") ? range.from : range.to;
            day = i + 1 < args.size() ? isoDay(args[++i]) : QDate();
            if (!day.isValid())
                return usageError(QStringLiteral("%1 needs a day written YYYY-MM-DD").arg(arg));
        } else if (path.isEmpty() && !arg.startsWith(QLatin1Char('-'))) {
            path = arg;
        } else {
            return usageError(QStringLiteral("unexpected argument '%1'").arg(arg));
        }
    }
    if (range.from.isValid() && range.to.isValid() && range.from > range.to)
        return usageError(QStringLiteral("--from %1 comes after --to %2")
                              .arg(range.from.toString(Qt::ISODate), range.to.toString(Qt::ISODate)));
    if (path.isEmpty())
        path = TDataModule1::ledgerFullPath();
    QByteArray csv;
    try {
        csv = recordsCsv(readLedgerRecords(path, range));
    } catch (const Error &e) {
        std::fprintf(stderr, "lumibran-export: %s\n", e.what());
        return 1;
    }
    // A full disk shows only here: the records are not all written.
    if (std::fwrite(csv.constData(), 1, size_t(csv.size()), stdout) != size_t(csv.size()) || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "lumibran-export: cannot write the records: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}
