// The declaration screen on real widgets: start-up, period bounds, "Hesapla",
// and "Hazırla" down both routes, with message boxes answered by script and the
// upload going to a real FTP server on 127.0.0.1 or to a scripted client; the
// log of prepared files, the question before a period goes out twice, and the
// "Gönderilenler" list.
#include "store/sqlite.h"
#include "ui/uitest.h"

#include "accountant/accountantrecord.h"
#include "core/ftpserver.h"
#include "declaration/frmkayityeri.h"
#include "declaration/frmyapdosya.h"
#include "declaration/gonderilenler.h"
#include "declaration/sendlog.h"
#include "lists/bordlistall.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSemaphore>
#include <QTableView>
#include <QTableWidget>
#include <sqlite3.h>

#include "controls/moneyedit.h"

namespace
{

const QString NotFound = QStringLiteral("Böyle Bir Kayıt Bulunamadı");
const QString AskRoute = QStringLiteral(
    "Eğer İnternetiniz var ise bize bu dosyayı, Internet üzerinden göndere bilirsiniz?");
const QString AskDrive =
    QStringLiteral("Bodro hazırlanıyor lütfen kayıt edilecek USB yerini dösteriniz");
const QString NoConnection = QStringLiteral(
    "Programın Çalışması için Internet Bağlantınız Olması Gerekmektedir. Lütfen Internete "
    "Bağlanınız");
const QString Delivered =
    QStringLiteral("Dosya Internet Üzerinden Sarvek Sandığı Dairesine Ulaştırıldı! Teşekür ederiz");
const QString TransferFailed = QStringLiteral(
    "Internet Bağlantısı Sağlanamadı! Lütfen Internet bağlantınızı kontrol edip tekrar "
    "deneyiniz!!");

QString repeatQuestion(const QString &when)
{
    return QStringLiteral("Bu devre ve bodro türü için dosya %1 tarihinde gönderilmiş. Yeniden "
                          "hazırlamak istiyor musunuz?")
        .arg(when);
}

QString sha256Of(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// 5 December 2025, 14:30:09.
const QDateTime PreparedAt(QDate(2025, 12, 5), QTime(14, 30, 9));

const QByteArray SenderLine = "4711Girne Cad. 5228111122822225331234567Usta MuhasebeAyse Oz";

void addSender(Tdm &dm)
{
    insertAccountant(dm,
                     AccountantRecord{QStringLiteral("Usta Muhasebe"), QStringLiteral("Ayse Oz"),
                                      QStringLiteral("4711"), QStringLiteral("Girne Cad. 5"),
                                      QStringLiteral("2281111"), QStringLiteral("2282222"),
                                      QStringLiteral("5331234567"), QStringLiteral("1")});
}

BodroRow decemberRow(const QString &employer = QStringLiteral("010001000001"))
{
    BodroRow r;
    r.isver = employer;
    r.ilk = QStringLiteral("01.12.2025");
    r.son = QStringLiteral("31.12.2025");
    r.srvno = QStringLiteral("4321");
    r.ssk = QStringLiteral("1234567");
    r.isim = QStringLiteral("Ali Kaya Oz");
    r.brut = QStringLiteral("1,250.00");
    return r;
}

// The employee line of decemberRow(), numbered `no`.
QByteArray decemberLine(const QByteArray &no = "000001")
{
    return "010001000001"
           "01122025"
           "31122025"
           "01" +
           no +
           "004321"
           "012345678901"
           "001234567"
           "E"
           "030"
           " "
           "00000000125000"
           "00500"
           "01000" +
           QByteArray("Ali Kaya Oz") + QByteArray(29, ' ');
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class FakeFtp : public FtpClient
{
  public:
    FakeFtp(FtpOutcome::Kind kind, QStringList &calls) : m_kind(kind), m_calls(calls) {}
    FtpOutcome putFile(const QString &local, const QString &remote) override
    {
        m_calls << local + u'>' + remote;
        return {m_kind, QString()};
    }

  private:
    FtpOutcome::Kind m_kind;
    QStringList &m_calls;
};

// Counts into `clients` every FTP client the screen asks for, and gives none.
void countFtpClients(Workspace &ws, int &clients)
{
    ws.platform.ftpFactory = [&clients] {
        ++clients;
        return std::unique_ptr<FtpClient>();
    };
}

struct Screen {
    explicit Screen(Workspace &ws) : w(*ws.ctx)
    {
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
    Tyapdosya w;
};

} // namespace

class DeclScreenTest : public QObject
{
    Q_OBJECT

  private slots:
    void startupDefaults();
    void periodBoundsOnLeavingStart_data();
    void periodBoundsOnLeavingStart();
    void hesaplaListsReturnsAndTotal();
    void hesaplaKeepsSummaryWhenNothingFound();
    void hazirlaWithoutSenderOpensAccountantScreen();
    void hazirlaWithEmptySelectionWritesNothing();
    void hazirlaByHandWritesToChosenVolume();
    void hazirlaFromAReadOnlyArchive_data();
    void hazirlaFromAReadOnlyArchive();
    void hazirlaOverInternetUploads();
    void hazirlaStopsAtBrokenLine();
    void uploadMessages_data();
    void uploadMessages();
    void failedWriteShowsErrorAndUploadsNothing();
    void f10PickFillsScreenAndDrivesTumu();
    void f10WithoutPickOnlyClearsBox();
    void f10PickOfBadSequenceNumberStopsHalfway();
    void chooserStartsOnCurrentVolume();
    void handDeliveryIsLoggedAndRepeatAsks();
    void checkedUploadIsLogged_data();
    void checkedUploadIsLogged();
    void uploadRunsOffTheInterfaceThread();
    void gonderilenlerListsTheLog();
    void hesaplaShowsBusyCursor();
    void hazirlaShowsBusyCursorWhileBuildingTheFile();
};

void DeclScreenTest::startupDefaults()
{
    Workspace ws;
    ws.platform.clock = QDateTime(QDate(2016, 2, 10), QTime(9, 0));
    Screen s(ws);
    Tyapdosya &w = s.w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Bodro ve Yatırım Dosyası Hazırlama"));
    QCOMPARE(w.ALDEVREILK->text(), QStringLiteral("01.02.2016"));
    QCOMPARE(w.ALDEVRESON->text(), QStringLiteral("29.02.2016"));
    QVERIFY(w.RdbAsil->isChecked());
    QVERIFY(!w.chkgeri->isChecked());
    QCOMPARE(w.toppriddepoyaz->text(), QStringLiteral("0.00"));
    QVERIFY(w.toppriddepoyaz->isEnabled());
    for (const char *name :
         {"ALKAZA", "ALFIHRIST", "ALSIRANO", "yazmiktar", "btnayilksonyap", "ftpyolla"}) {
        QWidget *hidden = w.findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(hidden && !hidden->isVisible(), name);
    }
    QCOMPARE(w.ALKAZA->text() + w.ALFIHRIST->text() + w.ALSIRANO->text(),
             QStringLiteral("000000000000"));
    const QStringList titles{"İşver Sicil", "İşver İsim", "Devre İlk",
                             "Devre Son",   "Bodro Türü", "P+D Toplam"};
    const int widths[] = {113, 145, 109, 93, 79, 109};
    QCOMPARE(w.hesapgrid->columnCount(), 6);
    for (int c = 0; c < 6; ++c) {
        QCOMPARE(w.hesapgrid->horizontalHeaderItem(c)->text(), titles[c]);
        QCOMPARE(w.hesapgrid->columnWidth(c), widths[c]);
    }
    QCOMPARE(w.hesapgrid->editTriggers(), QAbstractItemView::NoEditTriggers);
}

void DeclScreenTest::periodBoundsOnLeavingStart_data()
{
    QTest::addColumn<QDate>("typed");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::newRow("2016 leap") << QDate(2016, 2, 10) << "01.02.2016"
                               << "29.02.2016";
    QTest::newRow("2024 leap") << QDate(2024, 2, 17) << "01.02.2024"
                               << "29.02.2024";
    QTest::newRow("2025") << QDate(2025, 2, 5) << "01.02.2025"
                          << "28.02.2025";
    QTest::newRow("April") << QDate(2025, 4, 30) << "01.04.2025"
                           << "30.04.2025";
    QTest::newRow("December") << QDate(2025, 12, 31) << "01.12.2025"
                              << "31.12.2025";
}

void DeclScreenTest::periodBoundsOnLeavingStart()
{
    QFETCH(QDate, typed);
    Workspace ws;
    Screen s(ws);
    Tyapdosya &w = s.w;
    w.ALDEVREILK->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.ALDEVREILK));
    w.ALDEVREILK->setDate(typed);
    w.ALDEVRESON->setDate(QDate(2030, 1, 1));
    // Tab walks the picker's own day, month and year; the mouse leaves it.
    w.chkgeri->setFocus(Qt::MouseFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.chkgeri));
    QTEST(w.ALDEVREILK->text(), "start");
    QTEST(w.ALDEVRESON->text(), "end");

    // Leaving the end picker changes nothing.
    w.ALDEVRESON->setDate(QDate(2030, 1, 1));
    w.hesapla->setFocus();
    QCOMPARE(w.ALDEVRESON->text(), QStringLiteral("01.01.2030"));
}

void DeclScreenTest::hesaplaListsReturnsAndTotal()
{
    Workspace ws;
    ws.platform.clock = PreparedAt;
    for (const char *employer : {"010001000001", "020002000002", "010001000001"})
        insertBodro(*ws.dm, decemberRow(QString::fromLatin1(employer)));
    Screen s(ws);
    QTest::mouseClick(s.w.hesapla, Qt::LeftButton);
    QCOMPARE(ws.platform.texts(), QStringList());
    QTableWidget *grid = s.w.hesapgrid;
    QCOMPARE(grid->rowCount(), 3);
    const QStringList first{"01-0001-000001", "Deneme Ltd.", "01.12.2025",
                            "31.12.2025",     "Asıl",        "187.50"};
    for (int c = 0; c < 6; ++c)
        QCOMPARE(grid->item(0, c)->text(), first[c]);
    QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("02-0002-000002"));
    QCOMPARE(grid->item(2, 0)->text(), QStringLiteral("01-0001-000001"));
    QCOMPARE(s.w.toppriddepoyaz->text(), QStringLiteral("562.50"));
}

void DeclScreenTest::hesaplaKeepsSummaryWhenNothingFound()
{
    Workspace ws;
    ws.platform.clock = PreparedAt;
    insertBodro(*ws.dm, decemberRow());
    Screen s(ws);
    QTest::mouseClick(s.w.hesapla, Qt::LeftButton);
    QCOMPARE(s.w.hesapgrid->rowCount(), 1);

    s.w.RdbEk->setChecked(true);
    QTest::mouseClick(s.w.hesapla, Qt::LeftButton);
    QCOMPARE(ws.platform.shown.size(), 1);
    QCOMPARE(ws.platform.shown[0].kind, ScriptedPlatform::Kind::Warning);
    QCOMPARE(ws.platform.shown[0].text, NotFound);
    QCOMPARE(s.w.hesapgrid->item(0, 5)->text(), QStringLiteral("187.50"));
    QCOMPARE(s.w.toppriddepoyaz->text(), QStringLiteral("187.50"));

    // A stored rate that is not a number: the general error box, and the
    // summary on view stays.
    s.w.RdbAsil->setChecked(true);
    BodroRow bad = decemberRow();
    bad.primor = QStringLiteral("x");
    insertBodro(*ws.dm, bad);
    QTest::mouseClick(s.w.hesapla, Qt::LeftButton);
    QCOMPARE(ws.platform.shown.size(), 2);
    QCOMPARE(ws.platform.shown[1].kind, ScriptedPlatform::Kind::Message);
    QCOMPARE(s.w.toppriddepoyaz->text(), QStringLiteral("187.50"));
}

void DeclScreenTest::hazirlaWithoutSenderOpensAccountantScreen()
{
    Workspace ws;
    ws.platform.clock = PreparedAt;
    insertBodro(*ws.dm, decemberRow());
    Screen s(ws);
    QString shownCaption;
    whenModalShown([&](QWidget *dialog) {
        shownCaption = dialog->windowTitle();
        dialog->close();
    });
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);
    QCOMPARE(shownCaption, QStringLiteral("Muhasip veya İşveren Girişi"));
    QCOMPARE(ws.platform.texts(),
             QStringList{QStringLiteral("Lütfen Muhasip İşveren Menuden Dosya Hazırlanırken "
                                        "Kullanılacak Muhasip veya İşvereni Girip Seçiniz")});
    QCOMPARE(QDir(ws.path()).entryList(QStringList{"*.txt"}, QDir::Files), QStringList());
}

void DeclScreenTest::hazirlaWithEmptySelectionWritesNothing()
{
    Workspace ws;
    ws.platform.clock = PreparedAt;
    addSender(*ws.dm);
    insertBodro(*ws.dm, decemberRow());
    int clients = 0;
    countFtpClients(ws, clients);
    ws.platform.answers = {Answer::Yes};
    Screen s(ws);
    s.w.RdbTumu->setChecked(true); // nothing picked with F10 yet
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);
    QCOMPARE(ws.platform.texts(), QStringList{NotFound});
    QCOMPARE(ws.platform.shown[0].kind, ScriptedPlatform::Kind::Warning);
    QCOMPARE(QDir(ws.path()).entryList(QStringList{"*.txt"}, QDir::Files), QStringList());
    QCOMPARE(clients, 0);
}

void DeclScreenTest::hazirlaByHandWritesToChosenVolume()
{
    Workspace ws;
    ws.platform.clock = PreparedAt;
    addSender(*ws.dm);
    insertBodro(*ws.dm, decemberRow());
    insertBodro(*ws.dm, decemberRow());
    QTemporaryDir stick;
    QTemporaryDir other;
    ws.platform.volumeList = {{QStringLiteral("Sistem"), other.path() + u'/'},
                              {QStringLiteral("USB"), stick.path() + u'/'}};
    const QString target = stick.filePath(QStringLiteral("4711_0.txt"));
    {
        QFile earlier(target);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier\r\n");
    }
    // The start-up chooser is used and destroyed afterwards.
    ws.ctx->kayityeri = new Tkayityeri(*ws.ctx);
    ws.platform.answers = {Answer::No};
    Screen s(ws);
    s.w.chkgeri->setChecked(true);
    // The dialog is closed with its title-bar button: the volume on view counts.
    whenModalShown([](QWidget *dialog) {
        auto *list = dialog->findChild<QComboBox *>(QStringLiteral("kayityeri"));
        list->setCurrentIndex(1);
        dialog->close();
    });
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);

    QCOMPARE(ws.platform.texts(),
             (QStringList{AskRoute, AskDrive,
                          QStringLiteral("Dosya Oluşumu Tamamlanmıştır. Lütfen  ") +
                              QDir::toNativeSeparators(target) +
                              QStringLiteral(" isimli Dosyayı En yakın zamanda dairemize "
                                             "ulaştırın")}));
    QCOMPARE(ws.platform.shown[0].kind, ScriptedPlatform::Kind::Confirm);
    QByteArray second = decemberLine("000002");
    second.replace(28, 2, "11");
    QByteArray first = decemberLine();
    first.replace(28, 2, "11");
    QCOMPARE(readAll(target), SenderLine + "\r\n" + first + "\r\n" + second + "\r\n");
    QCOMPARE(ws.ctx->session.declaration.lastFileName, target);
    QVERIFY(ws.ctx->kayityeri.isNull());
    QCOMPARE(QDir(other.path()).entryList(QDir::Files), QStringList());
}

void DeclScreenTest::hazirlaFromAReadOnlyArchive_data()
{
    QTest::addColumn<bool>("withLog");
    QTest::newRow("with the log") << true;
    QTest::newRow("of an earlier release, without it") << false;
}

void DeclScreenTest::hazirlaFromAReadOnlyArchive()
{
    QFETCH(bool, withLog);
    Workspace ws;
    ws.platform.clock = PreparedAt;
    addSender(*ws.dm);
    insertBodro(*ws.dm, decemberRow());
    if (!withLog)
        ws.dm->execute(QStringLiteral("DROP TABLE gonderim"));
    const QString db = ws.dm->databasePath();
    if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), db}) != 0)
        QSKIP("chattr +i is not permitted here");
    const auto unlock = qScopeGuard([db] {
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), db});
    });
    const QByteArray before = readAll(db);
    QTemporaryDir stick;
    ws.platform.volumeList = {{QStringLiteral("USB"), stick.path() + u'/'}};
    ws.ctx->kayityeri = new Tkayityeri(*ws.ctx);
    ws.platform.answers = {Answer::No};
    Screen s(ws);
    whenModalShown([](QWidget *dialog) { dialog->close(); });
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);

    // The file is prepared; the archive cannot remember it and is not touched.
    QCOMPARE(readAll(stick.filePath(QStringLiteral("4711_0.txt"))),
             SenderLine + "\r\n" + decemberLine() + "\r\n");
    QCOMPARE(ws.platform.texts().size(), 3);
    QCOMPARE(readAll(db), before);

    // Its list of sent files opens, and is empty.
    int listed = -1;
    whenModalShown([&](QWidget *dialog) {
        if (auto *list = qobject_cast<Tgonderilenler *>(dialog))
            listed = list->gonderimgrid->rowCount();
        dialog->close();
    });
    QTest::mouseClick(s.w.btngonderilenler, Qt::LeftButton);
    QCOMPARE(listed, 0);
    QCOMPARE(ws.platform.texts().size(), 3);
    QCOMPARE(readAll(db), before);
}

void DeclScreenTest::hazirlaOverInternetUploads()
{
    LocalFtpServer server;
    QVERIFY(server.isRunning());
    Workspace ws;
    ws.platform.clock = PreparedAt;
    addSender(*ws.dm);
    insertBodro(*ws.dm, decemberRow());
    ws.platform.ftpFactory = [&] { return makeCurlFtpClient(server.settings()); };
    ws.platform.answers = {Answer::Yes};
    Screen s(ws);
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);

    const QString name = QStringLiteral("4711_05122025_143009.txt");
    QCOMPARE(ws.platform.texts(), (QStringList{AskRoute, Delivered}));
    QCOMPARE(ws.platform.shown[1].kind, ScriptedPlatform::Kind::Warning);
    const QByteArray expected = SenderLine + "\r\n" + decemberLine() + "\r\n";
    QCOMPARE(readAll(ws.path(name)), expected);
    QCOMPARE(readAll(server.gelenPath(name)), expected);

    const QList<sendlog::Record> log = sendlog::sendsOfYear(*ws.dm, QString());
    QCOMPARE(log.size(), 1);
    const sendlog::Record &row = log[0];
    QCOMPARE(row.when, PreparedAt);
    QCOMPARE(row.route, sendlog::Route::Internet);
    QCOMPARE(row.fileName, ws.path(name));
    QCOMPARE(row.msno, QStringLiteral("4711"));
    QCOMPARE(row.key.periodStart, QStringLiteral("01.12.2025"));
    QCOMPARE(row.key.periodEnd, QStringLiteral("31.12.2025"));
    QCOMPARE(row.key.kind, ReturnKind::Asil);
    QVERIFY(!row.key.retroactive);
    QCOMPARE(row.lineCount, 1);
    QCOMPARE(row.employerCount, 1);
    QCOMPARE(row.sha256, sha256Of(readAll(ws.path(name))));
    QCOMPARE(row.outcome, sendlog::Sent);
    QCOMPARE(row.note, QString());
    QCOMPARE(row.repeats, 0);
}

void DeclScreenTest::hazirlaStopsAtBrokenLine()
{
    Workspace ws;
    ws.platform.clock = PreparedAt;
    addSender(*ws.dm);
    insertBodro(*ws.dm, decemberRow());
    BodroRow negative = decemberRow();
    negative.brut = QStringLiteral("-1,000.00");
    insertBodro(*ws.dm, negative);
    int clients = 0;
    countFtpClients(ws, clients);
    ws.platform.answers = {Answer::Yes};
    Screen s(ws);
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);
    QCOMPARE(ws.platform.texts(),
             QStringList{QStringLiteral(
                 "Dosya hazırlanamadı: 010001000001 işvereninin 2. satırında \"Aylık Kazanç\" "
                 "alanı yalnız rakam olmalı (\"0000000-100000\"). Lütfen bodroyu düzeltip "
                 "tekrar deneyiniz.")});
    QCOMPARE(QDir(ws.path()).entryList(QStringList{"*.txt"}, QDir::Files), QStringList());
    QCOMPARE(clients, 0);
}

void DeclScreenTest::uploadMessages_data()
{
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("message");
    QTest::newRow("connect") << int(FtpOutcome::ConnectFailed) << NoConnection;
    QTest::newRow("transfer") << int(FtpOutcome::TransferFailed) << TransferFailed;
    QTest::newRow("ok") << int(FtpOutcome::Ok) << Delivered;
}

void DeclScreenTest::uploadMessages()
{
    QFETCH(int, outcome);
    QFETCH(QString, message);
    Workspace ws;
    ws.platform.clock = QDateTime(QDate(2025, 12, 5), QTime(23, 5, 7));
    insertAccountant(*ws.dm, AccountantRecord{QStringLiteral("Usta"), {}, {}, {}, {}, {}, {}, {}});
    insertBodro(*ws.dm, decemberRow());
    QStringList calls;
    ws.platform.ftpFactory = [&] {
        return std::make_unique<FakeFtp>(FtpOutcome::Kind(outcome), calls);
    };
    // A send that went through is asked about before it goes again.
    const bool delivered = outcome == FtpOutcome::Ok;
    ws.platform.answers = delivered ? QList<Answer>{Answer::Yes, Answer::Yes, Answer::Yes}
                                    : QList<Answer>{Answer::Yes, Answer::Yes};
    Screen s(ws);
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);

    // Empty MSNO; two uploads, two clients.
    const QString local = ws.path(QStringLiteral("_05122025_230507.txt"));
    QCOMPARE(calls, (QStringList(2, local + QStringLiteral(">/gelen/_05122025_230507.txt"))));
    QStringList expected{AskRoute, message, AskRoute, message};
    if (delivered)
        expected.insert(2, repeatQuestion(QStringLiteral("05.12.2025 23:05")));
    QCOMPARE(ws.platform.texts(), expected);
    QCOMPARE(ws.platform.shown[1].kind, ScriptedPlatform::Kind::Warning);
    QVERIFY(QFile::exists(local));
}

void DeclScreenTest::failedWriteShowsErrorAndUploadsNothing()
{
    Workspace ws;
    ws.platform.clock = PreparedAt;
    addSender(*ws.dm);
    insertBodro(*ws.dm, decemberRow());
    QStringList calls;
    ws.platform.ftpFactory = [&] { return std::make_unique<FakeFtp>(FtpOutcome::Ok, calls); };
    // A folder where the file should go: the file cannot be written.
    QVERIFY(QDir().mkpath(ws.path(QStringLiteral("4711_05122025_143009.txt"))));
    ws.platform.answers = {Answer::Yes, Answer::No};
    QTemporaryDir parent;
    const QString pulledOut = parent.filePath(QStringLiteral("stick"));
    ws.platform.volumeList = {{QStringLiteral("USB"), pulledOut + u'/'}};
    Screen s(ws);
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);
    whenModalShown([](QWidget *dialog) { dialog->close(); });
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);

    QCOMPARE(calls, QStringList());
    const QStringList texts = ws.platform.texts();
    QCOMPARE(texts.size(), 5);
    QCOMPARE(texts[0], AskRoute);
    QVERIFY2(texts[1].startsWith(QStringLiteral("Dosya yazılamadı: ")), qPrintable(texts[1]));
    // The failed write is logged with the message shown.
    const QList<sendlog::Record> log = sendlog::sendsOfYear(*ws.dm, QString());
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[1].outcome, sendlog::Failed);
    QCOMPARE(log[1].note, texts[1]);
    QCOMPARE(texts[2], AskRoute);
    QCOMPARE(texts[3], AskDrive);
    QVERIFY2(texts[4].contains(QDir::toNativeSeparators(pulledOut)), qPrintable(texts[4]));
    QVERIFY(!QFile::exists(pulledOut));
    QVERIFY(ws.ctx->session.declaration.lastFileName.isEmpty());
}

namespace
{

// Picks, in the all-returns list on view, the return with this employer and
// sequence number, as the user does: the row made current, then Enter.
void pickInList(QWidget *dialog, const QString &employer, const QString &seq)
{
    auto *list = qobject_cast<Tfrmbordlistall *>(dialog);
    QVERIFY(list);
    for (int r = 0; r < list->model()->rowCount(); ++r) {
        if (list->model()->field(r, QStringLiteral("YATISVER")) == employer &&
            list->model()->field(r, QStringLiteral("YATBDRDEVMIK")) == seq) {
            list->dbliste->setCurrentIndex(list->model()->index(r, 0));
            QTest::keyClick(list->dbliste, Qt::Key_Return);
            return;
        }
    }
    QFAIL("return not listed");
}

} // namespace

void DeclScreenTest::f10PickFillsScreenAndDrivesTumu()
{
    Workspace ws;
    ws.platform.clock = PreparedAt;
    addSender(*ws.dm);
    const QString a = QStringLiteral("010001000001");
    const QString b = QStringLiteral("020002000002");
    BodroRow first = decemberRow(a);
    BodroRow further = decemberRow(a);
    further.seq = QStringLiteral("2");
    further.isim = QStringLiteral("Veli Can");
    BodroRow supplementary = decemberRow(a);
    supplementary.tur = QStringLiteral("02");
    BodroRow otherEmployer = decemberRow(b);
    otherEmployer.isvisim = QStringLiteral("Beta Ltd.");
    for (const BodroRow &r : {first, further, supplementary, otherEmployer})
        insertBodro(*ws.dm, r);
    ws.ctx->frmbordlistall = new Tfrmbordlistall(*ws.ctx);
    QTemporaryDir stick;
    ws.platform.volumeList = {{QStringLiteral("USB"), stick.path() + u'/'}};

    Screen s(ws);
    Tyapdosya &w = s.w;
    w.ALDEVREILK->setDate(QDate(2024, 6, 1));
    w.RdbEk->setChecked(true);
    whenModalShown([&](QWidget *dialog) { pickInList(dialog, a, QStringLiteral("2")); });
    QTest::keyClick(w.hesapgrid, Qt::Key_F10);

    QCOMPARE(ws.platform.texts(), QStringList());
    QCOMPARE(w.ALKAZA->text(), QStringLiteral("01"));
    QCOMPARE(w.ALFIHRIST->text(), QStringLiteral("0001"));
    QCOMPARE(w.ALSIRANO->text(), QStringLiteral("000001"));
    QCOMPARE(w.ALDEVREILK->text(), QStringLiteral("01.12.2025"));
    QCOMPARE(w.ALDEVRESON->text(), QStringLiteral("31.12.2025"));
    QVERIFY(w.chkgeri->isChecked());
    QVERIFY(w.RdbAsil->isChecked());
    const DeclarationState &picked = ws.ctx->session.declaration;
    QCOMPARE(picked.pickedEmployer, a);
    QCOMPARE(picked.pickedType, QStringLiteral("01"));
    QCOMPARE(picked.pickedSeq, QStringLiteral("2"));
    // The summary ran for the pick: further records of main returns.
    QCOMPARE(w.hesapgrid->rowCount(), 1);
    QCOMPARE(w.hesapgrid->item(0, 0)->text(), QStringLiteral("01-0001-000001"));
    // Both lists are gone: the start-up one and the one shown.
    QVERIFY(ws.ctx->frmbordlistall.isNull());
    QCOMPARE(w.findChildren<Tfrmbordlistall *>().size(), 0);

    // "Tümü" now writes every record of the picked employer, type and period.
    w.RdbTumu->setChecked(true);
    ws.platform.answers = {Answer::Cancel};
    whenModalShown([](QWidget *dialog) { dialog->close(); });
    QTest::mouseClick(w.BitBtn2, Qt::LeftButton);
    QByteArray line1 = decemberLine();
    QByteArray line2 = decemberLine("000002");
    line2.replace(92, 40, QByteArray("Veli Can") + QByteArray(32, ' '));
    line1.replace(28, 2, "11");
    line2.replace(28, 2, "11");
    QCOMPARE(readAll(stick.filePath(QStringLiteral("4711_0.txt"))),
             SenderLine + "\r\n" + line1 + "\r\n" + line2 + "\r\n");
}

void DeclScreenTest::f10WithoutPickOnlyClearsBox()
{
    Workspace ws;
    ws.platform.clock = PreparedAt;
    insertBodro(*ws.dm, decemberRow());
    Screen s(ws);
    Tyapdosya &w = s.w;
    w.chkgeri->setChecked(true);
    w.RdbEk->setChecked(true);
    QVERIFY(ws.ctx->frmbordlistall.isNull()); // no list made at start-up here
    whenModalShown([](QWidget *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    QTest::keyClick(w.ALDEVRESON, Qt::Key_F10);

    QVERIFY(!w.chkgeri->isChecked());
    QVERIFY(w.RdbEk->isChecked());
    QCOMPARE(w.ALDEVREILK->text(), QStringLiteral("01.12.2025"));
    QCOMPARE(w.ALKAZA->text() + w.ALFIHRIST->text() + w.ALSIRANO->text(),
             QStringLiteral("000000000000"));
    QCOMPARE(ws.ctx->session.declaration.pickedType, QString());
    QCOMPARE(ws.platform.texts(), QStringList());
    QCOMPARE(w.findChildren<Tfrmbordlistall *>().size(), 0);
}

void DeclScreenTest::f10PickOfBadSequenceNumberStopsHalfway()
{
    Workspace ws;
    ws.platform.clock = PreparedAt;
    BodroRow odd = decemberRow(QStringLiteral("030003000003"));
    odd.seq = QStringLiteral("x");
    insertBodro(*ws.dm, odd);
    Screen s(ws);
    Tyapdosya &w = s.w;
    w.ALDEVREILK->setDate(QDate(2024, 6, 1));
    whenModalShown([](QWidget *dialog) {
        pickInList(dialog, QStringLiteral("030003000003"), QStringLiteral("x"));
    });
    QTest::keyClick(w.RdbAsil, Qt::Key_F10);

    // The general error box; edits and pickers were filled before it, the
    // summary did not run, and the list is gone all the same.
    QCOMPARE(ws.platform.shown.size(), 1);
    QCOMPARE(ws.platform.shown[0].kind, ScriptedPlatform::Kind::Message);
    QCOMPARE(w.ALKAZA->text(), QStringLiteral("03"));
    QCOMPARE(w.ALDEVREILK->text(), QStringLiteral("01.12.2025"));
    QVERIFY(!w.chkgeri->isChecked());
    QCOMPARE(w.hesapgrid->item(0, 0), nullptr);
    QCOMPARE(w.findChildren<Tfrmbordlistall *>().size(), 0);
}

void DeclScreenTest::chooserStartsOnCurrentVolume()
{
    Workspace ws;
    const QString here = QDir::currentPath() + u'/';
    ws.platform.volumeList = {{QStringLiteral("Disket"), QStringLiteral("/yok-boyle-bir-yer/")},
                              {QStringLiteral("Sistem"), QStringLiteral("/")},
                              {QStringLiteral("Burası"), here}};
    Tkayityeri chooser(*ws.ctx);
    auto *list = chooser.findChild<QComboBox *>(QStringLiteral("kayityeri"));
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->itemText(2),
             QStringLiteral("Burası  (") + QDir::toNativeSeparators(here) + u')');
    QCOMPARE(chooser.shownVolume()->root, here);

    // A volume that appears later is offered when the chooser is shown again,
    // and the one on view stays chosen.
    list->setCurrentIndex(1);
    ws.platform.volumeList.prepend({QStringLiteral("USB"), QStringLiteral("/media/usb/")});
    whenModalShown([](QWidget *dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("BitBtn1")),
                          Qt::LeftButton);
    });
    QCOMPARE(chooser.exec(), int(QDialog::Accepted));
    QCOMPARE(list->count(), 4);
    QCOMPARE(chooser.shownVolume()->root, QStringLiteral("/"));
}

void DeclScreenTest::handDeliveryIsLoggedAndRepeatAsks()
{
    Workspace ws;
    ws.platform.clock = PreparedAt;
    addSender(*ws.dm);
    insertBodro(*ws.dm, decemberRow());
    insertBodro(*ws.dm, decemberRow(QStringLiteral("020002000002")));
    QTemporaryDir stick;
    ws.platform.volumeList = {{QStringLiteral("USB"), stick.path() + u'/'}};
    const QString target = stick.filePath(QStringLiteral("4711_0.txt"));
    ModalCloser chooser; // every drive chooser, closed on the drive on view
    Screen s(ws);
    s.w.chkgeri->setChecked(true);

    ws.platform.answers = {Answer::No};
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);
    QList<sendlog::Record> log = sendlog::sendsOfYear(*ws.dm, QString());
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].route, sendlog::Route::Hand);
    QCOMPARE(log[0].drive, stick.path() + u'/');
    QCOMPARE(log[0].fileName, target);
    QCOMPARE(log[0].outcome, sendlog::Written);
    QVERIFY(log[0].key.retroactive);
    QCOMPARE(log[0].lineCount, 2);
    QCOMPARE(log[0].employerCount, 2);
    QCOMPARE(log[0].sha256, sha256Of(readAll(target)));

    // Same choice again: asked first. No: nothing written, nothing logged.
    QVERIFY(QFile::remove(target));
    ws.platform.clearShown();
    ws.platform.clock = PreparedAt.addSecs(600);
    ws.platform.answers = {Answer::No};
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);
    QCOMPARE(ws.platform.texts(), QStringList{repeatQuestion(QStringLiteral("05.12.2025 14:30"))});
    QCOMPARE(ws.platform.shown[0].kind, ScriptedPlatform::Kind::YesNo);
    QVERIFY(!QFile::exists(target));
    QCOMPARE(sendlog::sendsOfYear(*ws.dm, QString()).size(), 1);

    // Yes: a new file, and a row that says which send it repeats.
    ws.platform.clearShown();
    ws.platform.answers = {Answer::Yes, Answer::No};
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);
    QCOMPARE(ws.platform.texts().mid(0, 3),
             (QStringList{repeatQuestion(QStringLiteral("05.12.2025 14:30")), AskRoute, AskDrive}));
    QVERIFY(QFile::exists(target));
    log = sendlog::sendsOfYear(*ws.dm, QString());
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[0].repeats, log[1].id);
    QCOMPARE(log[0].outcome, sendlog::Written);

    // Another type, or another period, is not asked about.
    ws.platform.clearShown();
    s.w.chkgeri->setChecked(false);
    ws.platform.answers = {Answer::No};
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);
    QCOMPARE(ws.platform.texts().first(), AskRoute);
    ws.platform.clearShown();
    s.w.ALDEVRESON->setDate(QDate(2025, 12, 30));
    s.w.chkgeri->setChecked(true);
    insertBodro(*ws.dm, [] {
        BodroRow r = decemberRow();
        r.son = QStringLiteral("30.12.2025");
        return r;
    }());
    ws.platform.answers = {Answer::No};
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);
    QCOMPARE(ws.platform.texts().first(), AskRoute);
    QCOMPARE(sendlog::sendsOfYear(*ws.dm, QString()).size(), 4);
}

void DeclScreenTest::checkedUploadIsLogged_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<bool>("noted");
    QTest::newRow("whole") << int(LocalFtpServer::Mode::Normal) << Delivered << sendlog::Sent
                           << false;
    QTest::newRow("half kept") << int(LocalFtpServer::Mode::Truncating) << TransferFailed
                               << sendlog::Incomplete << true;
    QTest::newRow("no SIZE") << int(LocalFtpServer::Mode::WithoutSize) << Delivered << sendlog::Sent
                             << true;
    QTest::newRow("SIZE refused") << int(LocalFtpServer::Mode::SizeRefused) << Delivered
                                  << sendlog::Sent << true;
}

void DeclScreenTest::checkedUploadIsLogged()
{
    QFETCH(int, mode);
    QFETCH(QString, message);
    QFETCH(QString, outcome);
    QFETCH(bool, noted);
    LocalFtpServer server{LocalFtpServer::Mode(mode)};
    QVERIFY(server.isRunning());
    Workspace ws;
    ws.platform.clock = PreparedAt;
    addSender(*ws.dm);
    insertBodro(*ws.dm, decemberRow());
    ws.platform.ftpFactory = [&] { return makeCurlFtpClient(server.settings()); };
    ws.platform.answers = {Answer::Yes};
    Screen s(ws);
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);

    QCOMPARE(ws.platform.texts(), (QStringList{AskRoute, message}));
    QCOMPARE(ws.platform.shown[1].kind, ScriptedPlatform::Kind::Warning);
    const qint64 size = readAll(ws.path(QStringLiteral("4711_05122025_143009.txt"))).size();
    const QList<sendlog::Record> log = sendlog::sendsOfYear(*ws.dm, QString());
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].outcome, outcome);
    QCOMPARE(!log[0].note.isEmpty(), noted);
    if (mode == int(LocalFtpServer::Mode::Truncating)) {
        const QString sizes =
            QStringLiteral("Gönderilen dosya %1 bayt, sunucudaki %2 bayt.").arg(size).arg(size / 2);
        QCOMPARE(ws.platform.shown[1].detail, sizes);
        QCOMPARE(log[0].note, sizes);
    } else if (noted) {
        QCOMPARE(log[0].note,
                 QStringLiteral("Sunucu dosya boyutunu bildirmedi; dosya denetlenemedi."));
    }
}

namespace
{

// Holds the transfer until the test lets it go, and says on which thread it ran.
class HeldFtp : public FtpClient
{
  public:
    HeldFtp(QSemaphore &release, QThread *&ranOn) : m_release(release), m_ranOn(ranOn) {}
    FtpOutcome putFile(const QString &, const QString &) override
    {
        m_ranOn = QThread::currentThread();
        return m_release.tryAcquire(1, 10000) ? FtpOutcome{FtpOutcome::Ok, {}, 10, 10}
                                              : FtpOutcome{FtpOutcome::TransferFailed};
    }

  private:
    QSemaphore &m_release;
    QThread *&m_ranOn;
};

} // namespace

void DeclScreenTest::uploadRunsOffTheInterfaceThread()
{
    Workspace ws;
    ws.platform.clock = PreparedAt;
    addSender(*ws.dm);
    insertBodro(*ws.dm, decemberRow());
    QSemaphore release;
    QThread *ranOn = nullptr;
    ws.platform.ftpFactory = [&] { return std::make_unique<HeldFtp>(release, ranOn); };
    ws.platform.answers = {Answer::Yes};
    Screen s(ws);
    QString label;
    bool stayedUp = false;
    // While the transfer is held, the interface runs: a modal progress dialog
    // is on view and neither ESC nor its close button takes it away.
    whenModalShown([&](QWidget *dialog) {
        label = dialog->findChild<QLabel *>()->text();
        QTest::keyClick(dialog, Qt::Key_Escape);
        dialog->close();
        stayedUp = dialog->isVisible();
        release.release();
    });
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);

    QVERIFY(ranOn && ranOn != QThread::currentThread());
    QCOMPARE(label, QStringLiteral("Dosya gönderiliyor, lütfen bekleyiniz..."));
    QVERIFY(stayedUp);
    QCOMPARE(ws.platform.texts(), (QStringList{AskRoute, Delivered}));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void DeclScreenTest::gonderilenlerListsTheLog()
{
    // The log as two real hand deliveries of one supplementary return left
    // it: the second in the new year, answered Evet when asked.
    Workspace ws;
    ws.platform.clock = QDateTime(QDate(2025, 12, 30), QTime(16, 45, 1));
    addSender(*ws.dm);
    BodroRow ek = decemberRow();
    ek.tur = QStringLiteral("02");
    insertBodro(*ws.dm, ek);
    QTemporaryDir stick;
    ws.platform.volumeList = {{QStringLiteral("USB"), stick.path() + u'/'}};
    const QString target = stick.filePath(QStringLiteral("4711_0.txt"));
    Screen s(ws);
    s.w.RdbEk->setChecked(true);
    s.w.chkgeri->setChecked(true);
    {
        ModalCloser chooser; // every drive chooser, closed on the drive on view
        ws.platform.answers = {Answer::No};
        QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);
        ws.platform.clock = QDateTime(QDate(2026, 1, 2), QTime(10, 5, 0));
        ws.platform.answers = {Answer::Yes, Answer::No};
        QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);
    }
    QCOMPARE(ws.platform.texts().count(repeatQuestion(QStringLiteral("30.12.2025 16:45"))), 1);
    QVERIFY(ws.platform.answers.isEmpty());

    QCOMPARE(s.w.btngonderilenler->text(), QStringLiteral("Gönderilenler"));
    QStringList shownRows;
    int rowsForAllYears = 0;
    bool editable = true;
    whenModalShown([&](QWidget *dialog) {
        auto *list = qobject_cast<Tgonderilenler *>(dialog);
        QVERIFY(list);
        QTableWidget *grid = list->gonderimgrid;
        editable = grid->editTriggers() != QAbstractItemView::NoEditTriggers;
        for (int r = 0; r < grid->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < grid->columnCount(); ++c)
                cells << grid->item(r, c)->text();
            shownRows << cells.join(u'|');
        }
        // An empty year lists every year, newest first.
        list->txtArama->clear();
        QTest::mouseClick(list->btnAra, Qt::LeftButton);
        rowsForAllYears = grid->rowCount();
        dialog->close();
    });
    QTest::mouseClick(s.w.btngonderilenler, Qt::LeftButton);

    QVERIFY(!editable);
    QCOMPARE(shownRows,
             QStringList{QStringLiteral("02.01.2026 10:05:00|01.12.2025 - 31.12.2025|Ek, Geriye "
                                        "Dönük|Elden (%1/)|1|yazıldı|%2|30.12.2025 16:45 tarihli "
                                        "gönderimin tekrarı")
                             .arg(stick.path(), target)});
    QCOMPARE(rowsForAllYears, 2);
}

void DeclScreenTest::hesaplaShowsBusyCursor()
{
    Workspace ws;
    ws.platform.clock = PreparedAt;
    Screen s(ws);
    int shapeWhileShown = -1;
    ws.platform.onShown = [&](const ScriptedPlatform::Shown &) {
        const QCursor *c = QGuiApplication::overrideCursor();
        shapeWhileShown = c ? int(c->shape()) : -2;
    };
    QTest::mouseClick(s.w.hesapla, Qt::LeftButton);
    QCOMPARE(ws.platform.texts(), QStringList{NotFound});
    QCOMPARE(shapeWhileShown, int(Qt::WaitCursor));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void DeclScreenTest::hazirlaShowsBusyCursorWhileBuildingTheFile()
{
    Workspace ws;
    ws.platform.clock = PreparedAt;
    addSender(*ws.dm);
    insertBodro(*ws.dm, decemberRow());
    QStringList calls;
    ws.platform.ftpFactory = [&] { return std::make_unique<FakeFtp>(FtpOutcome::Ok, calls); };
    ws.platform.answers = {Answer::Yes};
    QList<int> shapesWhileShown;
    ws.platform.onShown = [&](const ScriptedPlatform::Shown &) {
        const QCursor *c = QGuiApplication::overrideCursor();
        shapesWhileShown << (c ? int(c->shape()) : -1);
    };
    Screen s(ws);
    // The cursor as the statement that reads the file's rows starts.
    QList<int> shapesWhileReading;
    sqlite3 *db = ws.dm->localFile()->handle();
    sqlite3_trace_v2(
        db, SQLITE_TRACE_STMT,
        [](unsigned, void *context, void *stmt, void *) {
            if (QByteArrayView(sqlite3_sql(static_cast<sqlite3_stmt *>(stmt)))
                    .contains("YATISIM")) {
                const QCursor *c = QGuiApplication::overrideCursor();
                static_cast<QList<int> *>(context)->append(c ? int(c->shape()) : -1);
            }
            return 0;
        },
        &shapesWhileReading);
    const auto untrace = qScopeGuard([db] { sqlite3_trace_v2(db, 0, nullptr, nullptr); });
    QTest::mouseClick(s.w.BitBtn2, Qt::LeftButton);

    QCOMPARE(ws.platform.texts(), (QStringList{AskRoute, Delivered}));
    QCOMPARE(shapesWhileReading, QList<int>{int(Qt::WaitCursor)});
    // The questions and messages that follow wait for the user: no busy pointer.
    QCOMPARE(shapesWhileShown, (QList<int>{-1, -1}));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

SARVEK_TEST_MAIN(DeclScreenTest)
#include "declscreen_test.moc"
