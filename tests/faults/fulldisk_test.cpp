// Writing on a disk that is full and in a place that cannot be written: a
// large return, the declaration file and the first-run marker are refused
// with a Turkish message, and what was there before stays as it was.
#include "app/firstrun.h"
#include "core/testutil.h"
#include "declaration/declfile.h"
#include "entry/returnstore.h"
#include "faults/crashwork.h"
#include "faults/faultutil.h"

#include <functional>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace
{

QList<QStringList> allRows(Tdm &dm)
{
    return dm.select(QStringLiteral("select * from bodro order by IDSIRA"));
}

// Fills what is left of the disk; the file goes with the guard.
struct Filler {
    explicit Filler(const QString &path) : file(path)
    {
        file.open(QIODevice::WriteOnly);
        const QByteArray block(4096, 'f');
        while (file.write(block) == block.size() && file.flush()) {
        }
    }
    ~Filler()
    {
        file.close();
        QFile::remove(file.fileName());
    }
    QFile file;
};

TEST(FullDisk, RefusesALargeReturnAndTheFilesKeepingWhatWasThere)
{
    QTemporaryDir base;
    const QString disk = base.filePath(QStringLiteral("disk"));
    ASSERT_TRUE(QDir().mkpath(disk));
    SmallDisk mounted(disk, "200k");
    if (!mounted.ok())
        GTEST_SKIP() << mounted.reason().toStdString();

    ScriptedPlatform platform;
    platform.windowsDir = disk;
    Tdm dm(disk);
    const returnstore::SaveResult small =
        returnstore::saveNew(dm, crashwork::header(0), crashwork::rows(0).mid(0, 20));
    ASSERT_TRUE(small.ok()) << small.message.toStdString();
    const QList<QStringList> earlier = allRows(dm);
    const QString declaration = QDir(disk).filePath(QStringLiteral("4711_0.txt"));
    writeFileAtomically(declaration, "earlier file\r\n");

    const returnstore::SaveResult large =
        returnstore::saveNew(dm, crashwork::header(1), crashwork::rows(1));
    ASSERT_FALSE(large.ok()) << "a 1,000-row return fitted on the small disk";
    EXPECT_TRUE(large.message.startsWith(QStringLiteral("Disk dolu; veritabanına yazılamadı: ")))
        << large.message.toStdString();
    EXPECT_TRUE(large.message.contains(QStringLiteral("\r\ndatabase or disk is full")))
        << large.message.toStdString();
    EXPECT_EQ(allRows(dm), earlier);
    EXPECT_EQ(dm.select(QStringLiteral("select count(*) from bodrotemp"))[0][0], "0");

    try {
        writeFileAtomically(declaration, QByteArray(300 * 1024, 'x'));
        ADD_FAILURE() << "a 300 KB file fitted on the small disk";
    } catch (const IoError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Disk dolu; dosya yazılamadı: ")))
            << e.what();
    }
    EXPECT_EQ(fileBytes(declaration), QByteArray("earlier file\r\n"));

    writeMarker(platform, QStringLiteral("2"));
    {
        Filler filler(QDir(disk).filePath(QStringLiteral("filler")));
        try {
            writeMarker(platform, QStringLiteral("1"));
            ADD_FAILURE() << "the marker was written on a full disk";
        } catch (const IoError &e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("Disk dolu; ilk çalıştırma dosyası yazılamadı: ")))
                << e.what();
        }
    }
    EXPECT_EQ(readMarker(platform), QStringLiteral("2"));
    // Nothing half-written is left beside the files.
    QStringList names = QDir(disk).entryList(QDir::Files);
    names.sort();
    EXPECT_EQ(names, QStringList({QStringLiteral("4711_0.txt"), QStringLiteral("svkont.ini")}));
}

TEST(ReadOnlyPlace, RefusesTheDeclarationFileAndTheMarkerInTurkish)
{
    Workspace ws;
    const QString folder = ws.path(QStringLiteral("usb"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ws.platform.windowsDir = folder;
    const QString declaration = QDir(folder).filePath(QStringLiteral("4711_0.txt"));
    writeFileAtomically(declaration, "earlier file\r\n");
    Immutable lock(folder);
    if (!lock.ok())
        GTEST_SKIP() << lock.reason().toStdString();

    const struct {
        const char *what;
        std::function<void()> write;
        const char *start;
    } cases[] = {
        {"declaration", [&] { writeFileAtomically(declaration, "new file\r\n"); },
         "Dosya yazılamadı; yer salt okunur ya da yazma izniniz yok: "},
        {"marker", [&] { writeMarker(ws.platform, QStringLiteral("1")); },
         "İlk çalıştırma dosyası yazılamadı; yer salt okunur ya da yazma izniniz yok: "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.write();
            ADD_FAILURE() << "written";
        } catch (const IoError &e) {
            EXPECT_TRUE(e.message().startsWith(QString::fromUtf8(c.start))) << e.what();
            EXPECT_TRUE(e.message().contains(QStringLiteral("\r\n"))) << e.what();
        }
    }
    EXPECT_EQ(fileBytes(declaration), QByteArray("earlier file\r\n"));
}

} // namespace
