#pragma once
// "Vista previa": the report's pages on screen, laid out a few at a time in the background
// of the event loop so the first page shows at once; page navigation, zoom, and printing a
// page range with copies. Pages are painted on demand; a handful of rendered pages is kept.

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
    // Lays out every page now (tests, and printing the whole range).
    void finishLayout();

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

private:
    void layoutMore();
    void pagesChanged();
    void render();
    QImage pageImage(int index, double dpi);

    std::unique_ptr<print::ReportDocument> doc_;
    QScrollArea* scroll_;
    QLabel* pageLabel_;
    QTimer layoutTimer_;
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
