// The list of prepared declaration files.
#include "declaration/gonderilenler.h"

#include "app/context.h"
#include "declaration/sendlog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

struct Column {
    const char *title;
    int width;
};
const Column Columns[] = {
    {"Tarih Saat", 120}, {"Devre", 150}, {"Bodro Türü", 130}, {"Yol", 110},
    {"Satır", 50},       {"Sonuç", 80},  {"Dosya", 260},      {"Açıklama", 260},
};

QStringList cells(const sendlog::Record &r)
{
    QString note = r.note;
    if (r.repeats > 0) {
        const QString repeat = QStringLiteral("%1 tarihli gönderimin tekrarı")
                                   .arg(r.repeatsWhen.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
        note = note.isEmpty() ? repeat : repeat + QStringLiteral("; ") + note;
    }
    return {r.when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
            r.key.periodStart + QStringLiteral(" - ") + r.key.periodEnd,
            sendlog::kindText(r.key),
            sendlog::routeText(r),
            QString::number(r.lineCount),
            r.outcome,
            r.fileName,
            note};
}

} // namespace

Tgonderilenler::Tgonderilenler(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("gonderilenler"));
    setWindowTitle(QStringLiteral("Gönderilenler"));
    resize(960, 480);

    auto *yearLabel = new QLabel(QStringLiteral("Arama Yapılacak Yıl"), this);
    txtArama = new QLineEdit(this);
    txtArama->setObjectName(QStringLiteral("txtArama"));
    txtArama->setFixedWidth(60);
    btnAra = new QPushButton(QStringLiteral("Ara"), this);
    btnAra->setObjectName(QStringLiteral("btnAra"));
    btnAra->setAutoDefault(false);
    auto *allYears = new QLabel(
        QStringLiteral("Tüm Yılları Arama yapmak için Arama yapılacak yılı boş bırakınız."), this);

    gonderimgrid = new QTableWidget(this);
    gonderimgrid->setObjectName(QStringLiteral("gonderimgrid"));
    gonderimgrid->setColumnCount(int(std::size(Columns)));
    QStringList titles;
    for (int c = 0; c < int(std::size(Columns)); ++c) {
        titles << QString::fromUtf8(Columns[c].title);
        gonderimgrid->setColumnWidth(c, Columns[c].width);
    }
    gonderimgrid->setHorizontalHeaderLabels(titles);
    gonderimgrid->verticalHeader()->hide();
    gonderimgrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gonderimgrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    gonderimgrid->horizontalHeader()->setStretchLastSection(true);

    auto *search = new QHBoxLayout;
    search->addWidget(yearLabel);
    search->addWidget(txtArama);
    search->addWidget(btnAra);
    search->addSpacing(12);
    search->addWidget(allYears, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(gonderimgrid, 1);
    layout->addLayout(search);

    const auto runSearch = [this] { guarded(m_ctx.platform, [this] { btnAraClick(); }); };
    connect(btnAra, &QPushButton::clicked, this, runSearch);
    connect(txtArama, &QLineEdit::returnPressed, this, runSearch);

    txtArama->setText(QString::number(m_ctx.platform.today().year()));
    btnAraClick();
}

void Tgonderilenler::btnAraClick()
{
    const QList<sendlog::Record> sends = sendlog::sendsOfYear(m_ctx.dm, txtArama->text());
    gonderimgrid->clearContents();
    gonderimgrid->setRowCount(int(sends.size()));
    for (int r = 0; r < sends.size(); ++r) {
        const QStringList row = cells(sends[r]);
        for (int c = 0; c < row.size(); ++c)
            gonderimgrid->setItem(r, c, new QTableWidgetItem(row[c]));
        gonderimgrid->item(r, 4)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
}
