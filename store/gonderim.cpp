// Definition of the sent-files table.
#include "store/gonderim.h"

#include "store/sqlite.h"

void ensureGonderimTable(SqliteDatabase &db)
{
    // ZAMAN is "yyyy-MM-dd HH:mm:ss" so that it sorts as time; the period
    // texts keep the "dd.mm.yyyy" form of bodro. SONUC stays empty until the
    // outcome is known; TEKRAR names the earlier row a repeated send repeats.
    db.execScript(QStringLiteral("CREATE TABLE IF NOT EXISTS gonderim (\n"
                                 "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                                 "  ZAMAN VARCHAR(19) NOT NULL,\n"
                                 "  YOL VARCHAR(10) NOT NULL,\n"
                                 "  SURUCU VARCHAR(255) NOT NULL DEFAULT '',\n"
                                 "  DOSYA VARCHAR(1000) NOT NULL,\n"
                                 "  MSNO VARCHAR(255) NOT NULL DEFAULT '',\n"
                                 "  DEVREILK VARCHAR(10) NOT NULL,\n"
                                 "  DEVRESON VARCHAR(10) NOT NULL,\n"
                                 "  TUR VARCHAR(4) NOT NULL,\n"
                                 "  ISVER VARCHAR(12) NOT NULL DEFAULT '',\n"
                                 "  BODROTUR VARCHAR(2) NOT NULL DEFAULT '',\n"
                                 "  GERIYE VARCHAR(1) NOT NULL,\n"
                                 "  SATIR INTEGER NOT NULL,\n"
                                 "  ISVEREN INTEGER NOT NULL,\n"
                                 "  SHA256 VARCHAR(64) NOT NULL,\n"
                                 "  SONUC VARCHAR(10) NOT NULL DEFAULT '',\n"
                                 "  ACIKLAMA VARCHAR(1000) NOT NULL DEFAULT '',\n"
                                 "  TEKRAR INTEGER\n"
                                 ");\n"
                                 "CREATE INDEX IF NOT EXISTS gonderim_devre "
                                 "ON gonderim(DEVREILK, DEVRESON, TUR);\n"));
}
