// The import's dry-run dialog over a model of the read sheet, so that a sheet
// of thousands of rows opens at once.
#include "entry/importdialog.h"

#include "base/amounttext.h"
#include "base/platform.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace entrygrid;

namespace
{

// Columns: the sheet's row number, the imported grid columns, the row total
// and the verdict.
class SheetModel : public QAbstractTableModel
{
  public:
    SheetModel(const csvimport::Sheet &sheet, QObject *parent)
        : QAbstractTableModel(parent), m_sheet(sheet)
    {
    }

    static int totalColumn() { return int(csvimport::importedColumns().size()) + 1; }
    static int verdictColumn() { return totalColumn() + 1; }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_sheet.rows.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : verdictColumn() + 1;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        if (section == 0)
            return QStringLiteral("Satır");
        if (section == totalColumn())
            return columnTitles()[Toplam];
        if (section == verdictColumn())
            return QStringLiteral("Durum");
        return columnTitles()[gridColumn(section)];
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const csvimport::Row &row = m_sheet.rows[index.row()];
        const int section = index.column();
        switch (role) {
        case Qt::DisplayRole:
            if (section == 0)
                return row.sheetRow;
            if (section == totalColumn())
                return row.ready() ? row.computed[Toplam] : QString();
            if (section == verdictColumn())
                return row.verdict;
            // A ready row shows what the grid will show; a refused one what
            // the sheet holds, so the fault can be found in it.
            return row.ready() ? row.computed[gridColumn(section)] : row.sheet[gridColumn(section)];
        case Qt::ToolTipRole:
            return section == verdictColumn() ? row.verdict : QVariant();
        case Qt::ForegroundRole:
            if (section == verdictColumn() && !row.ready())
                return QBrush(QColor(160, 0, 0));
            return {};
        case Qt::BackgroundRole:
            if (!row.ready() && section > 0 && section < totalColumn() &&
                gridColumn(section) == row.problemColumn)
                return QBrush(QColor(255, 214, 214));
            return {};
        case Qt::TextAlignmentRole:
            if (section == 0 || section == totalColumn() ||
                (section < totalColumn() && gridColumn(section) >= AylikKazanc))
                return int(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        default:
            return {};
        }
    }

  private:
    static int gridColumn(int section) { return csvimport::importedColumns()[section - 1]; }

    const csvimport::Sheet &m_sheet;
};

} // namespace

ImportDialog::ImportDialog(csvimport::Sheet sheet, const QString &fileName, QWidget *parent)
    : QDialog(parent), m_sheet(std::move(sheet))
{
    setObjectName(QStringLiteral("ImportDialog"));
    setWindowTitle(QStringLiteral("İçe Aktar - %1").arg(fileName));

    auto *model = new SheetModel(m_sheet, this);
    aktarliste = new QTableView(this);
    aktarliste->setObjectName(QStringLiteral("aktarliste"));
    aktarliste->setModel(model);
    aktarliste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    aktarliste->setSelectionBehavior(QAbstractItemView::SelectRows);
    aktarliste->setSelectionMode(QAbstractItemView::SingleSelection);
    aktarliste->setWordWrap(false);
    // Nothing in the list is edited, so Tab leaves it for the buttons.
    aktarliste->setTabKeyNavigation(false);
    aktarliste->verticalHeader()->hide();
    aktarliste->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    aktarliste->verticalHeader()->setDefaultSectionSize(aktarliste->fontMetrics().height() + 6);
    // Fixed widths: sizing to the contents would visit every row.
    QHeaderView *header = aktarliste->horizontalHeader();
    header->resizeSection(0, 45);
    const QList<Column> &columns = csvimport::importedColumns();
    for (int i = 0; i < columns.size(); ++i)
        header->resizeSection(i + 1, columnWidths()[columns[i]]);
    header->resizeSection(SheetModel::totalColumn(), columnWidths()[Toplam]);
    header->setStretchLastSection(true);
    header->setMinimumSectionSize(30);

    // The verdict of the current row in full: the list's column is too narrow
    // for the longer ones.
    aktarayrinti = new QLabel(this);
    aktarayrinti->setObjectName(QStringLiteral("aktarayrinti"));
    aktarayrinti->setTextFormat(Qt::PlainText);
    aktarayrinti->setWordWrap(true);
    connect(aktarliste->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                aktarayrinti->setText(current.isValid() ? m_sheet.rows[current.row()].verdict
                                                        : QString());
            });

    aktarozet = new QLabel(this);
    aktarozet->setObjectName(QStringLiteral("aktarozet"));
    aktarozet->setTextFormat(Qt::PlainText);

    hicbirini = new QCheckBox(QStringLiteral("Hatalı satır varsa hiçbirini aktarma"), this);
    hicbirini->setObjectName(QStringLiteral("hicbirini"));

    BitBtnAktar = new QPushButton(QStringLiteral("Aktar"), this);
    BitBtnAktar->setObjectName(QStringLiteral("BitBtnAktar"));
    BitBtnAktar->setDefault(true);
    BitBtnVazgec = new QPushButton(QStringLiteral("Vazgeç"), this);
    BitBtnVazgec->setObjectName(QStringLiteral("BitBtnVazgec"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(hicbirini);
    buttons->addStretch();
    buttons->addWidget(BitBtnAktar);
    buttons->addWidget(BitBtnVazgec);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(aktarliste);
    layout->addWidget(aktarayrinti);
    layout->addWidget(aktarozet);
    layout->addLayout(buttons);
    resize(1300, 620);

    connect(hicbirini, &QCheckBox::toggled, this, &ImportDialog::updateSummary);
    connect(BitBtnAktar, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtnVazgec, &QPushButton::clicked, this, &QDialog::reject);
    updateSummary();

    // Open on the first refused row: that is what the user has to look at.
    const auto refused = std::find_if(m_sheet.rows.cbegin(), m_sheet.rows.cend(),
                                      [](const csvimport::Row &row) { return !row.ready(); });
    const int first = refused == m_sheet.rows.cend() ? 0 : int(refused - m_sheet.rows.cbegin());
    if (!m_sheet.rows.isEmpty())
        aktarliste->setCurrentIndex(model->index(first, 0));
}

QList<QStringList> ImportDialog::rowsToImport() const
{
    const bool refused = m_sheet.readyCount < m_sheet.rows.size();
    if (refused && hicbirini->isChecked())
        return {};
    return m_sheet.readyRows();
}

void ImportDialog::updateSummary()
{
    const int total = int(m_sheet.rows.size());
    const int refused = total - m_sheet.readyCount;
    QStringList lines;
    lines << QStringLiteral("Aktarılmaya hazır satır: %1 / %2    Hatalı satır: %3")
                 .arg(m_sheet.readyCount)
                 .arg(total)
                 .arg(refused);
    lines << QStringLiteral("Hazır satırların Brüt Toplamı: %1    Toplam Yatırım Tutarı: %2")
                 .arg(amount::format(m_sheet.grossTotal), amount::format(m_sheet.grandTotal));
    if (m_sheet.readyCount == 0)
        lines << QStringLiteral("Aktarılabilecek satır yok; dosyadaki hataları düzeltiniz.");
    else if (refused > 0 && hicbirini->isChecked())
        lines << QStringLiteral("Hatalı satırlar düzeltilmeden hiçbir satır aktarılmayacak.");
    else if (refused > 0)
        lines << QStringLiteral("Hatalı satırlar aktarılmayacak; diğerleri tabloya eklenecek.");
    aktarozet->setText(lines.join(u'\n'));
    BitBtnAktar->setEnabled(!rowsToImport().isEmpty());
}

std::optional<QList<QStringList>> runImportDialog(QWidget *parent, const QString &path,
                                                  Platform &platform)
{
    csvimport::Sheet sheet = csvimport::readSheetFile(path);
    if (!sheet.error.isEmpty()) {
        platform.showMessage(sheet.error);
        return std::nullopt;
    }
    ImportDialog dialog(std::move(sheet), QFileInfo(path).fileName(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.rowsToImport();
}
