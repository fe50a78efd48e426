// The Turkish sentence for each engine failure on the database file: our words
// first, the engine's own text on the line below, and the place named as the
// user must look for it (the file, or the folder that holds its journal).
#include "faults/faultutil.h"
#include "store/failure.h"

#include <gtest/gtest.h>
#include <optional>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace
{

enum class Place { File, NoFile, ReadOnlyFolder };

struct Case {
    const char *name;
    int rc;
    const char *engine;
    Place place;
    // %1 is the file, %2 its folder; the engine's text follows on its own line
    // unless the sentence is the engine's text alone.
    const char *shown;
};

TEST(Failure, DatabaseTextNamesTheFaultInTurkishAndKeepsTheEngineText)
{
    const Case cases[] = {
        {"disk full", SQLITE_FULL, "database or disk is full", Place::File,
         "Disk dolu; veritabanına yazılamadı: %1"},
        {"read-only file", SQLITE_READONLY, "attempt to write a readonly database", Place::File,
         "Veritabanı dosyası salt okunur; değişiklik kaydedilemez: %1"},
        {"read-only folder", SQLITE_READONLY, "attempt to write a readonly database",
         Place::ReadOnlyFolder,
         "Veritabanının bulunduğu klasör salt okunur; değişiklik kaydedilemez: %2"},
        {"journal cannot be made", SQLITE_CANTOPEN, "unable to open database file",
         Place::ReadOnlyFolder,
         "Veritabanının bulunduğu klasör salt okunur; değişiklik kaydedilemez: %2"},
        {"cannot open", SQLITE_CANTOPEN, "unable to open database file", Place::NoFile,
         "Veritabanı dosyası açılamadı: %1"},
        {"busy after the wait", SQLITE_BUSY, "database is locked", Place::File,
         "Veritabanı başka bir program tarafından kullanılıyor (%1). Lütfen o programı kapatıp "
         "tekrar deneyiniz."},
        {"busy, extended code", SQLITE_BUSY_SNAPSHOT, "database is locked", Place::File,
         "Veritabanı başka bir program tarafından kullanılıyor (%1). Lütfen o programı kapatıp "
         "tekrar deneyiniz."},
        {"locked", SQLITE_LOCKED, "database table is locked", Place::File,
         "Veritabanı başka bir program tarafından kullanılıyor (%1). Lütfen o programı kapatıp "
         "tekrar deneyiniz."},
        {"not a database", SQLITE_NOTADB, "file is not a database", Place::File,
         "%1 bir veritabanı dosyası değil ya da bozuk. Dosyaya dokunulmadı."},
        {"corrupt", SQLITE_CORRUPT, "database disk image is malformed", Place::File,
         "%1 bir veritabanı dosyası değil ya da bozuk. Dosyaya dokunulmadı."},
        {"input/output error", SQLITE_IOERR_READ, "disk I/O error", Place::File,
         "Veritabanı dosyası okunamadı ya da yazılamadı; disk veya bellek çıkarılmış ya da "
         "arızalı olabilir: %1"},
        {"missing table", SQLITE_ERROR, "no such table: main.Bodrotemp", Place::File,
         "Veritabanında Bodrotemp tablosu bulunamadı: %1"},
        {"missing column on insert", SQLITE_ERROR, "table bodro has no column named YATISIM",
         Place::File, "Veritabanında YATISIM alanı bulunamadı: %1"},
        {"missing column on select", SQLITE_ERROR, "no such column: YATSSKNO", Place::File,
         "Veritabanında YATSSKNO alanı bulunamadı: %1"},
        // Nothing the user can act on: the engine's words as they are.
        {"other error", SQLITE_ERROR, "near \"x\": syntax error", Place::File, nullptr},
        {"constraint", SQLITE_CONSTRAINT_CHECK, "CHECK constraint failed: YATSRVNO_width",
         Place::File, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString folder = QDir(dir.path()).filePath(QStringLiteral("Data"));
        const QString path = QDir(folder).filePath(QStringLiteral("bodro.mdb"));
        ASSERT_TRUE(QDir().mkpath(folder));
        if (c.place != Place::NoFile) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        std::optional<Immutable> lock;
        if (c.place == Place::ReadOnlyFolder) {
            lock.emplace(folder);
            if (!lock->ok()) {
                std::printf("skipped \"%s\": %s\n", c.name, qPrintable(lock->reason()));
                continue;
            }
        }
        const QString engine = QString::fromUtf8(c.engine);
        const QString expected = c.shown ? QString::fromUtf8(c.shown)
                                                   .replace(QLatin1String("%1"), path)
                                                   .replace(QLatin1String("%2"), folder) +
                                               QStringLiteral("\r\n") + engine
                                         : engine;
        EXPECT_EQ(failure::databaseText(c.rc, engine, path).toStdString(), expected.toStdString());
    }
}

} // namespace
