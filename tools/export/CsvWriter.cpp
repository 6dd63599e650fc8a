#include "CsvWriter.h"

#include <charconv>

namespace {

QString textField(QString text)
{
    if (!text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text[0]))
        text.prepend(QLatin1Char('\''));
    for (const QChar c : std::as_const(text))
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return text;
}

QString field(const QVariant &value)
{
    if (value.typeId() == QMetaType::Double) {
        // Fixed notation, which every spreadsheet reads as a number; the
        // longest double (1.8e308, or 5e-324 written out) fits.
        char digits[400];
        const auto written = std::to_chars(digits, digits + sizeof digits, value.toDouble(), std::chars_format::fixed);
        return QString::fromLatin1(digits, written.ptr - digits);
    }
    if (value.typeId() == QMetaType::LongLong)
        return QString::number(value.toLongLong());
    return textField(value.toString());
}

} // namespace

QByteArray recordsCsv(const std::vector<LedgerRecord> &records)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString comma = QStringLiteral(",");
    QString csv = QStringLiteral("\uFEFF收支,日期,类别,金额,说明") + crlf;
    for (const LedgerRecord &r : records)
        csv += (r.payout ? QStringLiteral("支出") : QStringLiteral("收入")) + comma + field(r.date) + comma
            + field(r.category) + comma + field(r.amount) + comma + field(r.note) + crlf;
    return csv.toUtf8();
}
