// Shared body of the return pick lists.
#include "lists/returnlistdialog.h"

#include "app/context.h"
#include "base/formats.h"
#include "store/dm.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace
{

// Paints every row in its record-number colours, selected or not: only the row
// indicator shows which row is current.
class RecordColourDelegate : public QStyledItemDelegate
{
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    }
};

bool isEnterKey(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

ReturnListDialog::ReturnListDialog(AppContext &ctx, QWidget *parent,
                                   QList<ReturnListColumn> columns)
    : QDialog(parent), m_ctx(ctx)
{
    m_model = new ReturnListModel(std::move(columns), this);

    // The grid comes first, so that it holds the focus when the list opens.
    dbliste = new QTableView(this);
    dbliste->setObjectName(QStringLiteral("dbliste"));
    dbliste->setModel(m_model);
    dbliste->setItemDelegate(new RecordColourDelegate(dbliste));
    dbliste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dbliste->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbliste->setSelectionMode(QAbstractItemView::SingleSelection);
    dbliste->setShowGrid(true);
    dbliste->setWordWrap(false);
    dbliste->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    dbliste->horizontalHeader()->setHighlightSections(false);
    dbliste->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    dbliste->verticalHeader()->setHighlightSections(false);
    dbliste->verticalHeader()->setMinimumWidth(16);
    dbliste->verticalHeader()->setMinimumSectionSize(1);
    dbliste->verticalHeader()->setDefaultSectionSize(dbliste->fontMetrics().height() + 6);
    const QList<ReturnListColumn> &cols = m_model->listColumns();
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].width > 0)
            dbliste->horizontalHeader()->resizeSection(i, cols[i].width);
    connect(dbliste->selectionModel(), &QItemSelectionModel::currentRowChanged, m_model,
            [this](const QModelIndex &current) { m_model->setCurrentRow(current.row()); });
    dbliste->installEventFilter(this);
    dbliste->viewport()->installEventFilter(this);

    auto *hint =
        new QLabel(QStringLiteral("Seçim için iki Tıkla veya Enter'e Basın /  ESC : Çıkış"), this);
    hint->setObjectName(QStringLiteral("hint"));
    hint->setAutoFillBackground(true);
    QPalette pal = hint->palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 255));
    pal.setColor(QPalette::WindowText, Qt::white);
    hint->setPalette(pal);
    QFont bold = hint->font();
    bold.setBold(true);
    hint->setFont(bold);
    hint->setContentsMargins(8, 4, 8, 4);

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(dbliste, 1);
    m_layout->addWidget(hint);

    listele = new QPushButton(QStringLiteral("listele"), this);
    listele->setObjectName(QStringLiteral("listele"));
    listele->setAutoDefault(false);
    listele->hide();
    connect(listele, &QPushButton::clicked, this,
            [this] { guarded(m_ctx.platform, [this] { listeleClick(); }); });

    ALISVERNO = makeHiddenLabel("ALISVERNO");
    ALDEVREILK = makeHiddenLabel("ALDEVREILK");
    ALDEVRESON = makeHiddenLabel("ALDEVRESON");
    VERISVERNO = makeHiddenLabel("VERISVERNO");
    VERDEVREILK = makeHiddenLabel("VERDEVREILK");
    VERDEVRESON = makeHiddenLabel("VERDEVRESON");
    VERBODROTUR = makeHiddenLabel("VERBODROTUR");
    VERBDRDEVMIK = makeHiddenLabel("VERBDRDEVMIK");
}

QLabel *ReturnListDialog::makeHiddenLabel(const char *name)
{
    auto *label = new QLabel(this);
    label->setObjectName(QLatin1String(name));
    label->hide();
    return label;
}

void ReturnListDialog::addStrip(QWidget *strip)
{
    m_layout->insertWidget(1, strip);
}

void ReturnListDialog::showQuery1()
{
    // A reset of the model would put the columns back to the default width.
    QHeaderView *header = dbliste->horizontalHeader();
    QList<int> widths;
    for (int i = 0; i < header->count(); ++i)
        widths << header->sectionSize(i);
    m_model->load(m_ctx.dm.Query1);
    for (int i = 0; i < widths.size() && i < header->count(); ++i)
        header->resizeSection(i, widths[i]);
    if (m_model->rowCount() > 0)
        dbliste->setCurrentIndex(m_model->index(0, 0));
}

void ReturnListDialog::dblisteDblClick()
{
    const int row = dbliste->currentIndex().row();
    VERISVERNO->setText(m_model->field(row, QStringLiteral("YATISVER")));
    VERDEVREILK->setText(m_model->field(row, QStringLiteral("YATDEVREILK")));
    VERDEVRESON->setText(m_model->field(row, QStringLiteral("YATDEVRESON")));
    VERBODROTUR->setText(m_model->field(row, QStringLiteral("YATBODROTUR")));
    VERBDRDEVMIK->setText(m_model->field(row, QStringLiteral("YATBDRDEVMIK")));
    m_ctx.dm.Query1.close();
    accept();
}

void ReturnListDialog::reject()
{
    VERISVERNO->clear();
    const QString today = dateText(m_ctx.platform.today());
    VERDEVREILK->setText(today);
    VERDEVRESON->setText(today);
    if (closesQueryOnCancel())
        m_ctx.dm.Query1.close();
    QDialog::reject();
}

bool ReturnListDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == dbliste && isEnterKey(event)) {
        guarded(m_ctx.platform, [this] { dblisteDblClick(); });
        return true;
    }
    if (watched == dbliste->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        guarded(m_ctx.platform, [this] { dblisteDblClick(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
