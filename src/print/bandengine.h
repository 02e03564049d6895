#pragma once
// The band engine: lays out the rows a report gathered in the core on pages with the common
// report frame (logo, title, subtitle, page number, company block, column headings, count
// line and footer text), and renders pages to a painter, a PDF file or a printer.
//
// A report is a BandLayout: a stream of bands (group headers, details, group footers,
// summary) whose next() plays the part of the band events (running totals, counters,
// alternating colours live in the layout's state). Each band paints itself from values it
// captured, so a page can be painted later without the layout. The document keeps, per page,
// only a copy of the layout's small state at that page's start; a page is painted on demand
// by running the stream from there. Pages are never kept, so memory does not grow with the
// number of pages (the preview caches a few rendered images); the PDF is written page by
// page as the stream runs.
//
// The layout reads its rows from a stream over the report's open cursor, so laying out page 1
// reads only the rows of page 1; later pages are laid out as the preview asks for them. A
// read that fails half way ends the layout with error() set; the pages laid out before stay.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/context.h"
#include "reports/reportsettings.h"

class QPainter;
class QPagedPaintDevice;
class QPrinter;

namespace kesh::print {

// 0x00BBGGRR colour reference to a colour.
QColor ColorRef(int bgr);
// Millimetres of one line of text in a font of `points`, with a little leading.
double LineMm(double points);

struct TextStyle {
    QFont font;
    QColor color;
    QColor back;
    QColor back2;
};

// What every band of a report needs to paint: settings, styles, frame texts.
struct PrintContext {
    reports::ReportSettings settings;
    reports::PageGeometry page;
    std::array<TextStyle, reports::kGroupCount> styles;
    CompanyData company;
    std::string title;
    std::string subtitle;
    std::string printedAt; // " - dd/mm/yyyy  hh:mm" when IncFecha, else empty
    double lineMm = 0;     // detail band height (Interlin, 1/96 inch)

    const TextStyle& style(reports::Group g) const { return styles[static_cast<int>(g)]; }
    double bodyWidth() const { return page.widthMm - page.left - page.right; }
};

// Builds the context: styles from the settings, dates of printing from `now`.
std::shared_ptr<PrintContext> MakePrintContext(const reports::ReportSettings& s,
                                               const CompanyData& company,
                                               const std::string& title,
                                               const std::string& subtitle,
                                               const std::string& printedAtText);

// Painting inside one band; coordinates in millimetres from the band's top left corner.
class Canvas {
public:
    Canvas(QPainter* p, double dpi, double xMm, double yMm, double wMm, double hMm);
    double width() const { return w_; }
    double height() const { return h_; }
    QPainter* painter() const { return p_; }

    void fill(const QColor& c) const { fill(c, 0, 0, w_, h_); }
    void fill(const QColor& c, double x, double y, double w, double h) const;
    // Text in the box [x, x+w] across the band's height (or [y, y+h]), vertically centred.
    void text(double x, double w, const QString& s, const TextStyle& st,
              Qt::Alignment align = Qt::AlignLeft, double y = 0, double h = -1) const;
    void left(double x, const QString& s, const TextStyle& st, double w = 120) const {
        text(x, w, s, st);
    }
    void right(double rightEdge, const QString& s, const TextStyle& st, double w = 40) const {
        text(rightEdge - w, w, s, st, Qt::AlignRight);
    }
    void dottedLine(double y, const QColor& c) const;
    void line(double x, double y, double w, double thick, const QColor& c) const;
    void image(const QImage& img, double x, double y, double w, double h) const;

private:
    double u(double mm) const;
    QPainter* p_;
    double dpi_, x_, y_, w_, h_;
};

struct Band {
    double height = 0; // mm; 0 means the band is not printed
    std::function<void(const Canvas&)> paint;
    bool newPageAfter = false;
};

// One report's bands and band events.
class BandLayout {
public:
    virtual ~BandLayout() = default;
    virtual std::unique_ptr<BandLayout> clone() const = 0;
    // The next band in print order; false when the report is done.
    virtual bool next(Band& band) = 0;
    // Count line of the page footer as it stands now, without the date of printing.
    virtual std::string countLine() const = 0;
    // Column-heading band under the page header.
    virtual double headingHeight() const = 0;
    virtual void paintHeadings(const Canvas& c) const = 0;
    // Period label and the like inside the page header (below the subtitle).
    virtual void paintHeaderExtra(const Canvas&) const {}
    // Captions of the company block.
    struct Captions {
        const char* empresa = "Empresa:";
        const char* domic = "Domic:";
        const char* cuit = "CUIT:";
        const char* ibrut = "I.Brut:";
    };
    virtual Captions captions() const { return {}; }
    // The address line joins address, postal code and town with " - " (or single blanks).
    virtual bool addressWithBlanks() const { return false; }

    // Rows read so far from the report's stream (for progress texts).
    virtual size_t rowsRead() const { return 0; }
    // The rows behind the current position will not be asked for again: a single pass (PDF,
    // printer) forgets them, so its memory does not grow with the report.
    virtual void dropRowsBehind() {}
    // Reads no further rows: closes the report's cursor.
    virtual void stopReading() {}
};

std::string AddressLine(const CompanyData& c, bool withBlanks);

// A PDF or print run stopped by the user: not an error to report.
struct ReportCancelled : std::runtime_error {
    ReportCancelled() : std::runtime_error("Informe cancelado.") {}
};

class ReportDocument {
public:
    ReportDocument(std::shared_ptr<const PrintContext> ctx, std::unique_ptr<BandLayout> layout);
    ~ReportDocument();

    const PrintContext& context() const { return *ctx_; }
    // Lays out up to maxPages further pages; returns true when the whole report is laid out
    // (or its reading failed: see error()).
    bool paginate(int maxPages = 1 << 30);
    bool finished() const { return finished_; }
    int pageCount() const { return static_cast<int>(starts_.size()); }
    // Why the layout ended before the end of the report (a failed read); empty otherwise.
    const std::string& error() const { return error_; }
    size_t rowsRead() const { return first_->rowsRead(); }
    // Lays out no more pages and closes the report's cursor (the preview was closed).
    void stopReading();
    // Paints page `index` (0-based, must be laid out) at the given resolution; the painter
    // origin is the paper's top left corner.
    void paintPage(int index, QPainter& p, double dpi) const;
    QImage renderPage(int index, double dpi) const;

    // Called after each page a single pass writes, with the pages written so far; false stops
    // the pass (ReportCancelled).
    using Progress = std::function<bool(int pages)>;
    // What a single pass does with the rows it has written: keep them (the document can still
    // be painted and written again) or forget them (memory stays flat; the document is spent).
    enum class Rows { Keep, Forget };

    // Writes the whole report to a PDF file page by page, running the layout from the start
    // (it need not be paginated). Throws std::runtime_error (ReportCancelled when progress
    // said stop), and then leaves no file.
    void writePdf(const QString& path, Rows rows = Rows::Keep, const Progress& progress = {});
    // Prints the whole report once the same way; a stopped run is aborted at the printer.
    // Throws std::runtime_error.
    void printAll(QPrinter& printer, Rows rows = Rows::Keep, const Progress& progress = {});
    // Prints pages from..to (1-based, clamped to the pages laid out) `copies` times. Throws
    // std::runtime_error.
    void print(QPrinter& printer, int from, int to, int copies) const;
    // Page size for printers and viewers.
    QSizeF pageSizeMm() const;

private:
    struct Start {
        std::shared_ptr<BandLayout> layout; // state after `pending` was taken from it
        std::optional<Band> pending;
        std::string countBefore;            // count line before `pending` was taken
    };
    // Runs one page from `s`; paints when p is set. Returns the start of the next page, or
    // nothing at the end of the report.
    std::optional<Start> runPage(const Start& s, int index, QPainter* p, double dpi) const;
    void paintFrame(QPainter* p, double dpi, int index, const std::string& count) const;
    // The single pass of writePdf and printAll.
    void stream(QPagedPaintDevice& device, QPainter& p, double dpi, Rows rows,
                const Progress& progress);
    double headerHeight() const;
    double footerHeight() const;

    std::shared_ptr<const PrintContext> ctx_;
    std::unique_ptr<BandLayout> first_;
    std::vector<Start> starts_;
    std::optional<Start> nextStart_;
    bool finished_ = false;
    bool spent_ = false; // a single pass forgot the rows
    std::string error_;
    QImage logo_;
};

} // namespace kesh::print
