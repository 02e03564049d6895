#pragma once
// "Vista previa": the report's pages on screen. Page 1 is laid out (reading only its rows
// from the report's open cursor) before the window shows; the rest are laid out in short
// slices from a timer while the user looks, and at once when the user moves to a page not
// laid out yet. "última página" and printing while the report is still being read wait for
// the end without blocking the window, with the progress in the status text. Closing the
// window stops the reading and closes the report's connection. Pages are painted on demand;
// a handful of rendered pages is kept.

#include <QLabel>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include <list>
#include <memory>

#include "print/bandengine.h"

namespace kesh::gui {

class TfrmPreview : public QWidget {
    Q_OBJECT
public:
    explicit TfrmPreview(std::unique_ptr<print::ReportDocument> doc, QWidget* parent = nullptr);
    ~TfrmPreview() override;

    print::ReportDocument& document() { return *doc_; }
    int currentPage() const { return sePage->value(); }
    int zoom() const { return seZoom->value(); }
    QString status() const { return LStatus->text(); }
    // Printer of the setup screen; empty is the system's default printer.
    void setPrinterName(const QString& name) { printerName_ = name; }
    // Lays out every page now (tests).
    void finishLayout();
    // Whether every page is laid out.
    bool layoutFinished() const { return doc_->finished(); }

    QToolButton *BtPrimera, *BtPrevia, *BtSiguiente, *BtUltima;
    QSpinBox* sePage;
    QLabel* LTotPags;
    QSpinBox* seZoom;
    QToolButton *BtCompleta, *Bt100, *BtAncho;
    QSpinBox *SpinEditCopies, *SpinDePagina, *SpinAPagina;
    QToolButton *BtImprimir, *BtCerrar;
    QLabel* LStatus;

    // Test hook: when set, printing calls it instead of opening the system's printer.
    static std::function<void(print::ReportDocument&, int from, int to, int copies)> printHook;

public slots:
    void BtImprimirClick();
    void showPage(int page);
    void setZoom(int percent);
    void fitWholePage();
    void fitWidth();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void layoutMore();
    void layoutEnded();
    void showLast();
    void printRange();
    void pagesChanged();
    void render();
    QImage pageImage(int index, double dpi);

    std::unique_ptr<print::ReportDocument> doc_;
    QScrollArea* scroll_;
    QLabel* pageLabel_;
    QTimer layoutTimer_;
    bool errorShown_ = false;
    bool lastWanted_ = false;  // "última página" while pages were still being laid out
    bool printWanted_ = false; // "imprimir el informe" likewise
    bool fitToWidth_ = true;
    QString printerName_;
    struct Cached {
        int index;
        double dpi;
        QImage image;
    };
    std::list<Cached> cache_; // most recent first, at most kCache entries
    static constexpr size_t kCache = 6;
};

} // namespace kesh::gui
