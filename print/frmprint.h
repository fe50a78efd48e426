// Tfrmbodrodok, "Bodro Dökümü": the fund's printed return "(Form:S.S.22)".
// Made at start-up and kept for the whole run; a print command sets its
// captions and opens the preview, from which the user prints or saves a PDF.
#pragma once

#include "print/printcommands.h"
#include "print/report.h"

#include <functional>
#include <QList>
#include <QString>
#include <QWidget>

struct AppContext;
class QPagedPaintDevice;

class Tfrmbodrodok : public QWidget
{
    Q_OBJECT
  public:
    explicit Tfrmbodrodok(AppContext &ctx, QWidget *parent = nullptr);

    // Reads the records of ctx.dm.prnquery.
    report::Report bdrdok;

    // Set by the caller before the preview; they keep their values from one
    // print to the next, so a caller sets all of them.
    QString QRLabel31; // registry number
    QString QRLabel6;  // summary line
    QString QRLabel30; // person count
    QString burtoplam; // title totals
    QString primtoplam;
    QString depotoplam;
    QString yattoplam;
    QString QRLabel16; // ASIL box
    QString QRLabel18; // EK box
    void setCaptions(const PrintCaptions &captions);

    // Set during the run.
    QString QRSiraNo;  // line number
    QString QRLabel3;  // premium of the line
    QString QRLabel4;  // deposit of the line
    QString QRLabel5;  // total of the line
    QString QRLabel24; // running totals: gross, premium, deposit, grand
    QString QRLabel25;
    QString QRLabel26;
    QString QRLabel27;

    void QRBand1AfterPrint();
    void QREHesaplamalarPrint();

    // Runs the report and writes it as a PDF file; the file appears only when
    // complete. Throws IoError when it cannot be written.
    void savePdf(const QString &path);

    // Runs the report, then shows the preview modally, zoomed to fit the page.
    // A failing run (a rate that is not a number) throws before anything opens.
    void preview();

    // Asks where the preview's "PDF olarak kaydet" writes; empty = cancelled.
    // A file dialog unless replaced.
    std::function<QString(QWidget *parent)> choosePdfPath;

  private:
    report::Source field(const char *column) const;
    void writePdf(const QString &path, const QList<report::Page> &pages);

    AppContext &m_ctx;
    int m_lineNo = 0;
    RunningTotals m_totals;
};
