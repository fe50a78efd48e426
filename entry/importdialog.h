// The dry run of an import: every row of the sheet with its verdict, the count
// of ready rows and the totals they would bring, and the choice to bring them
// into the grid ("Aktar") or not ("Vazgeç"). Nothing changes until the caller
// appends what the dialog hands back.
#pragma once

#include "entry/csvimport.h"

#include <optional>
#include <QDialog>

class Platform;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

class ImportDialog : public QDialog
{
    Q_OBJECT
  public:
    ImportDialog(csvimport::Sheet sheet, const QString &fileName, QWidget *parent = nullptr);

    QTableView *aktarliste = nullptr; // one line per row of the sheet
    QLabel *aktarayrinti = nullptr;   // the current row's verdict
    QLabel *aktarozet = nullptr;      // counts and totals
    QCheckBox *hicbirini = nullptr;   // "Hatalı satır varsa hiçbirini aktarma"
    QPushButton *BitBtnAktar = nullptr;
    QPushButton *BitBtnVazgec = nullptr;

    const csvimport::Sheet &sheet() const { return m_sheet; }
    // The typed cells of the rows "Aktar" brings in.
    QList<QStringList> rowsToImport() const;

  private:
    void updateSummary();

    csvimport::Sheet m_sheet;
};

// Reads the file at `path` and runs its dry run. A file that cannot be read
// as a sheet is reported through `platform` and gives nothing. Returns the
// rows to append to the grid (csvimport::appendToGrid) when the user chose
// "Aktar", nothing when the user chose "Vazgeç" or closed the dialog.
std::optional<QList<QStringList>> runImportDialog(QWidget *parent, const QString &path,
                                                  Platform &platform);
