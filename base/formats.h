// The fixed text forms of dates that every screen and stored row uses.
#pragma once

#include <QDate>
#include <QString>

// "dd.mm.yyyy", as stored in YATDEVREILK / YATDEVRESON.
QString dateText(const QDate &date);

// Reads a day.month.year text; throws ConversionError when it is not a date.
QDate parseDateText(const QString &text);

QDate firstOfMonth(const QDate &date);
// The true last day of the month, 29 February in every leap year.
QDate lastOfMonth(const QDate &date);
