#include "FieldText.h"

#include "DialectTranslator.h"
#include "SqlText.h"
#include "core/DateConventions.h"
#include "core/Error.h"

#include <QDate>
#include <cmath>

QString fieldText(const QVariant &value, ColumnType kind)
{
    if (value.isNull())
        return QString();
    if (value.typeId() == QMetaType::Double)
        return generalNumber(value.toDouble());
    if (kind == ColumnType::Date && value.typeId() == QMetaType::QString) {
        const QDate date = QDate::fromString(value.toString(), Qt::ISODate);
        if (date.isValid())
            return DateConventions::system().format(date);
    }
    return value.toString();
}

QVariant fieldValue(const QString &text, ColumnType kind)
{
    const QString trimmed = text.trimmed();
    switch (kind) {
    case ColumnType::Text:
        return text;
    case ColumnType::Integer: {
        if (trimmed.isEmpty())
            return QVariant();
        bool ok = false;
        const qint64 value = trimmed.toLongLong(&ok);
        if (!ok)
            throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
        return value;
    }
    case ColumnType::Number: {
        if (trimmed.isEmpty())
            return QVariant();
        bool ok = false;
        const double value = trimmed.toDouble(&ok);
        if (!ok || !std::isfinite(value))
            throw Error(QStringLiteral("不是有效的数字：'%1'").arg(excerpt(text)));
        return value;
    }
    case ColumnType::Date: {
        if (trimmed.isEmpty())
            return QVariant();
        const auto date = readDialectDate(trimmed);
        if (!date)
            throw Error(QStringLiteral("'%1' is not a valid date").arg(text));
        return isoDay(*date);
    }
    }
    return text;
}

double fieldNumber(const QVariant &value)
{
    if (value.isNull())
        return 0;
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        throw Error(QStringLiteral("不是有效的数字：'%1'").arg(excerpt(value.toString())));
    return number;
}
