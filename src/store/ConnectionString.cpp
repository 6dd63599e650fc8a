#include "ConnectionString.h"

#include <QStringList>

namespace {

const QString &connectionHead()
{
    static const QString head = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=");
    return head;
}

const QString &connectionTail()
{
    static const QString tail = QStringLiteral(";Mode=Share Deny None;Extended Properties=\"\";");
    return tail;
}

} // namespace

QString ledgerConnectionString(const QString &fullPath)
{
    return connectionHead() + fullPath + connectionTail();
}

QString dataSourceOf(const QString &connectionString)
{
    // A string that ledgerConnectionString made gives back exactly the path put
    // in, ";" and "=" included (a folder named "a;Mode=x" is a folder).
    if (connectionString.startsWith(connectionHead()) && connectionString.endsWith(connectionTail())
        && connectionString.size() >= connectionHead().size() + connectionTail().size())
        return connectionString.mid(connectionHead().size(),
                                    connectionString.size() - connectionHead().size() - connectionTail().size());
    // Key=value pairs separated by ";". A piece without "=" belongs to the
    // value before it, so that a path holding ";" survives.
    QString source;
    bool inSource = false;
    for (const QString &piece : connectionString.split(QLatin1Char(';'))) {
        const qsizetype eq = piece.indexOf(QLatin1Char('='));
        if (eq < 0) {
            if (inSource)
                source += QLatin1Char(';') + piece;
            continue;
        }
        inSource = piece.left(eq).trimmed().compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0;
        if (inSource)
            source = piece.mid(eq + 1);
    }
    source = source.trimmed();
    if (source.size() >= 2 && source.startsWith(QLatin1Char('"')) && source.endsWith(QLatin1Char('"')))
        source = source.mid(1, source.size() - 2);
    return source;
}
