// The in-place schema upgrade.
#include "store/upgrade.h"

#include "app/platform.h"
#include "store/dm.h"
#include "store/gonderim.h"
#include "store/schema.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

QSet<QString> bodroColumns(Tdm &dm)
{
    QSet<QString> names;
    for (const QStringList &row : dm.select(QStringLiteral("PRAGMA table_info(bodro)")))
        names.insert(row.value(1).toUpper());
    return names;
}

QString backupPath(Tdm &dm, Platform &platform)
{
    const QString stamp = platform.now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = QDir(dm.dataDir()).filePath(QStringLiteral("bodro-%1.mdb").arg(stamp));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(dm.dataDir()).filePath(QStringLiteral("bodro-%1-%2.mdb").arg(stamp).arg(n));
    return path;
}

} // namespace

void runSchemaUpgrade(Tdm &dm, Platform &platform)
{
    Database &db = dm.db();
    const QSet<QString> columns = bodroColumns(dm);
    const bool needSeqNo = !columns.contains(QStringLiteral("YATBDRDEVMIK"));
    const bool needSskNo = !columns.contains(QStringLiteral("YATSSKNO"));

    if (needSeqNo || needSskNo)
        db.backupTo(backupPath(dm, platform));

    dm.Query1.setSql(QStringLiteral("Drop table Bodrotemp"));
    dm.Query1.exec();
    dm.Query1.setSql(schema::createBodrotemp());
    dm.Query1.exec();
    dm.Query1.close();

    if (needSeqNo) {
        try {
            dm.execute(schema::addSeqNoColumn());
        } catch (const DbError &) {
            // The column is there already, or cannot be added: the old
            // program went on without a word, and so do we.
        }
    }

    if (needSskNo) {
        platform.showMessage(QStringLiteral("Lütfen Bekleyiniz Eski Bilgileriniz Yeni Kayıtlara "
                                            "yazılıyor 5 ile 30Dk arasında süre alabilir"));
        bool done = false;
        try {
            // The column and the sequence numbers go in together or not at
            // all, so that an interrupted run is simply done again next time.
            // Only rows without a number get "1": a file that already had the
            // column keeps its second and later records apart.
            Transaction tx(db);
            db.execScript(schema::addSskNoColumn());
            db.execScript(QStringLiteral("UPDATE bodro SET YATBDRDEVMIK = '1' "
                                         "WHERE YATBDRDEVMIK IS NULL OR YATBDRDEVMIK = ''"));
            tx.commit();
            done = true;
        } catch (const DbError &) {
        }
        if (done)
            platform.showMessage(QStringLiteral("Yenilenme Başarı ile Gerçekleşti "));
    }

    ensureGonderimTable(db);

    try {
        db.execScript(schema::createIndexes());
    } catch (const DbError &) {
        // Indexes only speed up look-ups; a file that refuses them still works.
    }
}
