// Layout and painting of banded reports.
#include "print/report.h"

#include <cmath>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace report
{

namespace
{

// Band heights are given to a tenth of a millimetre; this keeps a line that
// fits exactly from being pushed to the next page by rounding.
constexpr double Epsilon = 1e-6;

void placeBand(Page &page, const Band &band, double left, double top, double width)
{
    for (const Text &t : band.texts)
        page.texts.append({&t, t.text ? t.text() : QString(), left, top});
    for (const Rule &r : band.rules)
        page.lines.append({left, top + r.top, left + width, top + r.top, r.pen});
    for (const Box &b : band.boxes)
        page.rects.append({left + b.left, top + b.top, b.width, b.height, b.pen});
    if (band.framed)
        page.rects.append({left, top, width, band.height, 1});
}

// Stored memos may carry Windows line ends.
QStringList linesOf(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.split(QLatin1Char('\n'));
}

class Painter
{
  public:
    Painter(QPagedPaintDevice &device, const QString &family)
        : m_device(device), m_family(family), m_unit(device.logicalDpiX() / 25.4)
    {
    }

    QFont font(double points, bool bold) const
    {
        QFont f(m_family);
        f.setPointSizeF(points);
        f.setBold(bold);
        f.setHintingPreference(QFont::PreferNoHinting);
        return f;
    }

    void text(QPainter &p, const PlacedText &placed) const;
    void line(QPainter &p, const PlacedLine &l) const
    {
        p.setPen(pen(l.pen));
        p.drawLine(QPointF(l.x1 * m_unit, l.y1 * m_unit), QPointF(l.x2 * m_unit, l.y2 * m_unit));
    }
    void rect(QPainter &p, const PlacedRect &r) const
    {
        p.setPen(pen(r.pen));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(r.left * m_unit, r.top * m_unit, r.width * m_unit, r.height * m_unit));
    }

  private:
    QPen pen(int width) const
    {
        QPen p(Qt::black, width * PenUnitMm * m_unit);
        p.setCapStyle(Qt::SquareCap);
        p.setJoinStyle(Qt::MiterJoin);
        return p;
    }
    QStringList wrapped(const QString &text, const QFontMetricsF &fm, double width) const;

    QPagedPaintDevice &m_device;
    QString m_family;
    double m_unit; // device pixels per millimetre
};

QStringList Painter::wrapped(const QString &text, const QFontMetricsF &fm, double width) const
{
    QStringList lines;
    for (const QString &paragraph : linesOf(text)) {
        QString line;
        for (const QString &word : paragraph.split(QLatin1Char(' '))) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && fm.horizontalAdvance(candidate) > width) {
                lines << line;
                line = word;
            } else {
                line = candidate;
            }
        }
        lines << line;
    }
    return lines;
}

void Painter::text(QPainter &p, const PlacedText &placed) const
{
    const Text &t = *placed.element;
    const double x = (placed.originX + t.x) * m_unit;
    const double top = (placed.originY + t.top) * m_unit;
    const bool fitted = t.align == Align::Left && t.width > 0;
    const double width = t.width * m_unit;

    // A fitted text shrinks until its lines fit its room; what still does not
    // fit at the smallest size is squeezed, so that it never runs into its
    // neighbours.
    QFont f = font(t.font.points, t.font.bold);
    QStringList lines = linesOf(placed.value);
    double scaleX = 1.0;
    double scaleY = 1.0;
    if (fitted) {
        const bool multiLine = t.height > 0;
        for (double points = t.font.points;; points -= 0.5) {
            f = font(points, t.font.bold);
            const QFontMetricsF fm(f, &m_device);
            if (multiLine)
                lines = wrapped(placed.value, fm, width);
            double widest = 0;
            for (const QString &l : std::as_const(lines))
                widest = std::max(widest, fm.horizontalAdvance(l));
            const double height = lines.size() * fm.lineSpacing();
            const double room = multiLine ? t.height * m_unit : height;
            if ((widest <= width && height <= room + Epsilon) || points - 0.5 < MinFitPoints) {
                scaleX = std::min(1.0, width / std::max(widest, 1.0));
                scaleY = std::min(1.0, room / std::max(height, 1.0));
                break;
            }
        }
    }

    p.setFont(f);
    const QFontMetricsF fm(f, &m_device);
    if (t.align == Align::Boxed) {
        p.setPen(pen(1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(x, top, width, fm.lineSpacing() * lines.size()));
    }
    p.setPen(QPen(Qt::black));
    p.save();
    p.translate(x, top);
    p.scale(scaleX, scaleY);
    for (int i = 0; i < lines.size(); ++i) {
        const QString &l = lines.at(i);
        const double advance = fm.horizontalAdvance(l);
        double left = 0;
        switch (t.align) {
        case Align::Left:
            break;
        case Align::Right:
            left = -advance;
            break;
        case Align::Centre:
            left = -advance / 2;
            break;
        case Align::Boxed:
            left = (width - advance) / 2;
            break;
        }
        p.drawText(QPointF(left, i * fm.lineSpacing() + fm.ascent()), l);
    }
    p.restore();
}

} // namespace

int Report::linesBetween(double top) const
{
    if (detail.height <= 0)
        return 0;
    const double room = printableHeight() - top - pageFooter.height;
    return std::max(0, int(std::floor(room / detail.height + Epsilon)));
}

int Report::detailLinesOnFirstPage() const
{
    return linesBetween(title.height + columnHeader.height);
}

int Report::detailLinesPerPage() const
{
    return linesBetween(columnHeader.height);
}

QList<Page> Report::layout()
{
    QList<Page> pages;
    const double left = margins.left;
    const double width = printableWidth();
    const double footerTop = A4Height - margins.bottom - pageFooter.height;
    double y = 0;

    auto startPage = [&] {
        ++m_page;
        pages.append(Page());
        pages.last().rects.append({left, margins.top, width, printableHeight(), 1});
        y = margins.top;
    };
    auto place = [&](const Band &band) {
        placeBand(pages.last(), band, left, y, width);
        y += band.height;
    };
    auto finishPage = [&] {
        placeBand(pages.last(), pageFooter, left, footerTop, width);
        for (const Text &t : std::as_const(pageTexts))
            pages.last().texts.append({&t, t.text ? t.text() : QString(), 0.0, 0.0});
    };

    m_page = 0;
    const int count = recordCount ? recordCount() : 0;
    if (count > 0 && moveTo)
        moveTo(0);
    startPage();
    place(title);
    if (afterTitle)
        afterTitle();
    place(columnHeader);
    for (int i = 0; i < count; ++i) {
        if (y + detail.height > footerTop + Epsilon) {
            finishPage();
            startPage();
            place(columnHeader);
        }
        if (moveTo)
            moveTo(i);
        if (beforeDetail)
            beforeDetail();
        place(detail);
    }
    finishPage();
    return pages;
}

void Report::paint(QPagedPaintDevice &device, const QList<Page> &pages) const
{
    QPainter p(&device);
    p.setRenderHint(QPainter::Antialiasing);
    const Painter painter(device, fontFamily);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0)
            device.newPage();
        const Page &page = pages.at(i);
        for (const PlacedRect &r : page.rects)
            painter.rect(p, r);
        for (const PlacedLine &l : page.lines)
            painter.line(p, l);
        for (const PlacedText &t : page.texts)
            painter.text(p, t);
    }
}

void Report::setUpPrinter(QPrinter &printer)
{
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
}

void Report::setUpPdfWriter(QPdfWriter &writer)
{
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

} // namespace report
