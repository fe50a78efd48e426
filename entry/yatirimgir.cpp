// The entry screen's widgets: layout, the opening, and the focus and key
// handling of the header. The grid and the commands that start over, discard
// rows, delete a row and leave are in yatirimgir_grid.cpp. Rules come from the
// plain functions in headerrules, gridrules and arithmetic.
#include "entry/yatirimgir.h"

#include "app/context.h"
#include "app/help.h"
#include "base/amounttext.h"
#include "base/errors.h"
#include "base/formats.h"
#include "controls/moneyedit.h"
#include "entry/headerrules.h"
#include "entry/lookups.h"
#include "entry/returnstore.h"
#include "store/dm.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

using namespace entrygrid;
using entryheader::RegistryPart;

namespace
{

constexpr int TextLimit = 45; // address and employer name

// Keeps a multi-line field within its limit and on one line: pasted line
// breaks become blanks.
void limitText(QPlainTextEdit *edit)
{
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit] {
        const QString text = edit->toPlainText();
        QString fixed = text;
        fixed.replace(u'\n', u' ');
        fixed.truncate(TextLimit);
        if (fixed == text)
            return;
        const int pos = std::min(edit->textCursor().position(), int(fixed.size()));
        edit->setPlainText(fixed);
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(pos);
        edit->setTextCursor(cursor);
    });
}

QLabel *twoLineCaption(const QString &first, const QString &second, QWidget *parent)
{
    auto *label = new QLabel(first + u'\n' + second, parent);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    return label;
}

} // namespace

TForm1::TForm1(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Aylık Yatırım Girişi"));
    buildLayout();
    wireHandlers();
    installKeyHandling();
    guarded(m_ctx.platform, [this] { FormCreate(); });
}

void TForm1::buildLayout()
{
    auto named = [](QWidget *w, const char *name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };

    // Header.
    auto *header = new QGroupBox(QStringLiteral("Genel Yatırım Bilgileri"), this);
    ALKAZA = static_cast<QLineEdit *>(named(new QLineEdit(header), "ALKAZA"));
    ALKAZA->setMaxLength(2);
    ALKAZA->setFixedWidth(34);
    ALFIHRIST = static_cast<QLineEdit *>(named(new QLineEdit(header), "ALFIHRIST"));
    ALFIHRIST->setMaxLength(4);
    ALFIHRIST->setFixedWidth(52);
    ALSIRANO = static_cast<QLineEdit *>(named(new QLineEdit(header), "ALSIRANO"));
    ALSIRANO->setMaxLength(6);
    ALSIRANO->setFixedWidth(70);
    for (QDateEdit **picker : {&DEVREILK, &DEVRESON}) {
        *picker = new QDateEdit(header);
        (*picker)->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        (*picker)->setCalendarPopup(true);
        (*picker)->setFixedWidth(110);
    }
    DEVREILK->setObjectName(QStringLiteral("DEVREILK"));
    DEVRESON->setObjectName(QStringLiteral("DEVRESON"));
    ALADRES = static_cast<QPlainTextEdit *>(named(new QPlainTextEdit(header), "ALADRES"));
    alisvadi = static_cast<QPlainTextEdit *>(named(new QPlainTextEdit(header), "alisvadi"));
    for (QPlainTextEdit *edit : {ALADRES, alisvadi}) {
        edit->setTabChangesFocus(true);
        edit->setFixedSize(330, 46);
        limitText(edit);
    }
    ALTELNO = static_cast<QLineEdit *>(named(new QLineEdit(header), "ALTELNO"));
    ALTELNO->setMaxLength(12);
    ALTELNO->setFixedWidth(110);
    ALBODTUR1 = static_cast<QRadioButton *>(
        named(new QRadioButton(QStringLiteral("ASIL"), header), "ALBODTUR1"));
    ALBODTUR2 = static_cast<QRadioButton *>(
        named(new QRadioButton(QStringLiteral("EK"), header), "ALBODTUR2"));
    // Neither type is ticked on a fresh screen, so the pair is kept exclusive
    // by hand: Qt's own exclusivity cannot untick both.
    for (QRadioButton *radio : {ALBODTUR1, ALBODTUR2}) {
        radio->setAutoExclusive(false);
        QRadioButton *other = radio == ALBODTUR1 ? ALBODTUR2 : ALBODTUR1;
        connect(radio, &QRadioButton::toggled, this, [other](bool on) {
            if (on)
                other->setChecked(false);
        });
        connect(radio, &QRadioButton::clicked, this, [radio](bool on) {
            if (!on)
                radio->setChecked(true);
        });
    }
    yatgonder = static_cast<QCheckBox *>(
        named(new QCheckBox(QStringLiteral("Kaydı Gönder"), header), "yatgonder"));

    BitBtnBul = static_cast<QPushButton *>(
        named(new QPushButton(QStringLiteral("Bul"), header), "BitBtnBul"));
    BitBtnBul->setFocusPolicy(Qt::ClickFocus);
    bitlist = static_cast<QPushButton *>(
        named(new QPushButton(QStringLiteral("list"), header), "bitlist"));
    btnayilksonyap = static_cast<QPushButton *>(named(new QPushButton(header), "btnayilksonyap"));
    yazmiktar = static_cast<TMoneyEdit *>(named(new TMoneyEdit(header), "yazmiktar"));
    for (QWidget *hidden : {static_cast<QWidget *>(bitlist), static_cast<QWidget *>(btnayilksonyap),
                            static_cast<QWidget *>(yazmiktar)})
        hidden->hide();

    auto dash = [header] { return new QLabel(QStringLiteral("-"), header); };
    auto *regRow = new QHBoxLayout;
    regRow->addWidget(ALKAZA);
    regRow->addWidget(dash());
    regRow->addWidget(ALFIHRIST);
    regRow->addWidget(dash());
    regRow->addWidget(ALSIRANO);
    regRow->addStretch();
    auto *periodRow = new QHBoxLayout;
    periodRow->addWidget(DEVREILK);
    periodRow->addWidget(dash());
    periodRow->addWidget(DEVRESON);
    periodRow->addSpacing(16);
    periodRow->addWidget(BitBtnBul);
    periodRow->addStretch();
    auto *typeRow = new QHBoxLayout;
    typeRow->addWidget(ALBODTUR1);
    typeRow->addWidget(ALBODTUR2);
    typeRow->addSpacing(24);
    typeRow->addWidget(yatgonder);
    typeRow->addStretch();

    auto *nameLabel = new QLabel(QStringLiteral("Adı Soyadı:\n(Şirket ise Kayıtlı İsim)"), header);
    auto *grid = new QGridLayout(header);
    grid->addWidget(new QLabel(QStringLiteral("Sicil No:"), header), 0, 0);
    grid->addLayout(regRow, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Ait Olduğu Devre:"), header), 0, 2);
    grid->addLayout(periodRow, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("İşyeri Adresi:"), header), 1, 0);
    grid->addWidget(ALADRES, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Telefon No:"), header), 1, 2);
    grid->addWidget(ALTELNO, 1, 3, Qt::AlignLeft);
    grid->addWidget(nameLabel, 2, 0);
    grid->addWidget(alisvadi, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Bodro Türü:"), header), 2, 2);
    grid->addLayout(typeRow, 2, 3);
    grid->setColumnStretch(4, 1);
    grid->setHorizontalSpacing(10);

    // Totals.
    auto *totals = new QGroupBox(QStringLiteral("Hesaplama Sabitleri"), this);
    auto *totalsRow = new QHBoxLayout(totals);
    struct TotalField {
        TMoneyEdit **field;
        const char *name;
        QString first;
        QString second;
    };
    const TotalField totalFields[] = {
        {&topbrut, "topbrut", QString(), QStringLiteral("Brüt Toplam")},
        {&topprim, "topprim", QStringLiteral("Çalışanın Katkısı"), QStringLiteral("Prim Tutarı")},
        {&topdepo, "topdepo", QStringLiteral("İşverenin Katkısı"),
         QStringLiteral("Depozit Tutarı")},
        {&TOPPD, "TOPPD", QStringLiteral("Toplam"), QStringLiteral("Yatırım Tutarı")},
    };
    for (const TotalField &t : totalFields) {
        *t.field = static_cast<TMoneyEdit *>(named(new TMoneyEdit(totals), t.name));
        (*t.field)->setEnabled(false);
        (*t.field)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        (*t.field)->setFixedWidth(160);
        auto *column = new QVBoxLayout;
        column->addWidget(t.first.isEmpty() ? new QLabel(t.second, totals)
                                            : twoLineCaption(t.first, t.second, totals),
                          0, Qt::AlignHCenter | Qt::AlignBottom);
        column->addWidget(*t.field);
        totalsRow->addLayout(column);
        totalsRow->addSpacing(12);
    }
    totalsRow->addStretch();

    // Grid.
    alyatgir = static_cast<QTableWidget *>(named(new QTableWidget(this), "alyatgir"));
    alyatgir->setColumnCount(ColumnCount);
    alyatgir->setHorizontalHeaderLabels(columnTitles());
    alyatgir->verticalHeader()->hide();
    alyatgir->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    alyatgir->horizontalHeader()->setHighlightSections(false);
    // Titles and a 12-digit number have to fit the fixed column widths.
    QFont small(QStringLiteral("Liberation Sans"));
    small.setPointSize(8);
    alyatgir->setFont(small);
    alyatgir->horizontalHeader()->setFont(small);
    alyatgir->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { padding: 0px 1px; }"));
    alyatgir->setEditTriggers(QAbstractItemView::NoEditTriggers);
    alyatgir->setSelectionMode(QAbstractItemView::ContiguousSelection);
    alyatgir->setTabKeyNavigation(false);
    m_cellEdit = new QLineEdit(alyatgir->viewport());
    m_cellEdit->setObjectName(QStringLiteral("alyatgirEditor"));
    m_cellEdit->setFrame(false);
    // The editor marks the current cell.
    m_cellEdit->setStyleSheet(QStringLiteral("QLineEdit { background: #fff8c8; }"));
    m_cellEdit->installEventFilter(this);
    alyatgir->viewport()->installEventFilter(this);
    alyatgir->setFocusProxy(m_cellEdit);
    connect(m_cellEdit, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (QTableWidgetItem *item = alyatgir->currentItem())
            item->setText(text);
    });
    connect(alyatgir, &QTableWidget::currentCellChanged, this, &TForm1::loadCellEditor);
    // A rule that rewrites the current cell shows in the editor at once.
    connect(alyatgir, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (item == alyatgir->currentItem() && item->text() != m_cellEdit->text())
            loadCellEditor();
    });
    for (QScrollBar *bar : {alyatgir->horizontalScrollBar(), alyatgir->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, &TForm1::placeCellEditor);
    connect(alyatgir->horizontalHeader(), &QHeaderView::sectionResized, this,
            &TForm1::placeCellEditor);
    // Every cell has an item, however its row came to be added, so that
    // item(row, col) can always be written to.
    connect(alyatgir->model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) {
                for (int r = first; r <= last; ++r) {
                    for (int c = 0; c < ColumnCount; ++c) {
                        if (alyatgir->item(r, c))
                            continue;
                        auto *item = new QTableWidgetItem;
                        if (r == 0)
                            item->setFlags(Qt::ItemIsEnabled);
                        alyatgir->setItem(r, c, item);
                    }
                }
                if (first == 0)
                    alyatgir->setRowHidden(0, true);
            });

    // Buttons, left to right.
    auto *buttons = new QHBoxLayout;
    auto button = [this, buttons](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        buttons->addWidget(b);
        return b;
    };
    BitTumSubeYazdir = button(QStringLiteral("Tüm Şube Yazdır"), "BitTumSubeYazdir");
    kayitbtn = button(QStringLiteral("Kayıt"), "kayitbtn");
    BitBtnIptal = button(QStringLiteral("İptal"), "BitBtnIptal");
    BitBtnSatirSil = button(QStringLiteral("Satırı Sil"), "BitBtnSatirSil");
    guncelle = button(QStringLiteral("Güncelle"), "guncelle");
    yeniac = button(QStringLiteral("Yeni Aç"), "yeniac");
    BitBtnYazdir = button(QStringLiteral("Yazdır"), "BitBtnYazdir");
    BitBtnCikis = button(QStringLiteral("Çıkış"), "BitBtnCikis");
    devkayit = button(QStringLiteral("iki Devreli kayıt"), "devkayit");
    devkayit->hide();
    buttons->addStretch();
    // Beyond the return's own commands: reached with the mouse, so the Tab
    // order of the screen stays as it was.
    BitBtnIceAktar = button(QStringLiteral("İçe Aktar"), "BitBtnIceAktar");
    BitBtnIceAktar->setFocusPolicy(Qt::ClickFocus);

    auto *legend = new QLabel(QStringLiteral("F1 : Yardım / F3 : Ekranı Temizle  /  F4 : Hesap "
                                             "Makinesi / F10: Tüm Bodro Listesi / ESC : Çıkış"),
                              this);
    legend->setObjectName(QStringLiteral("Label13"));
    legend->setAutoFillBackground(true);
    QPalette pal = legend->palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 160));
    pal.setColor(QPalette::WindowText, Qt::white);
    legend->setPalette(pal);
    QFont bold = legend->font();
    bold.setBold(true);
    legend->setFont(bold);
    legend->setContentsMargins(8, 4, 8, 4);

    auto *page = new QVBoxLayout(this);
    page->addWidget(header);
    page->addWidget(totals);
    page->addWidget(alyatgir, 1);
    page->addLayout(buttons);
    page->addWidget(legend);

    QWidget *order[] = {ALKAZA,      ALFIHRIST, ALSIRANO,     DEVREILK,  DEVRESON,
                        ALADRES,     ALTELNO,   alisvadi,     ALBODTUR1, ALBODTUR2,
                        yatgonder,   alyatgir,  BitBtnCikis,  kayitbtn,  BitBtnSatirSil,
                        BitBtnIptal, yeniac,    BitBtnYazdir, guncelle,  BitTumSubeYazdir};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    resize(1280, 720);
}

void TForm1::wireHandlers()
{
    auto wire = [this](QPushButton *b, void (TForm1::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] {
            guarded(m_ctx.platform, [this, handler] { (this->*handler)(); });
        });
    };
    wire(BitBtnBul, &TForm1::BitBtnBulClick);
    wire(bitlist, &TForm1::bitlistClick);
    wire(btnayilksonyap, &TForm1::btnayilksonyapClick);
    wire(devkayit, &TForm1::devkayitClick);
    wire(BitTumSubeYazdir, &TForm1::BitTumSubeYazdirClick);
    wire(kayitbtn, &TForm1::kayitbtnClick);
    wire(BitBtnIptal, &TForm1::BitBtnIptalClick);
    wire(BitBtnSatirSil, &TForm1::BitBtnSatirSilClick);
    wire(guncelle, &TForm1::guncelleClick);
    wire(yeniac, &TForm1::yeniacClick);
    wire(BitBtnYazdir, &TForm1::BitBtnYazdirClick);
    wire(BitBtnCikis, &TForm1::BitBtnCikisClick);
    wire(BitBtnIceAktar, &TForm1::BitBtnIceAktarClick);
}

void TForm1::installKeyHandling()
{
    m_exitFields = {ALKAZA, ALFIHRIST, ALSIRANO, DEVREILK};
    const QList<QWidget *> watched = {
        ALKAZA,         ALFIHRIST,   ALSIRANO,  ALTELNO,      ALADRES,   alisvadi,    DEVREILK,
        DEVRESON,       ALBODTUR1,   ALBODTUR2, yatgonder,    BitBtnBul, BitBtnCikis, kayitbtn,
        BitBtnSatirSil, BitBtnIptal, yeniac,    BitBtnYazdir, guncelle};
    for (QWidget *w : watched)
        w->installEventFilter(this);
}

// ---------------------------------------------------------------- opening

void TForm1::FormCreate()
{
    // The number and date texts have one fixed form throughout the program
    // (amount text "1,234.56", dates "dd.mm.yyyy"), so the opening has no
    // process-wide formats to set.
    EntryState &state = m_ctx.session.entry;
    resetGrid(); // also ends any loaded return
    setHeaderToOpening();
    setTotalsToZero();
    state.rowCounter = 1;
    state.seqNo = QStringLiteral("1");
    state.monthEndWork = entryheader::openingWorkText(DEVREILK->date());
    btnayilksonyapClick();

    // Separator probe: the grouping character of the amount text.
    yazmiktar->setTextAsFloat(Decimal(1000));
    const QString probe = yazmiktar->text();
    state.groupChar = probe.size() > 1 && probe[1] == u'.' ? QLatin1Char('.') : QLatin1Char(',');

    returnstore::emptyStaging(m_ctx.dm);
}

void TForm1::setHeaderToOpening()
{
    ALKAZA->setText(QStringLiteral("00"));
    ALFIHRIST->setText(QStringLiteral("0000"));
    ALSIRANO->setText(QStringLiteral("000000"));
    alisvadi->clear();
    ALADRES->clear();
    ALTELNO->clear();
    const QDate today = m_ctx.platform.today();
    DEVREILK->setDate(today);
    DEVRESON->setDate(today);
    ALBODTUR1->setChecked(false);
    ALBODTUR2->setChecked(false);
    yatgonder->setChecked(true);
}

void TForm1::setTotalsToZero()
{
    for (TMoneyEdit *t : {topbrut, topprim, topdepo, TOPPD})
        t->setTextAsFloat(Decimal());
}

// ---------------------------------------------------------------- header

QString TForm1::registryNumber() const
{
    return ALKAZA->text() + ALFIHRIST->text() + ALSIRANO->text();
}

QString TForm1::periodStartText() const
{
    return dateText(DEVREILK->date());
}

QString TForm1::periodEndText() const
{
    return dateText(DEVRESON->date());
}

void TForm1::focusBack(QWidget *field)
{
    m_movingFocus = true;
    field->setFocus(Qt::OtherFocusReason);
    m_movingFocus = false;
}

entryheader::PartExit TForm1::leavePart(QLineEdit *field, RegistryPart part)
{
    const entryheader::PartExit out = entryheader::leaveRegistryPart(part, field->text());
    for (const QString &message : out.messages)
        m_ctx.platform.showMessage(message);
    if (field->text() != out.text)
        field->setText(out.text);
    if (out.focusBack)
        focusBack(field);
    if (!out.conversionError.isEmpty())
        throw ConversionError(out.conversionError);
    return out;
}

void TForm1::ALKAZAExit()
{
    leavePart(ALKAZA, RegistryPart::District);
}

void TForm1::ALFIHRISTExit()
{
    leavePart(ALFIHRIST, RegistryPart::Index);
}

void TForm1::ALSIRANOExit()
{
    if (leavePart(ALSIRANO, RegistryPart::Sequence).lookUp)
        lookUpEmployer();
}

void TForm1::lookUpEmployer()
{
    m_ctx.session.entry.employerNo = registryNumber();
    const auto found = entrylookup::employerDetails(m_ctx.dm, m_ctx.session.entry.employerNo);
    if (!found)
        return;
    ALADRES->setPlainText(found->address);
    ALTELNO->setText(found->phone);
    alisvadi->setPlainText(found->name);
}

void TForm1::DEVREILKExit()
{
    m_ctx.session.entry.monthEndWork = dateText(DEVREILK->date());
    btnayilksonyapClick();
}

void TForm1::btnayilksonyapClick()
{
    const entryheader::Period period = entryheader::monthEndRule(m_ctx.session.entry.monthEndWork);
    DEVREILK->setDate(period.start);
    DEVRESON->setDate(period.end);
}

void TForm1::ALKAZAKeyDown(int key)
{
    switch (key) {
    case Qt::Key_F3:
        yeniac->click();
        break;
    case Qt::Key_F1:
        help::open(m_ctx.platform, m_ctx.dm.dataDir(), QStringLiteral("giris.html"));
        break;
    case Qt::Key_F4:
        m_ctx.platform.startCalculator();
        break;
    case Qt::Key_F10:
        F10Pick();
        break;
    default:
        break;
    }
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_cellEdit) {
        if (event->type() == QEvent::KeyPress)
            return gridEditorKey(static_cast<QKeyEvent *>(event));
        return false;
    }
    if (watched == alyatgir->viewport()) {
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonDblClick)
            return gridMousePress(static_cast<QMouseEvent *>(event));
        return false;
    }

    auto *widget = static_cast<QWidget *>(watched);
    // The number fields come full of zeros: whatever way the focus arrives
    // (but a click that places the caret), their text is selected, so that
    // typing replaces it.
    if (event->type() == QEvent::FocusIn &&
        static_cast<QFocusEvent *>(event)->reason() != Qt::MouseFocusReason) {
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            QTimer::singleShot(0, edit, [edit] {
                if (edit->hasFocus())
                    edit->selectAll();
            });
    }
    if (event->type() == QEvent::FocusOut && m_exitFields.contains(widget)) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (m_movingFocus || m_closing || reason == Qt::ActiveWindowFocusReason ||
            reason == Qt::PopupFocusReason)
            return false;
        // The exit runs once the focus has arrived where it was going, so that
        // putting it back is an ordinary focus change.
        void (TForm1::*exit)() = widget == ALKAZA      ? &TForm1::ALKAZAExit
                                 : widget == ALFIHRIST ? &TForm1::ALFIHRISTExit
                                 : widget == ALSIRANO  ? &TForm1::ALSIRANOExit
                                                       : &TForm1::DEVREILKExit;
        QTimer::singleShot(0, this, [this, exit] {
            if (!m_closing)
                guarded(m_ctx.platform, [this, exit] { (this->*exit)(); });
        });
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;

    const auto *keyEvent = static_cast<QKeyEvent *>(event);
    const int key = keyEvent->key();
    const bool fKeys = widget != ALBODTUR1 && widget != ALBODTUR2 && widget != yatgonder;
    if (fKeys &&
        (key == Qt::Key_F1 || key == Qt::Key_F3 || key == Qt::Key_F4 || key == Qt::Key_F10)) {
        guarded(m_ctx.platform, [this, key] { ALKAZAKeyDown(key); });
        return true;
    }
    // A date picker's own Tab walks its day, month and year; here Tab leaves
    // the picker like every other field.
    if ((widget == DEVREILK || widget == DEVRESON) &&
        (key == Qt::Key_Tab || key == Qt::Key_Backtab)) {
        focusNextPrevChild(key == Qt::Key_Tab);
        return true;
    }
    if (widget == yatgonder &&
        (key == Qt::Key_Tab || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        enterGridFromHeader();
        return true;
    }
    const bool isButton = qobject_cast<QPushButton *>(widget) != nullptr;
    if (!isButton && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        focusNextChild();
        return true;
    }
    const bool escCloses = widget != DEVREILK && widget != DEVRESON && widget != yatgonder;
    if (!isButton && escCloses && key == Qt::Key_Escape) {
        m_closing = true;
        reject();
        return true;
    }
    return false;
}

void TForm1::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        focusNextChild();
        return;
    case Qt::Key_Escape:
        // ESC closes the screen only from the header fields.
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
