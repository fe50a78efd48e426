// The accountant record screen on a real database: opening, the title look-up,
// saving with and without the update question, Enter as Tab, and failures.
#include "ui/uitest.h"

#include "accountant/muhisform.h"
#include "app/firstrun.h"
#include "app/screens.h"
#include "faults/faultutil.h"
#include "store/dm.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace
{

AccountantRecord record(const QString &unvan, const QString &msno)
{
    return AccountantRecord{unvan,
                            QStringLiteral("Ayşe Öztürk"),
                            msno,
                            QStringLiteral("Girne Cad. 5\r\nLefkoşa"),
                            QStringLiteral("2281111"),
                            QStringLiteral("2282222"),
                            QStringLiteral("5331234567"),
                            QStringLiteral("1")};
}

QList<QStringList> storedRecords(Tdm &dm)
{
    return dm.select(
        QStringLiteral("select MUHISVUNVAN, MUHISVISI, MSNO, MUHISVADRES, MUHSIVTELNO, "
                       "MUHISVFAXNO, MUHISVMOBILNO, SETMUHISV from muhisv order by ID"));
}

QStringList fieldTexts(const Tfrmmuhis &s)
{
    return {s.alunvan->text(), s.alisim->text(),  s.almsno->text(),   s.aladres->toPlainText(),
            s.altelno->text(), s.alfaxno->text(), s.almobilno->text()};
}

bool allEmpty(const Tfrmmuhis &s)
{
    for (const QString &t : fieldTexts(s))
        if (!t.isEmpty())
            return false;
    return !s.alsetmuhisv->isChecked();
}

bool showActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
}

void retype(QWidget *field, const QString &text)
{
    field->setFocus();
    if (auto *line = qobject_cast<QLineEdit *>(field))
        line->clear();
    typeText(field, text);
}

} // namespace

class AccountantTest : public QObject
{
    Q_OBJECT

  private slots:
    void firstSaveInsertsWithoutAMessageAndWritesTheMarker();
    void existingTitleAsksBeforeUpdatingEveryRecordOfIt_data();
    void existingTitleAsksBeforeUpdatingEveryRecordOfIt();
    void leavingTheTitleLooksUpByContainment();
    void enterMovesToTheNextControl();
    void databaseErrorStopsTheSaveBeforeTheMarker();
    void markerFailureIsShownAfterTheRecordIsStored();
    void readOnlyFileIsRefusedBeforeTheUpdateQuestion();
    void theMenuCommandOpensTheScreenModally();
};

void AccountantTest::firstSaveInsertsWithoutAMessageAndWritesTheMarker()
{
    Workspace ws;
    Tfrmmuhis screen(*ws.ctx);
    QCOMPARE(screen.windowTitle(), QStringLiteral("Muhasip veya İşveren Girişi"));
    QCOMPARE(screen.size(), QSize(442, 413));
    QCOMPARE(screen.font().pixelSize(), 16);
    QCOMPARE(screen.BitBtn1->text(), QStringLiteral("Kayıt"));
    QCOMPARE(screen.BitBtn2->text(), QStringLiteral("Çıkış"));
    QCOMPARE(screen.alsetmuhisv->text(), QStringLiteral("Dosya Hazırlanırken Bunu Kullan"));
    QStringList captions;
    for (QLabel *label : screen.findChildren<QLabel *>())
        captions << label->text();
    for (const char *caption : {"Muhasip/İşveren Unvanı:", "Muhasip/İşever Adı:", "Mş. No :",
                                "Adress:", "Telefon No:", "Fax No:", "Mobil No:"})
        QVERIFY2(captions.contains(QString::fromUtf8(caption)), caption);
    QVERIFY(allEmpty(screen));

    QVERIFY(showActive(screen));
    QCOMPARE(screen.size(), QSize(442, 413)); // the layout fits without growing
    retype(screen.alunvan, QStringLiteral("Şahin Muhasebe"));
    retype(screen.alisim, QStringLiteral("İlker Şahin"));
    retype(screen.almsno, QStringLiteral("000123"));
    screen.aladres->setPlainText(QStringLiteral("Girne Cad. 5\nLefkoşa"));
    retype(screen.altelno, QStringLiteral("2281111"));
    retype(screen.alfaxno, QStringLiteral("2282222"));
    retype(screen.almobilno, QStringLiteral("5331234567"));
    screen.alsetmuhisv->setChecked(true);
    QTest::mouseClick(screen.BitBtn1, Qt::LeftButton);

    QCOMPARE(ws.platform.texts(), QStringList());
    const QList<QStringList> stored = storedRecords(*ws.dm);
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored[0],
             (QStringList{QStringLiteral("Şahin Muhasebe"), QStringLiteral("İlker Şahin"),
                          QStringLiteral("000123"), QStringLiteral("Girne Cad. 5\r\nLefkoşa"),
                          QStringLiteral("2281111"), QStringLiteral("2282222"),
                          QStringLiteral("5331234567"), QStringLiteral("1")}));
    QVERIFY(allEmpty(screen));
    QVERIFY(screen.isVisible());
    QCOMPARE(readMarker(ws.platform), QStringLiteral("1"));

    // Opening again shows the record just made, with the box unticked and the
    // address on two lines.
    Tfrmmuhis again(*ws.ctx);
    QCOMPARE(fieldTexts(again),
             (QStringList{QStringLiteral("Şahin Muhasebe"), QStringLiteral("İlker Şahin"),
                          QStringLiteral("000123"), QStringLiteral("Girne Cad. 5\nLefkoşa"),
                          QStringLiteral("2281111"), QStringLiteral("2282222"),
                          QStringLiteral("5331234567")}));
    QVERIFY(!again.alsetmuhisv->isChecked());
}

void AccountantTest::existingTitleAsksBeforeUpdatingEveryRecordOfIt_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(Answer::Yes);
    QTest::newRow("no") << int(Answer::No);
    QTest::newRow("cancel") << int(Answer::Cancel);
}

void AccountantTest::existingTitleAsksBeforeUpdatingEveryRecordOfIt()
{
    QFETCH(int, answer);
    Workspace ws;
    insertAccountant(*ws.dm, record(QStringLiteral("Kaya Ltd."), QStringLiteral("100")));
    insertAccountant(*ws.dm, record(QStringLiteral("Öz Muhasebe"), QStringLiteral("200")));
    insertAccountant(*ws.dm, record(QStringLiteral("Kaya Ltd."), QStringLiteral("300")));
    const QList<QStringList> before = storedRecords(*ws.dm);

    Tfrmmuhis screen(*ws.ctx);
    QCOMPARE(screen.alunvan->text(), QStringLiteral("Kaya Ltd."));
    QCOMPARE(screen.almsno->text(), QStringLiteral("300"));
    screen.almsno->setText(QStringLiteral("777"));
    ws.platform.answers = {Answer(answer)};
    screen.BitBtn1->click();

    QList<QStringList> expected = before;
    QStringList shown = {
        QStringLiteral("Bu Muhasip/Isv Daha önce kayıt yapıldı !.. Güncellemek istiyormusunuz ?")};
    if (Answer(answer) == Answer::Yes) {
        // Both "Kaya Ltd." records change; the box was unticked, so the flag is 0.
        for (int i : {0, 2}) {
            expected[i][2] = QStringLiteral("777");
            expected[i][7] = QStringLiteral("0");
        }
        shown << QStringLiteral("Kayıt Güncellendi!");
        QCOMPARE(ws.platform.shown[1].kind, ScriptedPlatform::Kind::Warning);
    }
    QCOMPARE(ws.platform.shown[0].kind, ScriptedPlatform::Kind::Confirm);
    QCOMPARE(ws.platform.texts(), shown);
    QCOMPARE(storedRecords(*ws.dm), expected);
    QVERIFY(allEmpty(screen));
    QCOMPARE(readMarker(ws.platform), QStringLiteral("1"));
}

void AccountantTest::leavingTheTitleLooksUpByContainment()
{
    Workspace ws;
    insertAccountant(*ws.dm, record(QStringLiteral("Kaya Muhasebe Ltd."), QStringLiteral("100")));
    insertAccountant(*ws.dm, record(QStringLiteral("Öz Ticaret"), QStringLiteral("200")));
    Tfrmmuhis screen(*ws.ctx);
    QVERIFY(showActive(screen));
    QCOMPARE(screen.alunvan->text(), QStringLiteral("Öz Ticaret"));

    // Part of a stored title: the whole record replaces what was typed.
    screen.alisim->setText(QStringLiteral("typed"));
    retype(screen.alunvan, QStringLiteral("muhasebe"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), screen.alisim);
    QCOMPARE(screen.alunvan->text(), QStringLiteral("Kaya Muhasebe Ltd."));
    QCOMPARE(screen.alisim->text(), QStringLiteral("Ayşe Öztürk"));
    QCOMPARE(screen.almsno->text(), QStringLiteral("100"));

    // No match: nothing changes.
    screen.alisim->setText(QStringLiteral("typed"));
    retype(screen.alunvan, QStringLiteral("Yeni Firma"));
    QTest::mouseClick(screen.almsno, Qt::LeftButton);
    QCOMPARE(screen.alunvan->text(), QStringLiteral("Yeni Firma"));
    QCOMPARE(screen.alisim->text(), QStringLiteral("typed"));

    // A message box taking the focus is not leaving the field.
    retype(screen.alunvan, QStringLiteral("Kaya"));
    QWidget other;
    QVERIFY(showActive(other));
    QCOMPARE(screen.alunvan->text(), QStringLiteral("Kaya"));
    QVERIFY(ws.platform.shown.isEmpty());
}

void AccountantTest::enterMovesToTheNextControl()
{
    Workspace ws;
    Tfrmmuhis screen(*ws.ctx);
    QVERIFY(showActive(screen));
    screen.alunvan->setFocus();
    QCOMPARE(QApplication::focusWidget(), screen.alunvan);
    const QList<QWidget *> order = {screen.alisim,  screen.almsno,  screen.aladres,
                                    screen.altelno, screen.alfaxno, screen.almobilno,
                                    screen.BitBtn1};
    for (QWidget *next : order) {
        const bool keypad = next == screen.almsno;
        QTest::keyClick(QApplication::focusWidget(), keypad ? Qt::Key_Enter : Qt::Key_Return,
                        keypad ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    QVERIFY(screen.aladres->toPlainText().isEmpty());
    QVERIFY(screen.isVisible());
    QVERIFY(storedRecords(*ws.dm).isEmpty());

    // Tab continues to "Çıkış", then the check box.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), screen.BitBtn2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), screen.alsetmuhisv);

    // Ctrl+Enter starts a new address line.
    screen.aladres->setFocus();
    typeText(screen.aladres, QStringLiteral("Girne"));
    QTest::keyClick(screen.aladres, Qt::Key_Return, Qt::ControlModifier);
    typeText(screen.aladres, QStringLiteral("Lefkoşa"));
    QCOMPARE(screen.aladres->toPlainText(), QStringLiteral("Girne\nLefkoşa"));
    QCOMPARE(QApplication::focusWidget(), screen.aladres);

    // Enter on a focused button presses it.
    screen.BitBtn1->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(storedRecords(*ws.dm).size(), 1);
    QCOMPARE(storedRecords(*ws.dm)[0][3], QStringLiteral("Girne\r\nLefkoşa"));
    screen.BitBtn2->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(!screen.isVisible());
}

void AccountantTest::databaseErrorStopsTheSaveBeforeTheMarker()
{
    Workspace ws;
    ws.dm->execute(QStringLiteral("drop table muhisv"));
    const QString markerBefore = readMarker(ws.platform);
    Tfrmmuhis screen(*ws.ctx);
    // Opening reports the error and leaves the fields empty.
    QCOMPARE(ws.platform.shown.size(), 1);
    QVERIFY2(ws.platform.shown[0].text.contains(QStringLiteral("muhisv")),
             qPrintable(ws.platform.shown[0].text));
    ws.platform.clearShown();

    screen.alunvan->setText(QStringLiteral("Kaya"));
    screen.alsetmuhisv->setChecked(true);
    screen.BitBtn1->click();
    QCOMPARE(ws.platform.shown.size(), 1);
    QCOMPARE(ws.platform.shown[0].kind, ScriptedPlatform::Kind::Message);
    QCOMPARE(screen.alunvan->text(), QStringLiteral("Kaya"));
    QVERIFY(screen.alsetmuhisv->isChecked());
    QCOMPARE(readMarker(ws.platform), markerBefore);
}

void AccountantTest::markerFailureIsShownAfterTheRecordIsStored()
{
    Workspace ws;
    // A folder where the marker file should be: the marker cannot be written.
    QVERIFY(QDir().mkpath(ws.platform.windowsDir + QStringLiteral("/svkont.ini")));
    Tfrmmuhis screen(*ws.ctx);
    screen.alunvan->setText(QStringLiteral("Kaya"));
    screen.BitBtn1->click();
    QCOMPARE(storedRecords(*ws.dm).size(), 1);
    QVERIFY(allEmpty(screen));
    QCOMPARE(ws.platform.shown.size(), 1);
    QVERIFY2(ws.platform.shown[0].text.contains(QStringLiteral("svkont.ini")),
             qPrintable(ws.platform.shown[0].text));
}

void AccountantTest::readOnlyFileIsRefusedBeforeTheUpdateQuestion()
{
    Workspace ws;
    insertAccountant(*ws.dm, record(QStringLiteral("Kaya Ltd."), QStringLiteral("100")));
    const QList<QStringList> before = storedRecords(*ws.dm);
    const QString markerBefore = readMarker(ws.platform);
    const QString path = ws.dm->databasePath();
    Immutable lock(path);
    if (!lock.ok())
        QSKIP(qPrintable(lock.reason()));

    // The stored record is shown as on any file.
    Tfrmmuhis screen(*ws.ctx);
    QCOMPARE(screen.almsno->text(), QStringLiteral("100"));
    QVERIFY(ws.platform.shown.isEmpty());
    screen.almsno->setText(QStringLiteral("777"));
    ws.platform.answers = {Answer::Yes};
    screen.BitBtn1->click();

    QCOMPARE(ws.platform.shown.size(), 1);
    QCOMPARE(ws.platform.shown[0].kind, ScriptedPlatform::Kind::Message);
    QVERIFY2(ws.platform.shown[0].text.startsWith(
                 "Veritabanı dosyası salt okunur; değişiklik kaydedilemez: " + path),
             qPrintable(ws.platform.shown[0].text));
    QCOMPARE(ws.platform.answers.size(), 1);
    QCOMPARE(storedRecords(*ws.dm), before);
    QCOMPARE(screen.almsno->text(), QStringLiteral("777"));
    QCOMPARE(readMarker(ws.platform), markerBefore);
}

void AccountantTest::theMenuCommandOpensTheScreenModally()
{
    Workspace ws;
    insertAccountant(*ws.dm, record(QStringLiteral("Kaya Ltd."), QStringLiteral("100")));
    QString caption, title;
    whenModalShown([&](QWidget *modal) {
        caption = modal->windowTitle();
        auto *screen = qobject_cast<Tfrmmuhis *>(modal);
        if (screen) {
            title = screen->alunvan->text();
            screen->BitBtn2->click();
        } else {
            modal->close();
        }
    });
    showAccountantScreen(*ws.ctx, nullptr);
    QCOMPARE(caption, QStringLiteral("Muhasip veya İşveren Girişi"));
    QCOMPARE(title, QStringLiteral("Kaya Ltd."));
}

SARVEK_TEST_MAIN(AccountantTest)
#include "accountant_test.moc"
