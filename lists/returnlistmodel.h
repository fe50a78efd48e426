// The grid contents of a return pick list: the rows of the list's query with
// the columns the list shows, each row coloured by its record number.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QList>
#include <QStringList>

class Query;

struct ReturnListColumn {
    QString field;
    QString title;
    int width; // 0: the grid's default width
    bool centredTitle;
    bool centredValues;
};

class ReturnListModel : public QAbstractTableModel
{
    Q_OBJECT
  public:
    explicit ReturnListModel(QList<ReturnListColumn> columns, QObject *parent = nullptr);

    // Takes a copy of the query's rows; the query may be closed afterwards.
    void load(const Query &query);
    void clear();

    const QList<ReturnListColumn> &listColumns() const { return m_columns; }
    // A field of a row by column name; "" when the row or the field is absent.
    QString field(int row, const QString &name) const;
    // The row that the row indicator marks; -1 for none.
    void setCurrentRow(int row);

    // Colours of the 1-based record number: odd rows pure blue with silver
    // text, even rows sky blue with black text.
    static QColor background(int recNo);
    static QColor foreground(int recNo);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QList<ReturnListColumn> m_columns;
    QHash<QString, int> m_fieldIndex; // upper-case query column -> position in a row
    QList<QStringList> m_rows;
    int m_currentRow = -1;
};
