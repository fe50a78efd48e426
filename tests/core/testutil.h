// Helpers shared by the tests: temporary working folders, a data module over a
// real SQLite file or a schema of its own on the tests' PostgreSQL server, and
// stored rows built field by field.
#pragma once

#include "app/context.h"
#include "store/dm.h"
#include "support/scriptedplatform.h"

#include <memory>
#include <QString>
#include <QTemporaryDir>

// Where a workspace keeps its returns.
enum class Backend { Sqlite, Postgres };

// The connection string of the server that the pg_server fixture runs; empty
// when none runs, as when a test binary is started by hand.
QString testServerConnInfo();

// A temporary working folder with its own platform, data module and context,
// wired as start-up wires them. On PostgreSQL the data module works in a
// fresh schema of the test server, dropped again with the workspace; without
// a server it is left unconnected, and opening it fails.
struct Workspace {
    explicit Workspace(Backend backend = Backend::Sqlite);
    ~Workspace();
    Workspace(const Workspace &) = delete;
    QString path(const QString &relative = QString()) const;

    QTemporaryDir dir;
    ScriptedPlatform platform;
    Backend backend;
    // The server and schema of a PostgreSQL workspace, empty on SQLite.
    QString serverConnInfo;
    QString schema;
    std::unique_ptr<Tdm> dm;
    std::unique_ptr<AppContext> ctx;
};

// One stored bodro row; every field has a plausible default.
struct BodroRow {
    QString siraNo = QStringLiteral("1");
    QString isver = QStringLiteral("010001000001");
    QString ilk = QStringLiteral("01.03.2013");
    QString son = QStringLiteral("31.03.2013");
    QString srvno = QStringLiteral("123456");
    QString kimlik = QStringLiteral("12345678901");
    QString isim = QStringLiteral("Ali Veli");
    QString cins = QStringLiteral("E");
    QString calgun = QStringLiteral("30");
    QString durum = QStringLiteral("");
    QString brut = QStringLiteral("1,000.00");
    QString primor = QStringLiteral("5.00");
    QString depoor = QStringLiteral("10.00");
    QString adres = QStringLiteral("Lefkoşa");
    QString tel = QStringLiteral("2281234");
    QString isvisim = QStringLiteral("Deneme Ltd.");
    QString tur = QStringLiteral("01");
    QString gonder = QStringLiteral("1");
    QString seq = QStringLiteral("1");
    QString ssk = QStringLiteral("123456789");
};

void insertBodro(Tdm &dm, const BodroRow &row);

// A database file as an earlier release left it: bodro without YATSSKNO (and
// without YATBDRDEVMIK unless withSeqNo), bodrotemp and muhisv.
void makeOldSchemaDatabase(const QString &path, bool withSeqNo);
