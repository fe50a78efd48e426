// Odd database files fed to the opening path of the entry screen: what the
// user is shown, that a refused file keeps every byte, and that a read-only
// file or folder can be browsed while every change is refused up front.
#include "accountant/accountantrecord.h"
#include "app/context.h"
#include "core/testutil.h"
#include "entry/returnstore.h"
#include "faults/crashwork.h"
#include "faults/faultutil.h"
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

// A database of the current schema holding one return of 300 rows.
void stored(Workspace &ws)
{
    Tdm dm(ws.path());
    Transaction tx(dm.db());
    for (int i = 1; i <= 300; ++i) {
        BodroRow row;
        row.siraNo = QString::number(i);
        insertBodro(dm, row);
    }
    tx.commit();
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
    Database(ws.dm->databasePath(), Database::Mode::OpenExisting).execScript(QLatin1String(sql));
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

        // Browsing works whatever the file allows.
        if (ws.dm->select("select count(*) from bodro")[0][0] != "0") {
            ASSERT_TRUE(returnstore::loadReturn(*ws.dm, StoredKey));
            EXPECT_EQ(ws.dm->Query3.recordCount(), 300);
        }

        returnstore::ReturnHeader header = crashwork::header(7);
        const returnstore::SaveResult saved =
            returnstore::saveNew(*ws.dm, header, crashwork::rows(7).mid(0, 3));
        if (!c.saveRefused) {
            EXPECT_TRUE(saved.ok()) << saved.message.toStdString();
            continue;
        }
        EXPECT_FALSE(saved.ok());
        EXPECT_TRUE(saved.message.contains(QString::fromUtf8(c.saveRefused)))
            << saved.message.toStdString();
        EXPECT_TRUE(saved.message.contains(c.lock == Lock::File ? path : ws.dm->dataDir()))
            << saved.message.toStdString();
        try {
            insertAccountant(*ws.dm, AccountantRecord{QStringLiteral("Deneme")});
            ADD_FAILURE() << "accountant stored";
        } catch (const DbError &e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.saveRefused))) << e.what();
        }
        EXPECT_EQ(fileBytes(path), before);
    }
}

} // namespace
