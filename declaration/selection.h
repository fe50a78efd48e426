// Which stored rows the declaration screen works on: the statements behind
// "Hesapla" and "Hazırla". Every value is bound; every comparison is on the
// stored texts, so "<=" on a "dd.mm.yyyy" text compares day first.
#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>

enum class ReturnKind { Asil, Ek, Tumu };

struct BoundSql {
    QString sql;
    QVariantList params;
};

// The period and the type choices as the screen shows them.
struct PeriodChoice {
    QDate start;
    QDate end;
    ReturnKind kind = ReturnKind::Asil;
    bool retroactive = false; // "Geriye Dönük"
};

// The rows the period summary totals: first records of a period without the
// retroactive box, further records (sequence number above "1") with it.
// "Tümü" without the box means every record of the main returns.
BoundSql summarySelection(const PeriodChoice &choice);

// The rows the declaration file carries. No condition on the sequence number.
// Under "Tümü" only the employer and return type picked with F10 count, for
// exactly the period on screen.
BoundSql fileSelection(const PeriodChoice &choice, const QString &pickedEmployer,
                       const QString &pickedType);
