// Every statement that works on one stored return must find its rows through
// bodro_return: a full scan of bodro, or the period index, reads every row of
// a period or of the whole history. The statements are caught as the program
// runs them and their plans asked of the engine.
#include "accountant/accountantrecord.h"
#include "core/testutil.h"
#include "declaration/declfile.h"
#include "declaration/selection.h"
#include "entry/returnstore.h"
#include "print/printcommands.h"

#include <functional>
#include <gtest/gtest.h>
#include <QRegularExpression>
#include <sqlite3.h>

using namespace returnstore;

namespace
{

// The statements, values filled in, that fn runs on bodro.
QStringList statementsOf(Tdm &dm, const std::function<void()> &fn)
{
    QStringList seen;
    const auto trace = [](unsigned, void *context, void *stmt, void *) {
        char *sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt *>(stmt));
        const QString text = QString::fromUtf8(sql);
        sqlite3_free(sql);
        if (text.contains(QRegularExpression(QStringLiteral("\\bbodro\\b"),
                                             QRegularExpression::CaseInsensitiveOption)))
            static_cast<QStringList *>(context)->append(text);
        return 0;
    };
    sqlite3_trace_v2(dm.db().handle(), SQLITE_TRACE_STMT, trace, &seen);
    fn();
    sqlite3_trace_v2(dm.db().handle(), 0, nullptr, nullptr);
    return seen;
}

// The plan lines of a statement that concern bodro itself.
QStringList planOnBodro(Tdm &dm, const QString &sql)
{
    QStringList lines;
    for (const QStringList &row : dm.select(QStringLiteral("EXPLAIN QUERY PLAN ") + sql))
        if (row.value(3).contains(QRegularExpression(QStringLiteral("\\bbodro\\b"))))
            lines << row.value(3);
    return lines;
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

} // namespace

TEST(QueryPlans, OneReturnStatementsUseTheReturnIndex)
{
    Workspace ws;
    Tdm &dm = *ws.dm;
    // Many employers in one period, so that the period index looks as
    // selective to the planner as it ever will.
    for (int e = 0; e < 20; ++e)
        ASSERT_TRUE(saveNew(dm,
                            header(QStringLiteral("0100010000%1").arg(e, 2, 10, QLatin1Char('0')),
                                   QStringLiteral("1")),
                            {employee(QStringLiteral("1111%1").arg(e, 2, 10, QLatin1Char('0')))})
                        .ok());
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
             declarationBytes(AccountantRecord{}, dm.db(),
                              fileSelection(all, h.key.employer, h.key.type), false);
         }},
    };
    for (const auto &[name, action] : actions) {
        SCOPED_TRACE(name);
        const QStringList statements = statementsOf(dm, action);
        int reads = 0;
        for (const QString &sql : statements) {
            // A plain insert has no plan; every statement that finds rows has.
            const QStringList plan = planOnBodro(dm, sql);
            reads += !plan.isEmpty();
            for (const QString &line : plan)
                EXPECT_TRUE(line.contains(QLatin1String("USING INDEX bodro_return")) ||
                            line.contains(QLatin1String("USING COVERING INDEX bodro_return")))
                    << line.toStdString() << "\n"
                    << sql.toStdString();
        }
        EXPECT_GT(reads, 0) << "no statement on bodro was seen";
    }
}
