// Grid model of the return pick lists.
#include "lists/returnlistmodel.h"

#include "store/dm.h"

ReturnListModel::ReturnListModel(QList<ReturnListColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns))
{
}

void ReturnListModel::load(const Query &query)
{
    beginResetModel();
    m_fieldIndex.clear();
    for (int i = 0; i < query.columns().size(); ++i)
        m_fieldIndex.insert(query.columns()[i].toUpper(), i);
    m_rows = query.rows();
    m_currentRow = -1;
    endResetModel();
}

void ReturnListModel::clear()
{
    beginResetModel();
    m_fieldIndex.clear();
    m_rows.clear();
    m_currentRow = -1;
    endResetModel();
}

QString ReturnListModel::field(int row, const QString &name) const
{
    if (row < 0 || row >= m_rows.size())
        return QString();
    const auto it = m_fieldIndex.constFind(name.toUpper());
    if (it == m_fieldIndex.cend() || *it >= m_rows[row].size())
        return QString();
    return m_rows[row][*it];
}

void ReturnListModel::setCurrentRow(int row)
{
    if (row == m_currentRow)
        return;
    const int old = m_currentRow;
    m_currentRow = row;
    if (old >= 0 && old < m_rows.size())
        emit headerDataChanged(Qt::Vertical, old, old);
    if (row >= 0 && row < m_rows.size())
        emit headerDataChanged(Qt::Vertical, row, row);
}

QColor ReturnListModel::background(int recNo)
{
    return recNo % 2 == 1 ? QColor(0, 0, 255) : QColor(166, 202, 240);
}

QColor ReturnListModel::foreground(int recNo)
{
    return recNo % 2 == 1 ? QColor(192, 192, 192) : QColor(0, 0, 0);
}

int ReturnListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ReturnListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant ReturnListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= m_columns.size())
        return QVariant();
    const int recNo = index.row() + 1;
    const ReturnListColumn &column = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return field(index.row(), column.field);
    case Qt::BackgroundRole:
        return background(recNo);
    case Qt::ForegroundRole:
        return foreground(recNo);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(
            (column.centredValues ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter));
    default:
        return QVariant();
    }
}

QVariant ReturnListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        // The row indicator: a mark on the current row only, no numbers.
        if (role == Qt::DisplayRole)
            return section == m_currentRow ? QStringLiteral("▶") : QString();
        return QVariant();
    }
    if (section < 0 || section >= m_columns.size())
        return QVariant();
    const ReturnListColumn &column = m_columns[section];
    if (role == Qt::DisplayRole)
        return column.title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(
            (column.centredTitle ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter));
    return QVariant();
}
