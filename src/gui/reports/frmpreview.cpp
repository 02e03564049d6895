#include "gui/reports/frmpreview.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLocale>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include "gui/widgets/dialogs.h"
#include "print/units.h"

namespace kesh::gui {

std::function<void(print::ReportDocument&, int, int, int)> TfrmPreview::printHook;

namespace {
QToolButton* Tool(QWidget* parent, const QString& text, const QString& tip) {
    auto* b = new QToolButton(parent);
    b->setText(text);
    b->setToolTip(tip);
    b->setAutoRaise(true);
    return b;
}
// Longest run of layout between two turns of the event loop: the window stays responsive
// while the rest of the report is read.
constexpr int kSliceMs = 40;

QSpinBox* Spin(QWidget* parent, int lo, int hi, int value, const QString& tip) {
    auto* s = new QSpinBox(parent);
    s->setRange(lo, hi);
    s->setValue(value);
    s->setToolTip(tip);
    return s;
}
} // namespace

TfrmPreview::TfrmPreview(std::unique_ptr<print::ReportDocument> doc, QWidget* parent)
    : QWidget(parent, Qt::Window), doc_(std::move(doc)) {
    setWindowTitle(QStringLiteral("Vista previa"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowStaysOnTopHint);

    BtPrimera = Tool(this, QStringLiteral("|<"), QStringLiteral("primer página"));
    BtPrevia = Tool(this, QStringLiteral("<"), QStringLiteral("página previa"));
    BtSiguiente = Tool(this, QStringLiteral(">"), QStringLiteral("página siguiente"));
    BtUltima = Tool(this, QStringLiteral(">|"), QStringLiteral("última página"));
    sePage = Spin(this, 1, 1, 1, QStringLiteral("Página actual"));
    LTotPags = new QLabel(QStringLiteral("0"), this);
    LTotPags->setToolTip(QStringLiteral("Cantidad de páginas del informe"));
    seZoom = Spin(this, 10, 300, 100, QStringLiteral("Porcentaje de la vista actual"));
    seZoom->setSuffix(QStringLiteral(" %"));
    BtCompleta = Tool(this, QStringLiteral("Página"), QStringLiteral("vista completa"));
    Bt100 = Tool(this, QStringLiteral("100%"), QStringLiteral("vista 100%"));
    BtAncho = Tool(this, QStringLiteral("Ancho"), QStringLiteral("vista ajustada al ancho"));
    SpinEditCopies = Spin(this, 1, 999, 1, QStringLiteral("Número de copias a imprimir"));
    SpinDePagina = Spin(this, 0, 999, 0, QStringLiteral("Inicio del rango de páginas a imprimir"));
    SpinAPagina = Spin(this, 0, 999, 0, QStringLiteral("Fin del rango de páginas a imprimir"));
    BtImprimir = Tool(this, QStringLiteral("Imprimir"), QStringLiteral("imprimir el informe"));
    BtCerrar = Tool(this, QStringLiteral("Cerrar"), QStringLiteral("Cerrar la vista previa"));
    LStatus = new QLabel(QStringLiteral("Generando informe, por favor espere..."), this);

    auto* bar = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{BtPrimera, BtPrevia, sePage, LTotPags,
                                                     BtSiguiente, BtUltima, seZoom, BtCompleta,
                                                     Bt100, BtAncho})
        bar->addWidget(w);
    bar->addSpacing(12);
    bar->addWidget(new QLabel(QStringLiteral("Copias"), this));
    bar->addWidget(SpinEditCopies);
    bar->addWidget(new QLabel(QStringLiteral("Páginas"), this));
    bar->addWidget(SpinDePagina);
    bar->addWidget(new QLabel(QStringLiteral("a"), this));
    bar->addWidget(SpinAPagina);
    bar->addWidget(BtImprimir);
    bar->addStretch();
    bar->addWidget(LStatus);
    bar->addWidget(BtCerrar);

    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignHCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    pageLabel_ = new QLabel;
    scroll_->setWidget(pageLabel_);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(bar);
    lay->addWidget(scroll_, 1);

    connect(BtPrimera, &QToolButton::clicked, this, [this] { showPage(1); });
    connect(BtPrevia, &QToolButton::clicked, this, [this] { showPage(currentPage() - 1); });
    connect(BtSiguiente, &QToolButton::clicked, this, [this] { showPage(currentPage() + 1); });
    connect(BtUltima, &QToolButton::clicked, this, &TfrmPreview::showLast);
    connect(sePage, &QSpinBox::valueChanged, this, [this] { render(); });
    connect(seZoom, &QSpinBox::valueChanged, this, [this](int) {
        fitToWidth_ = false;
        render();
    });
    connect(BtCompleta, &QToolButton::clicked, this, &TfrmPreview::fitWholePage);
    connect(Bt100, &QToolButton::clicked, this, [this] { setZoom(100); });
    connect(BtAncho, &QToolButton::clicked, this, &TfrmPreview::fitWidth);
    connect(BtImprimir, &QToolButton::clicked, this, &TfrmPreview::BtImprimirClick);
    connect(BtCerrar, &QToolButton::clicked, this, &QWidget::close);

    // Page 1 now (it reads only its own rows); the rest in slices of the event loop.
    layoutTimer_.setInterval(0);
    connect(&layoutTimer_, &QTimer::timeout, this, &TfrmPreview::layoutMore);
    doc_->paginate(1);
    pagesChanged();
    layoutTimer_.start(); // also reports, once the window is up, a failure of page 1
    resize(1000, 800);
}

TfrmPreview::~TfrmPreview() = default;

void TfrmPreview::layoutMore() {
    QElapsedTimer slice;
    slice.start();
    while (!doc_->finished() && slice.elapsed() < kSliceMs) doc_->paginate(1);
    pagesChanged();
    if (doc_->finished()) layoutEnded();
}

void TfrmPreview::finishLayout() {
    doc_->paginate();
    pagesChanged();
    layoutEnded();
}

// The whole report is laid out, or its reading failed: what waited for the end runs now.
void TfrmPreview::layoutEnded() {
    layoutTimer_.stop();
    if (!doc_->error().empty()) {
        printWanted_ = false;
        BtImprimir->setEnabled(true);
        if (!errorShown_) {
            errorShown_ = true;
            ShowError(this, QString::fromStdString(doc_->error()) +
                                QStringLiteral("\nLa vista previa muestra las %1 páginas "
                                               "armadas hasta ese momento.")
                                    .arg(doc_->pageCount()));
        }
    }
    if (lastWanted_) {
        lastWanted_ = false;
        showPage(doc_->pageCount());
    }
    if (printWanted_) {
        printWanted_ = false;
        printRange();
    }
}

void TfrmPreview::pagesChanged() {
    const int n = doc_->pageCount();
    sePage->setMaximum(std::max(n, 1));
    LTotPags->setText(QString::number(n));
    QString status;
    if (!doc_->finished())
        status = QStringLiteral(" PROCESANDO... %1 filas leídas")
                     .arg(QLocale(QLocale::Spanish).toString(qulonglong(doc_->rowsRead())));
    else if (!doc_->error().empty())
        status = QStringLiteral(" INCOMPLETO");
    else
        status = QStringLiteral(" TERMINADO");
    if (!doc_->finished() && (lastWanted_ || printWanted_))
        status += lastWanted_ ? QStringLiteral(" (se mostrará la última página al terminar)")
                              : QStringLiteral(" (se imprimirá al terminar)");
    LStatus->setText(status);
    SpinDePagina->setValue(n > 0 ? 1 : 0);
    SpinAPagina->setValue(n);
    if (cache_.empty()) render();
}

void TfrmPreview::showLast() {
    if (doc_->finished()) {
        showPage(doc_->pageCount());
        return;
    }
    lastWanted_ = true; // shown when the layout ends; the window stays usable meanwhile
    pagesChanged();
}

void TfrmPreview::closeEvent(QCloseEvent* e) {
    // Read no further: the report's cursor and its connection close now.
    layoutTimer_.stop();
    doc_->stopReading();
    QWidget::closeEvent(e);
}

QImage TfrmPreview::pageImage(int index, double dpi) {
    for (auto it = cache_.begin(); it != cache_.end(); ++it)
        if (it->index == index && it->dpi == dpi) {
            cache_.splice(cache_.begin(), cache_, it);
            return cache_.front().image;
        }
    cache_.push_front({index, dpi, doc_->renderPage(index, dpi)});
    if (cache_.size() > kCache) cache_.pop_back();
    return cache_.front().image;
}

void TfrmPreview::render() {
    if (doc_->pageCount() == 0) return;
    const double screenDpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    if (fitToWidth_) {
        const double widthPx = scroll_->viewport()->width() - 20;
        const double fitDpi = widthPx / (doc_->pageSizeMm().width() / print::kMmPerInch);
        const int z = std::clamp(int(fitDpi / screenDpi * 100), 10, 300);
        QSignalBlocker block(seZoom);
        seZoom->setValue(z);
    }
    const double dpi = screenDpi * seZoom->value() / 100.0;
    const int page = std::clamp(sePage->value(), 1, doc_->pageCount());
    pageLabel_->setPixmap(QPixmap::fromImage(pageImage(page - 1, dpi)));
    pageLabel_->adjustSize();
}

void TfrmPreview::showPage(int page) {
    if (page > doc_->pageCount() && !doc_->finished()) {
        doc_->paginate(page - doc_->pageCount());
        if (doc_->finished()) layoutEnded();
    }
    pagesChanged();
    sePage->setValue(std::clamp(page, 1, std::max(doc_->pageCount(), 1)));
}

void TfrmPreview::setZoom(int percent) {
    fitToWidth_ = false;
    seZoom->setValue(std::clamp(percent, 10, 300));
    render();
}

void TfrmPreview::fitWidth() {
    fitToWidth_ = true;
    render();
}

void TfrmPreview::fitWholePage() {
    const double screenDpi = logicalDpiY() > 0 ? logicalDpiY() : 96;
    const double hPx = scroll_->viewport()->height() - 10;
    const double dpi = hPx / (doc_->pageSizeMm().height() / print::kMmPerInch);
    setZoom(int(dpi / screenDpi * 100));
}

void TfrmPreview::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (fitToWidth_) render();
}

void TfrmPreview::keyPressEvent(QKeyEvent* e) {
    QScrollBar* h = scroll_->horizontalScrollBar();
    QScrollBar* v = scroll_->verticalScrollBar();
    switch (e->key()) {
    case Qt::Key_Escape: close(); return;
    case Qt::Key_PageUp: showPage(currentPage() - 1); return;
    case Qt::Key_PageDown: showPage(currentPage() + 1); return;
    case Qt::Key_Left: h->setValue(h->value() - 10); return;
    case Qt::Key_Right: h->setValue(h->value() + 10); return;
    case Qt::Key_Up: v->setValue(v->value() - 30); return;
    case Qt::Key_Down: v->setValue(v->value() + 30); return;
    default: QWidget::keyPressEvent(e);
    }
}

void TfrmPreview::BtImprimirClick() {
    BtImprimir->setEnabled(false);
    if (!doc_->finished()) {
        printWanted_ = true; // printed when the layout ends: the range then covers every page
        pagesChanged();
        return;
    }
    printRange();
}

void TfrmPreview::printRange() {
    const int from = SpinDePagina->value(), to = SpinAPagina->value();
    const int copies = SpinEditCopies->value();
    try {
        if (printHook) {
            printHook(*doc_, from, to, copies);
        } else {
            QPrinter printer(QPrinter::HighResolution);
            if (!printerName_.isEmpty()) printer.setPrinterName(printerName_);
            doc_->print(printer, from, to, copies);
        }
    } catch (const std::exception& e) {
        ShowError(this, QString::fromStdString(e.what()));
    }
    BtImprimir->setEnabled(true);
}

} // namespace kesh::gui
