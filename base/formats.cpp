// Date texts in the one form the returns are stored in.
#include "base/formats.h"

#include "base/errors.h"

QString dateText(const QDate &date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QDate parseDateText(const QString &text)
{
    const QDate date = QDate::fromString(text.trimmed(), QStringLiteral("d.M.yyyy"));
    if (!date.isValid())
        throw ConversionError(QStringLiteral("'%1' geçerli bir tarih değil").arg(text));
    return date;
}

QDate firstOfMonth(const QDate &date)
{
    return QDate(date.year(), date.month(), 1);
}

QDate lastOfMonth(const QDate &date)
{
    return QDate(date.year(), date.month(), date.daysInMonth());
}
