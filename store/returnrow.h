// One stored return row as its readers use it, and the key of a return. Every
// reader of bodro rows (the reload, the summary, the declaration file and the
// printout) takes its texts and figures from here, so that a stored gross pay
// or rate means the same thing wherever it is read, and where two readers want
// two readings of one column, both carry a name that says which.
#pragma once

#include "base/amounttext.h"

#include <optional>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVariantList>

class Statement;
class StoredRowReader;

// The five values that identify one stored return.
struct ReturnKey {
    QString employer;    // YATISVER, 12 digits
    QString periodStart; // YATDEVREILK, dd.mm.yyyy
    QString periodEnd;   // YATDEVRESON
    QString type;        // YATBODROTUR, "01" ASIL, "02" EK
    QString seqNo;       // YATBDRDEVMIK, "1" to "9"

    bool operator==(const ReturnKey &) const = default;

    // How much of the key a statement names.
    enum class Scope {
        Period, // employer and period: every return of one employer's period
        Type,   // and the type: every record of one period and type
        Return, // and the sequence number: one return
    };

    // "YATISVER = ? AND YATDEVREILK = ? AND ..." for the columns of the scope,
    // in key order; values() binds them in the same order.
    static QString where(Scope scope = Scope::Return);
    QVariantList values(Scope scope = Scope::Return) const;
};

// A stored rate, read once: YATPRIMOR or YATDEPOOR.
class StoredRate
{
  public:
    StoredRate() = default;
    static StoredRate read(QStringView text);

    const QString &text() const { return m_text; }
    // The text as a plain number. A text that is not one, an empty text
    // included, is refused with ConversionError naming it.
    Decimal value() const;
    // The same, rounded to two decimals as an amount field rounds it.
    Decimal rounded() const;
    // The number the entry screen shows back: group separators ignored, an
    // empty text 0, rounded to two decimals. Refuses any other text that is
    // not a number.
    Decimal entered() const;
    // value() as amount text, "5" → "5.00".
    QString amountText() const { return amount::format(value()); }

  private:
    QString m_text;
    std::optional<Decimal> m_value;   // strict reading
    std::optional<Decimal> m_rounded; // m_value to two decimals
    std::optional<Decimal> m_entered; // lenient reading, to two decimals
};

// The gross pay that the amount field reads from a stored YATBRUT text: every
// separator removed, the last two digits the decimals, not a number read as 0.
Decimal storedGross(QStringView text);

struct StoredRow {
    // The header that every row of a return repeats.
    ReturnKey key;
    QString send;         // YATGONDER
    QString address;      // ISVISADRES
    QString phone;        // ISVTELNO
    QString employerName; // ISVISIM

    // The employee.
    QString number;      // YATSIRANO
    QString fundNo;      // YATSRVNO
    QString identityNo;  // YATKIMLIK
    QString insuranceNo; // YATSSKNO; NULL reads as empty
    QString name;        // YATISIM
    QString sex;         // YATCINS
    QString days;        // YATCALGUN
    QString leave;       // YATDURUM
    QString grossText;   // YATBRUT as stored

    StoredRate premiumRate; // YATPRIMOR
    StoredRate depositRate; // YATDEPOOR

    // storedGross() of grossText, worked out on first use.
    const Decimal &gross() const;
    // The premium rate as the printed line applies it, rounded to two
    // decimals; the printed line applies the deposit rate as stored.
    Decimal premiumRateRounded() const { return premiumRate.rounded(); }

  private:
    friend class StoredRowReader;
    mutable std::optional<Decimal> m_gross;
    const StoredRowReader *m_readBy = nullptr; // the reader that filled it last
};

// Reads rows of a statement or of a query's result into StoredRow. The
// columns are found by name once; a column the result lacks reads as empty.
// A reader that goes through many rows passes the same StoredRow each time:
// what repeats the row before is then not read again.
class StoredRowReader
{
  public:
    enum class Missing {
        Empty,  // a reader that selects only the columns it uses
        Refuse, // DbError naming the first column of bodro the result lacks
    };
    explicit StoredRowReader(const QStringList &columns, Missing missing = Missing::Empty);
    explicit StoredRowReader(const Statement &statement, Missing missing = Missing::Empty);

    // The statement's current row into row, reusing its storage. Between two
    // reads into one row the caller leaves it unchanged or assigns it anew.
    void read(const Statement &statement, StoredRow &row);
    // One row of a query's result, in the order of the columns given.
    void read(const QStringList &values, StoredRow &row);

  private:
    void locate(const QStringList &columns, Missing missing);

    enum Field {
        Employer,
        PeriodStart,
        PeriodEnd,
        Type,
        SeqNo,
        Send,
        Address,
        Phone,
        EmployerName,
        Number,
        FundNo,
        IdentityNo,
        InsuranceNo,
        Name,
        Sex,
        Days,
        Leave,
        Gross,
        PremiumRate,
        DepositRate,
        FieldCount
    };
    static QString &text(StoredRow &row, int field);
    static StoredRate &rate(StoredRow &row, int field);

    int m_position[FieldCount];
    // What the statement path last read into m_last, column by column.
    const StoredRow *m_last = nullptr;
    QByteArray m_bytes[FieldCount];
};
