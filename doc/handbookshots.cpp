// Makes the handbook's pictures from the real screens, offscreen, over a small
// made-up database: handbookshots OUTPUT_FOLDER. Run by the build (through
// scripts/handbook-shots) so the pictures follow the screens when they change.
#include "accountant/muhisform.h"
#include "app/about.h"
#include "app/anamenu.h"
#include "app/sarvekapp.h"
#include "app/screens.h"
#include "core/testutil.h"
#include "declaration/frmkayityeri.h"
#include "declaration/frmyapdosya.h"
#include "declaration/gonderilenler.h"
#include "declaration/sendlog.h"
#include "entry/csvimport.h"
#include "entry/importdialog.h"
#include "entry/yatirimgir.h"
#include "lists/bordlist.h"
#include "lists/bordlistall.h"

#include <cstdio>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace
{

constexpr int MaxWidth = 840;
QString outputFolder;
int failures = 0;

void settle(int ms = 150)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void save(QWidget *w, const char *name)
{
    settle();
    const QString path = QDir(outputFolder).filePath(QLatin1String(name) + QStringLiteral(".png"));
    // The help window is about 900 pixels wide; a wider screen is shrunk here,
    // smoothly, rather than by the browser.
    QImage image = w->grab().toImage();
    if (image.width() > MaxWidth)
        image = image.scaledToWidth(MaxWidth, Qt::SmoothTransformation);
    if (!image.save(path)) {
        std::fprintf(stderr, "handbookshots: %s could not be written\n", qPrintable(path));
        ++failures;
    }
}

// Shows a modal dialog's picture once it is up, then closes it; `open` is what
// opens it (and returns when it closes).
template <class Open> void saveModal(const char *name, QSize size, Open &&open)
{
    bool taken = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || taken)
            return;
        taken = true;
        modal->showNormal();
        modal->resize(size);
        save(modal, name);
        modal->close();
    });
    poll.start(100);
    open();
    if (!taken) {
        std::fprintf(stderr, "handbookshots: no window for %s\n", name);
        ++failures;
    }
}

void storeSamples(Tdm &dm)
{
    const QStringList names = {QStringLiteral("Ayşe Yılmaz"), QStringLiteral("Mehmet Özdemir"),
                               QStringLiteral("Zeynep Çelik"), QStringLiteral("Hasan Şahin"),
                               QStringLiteral("Gülşen Aydın")};
    for (int i = 0; i < names.size(); ++i) {
        BodroRow r;
        r.siraNo = QString::number(i + 1);
        r.srvno = QStringLiteral("1234%1").arg(i + 10);
        r.kimlik = QStringLiteral("4561237890%1").arg(i);
        r.ssk = QStringLiteral("98765432%1").arg(i);
        r.isim = names[i];
        r.cins = (i % 2) ? QStringLiteral("E") : QStringLiteral("K");
        r.calgun = i == 3 ? QStringLiteral("18") : QStringLiteral("30");
        r.durum = i == 3 ? QStringLiteral("G") : QString();
        r.brut = QStringList{"2,450.00", "3,100.00", "1,875.50", "1,200.00", "2,980.75"}[i];
        r.isvisim = QStringLiteral("Deniz Gıda Ltd.");
        r.adres = QStringLiteral("Atatürk Cad. No: 12, Lefkoşa");
        r.ilk = QStringLiteral("01.03.2026");
        r.son = QStringLiteral("31.03.2026");
        insertBodro(dm, r);
    }
    BodroRow other;
    other.isver = QStringLiteral("020045000310");
    other.isvisim = QStringLiteral("Karpaz Turizm A.Ş.");
    other.ilk = QStringLiteral("01.02.2026");
    other.son = QStringLiteral("28.02.2026");
    insertBodro(dm, other);
}

// A month's sheet as a Turkish spreadsheet saves it: ";" between the cells,
// "2.450,00" amounts, a column of the user's own that is not read, and three
// rows the dry run refuses.
QByteArray sampleSheet()
{
    return QStringLiteral(
               "Sarvek No;Kimlik No;Sigorta No;Adı Soyadı;Cinsiyet;Gün Sayısı;İzin Nedeni;"
               "Aylık Kazanç;P.Oranı %;D.Oranı %;Notlar\r\n"
               "123410;45612378900;987654320;Ayşe Yılmaz;K;30;;2.450,00;5;10;\r\n"
               "123411;45612378901;987654321;Mehmet Özdemir;E;30;;3.100,00;5;10;\r\n"
               "123412;45612378902;987654322;Zeynep Çelik;K;30;;1,234;5;10;kazancı sorulacak\r\n"
               "123413;45612378903;987654323;Hasan Şahin;E;18;G;1.200,00;5;10;15 Mart'ta girdi\r\n"
               "12341;45612378904;987654324;Gülşen Aydın;K;30;;2.980,75;5;10;\r\n"
               "123415;45612378905;987654325;Mustafa Kaya;E;30;;2.100,00;5;10;\r\n"
               "123416;45612378906;987654326;Elif Demir;X;30;;1.875,50;5;10;\r\n"
               "123417;45612378907;987654327;Ali Koç;E;30;;2.300,00;5;10;\r\n")
        .toUtf8();
}

// Sends of this year and the last, one of each outcome, and a repeat.
void storeSends(Tdm &dm)
{
    const QString folder = QStringLiteral("/home/elif/Sarvek/");
    auto send = [&](QDateTime when, QString start, QString end, ReturnKind kind,
                    sendlog::Route route, int lines, const QString &outcome,
                    const QString &note = QString(), qint64 repeats = 0) {
        sendlog::Record r;
        r.when = when;
        r.key = {start, end, kind, false, {}, {}};
        r.route = route;
        r.msno = QStringLiteral("004512");
        if (route == sendlog::Route::Hand) {
            r.drive = QStringLiteral("/media/usb/");
            r.fileName = r.drive + QStringLiteral("004512_0.txt");
        } else {
            r.fileName = folder + QStringLiteral("004512_") +
                         when.toString(QStringLiteral("ddMMyyyy_HHmmss")) + QStringLiteral(".txt");
        }
        r.lineCount = lines;
        r.employerCount = 1;
        r.sha256 = QString(64, u'0');
        r.repeats = repeats;
        const qint64 id = sendlog::add(dm, r);
        sendlog::setOutcome(dm, id, outcome, note);
        return id;
    };
    const QString jan1 = QStringLiteral("01.01.2026"), jan31 = QStringLiteral("31.01.2026");
    const QString feb1 = QStringLiteral("01.02.2026"), feb28 = QStringLiteral("28.02.2026");
    send(QDateTime(QDate(2026, 2, 10), QTime(9, 12, 40)), jan1, jan31, ReturnKind::Asil,
         sendlog::Route::Internet, 38, sendlog::Sent);
    const qint64 february = send(QDateTime(QDate(2026, 3, 12), QTime(14, 5, 12)), feb1, feb28,
                                 ReturnKind::Asil, sendlog::Route::Internet, 42, sendlog::Sent);
    send(QDateTime(QDate(2026, 3, 12), QTime(14, 20, 3)), feb1, feb28, ReturnKind::Ek,
         sendlog::Route::Internet, 3, sendlog::Failed,
         QStringLiteral("Programın Çalışması için Internet Bağlantınız Olması Gerekmektedir. "
                        "Lütfen Internete Bağlanınız"));
    send(QDateTime(QDate(2026, 3, 13), QTime(9, 10, 55)), feb1, feb28, ReturnKind::Ek,
         sendlog::Route::Internet, 3, sendlog::Incomplete,
         QStringLiteral("Gönderilen dosya 1536 bayt, sunucudaki 1024 bayt."));
    send(QDateTime(QDate(2026, 3, 13), QTime(9, 14, 21)), feb1, feb28, ReturnKind::Ek,
         sendlog::Route::Internet, 3, sendlog::Sent,
         QStringLiteral("Sunucu dosya boyutunu bildirmedi; dosya denetlenemedi."));
    send(QDateTime(QDate(2026, 3, 16), QTime(10, 15, 7)), feb1, feb28, ReturnKind::Asil,
         sendlog::Route::Hand, 42, sendlog::Written, QString(), february);
}

} // namespace

int main(int argc, char **argv)
{
    SarvekApplication app(argc, argv);
    app.useTurkish();
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: handbookshots OUTPUT_FOLDER\n");
        return 2;
    }
    outputFolder = app.arguments().at(1);
    QDir().mkpath(outputFolder);

    Workspace ws;
    AppContext &ctx = *ws.ctx;
    ws.platform.clock = QDateTime(QDate(2026, 3, 16), QTime(10, 30));
    ws.platform.volumeList = {{QStringLiteral("USB BELLEK"), QStringLiteral("/media/usb/")},
                              {QStringLiteral("YEDEK DİSK"), QStringLiteral("/media/yedek/")}};
    storeSamples(*ws.dm);

    TForm2 menu(ctx);
    createStartupWindows(ctx, &menu);
    menu.show();
    save(&menu, "anamenu");

    {
        TAboutBox about(ws.dm->storageDescription(), &menu);
        about.show();
        save(&about, "hakkinda");
    }

    {
        auto *form = new TForm1(ctx, &menu);
        EntryState &state = ctx.session.entry;
        state.employerNo = QStringLiteral("010001000001");
        state.periodStart = QStringLiteral("01.03.2026");
        state.periodEnd = QStringLiteral("31.03.2026");
        state.pickedType = QStringLiteral("01");
        form->findChild<QLineEdit *>(QStringLiteral("ALKAZA"))->setText(QStringLiteral("01"));
        form->findChild<QLineEdit *>(QStringLiteral("ALFIHRIST"))->setText(QStringLiteral("0001"));
        form->findChild<QLineEdit *>(QStringLiteral("ALSIRANO"))->setText(QStringLiteral("000001"));
        form->findChild<QDateEdit *>(QStringLiteral("DEVREILK"))->setDate(QDate(2026, 3, 1));
        form->findChild<QDateEdit *>(QStringLiteral("DEVRESON"))->setDate(QDate(2026, 3, 31));
        form->bitlistClick();
        form->resize(1280, 720);
        form->show();
        save(form, "giris");

        saveModal("bordlist", {640, 360}, [&] { form->BitBtnBulClick(); });
        saveModal("tumliste", {820, 420}, [&] { form->F10Pick(); });
        saveModal("dokum", {1100, 760}, [&] { form->BitBtnYazdirClick(); });

        {
            ImportDialog import(csvimport::readSheet(sampleSheet()), QStringLiteral("mart.csv"),
                                form);
            import.resize(1240, 420);
            import.show();
            save(&import, "iceaktar");
        }
        form->hide();
        delete form;
    }

    {
        Tfrmmuhis accountant(ctx, &menu);
        accountant.alunvan->setText(QStringLiteral("Mali Müşavir"));
        accountant.alisim->setText(QStringLiteral("Elif Kaya"));
        accountant.almsno->setText(QStringLiteral("004512"));
        accountant.aladres->setPlainText(QStringLiteral("Bedrettin Demirel Cad. 45, Lefkoşa"));
        accountant.altelno->setText(QStringLiteral("2284455"));
        accountant.show();
        save(&accountant, "muhasip");
    }

    {
        Tyapdosya declaration(ctx, &menu);
        declaration.ALDEVREILK->setDate(QDate(2026, 3, 1));
        declaration.ALDEVRESON->setDate(QDate(2026, 3, 31));
        declaration.RdbTumu->setChecked(true);
        declaration.hesaplaClick();
        declaration.resize(860, 560);
        declaration.show();
        save(&declaration, "beyanname");

        storeSends(*ws.dm);
        Tgonderilenler sends(ctx, &declaration);
        sends.resize(1200, 300);
        sends.show();
        save(&sends, "gonderilenler");
    }

    {
        Tkayityeri chooser(ctx, &menu);
        chooser.show();
        save(&chooser, "kayityeri");
    }

    {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Sarvek Bodro"),
                        QStringLiteral("Kayıt işlemi başarılı oldu !.. "), QMessageBox::Ok, &menu);
        box.show();
        save(&box, "mesaj");
    }

    return failures == 0 ? 0 : 1;
}
