// The log of prepared declaration files.
#include "declaration/sendlog.h"

#include "base/formats.h"
#include "store/dm.h"
#include "store/gonderim.h"
#include "store/sqlite.h"

#include <QCryptographicHash>
#include <QSet>

namespace sendlog
{

namespace
{

// The row, and the time of the send it repeats.
const QString Select = QStringLiteral(
    "SELECT g.ID, g.ZAMAN, g.YOL, g.SURUCU, g.DOSYA, g.MSNO, g.DEVREILK, g.DEVRESON, g.TUR, "
    "g.ISVER, g.BODROTUR, g.GERIYE, g.SATIR, g.ISVEREN, g.SHA256, g.SONUC, g.ACIKLAMA, g.TEKRAR, "
    "e.ZAMAN FROM gonderim g LEFT JOIN gonderim e ON e.ID = g.TEKRAR ");
const QString TimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
const QString InternetRoute = QStringLiteral("Internet");
const QString HandRoute = QStringLiteral("Elden");

const QString Delivered =
    QStringLiteral("Dosya Internet Üzerinden Sarvek Sandığı Dairesine Ulaştırıldı! Teşekür ederiz");
const QString NoConnection = QStringLiteral("Programın Çalışması için Internet Bağlantınız "
                                            "Olması Gerekmektedir. Lütfen Internete Bağlanınız");
const QString TransferFailed = QStringLiteral("Internet Bağlantısı Sağlanamadı! Lütfen Internet "
                                              "bağlantınızı kontrol edip tekrar deneyiniz!!");

QString kindCode(ReturnKind kind)
{
    switch (kind) {
    case ReturnKind::Asil:
        return QStringLiteral("Asıl");
    case ReturnKind::Ek:
        return QStringLiteral("Ek");
    case ReturnKind::Tumu:
        return QStringLiteral("Tümü");
    }
    Q_UNREACHABLE();
}

ReturnKind kindFromCode(const QString &code)
{
    if (code == u"Ek")
        return ReturnKind::Ek;
    return code == u"Tümü" ? ReturnKind::Tumu : ReturnKind::Asil;
}

Record fromRow(const QStringList &r)
{
    Record rec;
    rec.id = r[0].toLongLong();
    rec.when = QDateTime::fromString(r[1], TimeFormat);
    rec.route = r[2] == HandRoute ? Route::Hand : Route::Internet;
    rec.drive = r[3];
    rec.fileName = r[4];
    rec.msno = r[5];
    rec.key = {r[6], r[7], kindFromCode(r[8]), r[11] == u"1", r[9], r[10]};
    rec.lineCount = r[12].toInt();
    rec.employerCount = r[13].toInt();
    rec.sha256 = r[14];
    rec.outcome = r[15];
    rec.note = r[16];
    rec.repeats = r[17].toLongLong();
    rec.repeatsWhen = QDateTime::fromString(r[18], TimeFormat);
    return rec;
}

// A file of an earlier release that could not be upgraded, because it can
// only be read, has no log yet; to its readers the log is empty.
bool hasTable(Tdm &dm)
{
    return dm.db().hasTable(QStringLiteral("gonderim"));
}

QString withDetail(const QString &message, const QString &detail)
{
    return detail.isEmpty() ? message : message + QStringLiteral(" [") + detail + u']';
}

} // namespace

Key keyFor(const PeriodChoice &c, const QString &pickedEmployer, const QString &pickedType)
{
    Key key{dateText(c.start), dateText(c.end), c.kind, c.retroactive, QString(), QString()};
    if (c.kind == ReturnKind::Tumu) {
        key.employer = pickedEmployer;
        key.returnType = pickedType;
    }
    return key;
}

void describeFile(Record &record, int lineCount, int employerCount, const QByteArray &bytes)
{
    record.lineCount = lineCount;
    record.employerCount = employerCount;
    record.sha256 =
        QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

std::optional<Record> lastDelivered(Tdm &dm, const Key &key)
{
    if (!hasTable(dm))
        return std::nullopt;
    const QList<QStringList> rows =
        dm.select(Select + QStringLiteral("WHERE g.DEVREILK = ? AND g.DEVRESON = ? AND g.TUR = ? "
                                          "AND g.GERIYE = ? AND g.ISVER = ? AND g.BODROTUR = ? "
                                          "AND g.SONUC IN (?, ?) ORDER BY g.ID DESC LIMIT 1"),
                  {key.periodStart, key.periodEnd, kindCode(key.kind),
                   key.retroactive ? QStringLiteral("1") : QStringLiteral("0"), key.employer,
                   key.returnType, Sent, Written});
    if (rows.isEmpty())
        return std::nullopt;
    return fromRow(rows.first());
}

QString repeatQuestion(const Record &earlier)
{
    return QStringLiteral("Bu devre ve bodro türü için dosya %1 tarihinde gönderilmiş. Yeniden "
                          "hazırlamak istiyor musunuz?")
        .arg(earlier.when.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
}

qint64 add(Tdm &dm, const Record &r)
{
    dm.requireWritable();
    Database &db = dm.db();
    Transaction tx(db);
    if (SqliteDatabase *file = dm.localFile())
        ensureGonderimTable(*file);
    db.prepare(QStringLiteral("INSERT INTO gonderim (ZAMAN, YOL, SURUCU, DOSYA, MSNO, DEVREILK, "
                              "DEVRESON, TUR, ISVER, BODROTUR, GERIYE, SATIR, ISVEREN, SHA256, "
                              "TEKRAR) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"))
        .bindAll({r.when.toString(TimeFormat), r.route == Route::Hand ? HandRoute : InternetRoute,
                  r.drive, r.fileName, r.msno, r.key.periodStart, r.key.periodEnd,
                  kindCode(r.key.kind), r.key.employer, r.key.returnType,
                  r.key.retroactive ? QStringLiteral("1") : QStringLiteral("0"),
                  QVariant(qlonglong(r.lineCount)), QVariant(qlonglong(r.employerCount)), r.sha256,
                  r.repeats > 0 ? QVariant(qlonglong(r.repeats)) : QVariant()})
        .run();
    const qint64 id = db.lastInsertRowId();
    tx.commit();
    return id;
}

void setOutcome(Tdm &dm, qint64 id, const QString &outcome, const QString &note)
{
    if (id <= 0)
        return; // nothing was logged: the database can only be read
    dm.execute(QStringLiteral("UPDATE gonderim SET SONUC = ?, ACIKLAMA = ? WHERE ID = ?"),
               {outcome, note, QVariant(qlonglong(id))});
}

QList<Record> sendsOfYear(Tdm &dm, const QString &yearText)
{
    const QString year = yearText.trimmed();
    const QString sql =
        Select + (year.isEmpty() ? QString() : QStringLiteral("WHERE substr(g.ZAMAN, 1, 4) = ? ")) +
        QStringLiteral("ORDER BY g.ID DESC");
    QList<Record> list;
    if (!hasTable(dm))
        return list;
    for (const QStringList &row :
         dm.select(sql, year.isEmpty() ? QVariantList() : QVariantList{year}))
        list << fromRow(row);
    return list;
}

QString kindText(const Key &key)
{
    QString text = kindCode(key.kind);
    if (key.kind == ReturnKind::Tumu && !key.employer.isEmpty())
        text += QStringLiteral(" %1-%2-%3 %4")
                    .arg(key.employer.mid(0, 2), key.employer.mid(2, 4), key.employer.mid(6),
                         key.returnType);
    if (key.retroactive)
        text += QStringLiteral(", Geriye Dönük");
    return text;
}

QString routeText(const Record &record)
{
    return record.route == Route::Hand ? HandRoute + QStringLiteral(" (") + record.drive + u')'
                                       : InternetRoute;
}

UploadVerdict uploadVerdict(const FtpOutcome &o)
{
    switch (o.kind) {
    case FtpOutcome::ConnectFailed:
        return {Failed, withDetail(NoConnection, o.detail), NoConnection, QString()};
    case FtpOutcome::TransferFailed:
        return {Failed, withDetail(TransferFailed, o.detail), TransferFailed, QString()};
    case FtpOutcome::Incomplete: {
        const QString sizes = QStringLiteral("Gönderilen dosya %1 bayt, sunucudaki %2 bayt.")
                                  .arg(o.localSize)
                                  .arg(o.remoteSize);
        return {Incomplete, sizes, TransferFailed, sizes};
    }
    case FtpOutcome::Ok:
        break;
    }
    // The detail says why the size request failed, when it did.
    const QString note =
        o.remoteSize < 0
            ? withDetail(QStringLiteral("Sunucu dosya boyutunu bildirmedi; dosya denetlenemedi."),
                         o.detail)
            : QString();
    return {Sent, note, Delivered, QString()};
}

} // namespace sendlog
