// Shared test helpers.
#include "testutil.h"

#include "app/firstrun.h"
#include "store/pgdb.h"
#include "store/returnrow.h"
#include "store/returntable.h"
#include "store/sqlite.h"

#include <atomic>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

QString testServerConnInfo()
{
    // Programs built outside the test folder (the handbook's pictures) have
    // no server to reach.
#ifdef SARVEK_PG_STATE
    QFile f(QStringLiteral(SARVEK_PG_STATE "/conninfo"));
    if (f.open(QIODevice::ReadOnly))
        return QString::fromUtf8(f.readAll()).trimmed();
#endif
    return QString();
}

Workspace::Workspace(Backend b) : backend(b)
{
    platform.windowsDir = path(QStringLiteral("windows"));
    QDir().mkpath(platform.windowsDir);
    if (backend == Backend::Sqlite) {
        dm = std::make_unique<Tdm>(dir.path());
    } else {
        serverConnInfo = testServerConnInfo();
        QString connInfo = QStringLiteral("host=/nonexistent/sarvek-test-server");
        if (!serverConnInfo.isEmpty()) {
            // Tests run side by side on one server; each workspace sees only
            // its own schema, as an office sees only its own database.
            static std::atomic<int> made{0};
            schema = QStringLiteral("ws_%1_%2").arg(::getpid()).arg(++made);
            PgDatabase(serverConnInfo).execScript(QStringLiteral("CREATE SCHEMA ") + schema);
            connInfo = serverConnInfo + QStringLiteral(" options='-csearch_path=%1'").arg(schema);
        }
        dm = std::make_unique<Tdm>(dir.path(), connInfo);
    }
    remindAfterNewDatabase(*dm, platform);
    ctx = std::make_unique<AppContext>(platform, *dm);
}

Workspace::~Workspace()
{
    ctx.reset();
    dm.reset();
    if (schema.isEmpty())
        return;
    try {
        PgDatabase(serverConnInfo).execScript(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(schema));
    } catch (const DbError &) {
        // A test that stopped the server leaves its schema to the server's removal.
    }
}

QString Workspace::path(const QString &relative) const
{
    return relative.isEmpty() ? dir.path() : QDir(dir.path()).filePath(relative);
}

void insertBodro(Tdm &dm, const BodroRow &r)
{
    dm.execute(
        QStringLiteral("insert into bodro (YATSIRANO,YATISVER,YATDEVREILK,YATDEVRESON,YATSRVNO,"
                       "YATKIMLIK,YATISIM,YATCINS,YATCALGUN,YATDURUM,YATBRUT,YATPRIMOR,YATDEPOOR,"
                       "ISVISADRES,ISVTELNO,ISVISIM,YATBODROTUR,YATGONDER,YATBDRDEVMIK,YATSSKNO) "
                       "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
        {r.siraNo, r.isver,   r.ilk,   r.son,    r.srvno,  r.kimlik, r.isim,
         r.cins,   r.calgun,  r.durum, r.brut,   r.primor, r.depoor, r.adres,
         r.tel,    r.isvisim, r.tur,   r.gonder, r.seq,    r.ssk});
    // As a save does once its rows are in.
    if (dm.db().hasTable(QStringLiteral("bodroliste")))
        returntable::addReturnLines(dm.db(), {r.isver, r.ilk, r.son, r.tur, r.seq});
}
void makeOldSchemaDatabase(const QString &path, bool withSeqNo)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    SqliteDatabase db(path, SqliteDatabase::Mode::Create);
    db.execScript(QStringLiteral(
                      "CREATE TABLE bodro (IDSIRA INTEGER PRIMARY KEY AUTOINCREMENT, "
                      "YATSIRANO VARCHAR(5), YATISVER VARCHAR(12), YATDEVREILK VARCHAR(25), "
                      "YATDEVRESON VARCHAR(25), YATSRVNO VARCHAR(6), YATKIMLIK VARCHAR(12), "
                      "YATISIM VARCHAR(40), YATCINS VARCHAR(1), YATCALGUN VARCHAR(3), "
                      "YATBRUT VARCHAR(25), YATPRIMOR VARCHAR(6), YATDEPOOR VARCHAR(6), "
                      "YATDURUM VARCHAR(1), ISVISADRES VARCHAR(50), ISVTELNO VARCHAR(25), "
                      "ISVISIM VARCHAR(50), YATBODROTUR VARCHAR(2), YATGONDER VARCHAR(1)%1);"
                      "CREATE TABLE bodrotemp (YATSIRANO VARCHAR(5));"
                      "CREATE TABLE muhisv (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                      "MUHISVUNVAN VARCHAR(100), MUHISVISI VARCHAR(100), MSNO VARCHAR(20), "
                      "MUHISVADRES VARCHAR(200), MUHSIVTELNO VARCHAR(25), MUHISVFAXNO VARCHAR(25), "
                      "MUHISVMOBILNO VARCHAR(25), SETMUHISV VARCHAR(1));")
                      .arg(withSeqNo
                               ? QStringLiteral(", YATBDRDEVMIK VARCHAR(1) NOT NULL DEFAULT '1'")
                               : QString()));
}
