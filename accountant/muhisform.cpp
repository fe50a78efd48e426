// The accountant or employer record screen.
#include "accountant/muhisform.h"

#include "accountant/accountantrecord.h"
#include "app/context.h"
#include "app/firstrun.h"
#include "store/dm.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace
{

template <class W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

Tfrmmuhis::Tfrmmuhis(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmmuhis"));
    setWindowTitle(QStringLiteral("Muhasip veya İşveren Girişi"));
    QFont f = font();
    f.setPixelSize(16);
    setFont(f);
    resize(442, 413);

    alunvan = named(new QLineEdit(this), "alunvan");
    alisim = named(new QLineEdit(this), "alisim");
    almsno = named(new QLineEdit(this), "almsno");
    aladres = named(new QPlainTextEdit(this), "aladres");
    aladres->setTabChangesFocus(true);
    altelno = named(new QLineEdit(this), "altelno");
    alfaxno = named(new QLineEdit(this), "alfaxno");
    almobilno = named(new QLineEdit(this), "almobilno");
    BitBtn1 = named(new QPushButton(QStringLiteral("Kayıt"), this), "BitBtn1");
    BitBtn2 = named(new QPushButton(QStringLiteral("Çıkış"), this), "BitBtn2");
    alsetmuhisv = named(new QCheckBox(QStringLiteral("Dosya Hazırlanırken Bunu Kullan"), this),
                        "alsetmuhisv");

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);
    const QList<std::pair<const char *, QWidget *>> rows = {
        {"Muhasip/İşveren Unvanı:", alunvan},
        {"Muhasip/İşever Adı:", alisim},
        {"Mş. No :", almsno},
        {"Adress:", aladres},
        {"Telefon No:", altelno},
        {"Fax No:", alfaxno},
        {"Mobil No:", almobilno},
    };
    int r = 0;
    for (const auto &[caption, field] : rows) {
        auto *label = new QLabel(QString::fromUtf8(caption), this);
        label->setObjectName(QStringLiteral("Label%1").arg(r + 1));
        label->setBuddy(field);
        grid->addWidget(label, r, 0, field == aladres ? Qt::AlignTop : Qt::AlignVCenter);
        field->setMinimumWidth(120);
        grid->addWidget(field, r, 1);
        ++r;
    }
    grid->addWidget(alsetmuhisv, r++, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    grid->addLayout(buttons, r, 0, 1, 2);
    grid->setRowStretch(3, 1);

    QWidget *order[] = {alunvan, alisim,    almsno,  aladres, altelno,
                        alfaxno, almobilno, BitBtn1, BitBtn2, alsetmuhisv};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    for (QWidget *field : {static_cast<QWidget *>(alunvan), static_cast<QWidget *>(alisim),
                           static_cast<QWidget *>(almsno), static_cast<QWidget *>(aladres),
                           static_cast<QWidget *>(altelno), static_cast<QWidget *>(alfaxno),
                           static_cast<QWidget *>(almobilno)})
        field->installEventFilter(this);

    connect(BitBtn1, &QPushButton::clicked, this,
            [this] { guarded(m_ctx.platform, [this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this,
            [this] { guarded(m_ctx.platform, [this] { BitBtn2Click(); }); });

    // A database that cannot be read still lets the user open the screen and
    // see why.
    guarded(m_ctx.platform, [this] { FormCreate(); });
}

void Tfrmmuhis::showRecord(const AccountantRecord &record)
{
    alunvan->setText(record.unvan);
    alisim->setText(record.isim);
    almsno->setText(record.msno);
    aladres->setPlainText(shownAddress(record.adres));
    altelno->setText(record.telno);
    alfaxno->setText(record.faxno);
    almobilno->setText(record.mobilno);
}

void Tfrmmuhis::emptyFields()
{
    for (QLineEdit *e : {alunvan, alisim, almsno, altelno, alfaxno, almobilno})
        e->clear();
    aladres->clear();
    alsetmuhisv->setChecked(false);
}

void Tfrmmuhis::FormCreate()
{
    if (const auto record = newestAccountant(m_ctx.dm))
        showRecord(*record);
}

void Tfrmmuhis::alunvanExit()
{
    if (const auto record = findAccountantContaining(m_ctx.dm, alunvan->text()))
        showRecord(*record);
}

void Tfrmmuhis::BitBtn1Click()
{
    // Refused before the question whether to update a stored record.
    m_ctx.dm.requireWritable();
    const AccountantRecord record{
        alunvan->text(),   alisim->text(),
        almsno->text(),    storedAddress(aladres->toPlainText()),
        altelno->text(),   alfaxno->text(),
        almobilno->text(), alsetmuhisv->isChecked() ? QStringLiteral("1") : QStringLiteral("0")};
    if (!accountantExists(m_ctx.dm, record.unvan)) {
        insertAccountant(m_ctx.dm, record);
    } else if (m_ctx.platform.confirm(QStringLiteral("Bu Muhasip/Isv Daha önce kayıt yapıldı !.. "
                                                     "Güncellemek istiyormusunuz ?")) ==
               Answer::Yes) {
        updateAccountant(m_ctx.dm, record);
        m_ctx.platform.showWarning(QStringLiteral("Kayıt Güncellendi!"));
    }
    emptyFields();
    writeMarker(m_ctx.platform, QStringLiteral("1"));
}

void Tfrmmuhis::BitBtn2Click()
{
    close();
}

bool Tfrmmuhis::alunvanKeyPress(QObject *field, const QKeyEvent &key)
{
    if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter)
        return false;
    // Ctrl+Enter starts a new line in the address, as in a Windows memo.
    if (field == aladres && key.modifiers().testFlag(Qt::ControlModifier))
        aladres->insertPlainText(QStringLiteral("\n"));
    else
        focusNextChild();
    return true;
}

bool Tfrmmuhis::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress &&
        alunvanKeyPress(watched, *static_cast<QKeyEvent *>(event)))
        return true;
    // Only a move to another control of this screen counts as leaving the
    // title, not a message box or another window taking the focus.
    if (watched == alunvan && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            guarded(m_ctx.platform, [this] { alunvanExit(); });
    }
    return QDialog::eventFilter(watched, event);
}
