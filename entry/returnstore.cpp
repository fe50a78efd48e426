// Saving, updating and reloading a return. A save never leaves a half-stored
// return behind: staging, read-back, delete and copy share one transaction,
// and the first failure rolls all of it back before the caller hears of it.
#include "entry/returnstore.h"

#include "base/amounttext.h"
#include "base/errors.h"
#include "base/formats.h"
#include "store/dm.h"
#include "store/returntable.h"
#include "store/sqlite.h"

namespace returnstore
{

namespace sql
{

QString emptyStaging()
{
    return QStringLiteral("delete from bodrotemp");
}

QString stageRow()
{
    return QStringLiteral(
        "insert into bodrotemp (YATSIRANO,YATISVER,YATDEVREILK,YATDEVRESON,YATSRVNO,YATKIMLIK,"
        "YATISIM,YATCINS,YATCALGUN,YATDURUM,YATBRUT,YATPRIMOR,YATDEPOOR,ISVISADRES,ISVTELNO,"
        "ISVISIM,YATBODROTUR,YATGONDER,YATSSKNO) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
}

QString readBack()
{
    // rowid order is staging order, which is grid order.
    return QStringLiteral(
               "select YATSIRANO,YATISVER,YATDEVREILK,YATDEVRESON,YATSRVNO,YATKIMLIK,YATISIM,"
               "YATCINS,YATCALGUN,YATDURUM,YATBRUT,YATPRIMOR,YATDEPOOR,ISVISADRES,ISVTELNO,"
               "ISVISIM,YATBODROTUR,YATGONDER,YATSSKNO from bodrotemp WHERE ") +
           ReturnKey::where(ReturnKey::Scope::Type) + QStringLiteral(" order by rowid");
}

QString deleteReturn()
{
    return QStringLiteral("delete from bodro where ") + ReturnKey::where();
}

QString copyRow()
{
    return QStringLiteral(
        "insert into bodro (YATSIRANO,YATISVER,YATDEVREILK,YATDEVRESON,YATSRVNO,YATKIMLIK,YATISIM,"
        "YATCINS,YATCALGUN,YATDURUM,YATBRUT,YATPRIMOR,YATDEPOOR,ISVISADRES,ISVTELNO,ISVISIM,"
        "YATBODROTUR,YATGONDER,YATBDRDEVMIK,YATSSKNO) "
        "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
}

} // namespace sql

namespace
{

// Positions in a staged row as sql::readBack() returns it.
constexpr int StagedSrvNo = 4;
constexpr int StagedSskNo = 18;
constexpr int StagedColumns = 19;

const QString stagingMessage = QStringLiteral(
    "Kayıt esnasında hata oluştu: \r\nLütfen girilen Sarvek Sandığı, Kimlik ve Sigorta "
    "numaralarını kontrol edelim :");

QString cell(const GridRow &row, int column)
{
    return column < row.size() ? row[column] : QString();
}

bool hasSrvNo(const GridRow &row)
{
    return !cell(row, 1).isEmpty();
}

// The kinds of save differ in which rows they stage, whether they replace a
// stored return and how they word a failure.
enum class Kind { New, Update, Second };
enum class Step { Begin, Staging, ReadBack, Delete, Copy, Commit };

QString failureText(Kind kind, Step step, const DbError &e)
{
    // A failure the user can act on (disk full, read-only, locked, missing
    // table or column) has its own Turkish text, whatever step it stopped.
    if (e.message() != e.engineText())
        return e.message();
    if (step == Step::Staging)
        return stagingMessage + e.engineText();
    if (kind == Kind::New && step == Step::Copy)
        return e.typeName() + QStringLiteral(" error raised, with message Bulamadım  : ") +
               e.engineText();
    if (kind == Kind::Update && step == Step::ReadBack)
        return e.typeName() + QStringLiteral(" error raised, with message : ") + e.engineText();
    // Failures that have no message of their own read as the general error box
    // would show them.
    return e.message();
}

SaveResult::Status failureStatus(Step step)
{
    switch (step) {
    case Step::Staging:
        return SaveResult::Status::StagingFailed;
    case Step::ReadBack:
        return SaveResult::Status::ReadBackFailed;
    case Step::Copy:
        return SaveResult::Status::CopyFailed;
    default:
        return SaveResult::Status::Failed;
    }
}

// Runs the whole save in one transaction. A further record takes its
// sequence number inside the transaction, so nothing can slip in between the
// count and the copy.
SaveResult runSave(Tdm &dm, Kind kind, const ReturnHeader &header, const QList<GridRow> &rows)
{
    SaveResult result;
    Step step = Step::Begin;
    try {
        Database &db = dm.db();
        dm.requireWritable();
        Transaction tx(db);
        // Saves of one employer, period and type take turns from here on, on
        // one desk as on several: the look below and the change after it
        // cannot be split by another save.
        QStringList turn{QStringLiteral("bodro")};
        for (const QVariant &value : header.key.values(ReturnKey::Scope::Type))
            turn << value.toString();
        db.serialize(turn.join(u'|'));
        if (kind == Kind::New && returnExists(dm, header.key)) {
            result.status = SaveResult::Status::AlreadyStored;
            return result;
        }

        QString seqNo = header.key.seqNo;
        if (kind == Kind::Second) {
            const int next = nextSeqNo(dm, header.key);
            if (next > MaxRecords) {
                result.status = SaveResult::Status::Refused;
                result.message = QStringLiteral(
                    "Bu işveren, devre ve bodro türü için en fazla 9 kayıt yapılabilir. "
                    "İşlem yapılmadı.");
                return result;
            }
            seqNo = QString::number(next);
        }

        // Leftovers of any earlier run must never reach this save.
        db.prepare(sql::emptyStaging()).run();

        step = Step::Staging;
        {
            Statement stage = db.prepare(sql::stageRow());
            for (const GridRow &row : rows) {
                if (kind == Kind::Update && !hasSrvNo(row))
                    continue;
                stage.reset();
                stage.bindAll(stageValues(header, row));
                stage.run();
            }
        }

        step = Step::ReadBack;
        QList<QStringList> staged;
        {
            Statement read = db.prepare(sql::readBack());
            read.bindAll(header.key.values(ReturnKey::Scope::Type));
            while (read.step()) {
                QStringList row;
                row.reserve(StagedColumns);
                for (int i = 0; i < StagedColumns; ++i)
                    row << read.text(i);
                staged << row;
            }
        }
        db.prepare(sql::emptyStaging()).run();

        if (kind == Kind::Update) {
            step = Step::Delete;
            Statement del = db.prepare(sql::deleteReturn());
            del.bindAll(header.key.values());
            del.run();
        }

        step = Step::Copy;
        int number = 1;
        {
            Statement copy = db.prepare(sql::copyRow());
            for (const QStringList &row : staged) {
                // The template row and any row without a fund number stay out:
                // the declaration file would carry them as 000000.
                if (row[StagedSrvNo].isEmpty())
                    continue;
                copy.reset();
                copy.bindAll(copyValues(row, number, seqNo));
                copy.run();
                ++number;
            }
        }
        ReturnKey stored = header.key;
        stored.seqNo = seqNo;
        returntable::addReturnLines(db, stored);

        step = Step::Commit;
        tx.commit();
        result.storedRows = number - 1;
        result.seqNo = seqNo;
    } catch (const DbError &e) {
        result.status = failureStatus(step);
        result.message = failureText(kind, step, e);
    } catch (const IoError &e) {
        // The database file could not be reached or made; its text says why.
        result.status = failureStatus(step);
        result.message = e.message();
    }
    return result;
}

} // namespace

QVariantList stageValues(const ReturnHeader &h, const GridRow &row)
{
    return {cell(row, 0),  h.key.employer, h.key.periodStart, h.key.periodEnd,
            cell(row, 1),  cell(row, 2),   cell(row, 4),      cell(row, 5),
            cell(row, 6),  cell(row, 7),   cell(row, 8),      cell(row, 9),
            cell(row, 11), h.address,      h.phone,           h.name,
            h.key.type,    h.send,         cell(row, 3)};
}

QVariantList copyValues(const QStringList &staged, int number, const QString &seqNo)
{
    QVariantList values;
    values.reserve(20);
    values << QString::number(number);
    for (int i = 1; i < StagedSskNo; ++i)
        values << staged[i];
    values << seqNo << staged[StagedSskNo];
    return values;
}

QString writeRefusal(Tdm &dm)
{
    try {
        dm.requireWritable();
    } catch (const DbError &e) {
        return e.message();
    }
    return QString();
}

void emptyStaging(Tdm &dm)
{
    if (dm.select(QStringLiteral("select 1 from bodrotemp limit 1")).isEmpty() || !dm.isWritable())
        return;
    dm.execute(sql::emptyStaging());
}

bool returnExists(Tdm &dm, const ReturnKey &key)
{
    return !dm.select(QStringLiteral("select 1 from bodro WHERE ") + ReturnKey::where() +
                          QStringLiteral(" limit 1"),
                      key.values())
                .isEmpty();
}

int nextSeqNo(Tdm &dm, const ReturnKey &key)
{
    // Text order is numeric order for the one-digit numbers the column holds.
    const QList<QStringList> rows =
        dm.select(QStringLiteral("select YATBDRDEVMIK from bodro WHERE ") +
                      ReturnKey::where(ReturnKey::Scope::Type) +
                      QStringLiteral(" order by YATBDRDEVMIK desc limit 1"),
                  key.values(ReturnKey::Scope::Type));
    if (rows.isEmpty())
        return 1;
    bool ok = false;
    const int highest = rows.first().first().trimmed().toInt(&ok);
    if (!ok)
        throw ConversionError(
            QStringLiteral("'%1' geçerli bir tamsayı değil").arg(rows.first().first()));
    return highest + 1;
}

SaveResult saveNew(Tdm &dm, const ReturnHeader &header, const QList<GridRow> &rows)
{
    return runSave(dm, Kind::New, header, rows);
}

SaveResult updateReturn(Tdm &dm, const ReturnHeader &header, const QList<GridRow> &rows)
{
    return runSave(dm, Kind::Update, header, rows);
}

SaveResult saveSecondRecord(Tdm &dm, const ReturnHeader &header, const QList<GridRow> &rows)
{
    return runSave(dm, Kind::Second, header, rows);
}

namespace
{

void openReturn(Query &q, const ReturnKey &key)
{
    q.setSql(QStringLiteral("select * from bodro WHERE ") + ReturnKey::where() +
                 QStringLiteral(" order by IDSIRA asc"),
             key.values());
    q.open();
}

} // namespace

bool loadReturn(Tdm &dm, const ReturnKey &key)
{
    openReturn(dm.Query3, key);
    return !dm.Query3.isEmpty();
}

std::optional<ReloadedReturn> reloadReturn(Tdm &dm, const ReturnKey &key)
{
    Query rows(dm);
    openReturn(rows, key);
    if (rows.isEmpty())
        return std::nullopt;
    return reloadedFrom(rows);
}

std::optional<ReturnPick> pickFrom(const QString &employer, const QString &start,
                                   const QString &end, const QString &type, const QString &seqNo)
{
    if (employer.isEmpty())
        return std::nullopt;
    return ReturnPick{employer.mid(0, 2),
                      employer.mid(2, 4),
                      employer.mid(6, 6),
                      parseDateText(start),
                      parseDateText(end),
                      type,
                      seqNo};
}

ReloadedReturn reloadedFrom(const Query &q)
{
    ReloadedReturn r;
    StoredRowReader reader(q.columns(), StoredRowReader::Missing::Refuse);
    StoredRow s;
    for (const QStringList &values : q.rows()) {
        reader.read(values, s);
        r.address = s.address;
        r.phone = s.phone;
        r.name = s.employerName;
        r.asil = s.key.type == QLatin1String("01") || s.key.type == QLatin1String("11");
        if (s.send == QLatin1String("0"))
            r.sendUnticked = true;

        const Decimal &gross = s.gross();
        const Decimal premiumRate = s.premiumRate.entered();
        const Decimal depositRate = s.depositRate.entered();
        const Decimal premium = amount::round(gross.percentOf(premiumRate));
        const Decimal deposit = amount::round(gross.percentOf(depositRate));
        const Decimal total = premium + deposit;

        r.rows << GridRow{s.number,
                          s.fundNo,
                          s.identityNo,
                          s.insuranceNo,
                          s.name,
                          s.sex,
                          s.days,
                          s.leave,
                          s.grossText,
                          amount::format(premiumRate),
                          amount::format(premium),
                          amount::format(depositRate),
                          amount::format(deposit),
                          amount::format(total)};
        // Each total field rounds what it is given; adding amounts that are
        // already rounded keeps every total equal to the sum of its column.
        r.totalGross += amount::round(gross);
        r.totalPremium += premium;
        r.totalDeposit += deposit;
        r.totalBoth += total;
    }
    r.rowCounter = int(r.rows.size()) + 1;
    const QString zero = QStringLiteral("0");
    r.rows << GridRow{QString::number(r.rowCounter),
                      {},
                      {},
                      {},
                      {},
                      {},
                      {},
                      {},
                      zero,
                      zero,
                      zero,
                      zero,
                      zero,
                      zero};
    return r;
}

} // namespace returnstore
