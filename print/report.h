// A small banded-report layer on QPainter, in millimetres: title, column
// header, detail and page footer bands with captions, memos, rules and frames,
// captions placed on every page, page numbers and two hooks. It knows nothing
// of any particular form; a form fills its bands and supplies the records.
#pragma once

#include <functional>
#include <QList>
#include <QString>

class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;

namespace report
{

constexpr double A4Width = 210.0;
constexpr double A4Height = 297.0;
// Pen widths count in pixels of a 96-dpi screen, the unit the form designers
// measured them in.
constexpr double PenUnitMm = 25.4 / 96.0;

struct Font {
    double points = 10.0;
    bool bold = false;
};

enum class Align {
    Left,   // x is the left edge
    Right,  // x is the right edge
    Centre, // x is the centre
    Boxed,  // x is the left edge of a framed box `width` wide; text centred in it
};

using Source = std::function<QString()>;

// A caption or memo. Lines break at "\n". A left-aligned text with a `width`
// keeps to a room of that width: with a `height` its words wrap, without one
// it stays one line; the font shrinks (down to MinFitPoints) until the lines
// fit, and what still does not fit is squeezed into the room.
struct Text {
    const char *name;
    Source text;
    Align align;
    double x;
    double top;
    Font font;
    double width = 0;
    double height = 0;
};

constexpr double MinFitPoints = 6.0;

// A line across the band's full width.
struct Rule {
    double top;
    int pen;
};

// An empty framed rectangle.
struct Box {
    double left;
    double top;
    double width;
    double height;
    int pen = 1;
};

struct Band {
    double height = 0;
    bool framed = false;
    QList<Text> texts;
    QList<Rule> rules;
    QList<Box> boxes;
};

// One page as the run left it: every text already evaluated, geometry in mm
// from the paper's top-left corner. Texts point into the report's bands.
struct PlacedText {
    const Text *element;
    QString value;
    double originX;
    double originY;
};

struct PlacedLine {
    double x1, y1, x2, y2;
    int pen;
};

struct PlacedRect {
    double left, top, width, height;
    int pen;
};

struct Page {
    QList<PlacedText> texts;
    QList<PlacedLine> lines;
    QList<PlacedRect> rects;
};

struct Margins {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

class Report
{
  public:
    QString fontFamily = QStringLiteral("Arial");
    Margins margins;

    Band title;            // once, at the top of the first page
    Band columnHeader;     // every page, below the title on the first
    Band detail;           // once per record
    Band pageFooter;       // at the bottom of every page, the last included
    QList<Text> pageTexts; // from the paper's corner, on every page

    // The records: how many, and a way to make record `index` (from 0) current.
    std::function<int()> recordCount;
    std::function<void(int)> moveTo;

    std::function<void()> afterTitle;   // after the title band is placed
    std::function<void()> beforeDetail; // before each detail line is placed

    // The page being laid out, from 1; valid while sources are evaluated.
    int pageNumber() const { return m_page; }

    double printableWidth() const { return A4Width - margins.left - margins.right; }
    double printableHeight() const { return A4Height - margins.top - margins.bottom; }
    int detailLinesOnFirstPage() const;
    int detailLinesPerPage() const;

    // Runs the records through the bands: evaluates every text, calls the hooks
    // and breaks pages. Exceptions from sources and hooks pass through.
    QList<Page> layout();

    // Paints pages on a device whose origin is the paper's top-left corner.
    void paint(QPagedPaintDevice &device, const QList<Page> &pages) const;

    // A4 portrait with the origin at the paper's corner.
    static void setUpPrinter(QPrinter &printer);
    static void setUpPdfWriter(QPdfWriter &writer);

  private:
    int linesBetween(double top) const;

    int m_page = 0;
};

} // namespace report
