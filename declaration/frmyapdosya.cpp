// The declaration screen: period and type choices, the summary grid, and the
// "Hazırla" route from sender record to a written (and maybe uploaded) file.
#include "declaration/frmyapdosya.h"

#include "accountant/accountantrecord.h"
#include "accountant/muhisform.h"
#include "app/backgroundwork.h"
#include "app/busycursor.h"
#include "app/context.h"
#include "base/amounttext.h"
#include "base/errors.h"
#include "base/formats.h"
#include "controls/moneyedit.h"
#include "declaration/declfile.h"
#include "declaration/frmkayityeri.h"
#include "declaration/gonderilenler.h"
#include "declaration/periodsummary.h"
#include "declaration/sendlog.h"
#include "lists/bordlistall.h"
#include "store/dm.h"

#include <memory>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

const QString NotFound = QStringLiteral("Böyle Bir Kayıt Bulunamadı");

struct GridColumn {
    const char *title;
    int width;
};
const GridColumn GridColumns[] = {
    {"İşver Sicil", 113}, {"İşver İsim", 145}, {"Devre İlk", 109},
    {"Devre Son", 93},    {"Bodro Türü", 79},  {"P+D Toplam", 109},
};

template <class W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLineEdit *hiddenEdit(QWidget *parent, const char *name, int maxLength)
{
    auto *edit = named(new QLineEdit(parent), name);
    edit->setMaxLength(maxLength);
    edit->setVisible(false);
    return edit;
}

} // namespace

Tyapdosya::Tyapdosya(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx)
{
    setWindowTitle(QStringLiteral("Bodro ve Yatırım Dosyası Hazırlama"));
    buildControls();
    FormCreate();
}

void Tyapdosya::buildControls()
{
    Label8 = named(new QLabel(QStringLiteral("Ait Olduğu Devre:"), this), "Label8");
    ALDEVREILK = named(new QDateEdit(this), "ALDEVREILK");
    Label9 = named(new QLabel(QStringLiteral("-"), this), "Label9");
    ALDEVRESON = named(new QDateEdit(this), "ALDEVRESON");
    chkgeri = named(new QCheckBox(QStringLiteral("Geriye Dönük"), this), "chkgeri");
    hesapla = named(new QPushButton(QStringLiteral("Hesapla"), this), "hesapla");
    Label11 = named(new QLabel(QStringLiteral("Gönderilecek Bodro Türü:"), this), "Label11");
    RdbAsil = named(new QRadioButton(QStringLiteral("Asıl"), this), "RdbAsil");
    RdbEk = named(new QRadioButton(QStringLiteral("Ek"), this), "RdbEk");
    RdbTumu = named(new QRadioButton(QStringLiteral("Tümü"), this), "RdbTumu");
    RdbAsil->setChecked(true);
    hesapgrid = named(new QTableWidget(this), "hesapgrid");
    Label10 = named(new QLabel(QStringLiteral("Yatırılacak Olan Prim Depozit Toplamı:"), this),
                    "Label10");
    toppriddepoyaz = named(new TMoneyEdit(this), "toppriddepoyaz");
    BitBtn2 = named(new QPushButton(QStringLiteral("Hazırla"), this), "BitBtn2");
    BitBtn3 = named(new QPushButton(QStringLiteral("Exit"), this), "BitBtn3");
    btngonderilenler =
        named(new QPushButton(QStringLiteral("Gönderilenler"), this), "btngonderilenler");
    Label13 = named(new QLabel(QStringLiteral("F1 : Yardım / F3 : Ekranı Temizle  /  F4 : Hesap "
                                              "Makinesi / F10: Tüm Bodro Listesi / ESC : Çıkış"),
                               this),
                    "Label13");

    ALKAZA = hiddenEdit(this, "ALKAZA", 2);
    ALFIHRIST = hiddenEdit(this, "ALFIHRIST", 4);
    ALSIRANO = hiddenEdit(this, "ALSIRANO", 6);
    yazmiktar = named(new TMoneyEdit(this), "yazmiktar");
    yazmiktar->setEnabled(false);
    yazmiktar->setVisible(false);
    btnayilksonyap =
        named(new QPushButton(QStringLiteral("bul ay ilk ve son gun Basamak Cevir"), this),
              "btnayilksonyap");
    btnayilksonyap->setVisible(false);
    ftpyolla = named(new QPushButton(QStringLiteral("FTP Yolla"), this), "ftpyolla");
    ftpyolla->setVisible(false);

    hesapgrid->setColumnCount(int(std::size(GridColumns)));
    hesapgrid->verticalHeader()->hide();
    hesapgrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    hesapgrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int c = 0; c < hesapgrid->columnCount(); ++c)
        hesapgrid->setColumnWidth(c, GridColumns[c].width);
    hesapgrid->setMinimumWidth(660);
    toppriddepoyaz->setFixedWidth(160);
    for (QPushButton *b : {hesapla, BitBtn2, BitBtn3, btnayilksonyap, ftpyolla, btngonderilenler})
        b->setAutoDefault(false);

    QFont bold = Label13->font();
    bold.setBold(true);
    Label13->setFont(bold);
    Label13->setStyleSheet(QStringLiteral("QLabel { color: white; }"));
    auto *legend = new QWidget(this);
    legend->setAutoFillBackground(true);
    QPalette blue = legend->palette();
    blue.setColor(QPalette::Window, QColor(0, 0, 255));
    legend->setPalette(blue);
    auto *legendLayout = new QHBoxLayout(legend);
    legendLayout->addWidget(Label13);

    auto *period = new QHBoxLayout;
    period->addWidget(Label8);
    period->addWidget(ALDEVREILK);
    period->addWidget(Label9);
    period->addWidget(ALDEVRESON);
    period->addWidget(chkgeri);
    period->addStretch();
    period->addWidget(hesapla);
    auto *types = new QHBoxLayout;
    types->addWidget(Label11);
    types->addWidget(RdbAsil);
    types->addWidget(RdbEk);
    types->addWidget(RdbTumu);
    types->addStretch();
    auto *total = new QHBoxLayout;
    total->addStretch();
    total->addWidget(Label10);
    total->addWidget(toppriddepoyaz);
    auto *buttons = new QHBoxLayout;
    // Left of the row, away from the screen's own commands on the right.
    buttons->addWidget(btngonderilenler);
    buttons->addStretch();
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(period);
    layout->addLayout(types);
    layout->addWidget(hesapgrid, 1);
    layout->addLayout(total);
    layout->addLayout(buttons);
    layout->addWidget(legend);
    resize(700, 440);

    const auto handle = [this](QPushButton *button, void (Tyapdosya::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] {
            guarded(m_ctx.platform, [this, handler] { (this->*handler)(); });
        });
    };
    handle(hesapla, &Tyapdosya::hesaplaClick);
    handle(BitBtn2, &Tyapdosya::BitBtn2Click);
    handle(BitBtn3, &Tyapdosya::BitBtn3Click);
    handle(btnayilksonyap, &Tyapdosya::btnayilksonyapClick);
    handle(ftpyolla, &Tyapdosya::ftpyollaClick);
    handle(btngonderilenler, &Tyapdosya::btngonderilenlerClick);

    for (QWidget *w : std::initializer_list<QWidget *>{
             ALDEVREILK, ALDEVRESON, BitBtn2, BitBtn3, ftpyolla, yazmiktar, hesapgrid, hesapla,
             toppriddepoyaz, RdbTumu, RdbAsil, RdbEk, btnayilksonyap})
        w->installEventFilter(this);
}

bool Tyapdosya::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_F10) {
        guarded(m_ctx.platform, [this] { toppriddepoyazKeyDown(Qt::Key_F10); });
        return true;
    }
    if (watched == ALDEVREILK && event->type() == QEvent::FocusOut) {
        // Leaving for another control of this screen, not a passing message
        // box or menu.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            guarded(m_ctx.platform, [this] { ALDEVREILKExit(); });
    }
    return QDialog::eventFilter(watched, event);
}

void Tyapdosya::FormCreate()
{
    ALDEVREILK->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    ALDEVRESON->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    const QDate today = m_ctx.platform.today();
    ALDEVREILK->setDate(today);
    ALDEVRESON->setDate(today);
    ALKAZA->setText(QStringLiteral("00"));
    ALFIHRIST->setText(QStringLiteral("0000"));
    ALSIRANO->setText(QStringLiteral("000000"));
    btnayilksonyapClick();
    resetGrid();
}

void Tyapdosya::resetGrid()
{
    hesapgrid->clearContents();
    hesapgrid->setRowCount(1);
    QStringList titles;
    for (const GridColumn &c : GridColumns)
        titles << QString::fromUtf8(c.title);
    hesapgrid->setHorizontalHeaderLabels(titles);
}

void Tyapdosya::ALDEVREILKExit()
{
    btnayilksonyapClick();
}

void Tyapdosya::btnayilksonyapClick()
{
    // The true month end, 29 February in every leap year.
    const QDate start = ALDEVREILK->date();
    ALDEVREILK->setDate(firstOfMonth(start));
    ALDEVRESON->setDate(lastOfMonth(start));
}

PeriodChoice Tyapdosya::choice() const
{
    PeriodChoice c;
    c.start = ALDEVREILK->date();
    c.end = ALDEVRESON->date();
    c.kind = RdbTumu->isChecked() ? ReturnKind::Tumu
                                  : (RdbEk->isChecked() ? ReturnKind::Ek : ReturnKind::Asil);
    c.retroactive = chkgeri->isChecked();
    return c;
}

QString Tyapdosya::pickedEmployer() const
{
    return ALKAZA->text() + ALFIHRIST->text() + ALSIRANO->text();
}

void Tyapdosya::hesaplaClick()
{
    const BusyCursor busy;
    // Computed whole before the grid changes, so a bad stored rate leaves the
    // previous summary on view.
    const PeriodSummary summary = summarizePeriod(m_ctx.dm.db(), summarySelection(choice()));
    if (summary.rows.isEmpty()) {
        m_ctx.platform.showWarning(NotFound);
        return;
    }
    resetGrid();
    hesapgrid->setRowCount(int(summary.rows.size()));
    for (int r = 0; r < summary.rows.size(); ++r) {
        const SummaryRow &row = summary.rows[r];
        const QString cells[] = {row.employer, row.employerName, row.start,
                                 row.end,      row.typeText,     amount::format(row.total)};
        for (int c = 0; c < int(std::size(cells)); ++c)
            hesapgrid->setItem(r, c, new QTableWidgetItem(cells[c]));
        hesapgrid->item(r, 5)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    toppriddepoyaz->setTextAsFloat(summary.grandTotal);
}

void Tyapdosya::toppriddepoyazKeyDown(int key)
{
    if (key != Qt::Key_F10)
        return;
    if (!m_ctx.frmbordlistall)
        chkgeri->setChecked(false);
    // Every pick starts from a list of its own; the one made at start-up is
    // discarded with it, whatever happens in between.
    std::unique_ptr<Tfrmbordlistall> list(new Tfrmbordlistall(m_ctx, this));
    const auto discard = qScopeGuard([this] { delete m_ctx.frmbordlistall.data(); });
    list->listeleClick();
    list->exec();

    const QString employer = list->VERISVERNO->text();
    if (employer.isEmpty())
        return;
    ALKAZA->setText(employer.mid(0, 2));
    ALFIHRIST->setText(employer.mid(2, 4));
    ALSIRANO->setText(employer.mid(6, 6));
    ALDEVREILK->setDate(parseDateText(list->VERDEVREILK->text()));
    ALDEVRESON->setDate(parseDateText(list->VERDEVRESON->text()));
    DeclarationState &picked = m_ctx.session.declaration;
    picked.pickedType = list->VERBODROTUR->text();
    picked.pickedSeq = list->VERBDRDEVMIK->text();
    picked.pickedEmployer = pickedEmployer();

    bool whole = false;
    const int seq = picked.pickedSeq.trimmed().toInt(&whole);
    if (!whole)
        throw ConversionError(
            QStringLiteral("'%1' geçerli bir tamsayı değil").arg(picked.pickedSeq));
    if (seq > 1)
        chkgeri->setChecked(true);
    if (picked.pickedType == u"01")
        RdbAsil->setChecked(true);
    else if (picked.pickedType == u"02")
        RdbEk->setChecked(true);
    list.reset();
    hesaplaClick();
}

void Tyapdosya::BitBtn3Click()
{
    close();
}

QString Tyapdosya::chosenVolumeRoot()
{
    auto *existing = qobject_cast<Tkayityeri *>(m_ctx.kayityeri.data());
    std::unique_ptr<Tkayityeri> chooser(existing ? existing : new Tkayityeri(m_ctx, this));
    chooser->exec();
    const std::optional<Volume> volume = chooser->shownVolume();
    if (!volume)
        throw IoError(QStringLiteral("Dosyanın kaydedileceği bir sürücü bulunamadı"));
    QString root = volume->root;
    if (!root.endsWith(u'/') && !root.endsWith(u'\\'))
        root += u'/';
    return root;
}

void Tyapdosya::BitBtn2Click()
{
    const QDateTime preparedAt = m_ctx.platform.now();
    Platform &platform = m_ctx.platform;

    std::optional<AccountantRecord> sender;
    try {
        sender = newestAccountant(m_ctx.dm);
    } catch (const DbError &e) {
        platform.showMessage(QStringLiteral("Lütfen İşveren Muhasip Kayıdını Yapınız: \r\n") +
                             e.message());
    }
    if (!sender) {
        platform.showMessage(QStringLiteral("Lütfen Muhasip İşveren Menuden Dosya Hazırlanırken "
                                            "Kullanılacak Muhasip veya İşvereni Girip Seçiniz"));
        Tfrmmuhis accountant(m_ctx, this);
        accountant.exec();
        return;
    }

    // The rows are selected and the whole file built before anything is
    // asked or written: an empty selection must not replace a good file.
    std::optional<DeclarationFile> file;
    {
        const BusyCursor busy;
        file = declarationFile(
            *sender, m_ctx.dm.db(),
            fileSelection(choice(), pickedEmployer(), m_ctx.session.declaration.pickedType),
            chkgeri->isChecked());
    }
    if (!file) {
        platform.showWarning(NotFound);
        return;
    }
    const QByteArray &bytes = file->bytes;
    sendlog::Record log;
    log.when = preparedAt;
    log.msno = sender->msno;
    log.key = sendlog::keyFor(choice(), pickedEmployer(), m_ctx.session.declaration.pickedType);
    sendlog::describeFile(log, file->lineCount, file->employerCount, bytes);

    if (const std::optional<sendlog::Record> earlier = sendlog::lastDelivered(m_ctx.dm, log.key)) {
        if (!platform.askYesNo(sendlog::repeatQuestion(*earlier)))
            return;
        log.repeats = earlier->id;
    }

    const bool upload =
        platform.confirm(QStringLiteral("Eğer İnternetiniz var ise bize bu dosyayı, Internet "
                                        "üzerinden göndere bilirsiniz?")) == Answer::Yes;
    QString path;
    if (upload) {
        path = QDir(workingFolder(m_ctx.dm)).filePath(internetFileName(sender->msno, preparedAt));
    } else {
        platform.showMessage(
            QStringLiteral("Bodro hazırlanıyor lütfen kayıt edilecek USB yerini dösteriniz"));
        log.drive = chosenVolumeRoot();
        path = log.drive + handDeliveryFileName(sender->msno);
    }

    log.route = upload ? sendlog::Route::Internet : sendlog::Route::Hand;
    log.fileName = path;
    // An archive that can only be read still prepares its files; it cannot
    // remember having sent them.
    const qint64 logId = m_ctx.dm.isWritable() ? sendlog::add(m_ctx.dm, log) : 0;
    try {
        writeFileAtomically(path, bytes);
    } catch (const IoError &e) {
        sendlog::setOutcome(m_ctx.dm, logId, sendlog::Failed, e.message());
        platform.showWarning(e.message());
        return;
    }
    m_ctx.session.declaration.lastFileName = path;
    if (upload) {
        m_sendLogId = logId;
        const auto forget = qScopeGuard([this] { m_sendLogId = 0; });
        ftpyollaClick();
        return;
    }
    sendlog::setOutcome(m_ctx.dm, logId, sendlog::Written);
    platform.showMessage(QStringLiteral("Dosya Oluşumu Tamamlanmıştır. Lütfen  ") +
                         QDir::toNativeSeparators(path) +
                         QStringLiteral(" isimli Dosyayı En yakın zamanda dairemize ulaştırın"));
}

void Tyapdosya::ftpyollaClick()
{
    const QString path = m_ctx.session.declaration.lastFileName;
    const qint64 logId = m_sendLogId;
    FtpOutcome outcome;
    try {
        std::unique_ptr<FtpClient> client = m_ctx.platform.makeFtpClient();
        if (!client)
            throw AppError(QStringLiteral("FTP istemcisi oluşturulamadı"));
        // Off this thread, so that the window keeps painting while a slow
        // server takes its time.
        runWithProgress(this, QStringLiteral("Dosya gönderiliyor, lütfen bekleyiniz..."), [&] {
            outcome = client->putFile(path, QStringLiteral("/gelen/") + QFileInfo(path).fileName());
        });
    } catch (const std::exception &e) {
        if (logId > 0)
            sendlog::setOutcome(m_ctx.dm, logId, sendlog::Failed, QString::fromUtf8(e.what()));
        throw;
    }
    const sendlog::UploadVerdict verdict = sendlog::uploadVerdict(outcome);
    if (logId > 0)
        sendlog::setOutcome(m_ctx.dm, logId, verdict.outcome, verdict.note);
    if (verdict.detail.isEmpty())
        m_ctx.platform.showWarning(verdict.message);
    else
        m_ctx.platform.showDetailedWarning(verdict.message, verdict.detail);
}

void Tyapdosya::btngonderilenlerClick()
{
    Tgonderilenler list(m_ctx, this);
    list.exec();
}
