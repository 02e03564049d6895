#include "print/bandengine.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <stdexcept>

#include "print/units.h"

namespace kesh::print {

using reports::Group;

QColor ColorRef(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

double LineMm(double points) { return points * kMmPerInch / 72.0 * 1.45; }

namespace {

TextStyle MakeStyle(const reports::StyleGroup& g) {
    TextStyle st;
    st.font = QFont(QString::fromStdString(g.font));
    st.font.setPointSizeF(g.size > 0 ? g.size : 8);
    const reports::FontStyle& fs = reports::FontStyleAt(g.style);
    st.font.setBold(fs.bold);
    st.font.setItalic(fs.italic);
    st.font.setUnderline(fs.underline);
    st.color = ColorRef(g.color);
    st.back = ColorRef(g.back);
    st.back2 = ColorRef(g.back2);
    return st;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

std::shared_ptr<PrintContext> MakePrintContext(const reports::ReportSettings& s,
                                               const CompanyData& company,
                                               const std::string& title,
                                               const std::string& subtitle,
                                               const std::string& printedAtText) {
    auto ctx = std::make_shared<PrintContext>();
    ctx->settings = s;
    ctx->page = reports::GeometryOf(s);
    for (int i = 0; i < reports::kGroupCount; ++i) ctx->styles[i] = MakeStyle(s.groups[i]);
    ctx->company = company;
    ctx->title = title;
    ctx->subtitle = subtitle;
    if (s.incFecha && !printedAtText.empty()) ctx->printedAt = " - " + printedAtText;
    // The line height is typed as 9..25; a zero or negative one would never fill a page.
    ctx->lineMm = std::max(s.interlin, 4) * kMmPerInch / 96.0;
    return ctx;
}

std::string AddressLine(const CompanyData& c, bool withBlanks) {
    const char* sep = withBlanks ? " " : " - ";
    return c.domicilio + sep + c.codpostal + sep + c.ciudad;
}

// ---- Canvas ---------------------------------------------------------------------------

Canvas::Canvas(QPainter* p, double dpi, double xMm, double yMm, double wMm, double hMm)
    : p_(p), dpi_(dpi), x_(xMm), y_(yMm), w_(wMm), h_(hMm) {}

double Canvas::u(double mm) const { return MmToUnits(mm, dpi_); }

void Canvas::fill(const QColor& c, double x, double y, double w, double h) const {
    if (!p_) return;
    p_->fillRect(QRectF(u(x_ + x), u(y_ + y), u(w), u(h)), c);
}

void Canvas::text(double x, double w, const QString& s, const TextStyle& st,
                  Qt::Alignment align, double y, double h) const {
    if (!p_ || s.isEmpty()) return;
    if (h < 0) h = h_ - y;
    p_->setFont(st.font);
    p_->setPen(st.color);
    // A text longer than its column is cut, never run into the next column.
    const QString shown = QFontMetricsF(st.font, p_->device()).elidedText(s, Qt::ElideRight, u(w));
    p_->drawText(QRectF(u(x_ + x), u(y_ + y), u(w), u(h)),
                 int(align | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
}

void Canvas::dottedLine(double y, const QColor& c) const {
    if (!p_) return;
    QPen pen(c);
    pen.setStyle(Qt::DotLine);
    pen.setWidthF(u(0.15));
    p_->setPen(pen);
    p_->drawLine(QPointF(u(x_), u(y_ + y)), QPointF(u(x_ + w_), u(y_ + y)));
}

void Canvas::line(double x, double y, double w, double thick, const QColor& c) const {
    fill(c, x, y, w, thick);
}

void Canvas::image(const QImage& img, double x, double y, double w, double h) const {
    if (!p_ || img.isNull()) return;
    p_->drawImage(QRectF(u(x_ + x), u(y_ + y), u(w), u(h)), img);
}

// ---- ReportDocument -------------------------------------------------------------------

ReportDocument::ReportDocument(std::shared_ptr<const PrintContext> ctx,
                               std::unique_ptr<BandLayout> layout)
    : ctx_(std::move(ctx)), first_(std::move(layout)) {
    const std::string& logoPath = ctx_->company.logo;
    if (ctx_->settings.incLogo && !logoPath.empty() && QFileInfo::exists(Q(logoPath)))
        logo_.load(Q(logoPath)); // a missing or unreadable logo is left out
    Start s;
    s.layout = std::shared_ptr<BandLayout>(first_->clone());
    s.countBefore = s.layout->countLine();
    nextStart_ = std::move(s);
}

ReportDocument::~ReportDocument() = default;

QSizeF ReportDocument::pageSizeMm() const { return {ctx_->page.widthMm, ctx_->page.heightMm}; }

double ReportDocument::headerHeight() const {
    const PrintContext& c = *ctx_;
    double titles = LineMm(c.style(Group::Titulo).font.pointSizeF()) * 2;
    double top = std::max(titles, logo_.isNull() ? 0.0 : 10.6);
    double company = LineMm(c.style(Group::Empre).font.pointSizeF()) * 2 + 1;
    return top + 1 + company + 1;
}

double ReportDocument::footerHeight() const {
    return LineMm(ctx_->style(Group::Cuerpo).font.pointSizeF()) * 2 + 1;
}

bool ReportDocument::paginate(int maxPages) {
    while (!finished_ && maxPages-- > 0) {
        Start s = std::move(*nextStart_);
        nextStart_.reset();
        // The stored start must stay as it was: run the page on a copy of the state.
        Start run = s;
        run.layout = std::shared_ptr<BandLayout>(s.layout->clone());
        try {
            nextStart_ = runPage(run, pageCount(), nullptr, 0);
        } catch (const std::exception& e) {
            // The rows of this page could not all be read: the pages before it stand.
            error_ = e.what();
            finished_ = true;
            first_->stopReading();
            break;
        }
        starts_.push_back(std::move(s));
        finished_ = !nextStart_;
    }
    return finished_;
}

void ReportDocument::stopReading() {
    finished_ = true;
    nextStart_.reset();
    first_->stopReading();
}

std::optional<ReportDocument::Start> ReportDocument::runPage(const Start& s, int index,
                                                             QPainter* p, double dpi) const {
    const PrintContext& c = *ctx_;
    const double left = c.page.left;
    const double width = c.bodyWidth();
    const double limit = c.page.heightMm - c.page.bottom - footerHeight();
    double y = c.page.top + headerHeight();
    const double headH = s.layout->headingHeight();
    s.layout->paintHeadings(Canvas(p, dpi, left, y, width, headH));
    y += headH;

    std::optional<Band> pending = s.pending;
    std::string count = s.countBefore;
    bool placed = false;
    std::optional<Start> nextPage;
    for (;;) {
        Band band;
        if (pending) {
            band = std::move(*pending);
            pending.reset();
        } else {
            count = s.layout->countLine();
            if (!s.layout->next(band)) break;
        }
        if (band.height <= 0) continue;
        if (placed && y + band.height > limit + 1e-6) {
            Start n;
            n.layout = s.layout;
            n.pending = std::move(band);
            n.countBefore = count;
            nextPage = std::move(n);
            break;
        }
        if (band.paint) band.paint(Canvas(p, dpi, left, y, width, band.height));
        y += band.height;
        placed = true;
        if (band.newPageAfter) {
            Start n;
            n.layout = s.layout;
            n.countBefore = s.layout->countLine();
            // Nothing more to print: the break is not followed by an empty page.
            Band peek;
            std::string before = n.countBefore;
            if (!s.layout->next(peek)) {
                count = before;
                break;
            }
            n.pending = std::move(peek);
            n.countBefore = before;
            count = before;
            nextPage = std::move(n);
            break;
        }
    }
    if (!nextPage) count = s.layout->countLine();
    if (p) paintFrame(p, dpi, index, count);
    return nextPage;
}

void ReportDocument::paintFrame(QPainter* p, double dpi, int index,
                                const std::string& count) const {
    const PrintContext& c = *ctx_;
    const double left = c.page.left;
    const double width = c.bodyWidth();
    const TextStyle& tit = c.style(Group::Titulo);
    const TextStyle& pag = c.style(Group::Pagina);
    const TextStyle& emp = c.style(Group::Empre);
    const TextStyle& body = c.style(Group::Cuerpo);

    // Page header: logo, title, subtitle, page label, company block.
    const double hh = headerHeight();
    Canvas head(p, dpi, left, c.page.top, width, hh);
    const double tl = LineMm(tit.font.pointSizeF());
    double tx = 0;
    if (!logo_.isNull()) {
        head.image(logo_, 0, 0, 15.9, 10.6);
        tx = 17;
    }
    head.text(tx, width - tx, Q(c.title), tit, Qt::AlignHCenter, 0, tl);
    TextStyle sub = tit;
    sub.font.setBold(false);
    head.text(tx, width - tx, Q(c.subtitle), sub, Qt::AlignHCenter, tl, tl);
    if (c.settings.numerar) {
        const QString label = QStringLiteral("Página %1").arg(c.settings.pagina + index);
        head.text(width - 42, 40, label, pag, Qt::AlignRight, 0, LineMm(pag.font.pointSizeF()));
    }
    const double top = std::max(tl * 2, logo_.isNull() ? 0.0 : 10.6);
    Canvas extra(p, dpi, left, c.page.top + tl, width, tl);
    first_->paintHeaderExtra(extra);

    const double el = LineMm(emp.font.pointSizeF());
    const double cy = top + 1;
    head.fill(emp.back, 0, cy, width, el * 2 + 1);
    const BandLayout::Captions cap = first_->captions();
    const double mid = width * 0.62;
    auto item = [&](double x, double y, const char* caption, const std::string& value, double w) {
        head.text(x + 1, 22, QString::fromUtf8(caption), emp, Qt::AlignLeft, y, el);
        TextStyle v = emp;
        v.font.setBold(false);
        head.text(x + 23, w - 24, Q(value), v, Qt::AlignLeft, y, el);
    };
    item(0, cy + 0.5, cap.empresa, c.company.nombre, mid);
    item(0, cy + 0.5 + el, cap.domic, AddressLine(c.company, first_->addressWithBlanks()), mid);
    item(mid, cy + 0.5, cap.cuit, c.company.cuit, width - mid);
    item(mid, cy + 0.5 + el, cap.ibrut, c.company.ingbrut, width - mid);

    // Page footer: count line and footer text.
    const double fh = footerHeight();
    const double bl = LineMm(body.font.pointSizeF());
    Canvas foot(p, dpi, left, c.page.heightMm - c.page.bottom - fh, width, fh);
    foot.fill(body.back);
    foot.text(0, width, Q(count + c.printedAt), body, Qt::AlignLeft, 0.5, bl);
    foot.text(0, width, Q(c.settings.textPie), body, Qt::AlignLeft, 0.5 + bl, bl);
}

void ReportDocument::paintPage(int index, QPainter& p, double dpi) const {
    if (index < 0 || index >= pageCount()) return;
    Start run = starts_[index];
    run.layout = std::shared_ptr<BandLayout>(starts_[index].layout->clone());
    runPage(run, index, &p, dpi);
}

QImage ReportDocument::renderPage(int index, double dpi) const {
    const QSize size(int(MmToUnits(ctx_->page.widthMm, dpi) + 0.5),
                     int(MmToUnits(ctx_->page.heightMm, dpi) + 0.5));
    QImage img(size, QImage::Format_RGB32);
    const int dpm = int(dpi / kMmPerInch * 1000 + 0.5);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintPage(index, p, dpi);
    return img;
}

namespace {
void UsePageOf(QPagedPaintDevice& device, QSizeF sizeMm) {
    device.setPageLayout(QPageLayout(QPageSize(sizeMm, QPageSize::Millimeter),
                                     QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                     QPageLayout::Millimeter));
}
} // namespace

void ReportDocument::stream(QPagedPaintDevice& device, QPainter& p, double dpi, Rows rows,
                            const Progress& progress) {
    if (spent_) throw std::runtime_error("El informe ya fue emitido.");
    // Forgetting rows is only safe while no page of the preview needs them.
    const bool forget = rows == Rows::Forget && starts_.empty();
    if (forget) {
        spent_ = true;
        finished_ = true;
        nextStart_.reset();
    }
    // Each page is laid out and painted, then forgotten.
    Start s;
    s.layout = std::shared_ptr<BandLayout>(first_->clone());
    s.countBefore = s.layout->countLine();
    std::optional<Start> cur = std::move(s);
    for (int index = 0; cur; ++index) {
        if (index > 0) device.newPage();
        cur = runPage(*cur, index, &p, dpi);
        if (forget && cur) cur->layout->dropRowsBehind();
        if (progress && !progress(index + 1)) {
            if (forget) first_->stopReading();
            throw ReportCancelled();
        }
    }
    if (forget) first_->stopReading();
}

void ReportDocument::writePdf(const QString& path, Rows rows, const Progress& progress) {
    std::string failure;
    bool written = false, cancelled = false;
    {
        QPdfWriter writer(path);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("kesh2"));
        writer.setTitle(Q(ctx_->title));
        UsePageOf(writer, pageSizeMm());
        QPainter p;
        if (!p.begin(&writer))
            throw std::runtime_error("No se pudo crear el archivo " + path.toStdString());
        try {
            stream(writer, p, writer.resolution(), rows, progress);
        } catch (const ReportCancelled&) {
            cancelled = true;
        } catch (const std::exception& e) {
            failure = e.what();
        }
        written = p.end();
    }
    if (cancelled || !failure.empty()) {
        QFile::remove(path); // half a report is no report
        if (cancelled) throw ReportCancelled();
        throw std::runtime_error(failure);
    }
    if (!written) throw std::runtime_error("No se pudo escribir el archivo " + path.toStdString());
}

void ReportDocument::printAll(QPrinter& printer, Rows rows, const Progress& progress) {
    printer.setFullPage(true);
    UsePageOf(printer, pageSizeMm());
    QPainter p;
    if (!p.begin(&printer)) throw std::runtime_error("No se pudo iniciar la impresión.");
    try {
        stream(printer, p, printer.resolution(), rows, progress);
    } catch (...) {
        printer.abort();
        p.end();
        throw;
    }
    p.end();
}

void ReportDocument::print(QPrinter& printer, int from, int to, int copies) const {
    printer.setFullPage(true);
    UsePageOf(printer, pageSizeMm());
    QPainter p;
    if (!p.begin(&printer)) throw std::runtime_error("No se pudo iniciar la impresión.");
    from = std::max(from, 1);
    to = std::min(to, pageCount());
    bool first = true;
    for (int copy = 0; copy < std::max(copies, 1); ++copy) {
        for (int i = from; i <= to; ++i) {
            if (!first) printer.newPage();
            first = false;
            paintPage(i - 1, p, printer.resolution());
        }
    }
    p.end();
}

} // namespace kesh::print
