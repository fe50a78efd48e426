// Odd database files fed to the opening path of the entry screen: what the
// user is shown, that a refused file keeps every byte, and that a read-only
// file or folder can be browsed while every change is refused up front.
#include "accountant/accountantrecord.h"
#include "app/context.h"
#include "core/testutil.h"
#include "declaration/periodsummary.h"
#include "entry/returnstore.h"
#include "faults/crashwork.h"
#include "faults/faultutil.h"
#include "lists/returnlists.h"
#include "print/printcommands.h"
#include "store/sqlite.h"
#include "store/upgrade.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <QDir>
#include <QFile>

namespace
{

const returnstore::ReturnKey StoredKey{QStringLiteral("010001000001"), QStringLiteral("01.03.2013"),
                                       QStringLiteral("31.03.2013"), QStringLiteral("01"),
                                       QStringLiteral("1")};

// "Bodro Hazırla" up to the entry screen, and the first thing that screen
// does: the schema step under the general error box, then the staging table
// emptied. False when the user was stopped.
bool openEntryScreen(Workspace &ws)
{
    return guarded(ws.platform, [&] {
        runSchemaUpgrade(*ws.dm, ws.platform);
        returnstore::emptyStaging(*ws.dm);
    });
}

// The one return of 300 rows that the files below hold.
void storeReturn(Tdm &dm)
{
    Transaction tx(dm.db());
    for (int i = 1; i <= 300; ++i) {
        BodroRow row;
        row.siraNo = QString::number(i);
        insertBodro(dm, row);
    }
    tx.commit();
}

// A database of the current schema holding that return.
void stored(Workspace &ws)
{
    Tdm dm(ws.path());
    storeReturn(dm);
}

void writeFile(Workspace &ws, const QByteArray &bytes)
{
    QDir().mkpath(ws.path("Data"));
    QFile f(ws.dm->databasePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void truncatedTo(Workspace &ws, qint64 size)
{
    stored(ws);
    QFile f(ws.dm->databasePath());
    ASSERT_GT(f.size(), 8192) << "the fixture is too small to cut";
    ASSERT_TRUE(f.resize(size < 0 ? f.size() / 2 : size));
}

void alter(Workspace &ws, const char *sql)
{
    stored(ws);
    SqliteDatabase(ws.dm->databasePath(), SqliteDatabase::Mode::OpenExisting)
        .execScript(QLatin1String(sql));
}

// A file as the earlier release left it on an archive: bodro with both newer
// columns and 300 rows, but its own index instead of the current ones, an
// older staging table, and neither the list of returns nor the send log.
void earlierRelease(Workspace &ws)
{
    const QString path = ws.dm->databasePath();
    makeOldSchemaDatabase(path, true);
    SqliteDatabase(path, SqliteDatabase::Mode::OpenExisting)
        .execScript(QStringLiteral("ALTER TABLE bodro ADD YATSSKNO VARCHAR(9) NULL; "
                                   "CREATE INDEX bodro_isver ON bodro(YATISVER)"));
    Tdm dm(ws.path());
    storeReturn(dm);
}

// What browsing a stored return reads: F10's list of every return, the list
// of one employer's returns, the reload, "Yazdır" and "Hesapla".
void expectBrowsable(Tdm &dm)
{
    searchAllReturns(dm.Query1, QString());
    EXPECT_EQ(dm.Query1.recordCount(), 1);
    searchAllReturns(dm.Query1, QStringLiteral("2013"));
    ASSERT_EQ(dm.Query1.recordCount(), 1);
    EXPECT_EQ(dm.Query1.field(QStringLiteral("YATISVER")), StoredKey.employer);
    listEmployerReturns(dm.Query1, StoredKey.employer, StoredKey.periodStart, StoredKey.periodEnd);
    EXPECT_EQ(dm.Query1.recordCount(), 1);

    ASSERT_TRUE(returnstore::loadReturn(dm, StoredKey));
    EXPECT_EQ(dm.Query3.recordCount(), 300);

    const std::optional<PrintCaptions> printed = preparePrint(
        dm, PrintRequest{StoredKey.employer.left(2), StoredKey.employer.mid(2, 4),
                         StoredKey.employer.mid(6), StoredKey.periodStart, StoredKey.periodEnd,
                         StoredKey.type, StoredKey.seqNo, PrintScope::OneReturn});
    ASSERT_TRUE(printed.has_value());
    EXPECT_EQ(dm.prnquery.recordCount(), 300);

    const PeriodSummary summary = summarizePeriod(
        dm.db(), summarySelection(PeriodChoice{QDate(2013, 3, 1), QDate(2013, 3, 31)}));
    ASSERT_EQ(summary.rows.size(), 1);
    EXPECT_EQ(summary.rows[0].start, StoredKey.periodStart);
}

enum class Lock { None, File, Folder };

struct OddFile {
    const char *name;
    std::function<void(Workspace &)> make;
    Lock lock;
    // Part of the one message shown on opening; nullptr: opens without a word.
    const char *shown;
    // For a file that opens: part of the refusal of a save; nullptr: saves.
    const char *saveRefused;
};

TEST(OddFiles, AreOpenedOrRefusedAsTheyDeserve)
{
    const OddFile cases[] = {
        {"zero bytes", [](Workspace &ws) { writeFile(ws, QByteArray()); }, Lock::None, nullptr,
         nullptr},
        {"text",
         [](Workspace &ws) {
             writeFile(ws, QByteArray("Bu bir veritabanı değil.\r\n").repeated(40));
         },
         Lock::None, "bir veritabanı dosyası değil ya da bozuk", nullptr},
        {"cut at 100 B", [](Workspace &ws) { truncatedTo(ws, 100); }, Lock::None,
         "bir veritabanı dosyası değil ya da bozuk", nullptr},
        {"cut at 4 KB", [](Workspace &ws) { truncatedTo(ws, 4096); }, Lock::None,
         "bir veritabanı dosyası değil ya da bozuk", nullptr},
        {"cut in half", [](Workspace &ws) { truncatedTo(ws, -1); }, Lock::None,
         "bir veritabanı dosyası değil ya da bozuk", nullptr},
        {"without Bodrotemp", [](Workspace &ws) { alter(ws, "DROP TABLE Bodrotemp"); }, Lock::None,
         nullptr, nullptr},
        {"without muhisv and indexes",
         [](Workspace &ws) { alter(ws, "DROP TABLE muhisv; DROP INDEX bodro_return"); }, Lock::None,
         nullptr, nullptr},
        {"without a bodro column",
         [](Workspace &ws) { alter(ws, "ALTER TABLE bodro DROP COLUMN YATISIM"); }, Lock::None,
         "Veritabanında YATISIM alanı bulunamadı", nullptr},
        {"read-only file", stored, Lock::File, nullptr, "Veritabanı dosyası salt okunur"},
        {"read-only file of an older release",
         [](Workspace &ws) { makeOldSchemaDatabase(ws.dm->databasePath(), true); }, Lock::File,
         "Veritabanı dosyası salt okunur", nullptr},
        {"read-only folder", stored, Lock::Folder, nullptr,
         "Veritabanının bulunduğu klasör salt okunur"},
        {"read-only archive of the earlier release", earlierRelease, Lock::File, nullptr,
         "Veritabanı dosyası salt okunur"},
        {"earlier release in a read-only folder", earlierRelease, Lock::Folder, nullptr,
         "Veritabanının bulunduğu klasör salt okunur"},
        {"zero bytes in a read-only folder", [](Workspace &ws) { writeFile(ws, QByteArray()); },
         Lock::Folder, "Veritabanının bulunduğu klasör salt okunur", nullptr},
    };
    for (const OddFile &c : cases) {
        SCOPED_TRACE(c.name);
        Workspace ws;
        c.make(ws);
        ws.dm = std::make_unique<Tdm>(ws.path());
        const QString path = ws.dm->databasePath();
        std::optional<Immutable> lock;
        if (c.lock != Lock::None) {
            lock.emplace(c.lock == Lock::File ? path : ws.dm->dataDir());
            if (!lock->ok()) {
                std::printf("skipped \"%s\": %s\n", c.name, qPrintable(lock->reason()));
                continue;
            }
        }
        const QByteArray before = fileBytes(path);
        const QStringList filesBefore = QDir(ws.dm->dataDir()).entryList(QDir::Files);

        const bool opened = openEntryScreen(ws);

        if (c.shown) {
            EXPECT_FALSE(opened);
            ASSERT_EQ(ws.platform.texts().size(), 1);
            const QString text = ws.platform.texts().first();
            EXPECT_TRUE(text.contains(QString::fromUtf8(c.shown))) << text.toStdString();
            EXPECT_TRUE(text.contains(path)) << text.toStdString();
            EXPECT_FALSE(text.contains(path + QStringLiteral(".yeni"))) << text.toStdString();
            // The engine's own words follow ours on a line of their own.
            EXPECT_TRUE(text.contains(QStringLiteral("\r\n"))) << text.toStdString();
            EXPECT_EQ(fileBytes(path), before);
            EXPECT_EQ(QDir(ws.dm->dataDir()).entryList(QDir::Files), filesBefore);
            continue;
        }
        ASSERT_TRUE(opened) << ws.platform.texts().join(" | ").toStdString();
        EXPECT_TRUE(ws.platform.texts().isEmpty());
        EXPECT_EQ(ws.dm->select("select count(*) from bodrotemp")[0][0], "0");
        if (c.lock != Lock::None) {
            EXPECT_EQ(fileBytes(path), before) << "opening wrote to a read-only file";
        }

        // Browsing works whatever the file allows, and so does opening the
        // entry screen again on the same connection.
        if (ws.dm->select("select count(*) from bodro")[0][0] != "0") {
            expectBrowsable(*ws.dm);
            ASSERT_TRUE(openEntryScreen(ws)) << ws.platform.texts().join(" | ").toStdString();
            expectBrowsable(*ws.dm);
        }

        returnstore::ReturnHeader header = crashwork::header(7);
        const returnstore::SaveResult saved =
            returnstore::saveNew(*ws.dm, header, crashwork::rows(7).mid(0, 3));
        if (!c.saveRefused) {
            EXPECT_TRUE(saved.ok()) << saved.message.toStdString();
            continue;
        }
        const QString place = c.lock == Lock::File ? path : ws.dm->dataDir();
        // A new return, an update of the stored one and a further record of it.
        for (const returnstore::SaveResult &refused :
             {saved, returnstore::updateReturn(*ws.dm, header, crashwork::rows(7).mid(0, 3)),
              returnstore::saveSecondRecord(*ws.dm, header, crashwork::rows(7).mid(0, 3))}) {
            EXPECT_FALSE(refused.ok());
            EXPECT_TRUE(refused.message.contains(QString::fromUtf8(c.saveRefused)))
                << refused.message.toStdString();
            EXPECT_TRUE(refused.message.contains(place)) << refused.message.toStdString();
        }
        EXPECT_EQ(returnstore::writeRefusal(*ws.dm), saved.message);
        void (*const accountantWrites[])(Tdm &, const AccountantRecord &) = {
            insertAccountant, [](Tdm &dm, const AccountantRecord &r) { updateAccountant(dm, r); }};
        for (const auto store : accountantWrites) {
            try {
                store(*ws.dm, AccountantRecord{QStringLiteral("Deneme")});
                ADD_FAILURE() << "accountant stored";
            } catch (const DbError &e) {
                EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.saveRefused))) << e.what();
            }
        }
        EXPECT_EQ(fileBytes(path), before);
    }
}

} // namespace
