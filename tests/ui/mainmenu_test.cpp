// The main menu: its window, and what its commands run before opening a screen;
// and the platform's Yes/No box that its screens ask with.
#include "app/about.h"
#include "app/anamenu.h"
#include "app/firstrun.h"
#include "app/qtplatform.h"
#include "store/sqlite.h"
#include "ui/uitest.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>

namespace
{

const QString FirstRun = QStringLiteral("Programı ilk kez çalıştırıyorsunuz. Kullana bilmeniz için "
                                        "Lütfen Muhasip/İşveren Kaydını Yapınız");

} // namespace

class MainMenuTest : public QObject
{
    Q_OBJECT
  private slots:
    void windowAndButtons()
    {
        Workspace ws;
        TForm2 menu(*ws.ctx);
        QCOMPARE(menu.windowTitle(), QStringLiteral("Sarvek Sandığı Dairesi "));
        QCOMPARE(menu.size(), QSize(675, 456));
        QCOMPARE(menu.minimumSize(), menu.maximumSize());

        const QStringList names = {"BitBtn1", "BitBtn2", "BitBtn4", "BitBtn3"};
        const QStringList captions = {"Bodro Hazırla", "Bodro Gönder", "Muh/İsv. Kaydı", "Çıkış"};
        int lastX = -1;
        for (int i = 0; i < names.size(); ++i) {
            auto *b = menu.findChild<QPushButton *>(names[i]);
            QVERIFY(b);
            QCOMPARE(b->text(), captions[i]);
            QVERIFY(b->x() > lastX);
            lastX = b->x();
        }
        QCOMPARE(menu.findChild<QPushButton *>("BitBtn5")->text(), QStringLiteral("Hakkında"));
        QVERIFY(menu.findChild<QPushButton *>("yukle")->isHidden());
        QVERIFY(menu.findChild<QPushButton *>("yapeksik")->isHidden());
        QVERIFY(menu.findChild<QLabel *>("RzLabel1")->text().contains("4.0.4"));

        // Tab order: Bodro Hazırla, Bodro Gönder, Çıkış, Muh/İsv. Kaydı, Hakkında.
        QWidget *w = menu.findChild<QPushButton *>("BitBtn1");
        QStringList order;
        for (int i = 0; i < 5; ++i) {
            order << w->objectName();
            w = w->nextInFocusChain();
            while (!w->isVisibleTo(&menu) || w->focusPolicy() == Qt::NoFocus)
                w = w->nextInFocusChain();
        }
        QCOMPARE(order, QStringList({"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5"}));

        QVERIFY(menu.aboutBox()->findChild<QLabel *>("Version")->text() ==
                QStringLiteral("Version: 4.0.4"));
        QCOMPARE(menu.aboutBox()->windowTitle(), QStringLiteral("About"));
        // Where the data lives, so that a desk of an office can tell.
        QCOMPARE(menu.aboutBox()->findChild<QLabel *>("Database")->text(),
                 QStringLiteral("Veritabanı: SQLite dosyası ") +
                     QFileInfo(ws.dm->databasePath()).absoluteFilePath());
        Tdm office(ws.path(), QStringLiteral("host=sunucu dbname=sarvek user=buro"));
        QCOMPARE(office.storageDescription(),
                 QStringLiteral("PostgreSQL sunucusu (host=sunucu dbname=sarvek user=buro)"));
    }

    void qtSpeaksTurkish()
    {
        static_cast<SarvekApplication *>(qApp)->useTurkish();
        QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::No |
                                 QDialogButtonBox::Cancel | QDialogButtonBox::Ok);
        QCOMPARE(buttons.button(QDialogButtonBox::Yes)->text().remove('&'), QStringLiteral("Evet"));
        QCOMPARE(buttons.button(QDialogButtonBox::No)->text().remove('&'), QStringLiteral("Hayır"));
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text().remove('&'),
                 QStringLiteral("İptal"));
        QCOMPARE(buttons.button(QDialogButtonBox::Ok)->text().remove('&'), QStringLiteral("Tamam"));
        QCOMPARE(QLocale().language(), QLocale::Turkish);
    }

    // The platform's real Yes/No box, answered from the keyboard as a user
    // would: the focus starts on Hayır, so Enter and Escape both mean no.
    void yesNoBoxDefaultsToHayir()
    {
        static_cast<SarvekApplication *>(qApp)->useTurkish();
        QtPlatform platform([] { return std::unique_ptr<FtpClient>(); });
        QString text;
        QStringList labels;
        QString focused;
        bool noIsDefault = false;
        const auto whenAsked = [&](std::function<void(QMessageBox *)> answer) {
            whenModalShown([&, answer](QWidget *modal) {
                // A failed check must not leave the box waiting for an answer.
                const auto closeAnyway = qScopeGuard([modal] {
                    if (modal->isVisible())
                        modal->close();
                });
                auto *box = qobject_cast<QMessageBox *>(modal);
                QVERIFY(box);
                QVERIFY(QTest::qWaitForWindowActive(box));
                text = box->text();
                labels.clear();
                for (QAbstractButton *b : box->buttons())
                    labels << b->text().remove(u'&');
                labels.sort();
                auto *button = qobject_cast<QAbstractButton *>(QApplication::focusWidget());
                focused = button ? button->text().remove(u'&') : QString();
                noIsDefault = box->defaultButton() == box->button(QMessageBox::No);
                answer(box);
            });
        };
        const auto pressKey = [](Qt::Key key) {
            return [key](QMessageBox *box) {
                QWidget *focus = QApplication::focusWidget();
                QTest::keyClick(focus ? focus : box, key);
            };
        };
        const QString question = QStringLiteral("Yeniden hazırlamak istiyor musunuz?");

        whenAsked(pressKey(Qt::Key_Escape));
        QCOMPARE(platform.askYesNo(question), false);
        QCOMPARE(text, question);
        QCOMPARE(labels, (QStringList{QStringLiteral("Evet"), QStringLiteral("Hayır")}));
        QCOMPARE(focused, QStringLiteral("Hayır"));
        QVERIFY(noIsDefault);

        focused.clear();
        whenAsked(pressKey(Qt::Key_Return));
        QCOMPARE(platform.askYesNo(question), false);
        QCOMPARE(focused, QStringLiteral("Hayır"));

        whenAsked([](QMessageBox *box) {
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
        });
        QCOMPARE(platform.askYesNo(question), true);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void prepareCreatesTheDatabaseThenRemindsOnce()
    {
        Workspace ws;
        TForm2 menu(*ws.ctx);
        ModalCloser modals;
        menu.findChild<QPushButton *>("BitBtn1")->click();
        QVERIFY(QFile::exists(ws.path("Data/bodro.mdb")));
        QCOMPARE(modals.captions, QStringList({"Aylık Yatırım Girişi"}));
        QVERIFY(ws.platform.texts().isEmpty());
        // The new database left the reminder for the next command.
        QCOMPARE(readMarker(ws.platform), QStringLiteral("2"));

        menu.findChild<QPushButton *>("BitBtn1")->click();
        QCOMPARE(ws.platform.texts(), QStringList({FirstRun}));
        QCOMPARE(modals.captions,
                 QStringList({"Aylık Yatırım Girişi", "Muhasip veya İşveren Girişi",
                              "Aylık Yatırım Girişi"}));
    }

    void prepareUpgradesAnOlderFile()
    {
        Workspace ws;
        makeOldSchemaDatabase(ws.dm->databasePath(), false);
        {
            SqliteDatabase db(ws.dm->databasePath(), SqliteDatabase::Mode::OpenExisting);
            db.execScript("insert into bodro (YATISVER) values ('010001000001');"
                          "insert into bodro (YATISVER) values ('010001000002')");
        }
        TForm2 menu(*ws.ctx);
        ModalCloser modals;
        menu.findChild<QPushButton *>("BitBtn1")->click();
        QCOMPARE(ws.platform.texts().size(), 2);
        QVERIFY(ws.platform.texts()[0].startsWith("Lütfen Bekleyiniz"));
        QCOMPARE(modals.captions, QStringList({"Aylık Yatırım Girişi"}));
        QCOMPARE(QDir(ws.path("Data")).entryList({"bodro-*.mdb"}).size(), 1);
        QCOMPARE(ws.dm->select("select YATBDRDEVMIK from bodro"),
                 QList<QStringList>({{"1"}, {"1"}}));
    }

    void sendNeverUpgrades()
    {
        Workspace ws;
        makeOldSchemaDatabase(ws.dm->databasePath(), false);
        TForm2 menu(*ws.ctx);
        ModalCloser modals;
        menu.findChild<QPushButton *>("BitBtn2")->click();
        QCOMPARE(modals.captions, QStringList({"Bodro ve Yatırım Dosyası Hazırlama"}));
        QVERIFY(ws.platform.texts().isEmpty());
    }

    void failuresStopTheCommandWithAMessage()
    {
        {
            // A folder where the marker should be.
            Workspace ws;
            QDir().mkpath(markerPath(ws.platform));
            TForm2 menu(*ws.ctx);
            ModalCloser modals;
            menu.findChild<QPushButton *>("BitBtn1")->click();
            QCOMPARE(ws.platform.texts().size(), 1);
            QVERIFY(ws.platform.texts()[0].contains("svkont.ini"));
            QVERIFY(modals.captions.isEmpty());
        }
        {
            // A file that is not a database.
            Workspace ws;
            QDir().mkpath(ws.path("Data"));
            QFile f(ws.dm->databasePath());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("not a database at all, but long enough to have a header.....");
            f.close();
            TForm2 menu(*ws.ctx);
            ModalCloser modals;
            menu.findChild<QPushButton *>("BitBtn1")->click();
            QCOMPARE(ws.platform.texts().size(), 1);
            QVERIFY(ws.platform.texts()[0].contains(ws.dm->databasePath()));
            QVERIFY(modals.captions.isEmpty());
        }
    }
};

SARVEK_TEST_MAIN(MainMenuTest)
#include "mainmenu_test.moc"
