// The log of prepared declaration files: what makes two sends the same, which
// earlier sends count, the year search, the table in older files (and in a
// read-only one that lacks it), and what an upload's outcome becomes for the
// log and the user.
#include "core/testutil.h"
#include "declaration/sendlog.h"
#include "store/sqlite.h"
#include "store/upgrade.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>

namespace
{

const QString TransferFailed = QStringLiteral(
    "Internet Bağlantısı Sağlanamadı! Lütfen Internet bağlantınızı kontrol edip tekrar "
    "deneyiniz!!");
const QString Delivered =
    QStringLiteral("Dosya Internet Üzerinden Sarvek Sandığı Dairesine Ulaştırıldı! Teşekür ederiz");

PeriodChoice december(ReturnKind kind = ReturnKind::Asil, bool retroactive = false)
{
    return {QDate(2025, 12, 1), QDate(2025, 12, 31), kind, retroactive};
}

sendlog::Record record(const sendlog::Key &key, const QDateTime &when)
{
    sendlog::Record r;
    r.when = when;
    r.key = key;
    r.fileName = QStringLiteral("4711_0.txt");
    r.sha256 = QString(64, u'a');
    return r;
}

TEST(SendLog, OnlyDeliveredSendsOfTheSameChoiceCount)
{
    Workspace ws;
    Tdm &dm = *ws.dm;
    const sendlog::Key asil = sendlog::keyFor(december(), QStringLiteral("x"), QStringLiteral("y"));
    EXPECT_EQ(asil.employer, QString()); // the pick counts under "Tümü" only
    EXPECT_FALSE(sendlog::lastDelivered(dm, asil));

    const QDateTime morning(QDate(2025, 12, 5), QTime(9, 15, 2));
    const qint64 first = sendlog::add(dm, record(asil, morning));
    // Not ended yet, then failed: neither counts.
    EXPECT_FALSE(sendlog::lastDelivered(dm, asil));
    sendlog::setOutcome(dm, first, sendlog::Failed, QStringLiteral("yok"));
    EXPECT_FALSE(sendlog::lastDelivered(dm, asil));

    const qint64 second = sendlog::add(dm, record(asil, morning.addSecs(60)));
    sendlog::setOutcome(dm, second, sendlog::Written);
    sendlog::Record repeat = record(asil, morning.addSecs(3600));
    repeat.repeats = second;
    const qint64 third = sendlog::add(dm, repeat);
    sendlog::setOutcome(dm, third, sendlog::Incomplete);
    const std::optional<sendlog::Record> found = sendlog::lastDelivered(dm, asil);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->id, second);
    EXPECT_EQ(sendlog::repeatQuestion(*found),
              QStringLiteral("Bu devre ve bodro türü için dosya 05.12.2025 09:16 tarihinde "
                             "gönderilmiş. Yeniden hazırlamak istiyor musunuz?"));

    // Each part of the choice makes another send.
    const QString a = QStringLiteral("010001000001");
    const sendlog::Key tumuA = sendlog::keyFor(december(ReturnKind::Tumu), a, "01");
    sendlog::setOutcome(dm, sendlog::add(dm, record(tumuA, morning)), sendlog::Sent);
    const sendlog::Key others[] = {
        sendlog::keyFor(december(ReturnKind::Ek), a, "01"),
        sendlog::keyFor(december(ReturnKind::Asil, true), a, "01"),
        sendlog::keyFor({QDate(2025, 11, 1), QDate(2025, 11, 30), ReturnKind::Asil, false}, a,
                        "01"),
        sendlog::keyFor({QDate(2025, 12, 1), QDate(2025, 12, 30), ReturnKind::Asil, false}, a,
                        "01"),
        sendlog::keyFor(december(ReturnKind::Tumu), QStringLiteral("020002000002"), "01"),
        sendlog::keyFor(december(ReturnKind::Tumu), a, "02"),
    };
    for (const sendlog::Key &k : others)
        EXPECT_FALSE(sendlog::lastDelivered(dm, k)) << sendlog::kindText(k).toStdString();
    EXPECT_TRUE(sendlog::lastDelivered(dm, tumuA));
}

TEST(SendLog, ListsNewestFirstByYearOfSending)
{
    Workspace ws;
    Tdm &dm = *ws.dm;
    const sendlog::Key key = sendlog::keyFor(december(), {}, {});
    sendlog::Record older = record(key, QDateTime(QDate(2025, 12, 30), QTime(10, 0)));
    older.route = sendlog::Route::Hand;
    older.drive = QStringLiteral("/media/usb/");
    older.lineCount = 3;
    older.employerCount = 2;
    const qint64 olderId = sendlog::add(dm, older);
    sendlog::Record newer = record(key, QDateTime(QDate(2026, 1, 2), QTime(8, 5, 9)));
    newer.repeats = olderId;
    sendlog::add(dm, newer);

    const QList<sendlog::Record> all = sendlog::sendsOfYear(dm, QString());
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0].when, newer.when);
    EXPECT_EQ(all[0].repeats, olderId);
    EXPECT_EQ(all[0].repeatsWhen, older.when);
    EXPECT_EQ(all[1].route, sendlog::Route::Hand);
    EXPECT_EQ(sendlog::routeText(all[1]), QStringLiteral("Elden (/media/usb/)"));
    EXPECT_EQ(all[1].lineCount, 3);
    EXPECT_EQ(all[1].employerCount, 2);
    EXPECT_EQ(all[1].outcome, QString());

    EXPECT_EQ(sendlog::sendsOfYear(dm, QStringLiteral("2025")).size(), 1);
    EXPECT_EQ(sendlog::sendsOfYear(dm, QStringLiteral(" 2026 ")).first().when, newer.when);
    EXPECT_TRUE(sendlog::sendsOfYear(dm, QStringLiteral("2024")).isEmpty());
}

TEST(SendLog, SchemaStepAddsTheTableToAnOlderFile)
{
    Workspace ws;
    makeOldSchemaDatabase(ws.dm->databasePath(), true);
    runSchemaUpgrade(*ws.dm, ws.platform);
    runSchemaUpgrade(*ws.dm, ws.platform); // a second run changes nothing
    EXPECT_EQ(ws.dm->select(QStringLiteral("SELECT count(*) FROM gonderim")),
              QList<QStringList>{{QStringLiteral("0")}});
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(SendLog, AReadOnlyFileWithoutTheTableIsAnEmptyLog)
{
    Workspace ws;
    insertBodro(*ws.dm, BodroRow());
    ws.dm->execute(QStringLiteral("DROP TABLE gonderim")); // as an earlier release left it
    const QString path = ws.dm->databasePath();
    if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) != 0)
        GTEST_SKIP() << "chattr +i is not permitted here";
    const auto unlock = qScopeGuard([path] {
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
    });
    const QByteArray before = readAll(path);

    Tdm dm(ws.path());
    ASSERT_FALSE(dm.isWritable());
    // Opening it for the declaration screen is not refused for the log alone.
    EXPECT_NO_THROW(runSchemaUpgrade(dm, ws.platform));
    const sendlog::Key key = sendlog::keyFor(december(), {}, {});
    EXPECT_FALSE(sendlog::lastDelivered(dm, key));
    EXPECT_TRUE(sendlog::sendsOfYear(dm, QString()).isEmpty());
    EXPECT_TRUE(sendlog::sendsOfYear(dm, QStringLiteral("2025")).isEmpty());
    EXPECT_THROW(sendlog::add(dm, record(key, QDateTime(QDate(2025, 12, 5), QTime(9, 0)))),
                 DbError);
    sendlog::setOutcome(dm, 0, sendlog::Written);
    EXPECT_EQ(readAll(path), before);
    EXPECT_TRUE(ws.platform.texts().isEmpty());
}

TEST(SendLog, UploadVerdicts)
{
    struct Case {
        const char *name;
        FtpOutcome outcome;
        QString logged;
        QString message;
        QString note;
        QString detail;
    };
    const QString sizes = QStringLiteral("Gönderilen dosya 120 bayt, sunucudaki 60 bayt.");
    const QString unchecked =
        QStringLiteral("Sunucu dosya boyutunu bildirmedi; dosya denetlenemedi.");
    const Case cases[] = {
        {"checked", {FtpOutcome::Ok, {}, 120, 120}, sendlog::Sent, Delivered, {}, {}},
        {"no SIZE or SIZE refused",
         {FtpOutcome::Ok, {}, 120, -1},
         sendlog::Sent,
         Delivered,
         unchecked,
         {}},
        {"size request failed",
         {FtpOutcome::Ok, QStringLiteral("Timeout was reached (curl 28, FTP 226)"), 120, -1},
         sendlog::Sent,
         Delivered,
         unchecked + QStringLiteral(" [Timeout was reached (curl 28, FTP 226)]"),
         {}},
        {"half",
         {FtpOutcome::Incomplete, {}, 120, 60},
         sendlog::Incomplete,
         TransferFailed,
         sizes,
         sizes},
        {"store refused",
         {FtpOutcome::TransferFailed, QStringLiteral("curl 25"), 120, -1},
         sendlog::Failed,
         TransferFailed,
         TransferFailed + QStringLiteral(" [curl 25]"),
         {}},
    };
    for (const Case &c : cases) {
        const sendlog::UploadVerdict v = sendlog::uploadVerdict(c.outcome);
        EXPECT_EQ(v.outcome, c.logged) << c.name;
        EXPECT_EQ(v.message, c.message) << c.name;
        EXPECT_EQ(v.note, c.note) << c.name;
        EXPECT_EQ(v.detail, c.detail) << c.name;
    }
}

} // namespace
