// The accountant record's statements against a real database file.
#include "accountant/accountantrecord.h"
#include "core/backends.h"

#include <gtest/gtest.h>

namespace
{

AccountantRecord record(const QString &unvan, const QString &msno)
{
    return AccountantRecord{unvan,
                            QStringLiteral("Ayşe Öztürk"),
                            msno,
                            QStringLiteral("Girne Cad. 5\nLefkoşa"),
                            QStringLiteral("2281111"),
                            QStringLiteral("2282222"),
                            QStringLiteral("5331234567"),
                            QStringLiteral("1")};
}

void expectSame(const AccountantRecord &a, const AccountantRecord &b)
{
    EXPECT_EQ(a.unvan, b.unvan);
    EXPECT_EQ(a.isim, b.isim);
    EXPECT_EQ(a.msno, b.msno);
    EXPECT_EQ(a.adres, b.adres);
    EXPECT_EQ(a.telno, b.telno);
    EXPECT_EQ(a.faxno, b.faxno);
    EXPECT_EQ(a.mobilno, b.mobilno);
    EXPECT_EQ(a.set, b.set);
}

} // namespace

using AccountantRecordStore = BackendTest;

TEST_P(AccountantRecordStore, EmptyTableHasNoNewest)
{
    Workspace ws(backend());
    EXPECT_FALSE(newestAccountant(*ws.dm).has_value());
    EXPECT_FALSE(findAccountantContaining(*ws.dm, QString()).has_value());
}

TEST_P(AccountantRecordStore, NewestIsTheLastInsertedEvenAfterAnOlderOneIsUpdated)
{
    Workspace ws(backend());
    const AccountantRecord older = record(QStringLiteral("Öz Muhasebe"), QStringLiteral("100"));
    const AccountantRecord newer = record(QStringLiteral("Kaya Ltd."), QStringLiteral("200"));
    insertAccountant(*ws.dm, older);
    insertAccountant(*ws.dm, newer);
    AccountantRecord changed = older;
    changed.msno = QStringLiteral("999");
    EXPECT_EQ(updateAccountant(*ws.dm, changed), 1);

    const auto newest = newestAccountant(*ws.dm);
    ASSERT_TRUE(newest.has_value());
    expectSame(*newest, newer);
}

TEST_P(AccountantRecordStore, QuotesAndLineBreaksAreStoredAsTyped)
{
    Workspace ws(backend());
    const AccountantRecord r = record(QStringLiteral("O'Neil \"Muhasebe\" %_"),
                                      QStringLiteral("'; drop table muhisv; --"));
    insertAccountant(*ws.dm, r);
    EXPECT_TRUE(accountantExists(*ws.dm, r.unvan));
    const auto back = newestAccountant(*ws.dm);
    ASSERT_TRUE(back.has_value());
    expectSame(*back, r);
}

TEST_P(AccountantRecordStore, ExistsComparesTheWholeTitle)
{
    Workspace ws(backend());
    insertAccountant(*ws.dm, record(QStringLiteral("Kaya Muhasebe Ltd."), QStringLiteral("1")));
    EXPECT_TRUE(accountantExists(*ws.dm, QStringLiteral("Kaya Muhasebe Ltd.")));
    EXPECT_FALSE(accountantExists(*ws.dm, QStringLiteral("Kaya")));
    EXPECT_FALSE(accountantExists(*ws.dm, QStringLiteral("Kaya Muhasebe Ltd. ")));
}

TEST_P(AccountantRecordStore, ContainmentLookUpFindsPartOfATitle)
{
    Workspace ws(backend());
    insertAccountant(*ws.dm, record(QStringLiteral("Kaya Muhasebe Ltd."), QStringLiteral("1")));
    const auto hit = findAccountantContaining(*ws.dm, QStringLiteral("Muhasebe"));
    ASSERT_TRUE(hit.has_value());
    EXPECT_EQ(hit->unvan, QStringLiteral("Kaya Muhasebe Ltd."));
    EXPECT_FALSE(findAccountantContaining(*ws.dm, QStringLiteral("Yok")).has_value());
    // An empty text matches every title.
    EXPECT_TRUE(findAccountantContaining(*ws.dm, QString()).has_value());
    // ASCII letters match in either case, and a backslash is a letter like
    // any other, on both engines.
    EXPECT_TRUE(findAccountantContaining(*ws.dm, QStringLiteral("kaya muhasebe")).has_value());
    insertAccountant(*ws.dm, record(QStringLiteral("Ada\\Bey 100%"), QStringLiteral("2")));
    const struct {
        const char *text;
        bool found;
    } patterns[] = {{"a\\b", true},    {"Ada\\", true}, {"\\", true},   {"\\B", true},
                    {"a\\\\b", false}, {"\\%", true},   {"y\\", false}, {"0%", true}};
    for (const auto &p : patterns) {
        const auto found = findAccountantContaining(*ws.dm, QString::fromUtf8(p.text));
        EXPECT_EQ(found.has_value(), p.found) << p.text;
        if (found && p.found) {
            EXPECT_EQ(found->unvan, QStringLiteral("Ada\\Bey 100%")) << p.text;
        }
    }
}

TEST_P(AccountantRecordStore, UpdateChangesEveryRecordWithThatTitleAndNoOther)
{
    Workspace ws(backend());
    insertAccountant(*ws.dm, record(QStringLiteral("Aynı"), QStringLiteral("1")));
    insertAccountant(*ws.dm, record(QStringLiteral("Aynı"), QStringLiteral("2")));
    insertAccountant(*ws.dm, record(QStringLiteral("Başka"), QStringLiteral("3")));
    AccountantRecord changed = record(QStringLiteral("Aynı"), QStringLiteral("7"));
    changed.set = QStringLiteral("0");
    EXPECT_EQ(updateAccountant(*ws.dm, changed), 2);

    const auto rows = ws.dm->select(
        QStringLiteral("select MUHISVUNVAN, MSNO, SETMUHISV from muhisv order by ID"));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0],
              (QStringList{QStringLiteral("Aynı"), QStringLiteral("7"), QStringLiteral("0")}));
    EXPECT_EQ(rows[1],
              (QStringList{QStringLiteral("Aynı"), QStringLiteral("7"), QStringLiteral("0")}));
    EXPECT_EQ(rows[2],
              (QStringList{QStringLiteral("Başka"), QStringLiteral("3"), QStringLiteral("1")}));
}

INSTANTIATE_BACKENDS(AccountantRecordStore);

TEST(AccountantAddress, LinesAreStoredWithCrLf)
{
    struct Case {
        const char *typed, *stored, *shown;
    } cases[] = {
        {"Girne Cad. 5", "Girne Cad. 5", "Girne Cad. 5"},
        {"Girne Cad. 5\nLefkoşa", "Girne Cad. 5\r\nLefkoşa", "Girne Cad. 5\nLefkoşa"},
        {"a\r\nb\rc\n", "a\r\nb\r\nc\r\n", "a\nb\nc\n"},
        {"", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(storedAddress(QString::fromUtf8(c.typed)), QString::fromUtf8(c.stored));
        EXPECT_EQ(shownAddress(QString::fromUtf8(c.stored)), QString::fromUtf8(c.shown));
    }
}
