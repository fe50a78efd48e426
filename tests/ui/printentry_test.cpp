// "Yazdır" and "Tüm Şube Yazdır" on the entry screen: what they select, the
// totals they leave on the screen, the captions they hand to the printout and
// the preview they open.
#include "ui/uitest.h"

#include "controls/moneyedit.h"
#include "entry/yatirimgir.h"
#include "print/frmprint.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTimer>

namespace
{

BodroRow stored(const char *srvno, const char *brut, const char *seq = "1",
                const char *gonder = "1")
{
    BodroRow r;
    r.srvno = QString::fromLatin1(srvno);
    r.brut = QString::fromLatin1(brut);
    r.primor = QStringLiteral("5.00");
    r.depoor = QStringLiteral("10.00");
    r.seq = QString::fromLatin1(seq);
    r.gonder = QString::fromLatin1(gonder);
    return r;
}

// An entry screen over a workspace whose printout form exists, as at start-up.
struct Screen {
    Screen()
    {
        static_cast<SarvekApplication *>(qApp)->setPlatform(&ws.platform);
        printout = std::make_unique<Tfrmbodrodok>(*ws.ctx);
        ws.ctx->frmbodrodok = printout.get();
        form = std::make_unique<TForm1>(*ws.ctx);
        form->show();
    }
    ~Screen() { static_cast<SarvekApplication *>(qApp)->setPlatform(nullptr); }

    // The registry number and period of the stored fixtures.
    void typeHeader()
    {
        child<QLineEdit>(*form, "ALKAZA")->setText(QStringLiteral("01"));
        child<QLineEdit>(*form, "ALFIHRIST")->setText(QStringLiteral("0001"));
        child<QLineEdit>(*form, "ALSIRANO")->setText(QStringLiteral("000001"));
        child<QDateEdit>(*form, "DEVREILK")->setDate(QDate(2013, 3, 1));
        child<QDateEdit>(*form, "DEVRESON")->setDate(QDate(2013, 3, 31));
    }

    // Clicks `button`; a preview that opens is looked at and closed.
    void click(QPushButton *button)
    {
        previews = 0;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [this] {
            auto *dialog = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            ++previews;
            previewTitle = dialog->windowTitle();
            previewPages = dialog->findChild<QPrintPreviewWidget *>()->pageCount();
            premiumWhilePreviewed = child<TMoneyEdit>(*form, "topprim")->text();
            dialog->reject();
        });
        poll.start(20);
        button->click();
        poll.stop();
    }

    Workspace ws;
    std::unique_ptr<Tfrmbodrodok> printout;
    std::unique_ptr<TForm1> form;
    int previews = 0;
    QString previewTitle;
    int previewPages = 0;
    QString premiumWhilePreviewed;
};

} // namespace

class PrintEntryTest : public QObject
{
    Q_OBJECT
  private slots:
    void yazdirPrintsThePickedReturn();
    void nothingStoredShowsTheMessage();
    void tumSubeYazdirPrintsEveryRecordMarkedForSending();
    void newScreenPrintsRecordOneOfThePickedType();
};

void PrintEntryTest::yazdirPrintsThePickedReturn()
{
    Screen s;
    for (int i = 0; i < 24; ++i)
        insertBodro(*s.ws.dm, stored("100001", "666.70"));
    insertBodro(*s.ws.dm, stored("900001", "5,000.00", "2"));
    s.ws.ctx->session.entry.pickedType = QStringLiteral("01");
    s.ws.ctx->session.entry.seqNo = QStringLiteral("1");
    s.typeHeader();
    child<TMoneyEdit>(*s.form, "topbrut")->setTextAsFloat(Decimal(7));

    s.click(child<QPushButton>(*s.form, "BitBtnYazdir"));

    QCOMPARE(s.previews, 1);
    QCOMPARE(s.previewTitle, QStringLiteral("Bodro Dökümü"));
    QCOMPARE(s.previewPages, 2);
    // 24 x 33.335 = 800.04; 24 x 66.67 = 1,600.08.
    QCOMPARE(s.premiumWhilePreviewed, QStringLiteral("800.04"));
    QCOMPARE(child<TMoneyEdit>(*s.form, "topprim")->text(), QStringLiteral("800.04"));
    QCOMPARE(child<TMoneyEdit>(*s.form, "topdepo")->text(), QStringLiteral("1,600.08"));
    QCOMPARE(child<TMoneyEdit>(*s.form, "TOPPD")->text(), QStringLiteral("2,400.12"));
    QCOMPARE(child<TMoneyEdit>(*s.form, "topbrut")->text(), QStringLiteral("7.00"));
    QCOMPARE(s.printout->QRLabel31, QStringLiteral("01- 0001- 000001"));
    QCOMPARE(s.printout->QRLabel6,
             QStringLiteral("İsveren No:01- 0001- 000001 Devre: 01.03.2013-31.03.2013 "
                            "Bodro Türü: Asıl"));
    QCOMPARE(s.printout->QRLabel30, QStringLiteral("24"));
    QCOMPARE(s.printout->burtoplam, QStringLiteral("16,000.80"));
    QCOMPARE(s.printout->primtoplam, QStringLiteral("800.04"));
    QCOMPARE(s.printout->yattoplam, QStringLiteral("2,400.12"));
    QCOMPARE(s.printout->QRLabel16, QStringLiteral("X"));
    QCOMPARE(s.printout->QRLabel18, QStringLiteral(" "));
    QVERIFY(s.ws.platform.texts().isEmpty());
}

void PrintEntryTest::nothingStoredShowsTheMessage()
{
    // Before the first pick of a run the picked type is empty: nothing prints.
    Screen s;
    insertBodro(*s.ws.dm, stored("100001", "1,000.00"));
    s.typeHeader();
    child<TMoneyEdit>(*s.form, "topprim")->setTextAsFloat(Decimal(5));
    child<TMoneyEdit>(*s.form, "topdepo")->setTextAsFloat(Decimal(6));
    child<TMoneyEdit>(*s.form, "TOPPD")->setTextAsFloat(Decimal(11));

    for (QPushButton *button : {child<QPushButton>(*s.form, "BitBtnYazdir"),
                                child<QPushButton>(*s.form, "BitTumSubeYazdir")}) {
        s.ws.platform.clearShown();
        s.click(button);
        QCOMPARE(s.previews, 0);
        QCOMPARE(s.ws.platform.texts(),
                 QStringList{QStringLiteral("Lütfen Önce Kayıt İşlemini Yapınız")});
        QCOMPARE(child<TMoneyEdit>(*s.form, "topprim")->text(), QStringLiteral("0.00"));
        QCOMPARE(child<TMoneyEdit>(*s.form, "topdepo")->text(), QStringLiteral("0.00"));
        QCOMPARE(child<TMoneyEdit>(*s.form, "TOPPD")->text(), QStringLiteral("0.00"));
    }
}

void PrintEntryTest::tumSubeYazdirPrintsEveryRecordMarkedForSending()
{
    Screen s;
    insertBodro(*s.ws.dm, stored("100001", "1,000.00", "1"));
    insertBodro(*s.ws.dm, stored("100002", "1,000.00", "1"));
    insertBodro(*s.ws.dm, stored("200001", "1,000.00", "2"));
    insertBodro(*s.ws.dm, stored("300001", "1,000.00", "3", "0"));
    s.ws.ctx->session.entry.pickedType = QStringLiteral("01");
    s.ws.ctx->session.entry.seqNo = QStringLiteral("3");
    s.typeHeader();

    s.click(child<QPushButton>(*s.form, "BitTumSubeYazdir"));

    QCOMPARE(s.previews, 1);
    QCOMPARE(s.printout->QRLabel30, QStringLiteral("3"));
    QCOMPARE(child<TMoneyEdit>(*s.form, "TOPPD")->text(), QStringLiteral("450.00"));
}

void PrintEntryTest::newScreenPrintsRecordOneOfThePickedType()
{
    // A pick of record 2, then "Yeni Aç" and the same employer and period:
    // the sequence number is back to 1, the picked type stays.
    Screen s;
    insertBodro(*s.ws.dm, stored("100001", "1,000.00", "1"));
    insertBodro(*s.ws.dm, stored("100002", "1,000.00", "1"));
    insertBodro(*s.ws.dm, stored("200001", "3,000.00", "2"));
    s.ws.ctx->session.entry.pickedType = QStringLiteral("01");
    s.ws.ctx->session.entry.seqNo = QStringLiteral("2");
    s.typeHeader();
    s.click(child<QPushButton>(*s.form, "BitBtnYazdir"));
    QCOMPARE(s.printout->QRLabel30, QStringLiteral("1"));

    child<QPushButton>(*s.form, "yeniac")->click();
    s.typeHeader();
    s.click(child<QPushButton>(*s.form, "BitBtnYazdir"));
    QCOMPARE(s.previews, 1);
    QCOMPARE(s.printout->QRLabel30, QStringLiteral("2"));
    QCOMPARE(s.printout->burtoplam, QStringLiteral("2,000.00"));
}

SARVEK_TEST_MAIN(PrintEntryTest)
#include "printentry_test.moc"
