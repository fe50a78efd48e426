// Moving a desk's Data/bodro.mdb to a server database, against the throwaway
// server of the test fixture: every row arrives as stored, the declaration
// file and the period summary come out the same from both sides, and a
// refused or failed move leaves the target as it was.
#include "accountant/accountantrecord.h"
#include "app/move.h"
#include "core/testutil.h"
#include "declaration/declfile.h"
#include "declaration/periodsummary.h"
#include "declaration/sendlog.h"
#include "pg/pgutil.h"
#include "store/pgdb.h"
#include "store/sqlite.h"
#include "support/printqstring.h"

#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <optional>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace
{

using Row = QList<std::optional<QString>>;

QList<Row> rowsOf(Database &db, const QString &sql)
{
    QList<Row> rows;
    Statement q = db.prepare(sql);
    while (q.step()) {
        Row row;
        for (int i = 0; i < q.columnCount(); ++i)
            row << (q.isNull(i) ? std::nullopt : std::optional<QString>(q.text(i)));
        rows << row;
    }
    return rows;
}

long long count(Database &db, const QString &table)
{
    Statement q = db.prepare(QStringLiteral("select count(*) from %1").arg(table));
    return q.step() ? q.integer(0) : -1;
}

BodroRow employee(const QString &isver, const QString &isvisim, const QString &ilk,
                  const QString &son, const QString &tur, const QString &seq, int n,
                  const QString &isim)
{
    BodroRow r;
    r.siraNo = QString::number(n);
    r.isver = isver;
    r.isvisim = isvisim;
    r.ilk = ilk;
    r.son = son;
    r.tur = tur;
    r.seq = seq;
    r.isim = isim;
    r.srvno = QStringLiteral("%1").arg(4000 + n);
    r.kimlik = QStringLiteral("1234567%1").arg(8000 + n);
    r.ssk = QStringLiteral("%1").arg(1000000 + n);
    r.brut = QStringLiteral("%1,250.50").arg(n);
    return r;
}

// A desk's history: three employers, main and additional returns with a
// second record, an employer name with quotes, two accountant records, three
// sends, NULLs where older records have them, and Turkish letters in every
// table. The last return is deleted afterwards, so the file has given keys it
// no longer holds.
void buildHistory(Workspace &ws)
{
    Tdm &dm = *ws.dm;
    const QString a = QStringLiteral("010001000001"), b = QStringLiteral("020002000002"),
                  c = QStringLiteral("030003000003");
    const QString mar1 = QStringLiteral("01.03.2013"), mar31 = QStringLiteral("31.03.2013");
    const QStringList names = {QStringLiteral("Şükrü Çağlayan"), QStringLiteral("İsmail Öztürk"),
                               QStringLiteral("Ayşe Iğdırlı"), QStringLiteral("Gülşen Ünal")};
    int n = 0;
    for (const QString &name : names)
        insertBodro(dm, employee(a, QStringLiteral("Güneş Kırtasiye Ltd."), mar1, mar31,
                                 QStringLiteral("01"), QStringLiteral("1"), ++n, name));
    insertBodro(dm, employee(a, QStringLiteral("Güneş Kırtasiye Ltd."), mar1, mar31,
                             QStringLiteral("01"), QStringLiteral("2"), ++n,
                             QStringLiteral("Özgür Şen")));
    insertBodro(dm, employee(a, QStringLiteral("Güneş Kırtasiye Ltd."), mar1, mar31,
                             QStringLiteral("02"), QStringLiteral("1"), ++n,
                             QStringLiteral("Çiğdem Ilgaz")));
    for (int i = 0; i < 3; ++i)
        insertBodro(dm, employee(b, QStringLiteral("O'Brien \"Kalite\" İnşaat"), mar1, mar31,
                                 QStringLiteral("01"), QStringLiteral("1"), ++n,
                                 QStringLiteral("İbrahim Ağaoğlu %1").arg(i)));
    insertBodro(dm, employee(b, QStringLiteral("O'Brien \"Kalite\" İnşaat"),
                             QStringLiteral("01.04.2013"), QStringLiteral("30.04.2013"),
                             QStringLiteral("01"), QStringLiteral("1"), ++n,
                             QStringLiteral("Hüseyin Doğan")));
    insertBodro(dm, employee(c, QStringLiteral("Çınar Eczanesi"), QStringLiteral("01.12.2012"),
                             QStringLiteral("31.12.2012"), QStringLiteral("01"),
                             QStringLiteral("1"), ++n, QStringLiteral("Şebnem Ergün")));
    insertBodro(dm, employee(c, QStringLiteral("Çınar Eczanesi"), mar1, mar31, QStringLiteral("11"),
                             QStringLiteral("1"), ++n, QStringLiteral("Deleted Row")));
    // Records of an earlier release carry no social security number, and an
    // employer typed without address or telephone leaves them empty.
    dm.execute(QStringLiteral("update bodro set YATSSKNO = NULL, ISVISADRES = NULL, ISVTELNO = "
                              "NULL where YATISVER = ? and YATDEVREILK = ?"),
               {b, QStringLiteral("01.04.2013")});
    dm.execute(QStringLiteral("update bodro set YATDURUM = NULL where YATISIM = ?"),
               {QStringLiteral("Özgür Şen")});
    dm.execute(QStringLiteral("delete from bodro where YATISIM = ?"),
               {QStringLiteral("Deleted Row")});

    insertAccountant(dm,
                     AccountantRecord{QStringLiteral("Eski Muhasebe"), QStringLiteral("Ahmet Işık"),
                                      QStringLiteral("1001"), QStringLiteral("Girne Cad. 5"),
                                      QString(), QString(), QString(), QStringLiteral("0")});
    insertAccountant(dm, AccountantRecord{QStringLiteral("Usta Müşavirlik"),
                                          QStringLiteral("Ayşe Öz"), QStringLiteral("4711"),
                                          storedAddress(QStringLiteral("Girne Cad. 5\nLefkoşa")),
                                          QStringLiteral("2281111"), QStringLiteral("2282222"),
                                          QStringLiteral("5331234567"), QStringLiteral("1")});
    dm.execute(QStringLiteral("update muhisv set MUHISVFAXNO = NULL where MSNO = '1001'"));

    const PeriodChoice march{QDate(2013, 3, 1), QDate(2013, 3, 31), ReturnKind::Asil, false};
    sendlog::Record sent;
    sent.when = QDateTime(QDate(2013, 4, 2), QTime(9, 15, 0));
    sent.fileName = QStringLiteral("4711_02042013_091500.txt");
    sent.msno = QStringLiteral("4711");
    sent.key = sendlog::keyFor(march, QString(), QString());
    sendlog::describeFile(sent, 7, 2, "satırlar");
    const qint64 first = sendlog::add(dm, sent);
    sendlog::setOutcome(dm, first, sendlog::Sent);
    sent.when = sent.when.addDays(1);
    sent.repeats = first;
    const qint64 second = sendlog::add(dm, sent);
    sendlog::setOutcome(dm, second, sendlog::Failed, QStringLiteral("Sunucuya bağlanılamadı"));
    sent.route = sendlog::Route::Hand;
    sent.drive = QStringLiteral("/media/usb/");
    sent.repeats = 0;
    sendlog::add(dm, sent);
}

// Each test moves into a database of its own, made empty.
class MoveTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_FALSE(pgtrial::sharedServer().isEmpty()) << "no test server: run through ctest";
        connInfo = pgtrial::testDatabase("m");
    }

    QList<officemove::TableCount> move()
    {
        return officemove::moveToServer(ws.path(), connInfo,
                                        [this](const QString &text) { notes << text; });
    }

    // The move's refusal text; empty when it went through.
    QString refusal()
    {
        try {
            move();
        } catch (const AppError &e) {
            return e.message();
        }
        return QString();
    }

  public:
    Workspace ws;
    QString connInfo;
    QStringList notes;
};

TEST_F(MoveTest, HistoryArrivesRowForRowAndReadsTheSame)
{
    buildHistory(ws);
    Database &file = ws.dm->db();
    const QList<officemove::TableCount> counts = move();

    const QStringList order = {QStringLiteral("bodro"), QStringLiteral("bodroliste"),
                               QStringLiteral("muhisv"), QStringLiteral("gonderim")};
    const QList<long long> expected = {11, 6, 2, 3};
    ASSERT_EQ(counts.size(), order.size());
    for (int i = 0; i < counts.size(); ++i) {
        EXPECT_EQ(counts[i].table, order[i]);
        EXPECT_EQ(counts[i].fileRows, expected[i]) << counts[i].table.toStdString();
        EXPECT_EQ(counts[i].serverRows, expected[i]) << counts[i].table.toStdString();
    }
    std::cout << officemove::countsText(counts).toStdString() << std::endl;

    Tdm office(ws.path(), connInfo);
    Database &server = office.db();
    const struct {
        const char *table;
        const char *columns;
        const char *order;
    } tables[] = {
        {"bodro",
         "IDSIRA, YATSIRANO, YATISVER, YATDEVREILK, YATDEVRESON, YATSRVNO, YATKIMLIK, YATISIM, "
         "YATCINS, YATCALGUN, YATBRUT, YATPRIMOR, YATDEPOOR, YATDURUM, ISVISADRES, ISVTELNO, "
         "ISVISIM, YATBODROTUR, YATGONDER, YATSSKNO, YATBDRDEVMIK",
         "IDSIRA"},
        {"muhisv",
         "ID, MUHISVUNVAN, MUHISVISI, MSNO, MUHISVADRES, MUHSIVTELNO, MUHISVFAXNO, "
         "MUHISVMOBILNO, SETMUHISV",
         "ID"},
        {"gonderim",
         "ID, ZAMAN, YOL, SURUCU, DOSYA, MSNO, DEVREILK, DEVRESON, TUR, ISVER, BODROTUR, GERIYE, "
         "SATIR, ISVEREN, SHA256, SONUC, ACIKLAMA, TEKRAR",
         "ID"},
        // NULLs sort first on one engine and last on the other: no NULL here.
        {"bodroliste", "YATISVER, ISVISIM, YATDEVREILK, YATDEVRESON, YATBODROTUR, YATBDRDEVMIK",
         "YATISVER, YATDEVREILK, YATBODROTUR, YATBDRDEVMIK"},
    };
    for (const auto &t : tables) {
        const QString sql =
            QStringLiteral("select %1 from %2 order by %3")
                .arg(QLatin1String(t.columns), QLatin1String(t.table), QLatin1String(t.order));
        const QList<Row> fromFile = rowsOf(file, sql);
        EXPECT_FALSE(fromFile.isEmpty()) << t.table;
        EXPECT_EQ(rowsOf(server, sql), fromFile) << t.table;
    }
    EXPECT_EQ(count(server, QStringLiteral("bodro where YATSSKNO is null")), 1);
    EXPECT_EQ(count(server, QStringLiteral("bodro where YATDURUM is null")), 1);
    EXPECT_EQ(count(server, QStringLiteral("gonderim where TEKRAR is null")), 2);

    // The sender, the file and the summary of each choice, from either side.
    const std::optional<AccountantRecord> fileSender = newestAccountant(*ws.dm);
    const std::optional<AccountantRecord> serverSender = newestAccountant(office);
    ASSERT_TRUE(fileSender && serverSender);
    EXPECT_EQ(serverSender->unvan, QStringLiteral("Usta Müşavirlik"));
    EXPECT_EQ(serverSender->adres, fileSender->adres);
    const QDate mar1(2013, 3, 1), mar31(2013, 3, 31);
    const struct {
        PeriodChoice choice;
        const char *employer;
        const char *type;
    } choices[] = {
        {{mar1, mar31, ReturnKind::Asil, false}, "", ""},
        {{mar1, mar31, ReturnKind::Asil, true}, "", ""},
        {{mar1, mar31, ReturnKind::Ek, false}, "", ""},
        {{mar1, mar31, ReturnKind::Tumu, false}, "010001000001", "01"},
        {{QDate(2012, 12, 1), QDate(2013, 4, 30), ReturnKind::Asil, false}, "", ""},
    };
    int files = 0;
    for (const auto &c : choices) {
        const BoundSql selection =
            fileSelection(c.choice, QLatin1String(c.employer), QLatin1String(c.type));
        const auto fromFile = declarationFile(*fileSender, file, selection, c.choice.retroactive);
        const auto fromServer =
            declarationFile(*serverSender, server, selection, c.choice.retroactive);
        ASSERT_EQ(fromServer.has_value(), fromFile.has_value());
        if (fromFile) {
            ++files;
            EXPECT_EQ(fromServer->bytes, fromFile->bytes);
            EXPECT_EQ(fromServer->lineCount, fromFile->lineCount);
            EXPECT_EQ(fromServer->employerCount, fromFile->employerCount);
        }
        const auto shown = [](const PeriodSummary &s) {
            QStringList lines;
            for (const SummaryRow &r : s.rows)
                lines << QStringList{r.employer, r.employerName, r.start,
                                     r.end,      r.typeText,     r.total.toPlain()}
                             .join(u'|');
            return lines.join(u'\n') + u'\n' + s.grandTotal.toPlain();
        };
        const QString summary = shown(summarizePeriod(file, summarySelection(c.choice)));
        EXPECT_EQ(shown(summarizePeriod(server, summarySelection(c.choice))), summary);
    }
    EXPECT_GE(files, 4);

    // New records go on past the largest key the file gave, also past the
    // deleted one.
    Statement ins = server.prepare(QStringLiteral("insert into bodro (YATSRVNO) values ('1')"));
    ins.run();
    EXPECT_EQ(server.lastInsertRowId(), 13);
    insertAccountant(office, AccountantRecord{QStringLiteral("Yeni"), {}, {}, {}, {}, {}, {}, {}});
    EXPECT_EQ(server.lastInsertRowId(), 3);
}

// Rows cross many to a statement; a history of a few full statements and a
// part one arrives whole and in order.
TEST_F(MoveTest, LargeHistoryArrivesWhole)
{
    {
        Transaction tx(ws.dm->db());
        for (int n = 1; n <= 250; ++n)
            insertBodro(*ws.dm,
                        employee(QStringLiteral("010001000001"), QStringLiteral("Büyük İşletme"),
                                 QStringLiteral("01.03.2013"), QStringLiteral("31.03.2013"),
                                 QStringLiteral("01"), QStringLiteral("1"), n,
                                 QStringLiteral("Çalışan %1").arg(n)));
        tx.commit();
    }
    EXPECT_EQ(move().first().serverRows, 250);
    const QString sql =
        QStringLiteral("select IDSIRA, YATSIRANO, YATISIM, YATSSKNO from bodro order by IDSIRA");
    PgDatabase server(connInfo);
    const QList<Row> fromFile = rowsOf(ws.dm->db(), sql);
    ASSERT_EQ(fromFile.size(), 250);
    EXPECT_EQ(rowsOf(server, sql), fromFile);
}

TEST_F(MoveTest, TargetWithRecordsIsRefusedAndKeptAsItWas)
{
    buildHistory(ws);
    move();
    insertBodro(*ws.dm, employee(QStringLiteral("040004000004"), QStringLiteral("Yeni İşveren"),
                                 QStringLiteral("01.05.2013"), QStringLiteral("31.05.2013"),
                                 QStringLiteral("01"), QStringLiteral("1"), 99,
                                 QStringLiteral("Ek Satır")));
    PgDatabase server(connInfo);
    const QString sql = QStringLiteral("select * from bodro order by IDSIRA");
    const QList<Row> before = rowsOf(server, sql);

    EXPECT_EQ(refusal(),
              QStringLiteral("Hedef veritabanı boş değil: bodro tablosunda 11 satır var. Taşıma "
                             "yalnızca boş bir veritabanına yapılır; hiçbir şey yazılmadı."));
    EXPECT_EQ(rowsOf(server, sql), before);
    EXPECT_EQ(count(server, QStringLiteral("muhisv")), 2);
    EXPECT_EQ(count(server, QStringLiteral("gonderim")), 3);

    // An accountant record typed on a desk already pointed at the server is
    // part of a history too.
    connInfo = pgtrial::emptyDatabase(pgtrial::sharedServer(), QStringLiteral("m_accountantonly"));
    {
        Tdm office(ws.path(), connInfo);
        insertAccountant(
            office, AccountantRecord{
                        QStringLiteral("Masa 2"), {}, {}, {}, {}, {}, {}, QStringLiteral("1")});
    }
    EXPECT_TRUE(refusal().startsWith(QStringLiteral("Hedef veritabanı boş değil: muhisv")));
    PgDatabase other(connInfo);
    EXPECT_EQ(count(other, QStringLiteral("bodro")), 0);
}

TEST_F(MoveTest, RefusedBeforeAnythingIsWritten)
{
    const struct {
        const char *what;
        std::function<void(MoveTest &)> arrange;
        const char *start;
    } cases[] = {
        {"password in the connection string",
         [](MoveTest &t) {
             buildHistory(t.ws);
             t.connInfo += QStringLiteral(" password=gizli");
         },
         "Veritabanı bağlantı bilgisinde parola bulunmamalıdır (--tasi)."},
        {"no database file", [](MoveTest &) {}, "Taşınacak veritabanı dosyası bulunamadı: "},
        {"zero-byte database file",
         [](MoveTest &t) {
             QDir().mkpath(t.ws.path(QStringLiteral("Data")));
             QFile f(t.ws.path(QStringLiteral("Data/bodro.mdb")));
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
         },
         "Taşınacak veritabanı dosyası boş: "},
    };
    const QString target = connInfo;
    for (const auto &c : cases) {
        ws.dm = std::make_unique<Tdm>(ws.path());
        QFile::remove(ws.path(QStringLiteral("Data/bodro.mdb")));
        connInfo = target;
        c.arrange(*this);
        EXPECT_TRUE(refusal().startsWith(QString::fromUtf8(c.start))) << c.what;
        PgDatabase server(target);
        EXPECT_FALSE(server.hasTable(QStringLiteral("bodro"))) << c.what;
    }
    // The file was not made either.
    EXPECT_EQ(QFileInfo(ws.path(QStringLiteral("Data/bodro.mdb"))).size(), 0);
}

TEST_F(MoveTest, FailureHalfWayLeavesTheTargetEmpty)
{
    buildHistory(ws);
    const QString path = ws.dm->databasePath();
    ws.dm.reset();
    // A value longer than its column, which the program's own statements
    // could never have stored; the server's width check refuses it once bodro
    // is already across.
    sqlite3 *raw = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &raw), SQLITE_OK);
    const QByteArray sql =
        "PRAGMA ignore_check_constraints = ON; update muhisv set MUHISVUNVAN = '" +
        QString(256, u'Ş').toUtf8() + "' where MSNO = '1001'";
    EXPECT_EQ(sqlite3_exec(raw, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);

    const QString message = refusal();
    EXPECT_TRUE(message.startsWith(
        QStringLiteral("muhisv tablosu taşınamadı; sunucuya hiçbir şey yazılmadı.\r\n")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("MUHISVUNVAN_width"))) << message.toStdString();

    PgDatabase server(connInfo);
    for (const char *table : {"bodro", "bodroliste", "muhisv", "gonderim"})
        EXPECT_EQ(count(server, QLatin1String(table)), 0) << table;
    // Not even a key was used up.
    Statement ins = server.prepare(QStringLiteral("insert into bodro (YATSRVNO) values ('1')"));
    ins.run();
    EXPECT_EQ(server.lastInsertRowId(), 1);
}

TEST_F(MoveTest, OlderFileIsBroughtUpToDateFirst)
{
    const QString path = ws.dm->databasePath();
    ws.dm.reset();
    makeOldSchemaDatabase(path, false);
    {
        SqliteDatabase old(path, SqliteDatabase::Mode::OpenExisting);
        old.execScript(QStringLiteral(
            "insert into bodro (YATISVER, YATDEVREILK, YATDEVRESON, YATISIM, YATBODROTUR) values "
            "('010001000001', '01.01.2005', '31.01.2005', 'Şaban Güç', '01'), "
            "('010001000001', '01.01.2005', '31.01.2005', 'İlkay Öz', '01');"
            "insert into muhisv (MUHISVUNVAN, MSNO) values ('Eski Büro', '12')"));
    }
    const QList<officemove::TableCount> counts = move();
    EXPECT_EQ(counts[0].serverRows, 2);
    EXPECT_EQ(counts[1].serverRows, 1);
    EXPECT_TRUE(notes.contains(QStringLiteral("Yenilenme Başarı ile Gerçekleşti ")))
        << notes.join(u'\n').toStdString();
    // As the entry screen leaves it: a copy of the file as it was beside it.
    EXPECT_EQ(QDir(ws.path(QStringLiteral("Data")))
                  .entryList({QStringLiteral("bodro-*.mdb")}, QDir::Files)
                  .size(),
              1);
    PgDatabase server(connInfo);
    EXPECT_EQ(rowsOf(server, QStringLiteral("select YATISIM, YATBDRDEVMIK, YATSSKNO from bodro "
                                            "order by IDSIRA")),
              (QList<Row>{{QStringLiteral("Şaban Güç"), QStringLiteral("1"), std::nullopt},
                          {QStringLiteral("İlkay Öz"), QStringLiteral("1"), std::nullopt}}));
}

} // namespace
