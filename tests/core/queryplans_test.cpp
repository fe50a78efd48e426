// Every statement that works on one stored return, one employer or one
// employee must find its rows through the index for it (bodro_return, or
// bodro_srvno for an employee): a full scan of bodro, or the period index,
// reads every row of a period or of the whole history. The all-returns list
// reads the return table alone, by its year index. The statements are caught
// as the program runs them and their plans asked of the engine.
#include "accountant/accountantrecord.h"
#include "core/testutil.h"
#include "declaration/declfile.h"
#include "declaration/selection.h"
#include "entry/returnstore.h"
#include "lists/returnlists.h"
#include "print/printcommands.h"
#include "store/sqlite.h"

#include <functional>
#include <gtest/gtest.h>
#include <QRegularExpression>
#include <sqlite3.h>

using namespace returnstore;

namespace
{

const QRegularExpression Bodro(QStringLiteral("\\bbodro\\b"),
                               QRegularExpression::CaseInsensitiveOption);
const QRegularExpression BodroOrItsList(QStringLiteral("\\bbodro(liste)?\\b"),
                                        QRegularExpression::CaseInsensitiveOption);

// The statements, values filled in, that fn runs on the tables `table` matches.
QStringList statementsOf(Tdm &dm, const std::function<void()> &fn,
                         const QRegularExpression &table = Bodro)
{
    struct Context {
        const QRegularExpression &table;
        QStringList seen;
    } context{table, {}};
    const auto trace = [](unsigned, void *context, void *stmt, void *) {
        char *sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt *>(stmt));
        const QString text = QString::fromUtf8(sql);
        sqlite3_free(sql);
        auto *c = static_cast<Context *>(context);
        if (text.contains(c->table))
            c->seen.append(text);
        return 0;
    };
    sqlite3_trace_v2(dm.localFile()->handle(), SQLITE_TRACE_STMT, trace, &context);
    fn();
    sqlite3_trace_v2(dm.localFile()->handle(), 0, nullptr, nullptr);
    return context.seen;
}

// The plan lines of a statement that concern the tables `table` matches.
QStringList planOn(Tdm &dm, const QString &sql, const QRegularExpression &table = Bodro)
{
    QStringList lines;
    for (const QStringList &row : dm.select(QStringLiteral("EXPLAIN QUERY PLAN ") + sql))
        if (row.value(3).contains(table))
            lines << row.value(3);
    return lines;
}

bool usesIndex(const QString &planLine, const QString &index)
{
    return planLine.contains(
        QRegularExpression(QStringLiteral("USING (COVERING )?INDEX %1\\b").arg(index)));
}

// Every statement that fn runs on bodro reads it through `index`, and at least
// one does read it.
void expectReadsThrough(Tdm &dm, const std::function<void()> &fn, const QString &index)
{
    int reads = 0;
    for (const QString &sql : statementsOf(dm, fn)) {
        // A plain insert has no plan; every statement that finds rows has.
        const QStringList plan = planOn(dm, sql);
        reads += !plan.isEmpty();
        for (const QString &line : plan)
            EXPECT_TRUE(usesIndex(line, index)) << line.toStdString() << "\n" << sql.toStdString();
    }
    EXPECT_GT(reads, 0) << "no statement on bodro was seen";
}

ReturnHeader header(const QString &employer, const QString &seq)
{
    ReturnHeader h;
    h.key = {employer, QStringLiteral("01.03.2013"), QStringLiteral("31.03.2013"),
             QStringLiteral("01"), seq};
    h.send = QStringLiteral("1");
    h.name = QStringLiteral("Deneme Ltd.");
    return h;
}

GridRow employee(const QString &srvno)
{
    return {QStringLiteral("1"),
            srvno,
            {},
            {},
            QStringLiteral("Ali"),
            QStringLiteral("E"),
            QStringLiteral("30"),
            {},
            QStringLiteral("1,000.00"),
            QStringLiteral("5.00"),
            QStringLiteral("50.00"),
            QStringLiteral("10.00"),
            QStringLiteral("100.00"),
            QStringLiteral("150.00")};
}

// Twenty employers with one employee each, in one period, so that the period
// index looks as selective to the planner as it ever will.
void storeReturns(Tdm &dm)
{
    for (int e = 0; e < 20; ++e)
        ASSERT_TRUE(saveNew(dm,
                            header(QStringLiteral("0100010000%1").arg(e, 2, 10, QLatin1Char('0')),
                                   QStringLiteral("1")),
                            {employee(QStringLiteral("1111%1").arg(e, 2, 10, QLatin1Char('0')))})
                        .ok());
}

} // namespace

TEST(QueryPlans, OneReturnStatementsUseTheReturnIndex)
{
    Workspace ws;
    Tdm &dm = *ws.dm;
    storeReturns(dm);
    const ReturnHeader h = header(QStringLiteral("010001000005"), QStringLiteral("1"));
    const PrintRequest print{QStringLiteral("01"), QStringLiteral("0001"), QStringLiteral("000005"),
                             h.key.periodStart,    h.key.periodEnd,        h.key.type,
                             h.key.seqNo,          PrintScope::OneReturn};
    PrintRequest printAll = print;
    printAll.scope = PrintScope::AllBranches;
    const PeriodChoice all{QDate(2013, 3, 1), QDate(2013, 3, 31), ReturnKind::Tumu, false};

    const std::pair<const char *, std::function<void()>> actions[] = {
        {"existence", [&] { returnExists(dm, h.key); }},
        {"next number", [&] { nextSeqNo(dm, h.key); }},
        {"reload", [&] { loadReturn(dm, h.key); }},
        {"update", [&] { ASSERT_TRUE(updateReturn(dm, h, {employee("222222")}).ok()); }},
        {"second record", [&] { ASSERT_TRUE(saveSecondRecord(dm, h, {employee("333333")}).ok()); }},
        {"print one", [&] { preparePrint(dm, print); }},
        {"print all sent", [&] { preparePrint(dm, printAll); }},
        {"file of one return",
         [&] {
             declarationFile(AccountantRecord{}, dm.db(),
                             fileSelection(all, h.key.employer, h.key.type), false);
         }},
        {"one-employer list",
         [&] {
             listEmployerReturns(dm.Query1, h.key.employer, h.key.periodStart, h.key.periodEnd);
         }},
        // The entry screen's look-up of the employer's address, telephone and
        // name when the registry number is complete; the return index begins
        // with the employer.
        {"employer look-up",
         [&] {
             dm.select(QStringLiteral("select DISTINCT ISVISADRES, ISVTELNO, ISVISIM  from bodro "
                                      "where YATISVER = ?"),
                       {h.key.employer});
         }},
    };
    for (const auto &[name, action] : actions) {
        SCOPED_TRACE(name);
        expectReadsThrough(dm, action, QStringLiteral("bodro_return"));
    }
}

// The entry screen's look-up of an employee's stored details by Sarvek number
// reads one employee's rows, not the table.
TEST(QueryPlans, EmployeeLookUpUsesTheSarvekNumberIndex)
{
    Workspace ws;
    Tdm &dm = *ws.dm;
    storeReturns(dm);
    expectReadsThrough(
        dm,
        [&] {
            dm.select(QStringLiteral("select YATKIMLIK, YATISIM, YATCINS, YATCALGUN, YATSSKNO  "
                                     "from bodro where YATSRVNO = ?"),
                      {QStringLiteral("111105")});
        },
        QStringLiteral("bodro_srvno"));
}

// F10 reads the return table alone, never the stored rows, and finds a year
// through the table's year index; texts that are no plain year scan the
// return table only.
TEST(QueryPlans, AllReturnsListReadsTheReturnTableByYear)
{
    Workspace ws;
    Tdm &dm = *ws.dm;
    storeReturns(dm);
    for (const char *year : {"2013", "3", ""}) {
        SCOPED_TRACE(year);
        const QStringList statements = statementsOf(
            dm, [&] { searchAllReturns(dm.Query1, QString::fromLatin1(year)); }, BodroOrItsList);
        ASSERT_FALSE(statements.isEmpty());
        bool byYear = false;
        for (const QString &sql : statements) {
            EXPECT_FALSE(sql.contains(Bodro)) << sql.toStdString();
            for (const QString &line : planOn(dm, sql, BodroOrItsList)) {
                EXPECT_FALSE(line.contains(Bodro)) << line.toStdString();
                byYear = byYear || usesIndex(line, QStringLiteral("bodroliste_year"));
            }
        }
        EXPECT_EQ(byYear, QByteArrayView(year) == "2013");
    }
}
