// The all-returns list with its year search.
#include "lists/bordlistall.h"

#include "app/busycursor.h"
#include "app/context.h"
#include "lists/returnlists.h"
#include "store/dm.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace
{

QList<ReturnListColumn> columns()
{
    return {
        {QStringLiteral("YATISVER"), QStringLiteral("İŞVEREN NO"), 137, true, false},
        {QStringLiteral("ISVISIM"), QStringLiteral("İŞVEREN İSİM"), 167, false, false},
        {QStringLiteral("YATDEVREILK"), QStringLiteral("İLK DÖNEM"), 107, true, false},
        {QStringLiteral("YATDEVRESON"), QStringLiteral("SON DÖNEM"), 111, true, false},
        {QStringLiteral("YATBODROTUR"), QStringLiteral("BODROTÜRÜ"), 73, true, true},
        {QStringLiteral("YATBDRDEVMIK"), QStringLiteral("BDR DEV. MIK."), 0, false, false},
    };
}

} // namespace

Tfrmbordlistall::Tfrmbordlistall(AppContext &ctx, QWidget *parent)
    : ReturnListDialog(ctx, parent, columns())
{
    setObjectName(QStringLiteral("frmbordlistall"));
    setWindowTitle(QStringLiteral("Tüm Listeyi Göster"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    resize(708, 600);

    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("searchStrip"));
    strip->setAutoFillBackground(true);
    QPalette pal = strip->palette();
    pal.setColor(QPalette::Window, Qt::white);
    strip->setPalette(pal);

    auto *yearLabel = new QLabel(QStringLiteral("Arama Yapılacak Yıl"), strip);
    yearLabel->setObjectName(QStringLiteral("Label1"));
    txtArama = new QLineEdit(strip);
    txtArama->setObjectName(QStringLiteral("txtArama"));
    txtArama->setFixedWidth(60);
    txtArama->installEventFilter(this);
    btnAra = new QPushButton(QStringLiteral("Ara"), strip);
    btnAra->setObjectName(QStringLiteral("btnAra"));
    btnAra->setAutoDefault(false);
    connect(btnAra, &QPushButton::clicked, this,
            [this] { guarded(m_ctx.platform, [this] { btnAraClick(); }); });
    auto *allYears = new QLabel(
        QStringLiteral("Tüm Yılları Arama yapmak için Arama yapılacak yılı boş bırakınız."), strip);
    allYears->setObjectName(QStringLiteral("Label2"));
    allYears->setWordWrap(true);

    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(8, 6, 8, 6);
    row->addWidget(yearLabel);
    row->addWidget(txtArama);
    row->addWidget(btnAra);
    row->addSpacing(12);
    row->addWidget(allYears, 1);
    addStrip(strip);
}

void Tfrmbordlistall::listeleClick()
{
    txtArama->setText(QString::number(m_ctx.platform.today().year()));
    btnAraClick();
}

void Tfrmbordlistall::btnAraClick()
{
    const BusyCursor busy;
    model()->clear();
    searchAllReturns(m_ctx.dm.Query1, txtArama->text());
    showQuery1();
}

bool Tfrmbordlistall::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the year box searches, as the "Ara" button does.
    if (watched == txtArama && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            guarded(m_ctx.platform, [this] { btnAraClick(); });
            return true;
        }
    }
    return ReturnListDialog::eventFilter(watched, event);
}
