// The move of Data/bodro.mdb to the office's server, and the command around it.
#include "app/move.h"

#include "app/workfolder.h"
#include "base/platform.h"
#include "store/dm.h"
#include "store/failure.h"
#include "store/pgdb.h"
#include "store/pgschema.h"
#include "store/sqlite.h"
#include "store/storagechoice.h"
#include "store/upgrade.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <QDir>
#include <QFileInfo>

namespace officemove
{

namespace
{

// The tables that are copied row for row, in this order, with their keys.
struct MovedTable {
    const char *name;
    const char *key;
};
constexpr MovedTable Moved[] = {{"bodro", "IDSIRA"}, {"muhisv", "ID"}, {"gonderim", "ID"}};

// Rows go over many to a statement: one round trip to the server per batch,
// not per row, keeps a large history from taking minutes.
constexpr int BatchRows = 100;

// The schema step run from a terminal: it asks nothing, and what it would
// show in a box goes to note. Its copy of the file is named by the clock.
class TerminalPlatform final : public Platform
{
  public:
    explicit TerminalPlatform(const std::function<void(const QString &)> &note) : m_note(note) {}

    void showMessage(const QString &text) override { m_note(text); }
    void showWarning(const QString &text) override { m_note(text); }
    Answer confirm(const QString &) override { return Answer::Cancel; }
    void showDetailedWarning(const QString &text, const QString &detail) override
    {
        m_note(failure::withDetail(text, detail));
    }
    bool askYesNo(const QString &) override { return false; }
    QDateTime now() override { return QDateTime::currentDateTime(); }
    QString windowsDirectory() override { return QString(); }
    bool openDocument(const QString &) override { return false; }
    bool startCalculator() override { return false; }
    void showHelp(const QString &) override {}
    QList<Volume> volumes() override { return {}; }
    QString chooseFileToOpen(const QString &, const QString &) override { return QString(); }
    std::unique_ptr<FtpClient> makeFtpClient() override { return nullptr; }

  private:
    const std::function<void(const QString &)> &m_note;
};

long long rowCount(Database &db, const QString &table)
{
    Statement q = db.prepare(QStringLiteral("SELECT count(*) FROM %1").arg(table));
    return q.step() ? q.integer(0) : 0;
}

// A target that holds anything of an office's history is never added to:
// keys from two histories would clash, and returns would be stored twice.
void refuseUnlessEmpty(Database &server)
{
    for (const MovedTable &t : Moved) {
        const QString table = QLatin1String(t.name);
        if (!server.hasTable(table))
            continue;
        if (const long long rows = rowCount(server, table); rows > 0)
            throw AppError(QStringLiteral("Hedef veritabanı boş değil: %1 tablosunda %2 satır var. "
                                          "Taşıma yalnızca boş bir veritabanına yapılır; hiçbir "
                                          "şey yazılmadı.")
                               .arg(table)
                               .arg(rows));
    }
}

// Inserts rows into one table of the server, BatchRows to a statement.
class BatchInsert
{
  public:
    BatchInsert(Database &server, const QString &table, const QStringList &columns)
        : m_server(server), m_width(int(columns.size())),
          m_head(QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table, columns.join(u", ")))
    {
    }

    // Takes the current row of from, whose columns are those of the insert.
    void add(const Statement &from)
    {
        for (int i = 0; i < m_width; ++i)
            m_values << (from.isNull(i) ? QVariant() : QVariant(from.text(i)));
        if (m_values.size() == qsizetype(m_width) * BatchRows)
            flush();
    }

    void flush()
    {
        const int rows = int(m_values.size() / m_width);
        if (rows == 0)
            return;
        if (rows == BatchRows) {
            if (!m_full)
                m_full.emplace(m_server.prepare(sqlFor(rows)));
            m_full->reset();
            m_full->bindAll(m_values).run();
        } else {
            m_server.prepare(sqlFor(rows)).bindAll(m_values).run();
        }
        m_values.clear();
    }

  private:
    QString sqlFor(int rows) const
    {
        const QString row =
            QStringLiteral("(%1)").arg(QStringList(m_width, QStringLiteral("?")).join(u','));
        return m_head + QStringList(rows, row).join(u", ");
    }

    Database &m_server;
    int m_width;
    QString m_head;
    QVariantList m_values;
    std::optional<Statement> m_full;
};

// Every row of the file's table, each value as stored: a text stays a text,
// NULL stays NULL, the key keeps its number.
void copyRows(SqliteDatabase &file, Database &server, const QString &table, const QString &key)
{
    const QStringList columns = file.columnNames(table);
    Statement read = file.prepare(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(columns.join(u", "), table, key));
    BatchInsert insert(server, table, columns);
    while (read.step())
        insert.add(read);
    insert.flush();
}

// The key sequence goes on past the largest key the file ever gave, not only
// past the largest it still holds: as in the file, a deleted record's key is
// never given again.
void continueKeys(SqliteDatabase &file, Database &server, const QString &table, const QString &key)
{
    long long last = 0;
    if (file.hasTable(QStringLiteral("sqlite_sequence"))) {
        Statement seq = file.prepare(
            QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ? COLLATE NOCASE"));
        seq.bind(1, table);
        if (seq.step())
            last = seq.integer(0);
    }
    Statement top =
        server.prepare(QStringLiteral("SELECT coalesce(max(%1), 0) FROM %2").arg(key, table));
    if (top.step())
        last = std::max(last, top.integer(0));
    Statement set =
        server.prepare(QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), ?, false)"));
    set.bind(1, table).bind(2, key.toLower()).bind(3, last + 1);
    set.run();
}

// Runs work for one table; a failure comes out naming the table.
template <typename Work> void forTable(const QString &table, Work work)
{
    try {
        work();
    } catch (const AppError &e) {
        throw AppError(QStringLiteral("%1 tablosu taşınamadı; sunucuya hiçbir şey yazılmadı.\r\n%2")
                           .arg(table, e.message()));
    }
}

// A terminal shows a line break as one character.
QString forTerminal(const QString &text)
{
    QString t = text;
    return t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

void print(std::FILE *to, const QString &text)
{
    std::fputs(forTerminal(text).toUtf8().constData(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

} // namespace

bool requested(int argc, char **argv)
{
    const QByteArray option(Option);
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == option || arg.startsWith(option + '='))
            return true;
    }
    return false;
}

QList<TableCount> moveToServer(const QString &baseDir, const QString &connInfo,
                               const std::function<void(const QString &)> &note)
{
    if (const QString why = storagechoice::refusal(connInfo, QLatin1String(Option)); !why.isEmpty())
        throw AppError(why);
    Tdm dm(baseDir);
    // Opening a missing or empty file would make a new database: there is
    // nothing to move then, and nothing may be made.
    const QFileInfo file(dm.databasePath());
    const QString shownPath = QDir::toNativeSeparators(file.absoluteFilePath());
    if (!file.isFile())
        throw AppError(
            QStringLiteral("Taşınacak veritabanı dosyası bulunamadı: %1").arg(shownPath));
    if (file.size() == 0)
        throw AppError(QStringLiteral("Taşınacak veritabanı dosyası boş: %1").arg(shownPath));

    PgDatabase server(connInfo);
    // Before the file is brought up to date: a refused target leaves the
    // file as it was too.
    refuseUnlessEmpty(server);
    TerminalPlatform platform(note);
    runSchemaUpgrade(dm, platform);
    SqliteDatabase &source = *dm.localFile();
    pgschema::ensureSchema(server);

    // One snapshot of the file: a desk that writes to it meanwhile waits.
    Transaction reading(source, Transaction::Lock::Deferred);
    Transaction writing(server);
    // Desks already pointed at the server wait until the history is in.
    server.execScript(QStringLiteral("LOCK TABLE bodro, muhisv, gonderim IN EXCLUSIVE MODE"));
    refuseUnlessEmpty(server);
    QList<TableCount> counts;
    for (const MovedTable &t : Moved) {
        const QString table = QLatin1String(t.name);
        TableCount count{table};
        forTable(table, [&] {
            if (source.hasTable(table)) {
                count.fileRows = rowCount(source, table);
                copyRows(source, server, table, QLatin1String(t.key));
            }
            count.serverRows = rowCount(server, table);
            if (count.serverRows != count.fileRows)
                throw AppError(QStringLiteral("Dosyada %1 satır var, sunucuya %2 satır yazıldı.")
                                   .arg(count.fileRows)
                                   .arg(count.serverRows));
        });
        counts << count;
        if (table == QLatin1String("bodro")) {
            // The list follows from the rows; built here, it cannot disagree
            // with them.
            const QString list = QStringLiteral("bodroliste");
            TableCount lines{list};
            forTable(list, [&] {
                pgschema::fillReturnTable(server);
                lines.fileRows = rowCount(source, list);
                lines.serverRows = rowCount(server, list);
            });
            counts << lines;
        }
    }
    // Last, as a sequence keeps its value even when the transaction is
    // rolled back: a move that fails leaves the keys where they were.
    for (const MovedTable &t : Moved) {
        const QString table = QLatin1String(t.name);
        forTable(table, [&] { continueKeys(source, server, table, QLatin1String(t.key)); });
    }
    writing.commit();
    reading.commit();
    return counts;
}

QString countsText(const QList<TableCount> &counts)
{
    QStringList lines{QStringLiteral("%1 %2 %3")
                          .arg(QStringLiteral("Tablo"), -12)
                          .arg(QStringLiteral("Dosyada"), 10)
                          .arg(QStringLiteral("Sunucuda"), 10)};
    for (const TableCount &c : counts)
        lines << QStringLiteral("%1 %2 %3")
                     .arg(c.table, -12)
                     .arg(c.fileRows, 10)
                     .arg(c.serverRows, 10);
    return lines.join(u'\n');
}

int runCommand(const QStringList &arguments)
{
    const QString option = QLatin1String(Option);
    QString connInfo;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == option && i + 1 < arguments.size() &&
            !arguments[i + 1].startsWith(QLatin1String("--")))
            connInfo = arguments[i + 1];
        else if (arguments[i].startsWith(option + u'='))
            connInfo = arguments[i].mid(option.size() + 1);
    }
    if (connInfo.trimmed().isEmpty()) {
        print(stderr, QStringLiteral("%1 seçeneğinden sonra sunucunun bağlantı bilgisini yazınız "
                                     "(örneğin \"host=sunucu dbname=sarvek user=buro\").")
                          .arg(option));
        return 2;
    }
    const workfolder::Choice folder =
        workfolder::choose(arguments, qEnvironmentVariable(workfolder::FolderVariable),
                           QDir::currentPath(), QDir::homePath());
    if (!folder.error.isEmpty()) {
        print(stderr, folder.error);
        return 2;
    }
    try {
        const QList<TableCount> counts = moveToServer(
            folder.folder, connInfo.trimmed(), [](const QString &text) { print(stdout, text); });
        print(stdout, QStringLiteral("%1 sunucuya taşındı.")
                          .arg(QDir::toNativeSeparators(
                              QDir(folder.folder).filePath(QStringLiteral("Data/bodro.mdb")))));
        print(stdout, countsText(counts));
        return 0;
    } catch (const AppError &e) {
        print(stderr, e.message());
        return 1;
    }
}

} // namespace officemove
