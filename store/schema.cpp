// Table definitions of the return database.
#include "store/schema.h"

#include <QStringList>

namespace schema
{

namespace
{

QString widthCheck(const char *name, int width)
{
    return QStringLiteral("CONSTRAINT %1_width CHECK(length(%1)<=%2)")
        .arg(QLatin1String(name))
        .arg(width);
}

QString columnDefs(const QList<Column> &columns)
{
    QStringList defs;
    for (const Column &c : columns)
        defs << QStringLiteral("  %1 VARCHAR(%2) %3")
                    .arg(QLatin1String(c.name))
                    .arg(c.width)
                    .arg(widthCheck(c.name, c.width));
    return defs.join(QStringLiteral(",\n"));
}

} // namespace

const QList<Column> &stagingColumns()
{
    static const QList<Column> columns = {
        {"YATSIRANO", 5},   {"YATISVER", 12},   {"YATDEVREILK", 25}, {"YATDEVRESON", 25},
        {"YATSRVNO", 6},    {"YATKIMLIK", 12},  {"YATISIM", 40},     {"YATCINS", 1},
        {"YATCALGUN", 3},   {"YATBRUT", 25},    {"YATPRIMOR", 6},    {"YATDEPOOR", 6},
        {"YATDURUM", 1},    {"ISVISADRES", 50}, {"ISVTELNO", 25},    {"ISVISIM", 50},
        {"YATBODROTUR", 2}, {"YATGONDER", 1},   {"YATSSKNO", 9},
    };
    return columns;
}

const QList<Column> &accountantColumns()
{
    static const QList<Column> columns = {
        {"MUHISVUNVAN", 255}, {"MUHISVISI", 255},   {"MSNO", 255},          {"MUHISVADRES", 1000},
        {"MUHSIVTELNO", 255}, {"MUHISVFAXNO", 255}, {"MUHISVMOBILNO", 255}, {"SETMUHISV", 1},
    };
    return columns;
}

int widthOf(const QString &column)
{
    if (column.compare(QLatin1String("YATBDRDEVMIK"), Qt::CaseInsensitive) == 0)
        return 1;
    for (const Column &c : stagingColumns())
        if (column.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return c.width;
    return 0;
}

QString createBodro()
{
    return QStringLiteral("CREATE TABLE bodro (\n"
                          "  IDSIRA INTEGER PRIMARY KEY AUTOINCREMENT,\n%1,\n"
                          "  YATBDRDEVMIK VARCHAR(1) DEFAULT '1' NOT NULL %2\n)")
        .arg(columnDefs(stagingColumns()), widthCheck("YATBDRDEVMIK", 1));
}

QString createBodrotemp()
{
    // Written as the engine keeps it in sqlite_master, so that the stored text
    // tells whether a file's staging table has the current definition.
    return QStringLiteral("CREATE TABLE Bodrotemp (\n%1\n)").arg(columnDefs(stagingColumns()));
}

QString createMuhisv()
{
    return QStringLiteral("CREATE TABLE muhisv (\n  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n%1\n)")
        .arg(columnDefs(accountantColumns()));
}

const QList<Index> &indexes()
{
    static const QList<Index> list = {
        {"bodro_srvno", "CREATE INDEX IF NOT EXISTS bodro_srvno ON bodro(YATSRVNO)"},
        {"bodro_return", "CREATE INDEX IF NOT EXISTS bodro_return ON bodro(YATISVER, YATDEVREILK, "
                         "YATDEVRESON, YATBODROTUR, YATBDRDEVMIK)"},
        {"bodro_period", "CREATE INDEX IF NOT EXISTS bodro_period ON bodro(YATDEVREILK)"},
    };
    return list;
}

QString createIndexes()
{
    QString script;
    for (const Index &index : indexes())
        script += QLatin1String(index.create) + QStringLiteral(";\n");
    return script;
}

QString addSeqNoColumn()
{
    return QStringLiteral("ALTER TABLE bodro ADD YATBDRDEVMIK VARCHAR(1) default '1' NOT NULL ") +
           widthCheck("YATBDRDEVMIK", 1);
}

QString addSskNoColumn()
{
    return QStringLiteral("ALTER TABLE bodro ADD YATSSKNO VARCHAR(9) NULL ") +
           widthCheck("YATSSKNO", 9);
}

} // namespace schema
